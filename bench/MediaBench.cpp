// The music player: from the double-click on a track (file name, open, play) to the player
// playing, and to the first sound out (the position moving), for the first track of the
// process (the media framework loaded then), a new player, and the next track on the same
// player (an MP3 and a WAV file in turn). Plays files written to the temporary folder (a
// silent MP3, a WAV tone), on the offscreen platform unless another is chosen, without a sound
// card. The video player: from giving a clip to its first picture shown, and 500 switches
// between clips 0 to 0.24 s apart (the longest wait for a clip's first picture, and how many
// clips never showed one while they were the last chosen for 1 s or more).
#include "common/FileSystem.h"
#include "platform/MediaPlayer.h"
#include "platform/qt/VideoPlayerQt.h"

#include "MediaFiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <unistd.h>

using namespace quarto;

namespace {

// Two files written once, removed at the end.
class TTones {
public:
    TTones() {
        const char* value = std::getenv("TMPDIR");
        FFolder = JoinPath(SystemFileSystem().AbsolutePath(value && *value ? value : "/tmp"),
                           "quarto-media-bench-" + std::to_string(getpid()));
        CreateFolders(FFolder);
        WriteWholeFile(First(), test::SilentMp3(115)); // 3 s
        WriteWholeFile(Second(), test::ToneWav(3000, 44100));
        WriteWholeFile(Clip(0), test::MjpegAvi(160, 120, 45, 15));
        WriteWholeFile(Clip(1), test::MjpegAvi(320, 240, 45, 15));
    }
    ~TTones() {
        try {
            SystemFileSystem().RemoveTree(FFolder);
        } catch (const std::exception&) {
        }
    }
    std::string First() const { return JoinPath(FFolder, "first.mp3"); }
    std::string Second() const { return JoinPath(FFolder, "second.wav"); }
    std::string Clip(int k) const { return JoinPath(FFolder, "clip" + std::to_string(k) + ".avi"); }

private:
    std::string FFolder;
};

const TTones& Tones() {
    static TTones tones;
    return tones;
}

// Runs the events until the position moves; false after 3 s.
bool WaitForSound(TMediaPlayer& player) {
    QElapsedTimer waited;
    waited.start();
    while (player.Position() <= 0) {
        if (waited.elapsed() > 3000)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// One double-click: the times to Playing and to the sound, in seconds, added to the counters.
void DoubleClick(benchmark::State& state, TMediaPlayer& player, const std::string& file,
                 double& toSound) {
    QElapsedTimer clock;
    clock.start();
    player.SetFileName(file);
    player.Open();
    player.Play();
    const qint64 playing = clock.nsecsElapsed();
    if (player.Mode() != TMediaMode::Playing || !WaitForSound(player))
        state.SkipWithError("the file does not play");
    toSound += static_cast<double>(clock.nsecsElapsed()) / 1e9;
    state.SetIterationTime(static_cast<double>(playing) / 1e9);
}

// The first track of the process: the framework is loaded (runs once, first).
void BM_FirstTrackOfTheProcess(benchmark::State& state) {
    double toSound = 0;
    for (auto _ : state) {
        auto player = MakeMediaPlayer();
        DoubleClick(state, *player, Tones().First(), toSound);
    }
    state.counters["to_sound_ms"] = toSound * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FirstTrackOfTheProcess)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// A new player (the reader makes one when the first track is played).
void BM_FirstTrackOfAPlayer(benchmark::State& state) {
    double toSound = 0;
    for (auto _ : state) {
        auto player = MakeMediaPlayer();
        DoubleClick(state, *player, Tones().First(), toSound);
    }
    state.counters["to_sound_ms"] = toSound * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FirstTrackOfAPlayer)->UseManualTime()->Unit(benchmark::kMillisecond);

// Another track while one plays, on the same player.
void BM_NextTrack(benchmark::State& state) {
    auto player = MakeMediaPlayer();
    double toSound = 0;
    bool second = false;
    for (auto _ : state) {
        DoubleClick(state, *player, second ? Tones().Second() : Tones().First(), toSound);
        second = !second;
    }
    state.counters["to_sound_ms"] = toSound * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_NextTrack)->UseManualTime()->Unit(benchmark::kMillisecond);

// Runs the events until done(); false after ms.
bool RunUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// A clip given to the player of a panel, the other of the two each time: to its first picture.
void BM_ClipFirstPicture(benchmark::State& state) {
    QWidget host;
    host.resize(320, 280);
    auto player = MakeVideoPlayer(&host);
    int k = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        player->SetFileName(Tones().Clip(k));
        if (!RunUntil([&] { return player->ReadyState() == TVideoReadyState::Ready; }, 5000))
            state.SkipWithError("the clip shows no picture");
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        k = 1 - k;
        RunUntil([] { return false; }, 200); // it plays a little
    }
}
BENCHMARK(BM_ClipFirstPicture)->UseManualTime()->Unit(benchmark::kMillisecond);

// 500 switches 0 to 0.24 s apart, then a wait of 1 s every 50: the longest wait for a first
// picture, and the clips that had a second or more and showed none.
void BM_FiveHundredSwitches(benchmark::State& state) {
    QWidget host;
    host.resize(320, 280);
    auto player = MakeVideoPlayer(&host);
    std::srand(20261211);
    double longest = 0;
    int blind = 0;
    for (auto _ : state) {
        QElapsedTimer all;
        all.start();
        for (int n = 1; n <= 500; ++n) {
            QElapsedTimer clock;
            clock.start();
            player->SetFileName(Tones().Clip(std::rand() % 2));
            const int pause = n % 50 == 0 ? 1000 : std::rand() % 241;
            const bool shown =
                RunUntil([&] { return player->ReadyState() == TVideoReadyState::Ready; }, pause);
            if (shown)
                longest = std::max(longest, static_cast<double>(clock.elapsed()));
            else if (pause >= 1000)
                ++blind;
            RunUntil([&] { return clock.elapsed() >= pause; }, pause);
        }
        state.SetIterationTime(static_cast<double>(all.nsecsElapsed()) / 1e9);
    }
    state.counters["longest_first_picture_ms"] = longest;
    state.counters["clips_without_picture"] = blind;
}
BENCHMARK(BM_FiveHundredSwitches)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
