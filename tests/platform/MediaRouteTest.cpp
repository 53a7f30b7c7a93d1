// How sound and clip files are handed to the media framework, and what the players say about
// the ones it cannot play.
#include "platform/MediaRoute.h"
#include "platform/MediaTexts.h"

#include "EditionFixture.h"
#include "MediaFiles.h"
#include "common/AsciiText.h"
#include "common/FileSystem.h"

#include <gtest/gtest.h>

using namespace quarto;
using namespace quarto::test::media_detail;

namespace {

// A WAV file of the given format tag whose data chunk holds dataSize bytes.
std::string Wave(std::uint16_t format, std::size_t dataSize) {
    std::string fmt;
    Put16(fmt, format);
    Put16(fmt, 1);
    Put32(fmt, 22050);
    Put32(fmt, 22050);
    Put16(fmt, 1);
    Put16(fmt, 8);
    return List("RIFF", "WAVE", Chunk("fmt ", fmt) + Chunk("data", std::string(dataSize, '\x80')));
}

// An AVI file with one uncompressed picture stream of the given height and, if asked, an
// OpenDML picture header.
std::string Avi(std::int32_t height, bool vprp, std::uint32_t compression = 0) {
    std::string strh = "vids";
    strh += std::string(52, '\0');
    std::string strf;
    Put32(strf, 40);
    Put32(strf, 160);
    Put32(strf, static_cast<std::uint32_t>(height));
    Put16(strf, 1);
    Put16(strf, 24);
    Put32(strf, compression);
    strf += std::string(20, '\0');
    std::string list = Chunk("strh", strh) + Chunk("strf", strf);
    if (vprp)
        list += Chunk("vprp", std::string(68, '\0'));
    const std::string hdrl = Chunk("avih", std::string(56, '\0')) + List("LIST", "strl", list);
    return List("RIFF", "AVI ", List("LIST", "hdrl", hdrl) + List("LIST", "movi", ""));
}

TEST(MediaRouteTest, OnlyWhatTheFrameworkMisreadsGoesAsAStream) {
    const std::string mp3 = Wave(0x55, 100);
    const std::string odd = Wave(1, 101);
    const std::string gsm = Wave(0x31, 65);
    const std::string topDown = Avi(-120, true);
    struct TCase {
        const char* What;
        std::string File;
        TMediaRoute Route;
    };
    const TCase cases[] = {
        {"PCM WAV, even data", Wave(1, 100), {}},
        {"8-bit PCM WAV, odd data and its pad byte: both, the pad silent",
         odd,
         {true,
          0,
          odd.size(),
          {{odd.find("data") + 4, {'\x66', 0, 0, 0}}, {odd.size() - 1, "\x80"}},
          ""}},
        {"GSM WAV, odd data and its pad byte: both",
         gsm,
         {true, 0, gsm.size(), {{gsm.find("data") + 4, {'\x42', 0, 0, 0}}}, ""}},
        {"odd data without its pad byte", odd.substr(0, odd.size() - 1), {}},
        {"MP3 in WAV: its data chunk", mp3, {true, mp3.size() - 100, mp3.size(), {}, ".mp3"}},
        {"top-down RGB AVI with vprp",
         topDown,
         {true, 0, topDown.size(), {{topDown.find("vprp"), "JUNK"}}, ""}},
        {"bottom-up RGB AVI", Avi(120, true), {}},
        {"top-down AVI without vprp", Avi(-120, false), {}},
        {"compressed AVI with vprp", Avi(-120, true, 0x64697663), {}},
        {"not RIFF", "ID3\x03", {}},
        {"empty", "", {}},
        {"RIFF cut short", "RIFF\xff\xff\xff\xffWAVEfmt ", {}},
        {"data before fmt", List("RIFF", "WAVE", Chunk("data", "x")), {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(RouteOf(c.File, c.File.size()), c.Route);
    }
    // A data chunk said to run past the file ends with the file.
    const std::string cut = mp3.substr(0, mp3.size() - 40);
    EXPECT_EQ(RouteOf(cut, cut.size()),
              (TMediaRoute{true, mp3.size() - 100, cut.size(), {}, ".mp3"}));
}

TEST(MediaRouteTest, TheFrameworkIsGivenARepairedCopyOnlyWhereOneIsNeeded) {
    test::TTempFolder temp;
    const std::string even = temp.Path() / "Even.wav";
    const std::string odd = temp.Path() / "Odd.wav";
    const std::string mp3 = temp.Path() / "Mp3.WAV";
    WriteWholeFile(even, Wave(1, 100));
    WriteWholeFile(odd, Wave(1, 101));
    std::string mp3Bytes = Wave(0x55, 4);
    mp3Bytes.replace(mp3Bytes.size() - 4, 4, "\xff\xfb\x90\x64");
    WriteWholeFile(mp3, mp3Bytes);

    EXPECT_EQ(PlayablePath(even), even);
    // Found ignoring letter case (on Windows the name stays as asked, which names the file too).
    EXPECT_EQ(test::PathKey(PlayablePath(temp.Path() / "even.WAV")), test::PathKey(even));
    const std::string repaired = PlayablePath(odd);
    ASSERT_NE(repaired, odd);
    EXPECT_EQ(FileNameIn(repaired), "Odd.wav");
    std::string expected = Wave(1, 101);
    expected[expected.find("data") + 4] = '\x66';
    expected.back() = '\x80';
    EXPECT_EQ(ReadWholeFile(repaired), expected);
    EXPECT_EQ(ReadWholeFile(odd), Wave(1, 101)); // the file itself is never written
    EXPECT_EQ(PlayablePath(odd), repaired);      // made once

    const std::string stream = PlayablePath(mp3);
    EXPECT_EQ(FileNameIn(stream), "Mp3.mp3");
    EXPECT_EQ(ReadWholeFile(stream), "\xff\xfb\x90\x64");
    const std::string missing = temp.Path() / "missing.wav";
    EXPECT_EQ(PlayablePath(missing), missing);
}

TEST(MediaTextsTest, AMissingDecoderIsNamedWithItsPackage) {
    const auto codec = [](const std::string& caps) -> std::string {
        return caps.rfind("video/x-cinepak", 0) == 0 ? "Cinepak Video" : "";
    };
    const TMissingElement cinepak = MissingElementOf(
        "gstreamer|1.0|platform_tests|Cinepak Video decoder|decoder-video/x-cinepak", codec);
    EXPECT_EQ(cinepak, (TMissingElement{"Cinepak Video", "gstreamer1.0-libav"}));
    EXPECT_EQ(MissingDecoderText(TMediaUse::Clip, {cinepak}),
              "Для этого ролика нужен декодер «Cinepak Video»: установите пакет "
              "gstreamer1.0-libav.");

    const TMissingElement asf =
        MissingElementOf("gstreamer|1.0|x|ASF demuxer|decoder-video/x-ms-asf", codec);
    const TMissingElement midi =
        MissingElementOf("gstreamer|1.0|x|MIDI|decoder-audio/x-midi-event", codec);
    EXPECT_EQ(asf, (TMissingElement{"ASF demuxer", "gstreamer1.0-plugins-ugly"}));
    EXPECT_EQ(MissingDecoderText(TMediaUse::Sound, {midi}),
              "Для этого звука нужен декодер «синтезатор MIDI (fluidsynth)»: установите пакет "
              "gstreamer1.0-plugins-bad.");
    EXPECT_EQ(MissingDecoderText(TMediaUse::Clip, {cinepak, asf, cinepak}),
              "Для этого ролика нужны декодеры «Cinepak Video» и «ASF demuxer»: установите "
              "пакеты gstreamer1.0-libav и gstreamer1.0-plugins-ugly.");
    EXPECT_EQ(MissingDecoderText(TMediaUse::Clip, {}), "");
    EXPECT_EQ(MissingElementOf("not|a|detail", codec), TMissingElement{});
    EXPECT_EQ(PackageForCaps("video/mpeg, systemstream=(boolean)true, mpegversion=(int)1"),
              "gstreamer1.0-plugins-bad");
    EXPECT_EQ(PackageForCaps("video/mpeg, mpegversion=(int)4"), "gstreamer1.0-libav");
}

TEST(MediaTextsTest, TheFrameworksTextsAreShownInRussian) {
    EXPECT_EQ(MediaErrorText("Could not determine type of stream."),
              "Не удаётся определить, что это за звук или видео.");
    EXPECT_EQ(MediaErrorText(" Internal data stream error.\n"),
              "Файл не удаётся прочитать: ошибка в потоке данных.");
    EXPECT_EQ(MediaErrorText("Something new."), "Ошибка воспроизведения: Something new.");
    EXPECT_EQ(MediaErrorText(""), "");
}

} // namespace
