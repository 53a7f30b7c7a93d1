#include "PlaybackQt.h"

#include "common/FileSystem.h"
#include "common/qt/QtText.h"

#include <QCoreApplication>
#include <QUrl>

#include <algorithm>

namespace quarto {

std::string SetPlayerSource(QMediaPlayer& player, const std::string& path) {
    const std::string playable = PlayablePath(path);
    player.setSource(QUrl::fromLocalFile(FromUtf8(playable)));
    return playable;
}

void DeleteSoon(QObject* object) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [object] { delete object; }, Qt::QueuedConnection);
}

TMediaProber::TMediaProber() : FThread([this] { Run(); }) {}

TMediaProber::~TMediaProber() {
    {
        const std::lock_guard lock(FLock);
        FQuit = true;
        FPath.clear();
    }
    FWake.notify_one();
    FThread.join();
}

void TMediaProber::Probe(const std::string& path, QObject* context,
                         std::function<void(const TMediaProbe&)> answer) {
    {
        const std::lock_guard lock(FLock);
        FPath = path;
        FPathNumber = ++FAsked;
        FContext = context;
        FAnswer = std::move(answer);
    }
    FWake.notify_one();
}

void TMediaProber::Forget() {
    const std::lock_guard lock(FLock);
    ++FAsked;
    FPath.clear();
}

void TMediaProber::Run() {
    for (;;) {
        std::string path;
        unsigned number = 0;
        {
            std::unique_lock lock(FLock);
            FWake.wait(lock, [this] { return FQuit || !FPath.empty(); });
            if (FQuit)
                return;
            path = std::exchange(FPath, std::string());
            number = FPathNumber;
        }
        const TMediaProbe probe = ProbeMedia(path, ProbeTimeoutMs);
        const std::lock_guard lock(FLock);
        if (FQuit || number != FAsked || !FContext)
            continue;
        // Given on the GUI thread only if nothing has been asked for since.
        QMetaObject::invokeMethod(
            FContext.data(),
            [this, number, probe, answer = FAnswer] {
                {
                    const std::lock_guard again(FLock);
                    if (number != FAsked)
                        return;
                }
                answer(probe);
            },
            Qt::QueuedConnection);
    }
}

} // namespace quarto
