// The music and audio player of this system, playing WAV files the tests write, through the
// media framework, without a display or a sound card.
#include "platform/MediaPlayer.h"

#include "EditionFixture.h"
#include "ExpectError.h"
#include "MediaFiles.h"
#include "MediaFixture.h"
#include "common/AsciiText.h"

#include <QElapsedTimer>

#include <cstdlib>

using namespace quarto;
using namespace quarto::test;

// For the sanitizer build: the toolkit's font caches and PulseAudio's client (tried by the
// media framework, with no sound server to reach) keep memory until the process ends; what
// they hold is theirs, not ours; so do a GStreamer plugin's first allocations (a GLib block and a
// formatted string, made when the framework loads its plugins).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6Gui.so\nleak:libpulse.so\nleak:libfreetype.so\nleak:libharfbuzz.so\n"
           "leak:libfontconfig.so\nleak:libglib-2.0.so\nleak:vasprintf\n";
}

namespace {

class MediaPlayerTest : public ::testing::Test {
protected:
    void SetUp() override { MediaApplication(); }
    void TearDown() override { DeleteLeftPlayers(); }

    // A player whose mode changes and ends are recorded.
    std::unique_ptr<TMediaPlayer> Player() {
        auto player = MakeMediaPlayer();
        player->OnModeChange([this](TMediaMode mode) { Modes.push_back(mode); });
        player->OnEnd([this] { ++Ends; });
        return player;
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = FTemp.Path() / name;
        WriteWholeFile(path, bytes);
        return path;
    }

