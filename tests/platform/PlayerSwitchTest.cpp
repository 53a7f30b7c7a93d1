// Quick switching between clips and tracks, as a user double-clicking through the lists does:
// every switch ends playing the file chosen last. A watchdog writes the stack of every thread
// and stops the program if the players stop moving.
#include "platform/MediaPlayer.h"
#include "platform/qt/VideoPlayerQt.h"

#include "EditionFixture.h"
#include "MediaFiles.h"
#include "MediaFixture.h"

#include <QWidget>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>
#include <unistd.h>

using namespace quarto;
using namespace quarto::test;

namespace {

// Stops the program with every thread's stack (through gdb, when there is one) once Beat has
// not been called for stallSeconds.
class TWatchdog {
public:
    explicit TWatchdog(int stallSeconds) : FStall(stallSeconds), FThread([this] { Run(); }) {}
    ~TWatchdog() {
        {
            const std::lock_guard lock(FLock);
            FDone = true;
        }
        FWake.notify_one();
        FThread.join();
    }
    void Beat(const std::string& doing) {
        const std::lock_guard lock(FLock);
        FLast = std::chrono::steady_clock::now();
        FDoing = doing;
    }

private:
    void Run() {
        std::unique_lock lock(FLock);
        while (!FDone) {
            FWake.wait_for(lock, std::chrono::seconds(1));
            if (FDone || std::chrono::steady_clock::now() - FLast < std::chrono::seconds(FStall))
                continue;
            std::fprintf(stderr, "The players have not moved for %d s, at: %s\n", FStall,
                         FDoing.c_str());
            const std::string command = "gdb -batch -nx -p " + std::to_string(getpid()) +
                                        " -ex 'thread apply all bt' 1>&2 2>/dev/null";
            if (std::system(command.c_str()) != 0)
                std::fprintf(stderr, "(no stacks: gdb could not be run)\n");
            std::abort();
        }
    }

    const int FStall;
    std::mutex FLock;
    std::condition_variable FWake;
    bool FDone = false;
    std::chrono::steady_clock::time_point FLast = std::chrono::steady_clock::now();
    std::string FDoing = "starting";
    std::thread FThread;
};

// Counts the framework's warning that a video sink could not start its surface (the GUI thread
// did not answer within a second): that clip would show no picture.
std::atomic<int> SurfacesNotStarted{0};
QtMessageHandler OtherHandler = nullptr;
void CountSurfaceFailures(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QStringLiteral("Failed to start video surface")))
        ++SurfacesNotStarted;
    if (OtherHandler)
        OtherHandler(type, context, text);
}

TEST(PlayerSwitchTest, FiveHundredQuickSwitchesEachEndPlayingTheLastChoice) {
    MediaApplication();
    OtherHandler = qInstallMessageHandler(CountSurfaceFailures);
    TTempFolder temp;
    const auto write = [&](const std::string& name, const std::string& bytes) {
        const std::string path = temp.Path() / name;
        WriteWholeFile(path, bytes);
        return path;
    };
    struct TClip {
        std::string Path;
        TVideoSize Size;
    };
    const TClip clips[] = {
        {write("wide.avi", MjpegAvi(64, 48, 30)), {64, 48}},
        {write("small.avi", MjpegAvi(48, 32, 30)), {48, 32}},
        {std::string(QUARTO_PERIOD_MEDIA) + "/cinepak.avi", {160, 120}},
        {std::string(QUARTO_PERIOD_MEDIA) + "/wmv8.wmv", {160, 120}},
    };
    const std::string tracks[] = {
        write("tone.wav", ToneWav(3000)),
        std::string(QUARTO_PERIOD_MEDIA) + "/tone.mp3",
        std::string(QUARTO_PERIOD_MEDIA) + "/msadpcm.wav",
    };

    QWidget host;
    host.resize(320, 280);
    auto video = MakeVideoPlayer(&host);
    auto audio = MakeMediaPlayer();
    std::vector<TVideoSize> shown; // the size of each clip that became ready
    video->OnReadyStateChange([&](TVideoReadyState state) {
        if (state == TVideoReadyState::Ready)
            shown.push_back(video->VideoSize());
    });
    TWatchdog watchdog(30);
    std::mt19937 random(20261211);
    auto clipOrTrack = std::uniform_int_distribution<int>(0, 6);
    auto pause = std::uniform_int_distribution<int>(0, 240);

    const TClip* lastClip = nullptr;
    for (int k = 1; k <= 500; ++k) {
        const int choice = clipOrTrack(random);
        if (choice < 4) {
            lastClip = &clips[choice];
            watchdog.Beat("switch " + std::to_string(k) + " to " + lastClip->Path);
            video->SetFileName(lastClip->Path);
        } else {
            watchdog.Beat("switch " + std::to_string(k) + " to " + tracks[choice - 4]);
            audio->SetFileName(tracks[choice - 4]);
            ASSERT_NO_THROW(audio->Open());
            audio->Play();
        }
        // Double-clicks come 0 to 0.24 s apart; now and then the user waits for the picture.
        WaitFor([] { return false; }, pause(random));
        if (k % 50 == 0 || k == 500) {
            SCOPED_TRACE("after switch " + std::to_string(k));
            watchdog.Beat("waiting for switch " + std::to_string(k) + " to play");
            if (lastClip) {
                ASSERT_TRUE(WaitFor(
                    [&] {
                        return video->ReadyState() == TVideoReadyState::Ready &&
                               video->Mode() == TMediaMode::Playing;
                    },
                    5000))
                    << lastClip->Path;
                EXPECT_EQ(video->VideoSize(), lastClip->Size);
                EXPECT_EQ(shown.back(), lastClip->Size);
                const std::int64_t from = video->Position();
                EXPECT_TRUE(WaitFor([&] { return video->Position() > from; }, 3000));
            }
            if (audio->Mode() != TMediaMode::NotOpen) {
                // A short track may have ended by now: it is Stopped then, never stuck.
                EXPECT_NE(audio->Mode(), TMediaMode::Paused);
                if (audio->Mode() == TMediaMode::Playing) {
                    const std::int64_t from = audio->Position();
                    EXPECT_TRUE(WaitFor([&] { return audio->Position() > from; }, 3000));
                }
            }
        }
        DeleteLeftPlayers();
    }
    EXPECT_EQ(SurfacesNotStarted.load(), 0);
    qInstallMessageHandler(OtherHandler);
}

} // namespace
