// The players of this system on one file of each sound and clip format the CD editions of
// 1996-2003 carried (made by scripts/period-media at build time, listed in its formats.txt):
// each sound plays to its end, each clip paints pictures of its size, and a clip with a sound
// track has its sound.
#include "platform/MediaPlayer.h"
#include "platform/qt/VideoPlayerQt.h"

#include "EditionFixture.h"
#include "MediaFixture.h"
#include "common/FileSystem.h"
#include "platform/AdpcmWave.h"

#include <QElapsedTimer>

#include <QImage>
#include <QWidget>
#include <algorithm>

#include <fstream>
#include <sstream>

using namespace quarto;
using namespace quarto::test;

namespace {

struct TFormat {
    std::string Name; // the file in the folder of period media
    std::string Kind; // "sound", "clip" or "clip+sound"
    std::string What;
};

std::vector<TFormat> Formats() {
    std::vector<TFormat> formats;
    std::ifstream list(std::string(QUARTO_PERIOD_MEDIA) + "/formats.txt");
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        TFormat format;
        std::getline(fields, format.Name, '\t');
        std::getline(fields, format.Kind, '\t');
        std::getline(fields, format.What);
        formats.push_back(format);
    }
    return formats;
}

std::string PathOf(const TFormat& format) {
    return std::string(QUARTO_PERIOD_MEDIA) + "/" + format.Name;
}

// The share of the picture's pixels that are not near black.
double LitShare(const QImage& image) {
    int lit = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            if (qGray(image.pixel(x, y)) > 40)
                ++lit;
    const int all = ((image.height() + 3) / 4) * ((image.width() + 3) / 4);
    return all ? static_cast<double>(lit) / all : 0;
}

class MediaFormatsTest : public ::testing::Test {
protected:
    void SetUp() override { MediaApplication(); }
    void TearDown() override { DeleteLeftPlayers(); }
};

TEST_F(MediaFormatsTest, TheListHoldsEveryFormat) {
    EXPECT_EQ(Formats().size(), 22u);
}

TEST_F(MediaFormatsTest, EverySoundPlaysToItsEnd) {
    for (const TFormat& format : Formats()) {
        if (format.Kind != "sound")
            continue;
        SCOPED_TRACE(format.What);
        auto player = MakeMediaPlayer();
        int ends = 0;
        player->OnEnd([&] { ++ends; });
        player->SetFileName(PathOf(format));
        ASSERT_NO_THROW(player->Open());
        QElapsedTimer played;
        played.start();
        player->Play();
        EXPECT_TRUE(WaitFor([&] { return ends == 1; }, 8000));
        // The tone lasts 3 s, and the tune: all of it is heard. (The length the framework
        // tells of an ADPCM file is its estimate from the header's byte rate, which ffmpeg
        // writes too high: it is not asked.)
        EXPECT_GE(played.elapsed(), 2700);
        EXPECT_LE(played.elapsed(), 6000);
    }
}

TEST_F(MediaFormatsTest, AdpcmSoundsAreDecodedAsFfmpegDecodesThem) {
    for (const char* name : {"msadpcm", "imaadpcm"}) {
        SCOPED_TRACE(name);
        const std::string folder = QUARTO_PERIOD_MEDIA;
        const std::optional<std::string> ours =
            DecodeAdpcmWave(ReadWholeFile(folder + "/" + name + ".wav"));
        ASSERT_TRUE(ours);
        const std::string theirs = ReadWholeFile(folder + "/" + name + "-decoded.wav");
        // The same samples after the 44-byte header (ffmpeg's may hold more chunks before).
        const std::size_t data = theirs.find("data");
        ASSERT_NE(data, std::string::npos);
        EXPECT_EQ(ours->substr(0, 36), theirs.substr(0, 36).replace(4, 4, ours->substr(4, 4)));
        const std::string a = ours->substr(44);
        const std::string b = theirs.substr(data + 8);
        EXPECT_EQ(a.size(), b.size());
        const auto differ = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
        EXPECT_TRUE(differ.first == a.end())
            << "the samples differ from byte " << (differ.first - a.begin());
    }
}

TEST_F(MediaFormatsTest, EveryClipPaintsPicturesOfItsSize) {
    for (const TFormat& format : Formats()) {
        if (format.Kind.rfind("clip", 0) != 0)
            continue;
        SCOPED_TRACE(format.What);
        QWidget host;
        host.resize(320, 280);
        auto player = MakeVideoPlayer(&host);
        player->SetFileName(PathOf(format));
        ASSERT_TRUE(
            WaitFor([&] { return player->ReadyState() != TVideoReadyState::Loading; }, 8000));
        ASSERT_EQ(player->ReadyState(), TVideoReadyState::Ready) << player->ErrorText();
        EXPECT_EQ(player->VideoSize(), (TVideoSize{160, 120}));
        EXPECT_EQ(player->HasSound(), format.Kind == "clip+sound");
        auto* picture = host.findChild<QWidget*>("VideoPicture");
        ASSERT_NE(picture, nullptr);
        picture->resize(160, 120);
        // The test picture is bright bars: once a picture is painted, most of it is lit.
        EXPECT_TRUE(WaitFor([&] { return LitShare(picture->grab().toImage()) > 0.5; }, 5000));
        EXPECT_TRUE(WaitFor([&] { return player->Position() > 1000; }, 5000));
        EXPECT_EQ(player->ErrorText(), "");
    }
}

// Run by ctest as "platform.missing_decoders", with GStreamer's Cinepak and GSM decoders
// switched off (GST_PLUGIN_FEATURE_RANK); skipped otherwise.
TEST_F(MediaFormatsTest, ASwitchedOffDecoderIsNamedWithItsPackage) {
    if (qEnvironmentVariableIsEmpty("GST_PLUGIN_FEATURE_RANK"))
        GTEST_SKIP() << "the decoders are all on";
    QWidget host;
    auto video = MakeVideoPlayer(&host);
    video->SetFileName(std::string(QUARTO_PERIOD_MEDIA) + "/cinepak.avi");
    // The framework's own error comes first; the probe's answer replaces it.
    EXPECT_TRUE(WaitFor(
        [&] {
            return video->ReadyState() == TVideoReadyState::Failed &&
                   video->ErrorText().rfind("Для этого ролика", 0) == 0;
        },
        8000))
        << video->ErrorText();
    EXPECT_EQ(video->ErrorText(), "Для этого ролика нужен декодер «Cinepak Video»: установите "
                                  "пакет gstreamer1.0-libav.");

    auto sound = MakeMediaPlayer();
    sound->SetFileName(std::string(QUARTO_PERIOD_MEDIA) + "/gsm.wav");
    try {
        sound->Open();
        ADD_FAILURE() << "opened";
    } catch (const EMediaError& e) {
        const std::string text = e.what();
        EXPECT_EQ(
            text.rfind("Не удаётся открыть файл «gsm.wav»: Для этого звука нужен декодер «", 0), 0u)
            << text;
        EXPECT_NE(text.find("установите пакет gstreamer1.0-plugins-bad."), std::string::npos)
            << text;
    }
}

} // namespace