    std::vector<TMediaMode> Modes;
    int Ends = 0;

private:
    TTempFolder FTemp;
};

TEST_F(MediaPlayerTest, LoadsTheFrameworkOnGStreamerOnlyWhenAFileIsFirstOpened) {
    // Each test runs in a process of its own under ctest; run with others, an earlier test
    // may have loaded the framework.
    const bool loadedBefore = MediaPluginLoaded();
    unsetenv("QT_MEDIA_BACKEND");
    auto player = Player();
    player->SetFileName(Write("tone.wav", ToneWav(200)));
    EXPECT_EQ(qgetenv("QT_MEDIA_BACKEND"), "");
    EXPECT_EQ(MediaPluginLoaded(), loadedBefore);
    player->Open();
    EXPECT_EQ(qgetenv("QT_MEDIA_BACKEND"), "gstreamer");
    EXPECT_TRUE(MediaPluginLoaded());
}

TEST_F(MediaPlayerTest, PlaysAFileToItsEndAndAgainFromTheStart) {
    struct TCase {
        const char* Written; // the name as written
        const char* Asked;   // the name as an edition may spell it: found ignoring letter case
        std::string Bytes;
        std::int64_t Duration; // ms, 0: not asked
    };
    const TCase cases[] = {
        {"Tone.WAV", "tone.wav", ToneWav(500), 500},
        // GStreamer estimates the length of an MP3 without a header of its own from its
        // frames, now and then not at all for so short a file: it is not asked.
        {"Silence.MP3", "silence.mp3", SilentMp3(20), 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Written);
        Modes.clear();
        Ends = 0;
        auto player = Player();
        player->SetFileName(ParentOf(Write(c.Written, c.Bytes)) + "/" + c.Asked);
        EXPECT_EQ(player->Mode(), TMediaMode::NotOpen);
        player->Open();
        EXPECT_EQ(player->Mode(), TMediaMode::Stopped);

        player->Play();
        EXPECT_EQ(player->Mode(), TMediaMode::Playing);
        ASSERT_TRUE(WaitFor([&] { return Ends == 1; }, 5000));
        EXPECT_EQ(player->Mode(), TMediaMode::Stopped);
        if (c.Duration > 0) {
            EXPECT_NEAR(player->Duration(), c.Duration, 30);
        }
        EXPECT_EQ(Modes,
                  (std::vector{TMediaMode::Stopped, TMediaMode::Playing, TMediaMode::Stopped}));
        // Resuming after the end does nothing; playing starts it again.
        player->Resume();
        EXPECT_EQ(player->Mode(), TMediaMode::Stopped);
        player->Play();
        EXPECT_EQ(player->Mode(), TMediaMode::Playing);
        ASSERT_TRUE(WaitFor([&] { return Ends == 2; }, 5000));
    }
}

TEST_F(MediaPlayerTest, PlaysAFileInsideADiscImage) {
    TTempFolder scratch;
    const std::string root = MountedImageOf(scratch.Path(), {{"mp3/Tone.WAV", ToneWav(300)}});
    ASSERT_FALSE(root.empty());
    auto player = Player();
    player->SetFileName(root + "/MP3/tone.wav");
    player->Open();
    player->Play();
    ASSERT_TRUE(WaitFor([&] { return Ends == 1; }, 5000));
    EXPECT_NEAR(player->Duration(), 300, 30);
}

TEST_F(MediaPlayerTest, PausesWhenPlayingAndResumesWhenPaused) {
    auto player = Player();
    player->SetFileName(Write("tone.wav", ToneWav(800)));
    player->Open();
    // Neither does anything before playing.
    player->Pause();
    player->Resume();
    EXPECT_EQ(player->Mode(), TMediaMode::Stopped);

    player->Play();
    ASSERT_TRUE(WaitFor([&] { return player->Position() >= 150; }, 3000));
    player->Pause();
    EXPECT_EQ(player->Mode(), TMediaMode::Paused);
    QTest::qWait(100); // the position settles where the sink stopped
    const std::int64_t pausedAt = player->Position();
    QTest::qWait(400);
    EXPECT_EQ(player->Mode(), TMediaMode::Paused);
    EXPECT_EQ(Ends, 0);
    EXPECT_NEAR(player->Position(), pausedAt, 20);
    EXPECT_LT(pausedAt, 700);

    player->Resume();
    EXPECT_EQ(player->Mode(), TMediaMode::Playing);
    player->Resume(); // playing already: nothing
    ASSERT_TRUE(WaitFor([&] { return Ends == 1; }, 5000));
    EXPECT_EQ(Modes, (std::vector{TMediaMode::Stopped, TMediaMode::Playing, TMediaMode::Paused,
                                  TMediaMode::Playing, TMediaMode::Stopped}));
}

TEST_F(MediaPlayerTest, AFileThatCannotBePlayedGivesTheFrameworksMessage) {
    struct TCase {
        const char* Name;
        std::string Bytes; // nothing is written for "missing"
    };
    const TCase cases[] = {
        {"missing.mp3", ""},
        {"text.mp3", "Это не музыка, а текст.\r\n"},
        {"empty.wav", ""},
        {"cut.wav", ToneWav(300).substr(0, 30)},
    };
    auto player = Player();
    const std::string good = Write("tone.wav", ToneWav(300));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        // A file open before is closed by the failed open.
        player->SetFileName(good);
        player->Open();
        player->Play();
        const std::string path = std::string(c.Name) == "missing.mp3"
                                     ? ParentOf(good) + "/missing.mp3"
                                     : Write(c.Name, c.Bytes);
        player->SetFileName(path);
        try {
            player->Open();
            ADD_FAILURE() << "opened";
        } catch (const EMediaError& e) {
            const std::string prefix = "Не удаётся открыть файл «" + std::string(FileNameIn(path)) + "»: ";
            const std::string message = e.what();
            ASSERT_EQ(message.substr(0, prefix.size()), prefix);
            EXPECT_GT(message.size(), prefix.size() + 3) << message;
        }
        EXPECT_EQ(player->Mode(), TMediaMode::NotOpen);
        ExpectThrowMessage<EMediaError>([&] { player->Play(); },
                                        "Нет открытого файла для воспроизведения.");
    }
    player->SetFileName("");
    ExpectThrowMessage<EMediaError>([&] { player->Open(); }, "Не задан файл для воспроизведения.");
}

} // namespace
