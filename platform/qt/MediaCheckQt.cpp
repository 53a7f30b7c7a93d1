#include "MediaCheckQt.h"

#include "VideoPlayerQt.h"
#include "common/AsciiText.h"
#include "common/MediaKinds.h"
#include "platform/MediaPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QWidget>

#include <functional>

namespace quarto {

namespace {

// Runs the events until done() or ms milliseconds have passed; done() at the end.
bool RunUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

std::string Seconds(std::int64_t ms) {
    return std::to_string(ms / 1000) + "," + std::to_string(ms % 1000 / 100) + " с";
}

// "" when the sound played to its end, else why not.
std::string PlaySound(const std::string& path, std::int64_t& played) {
    auto player = MakeMediaPlayer();
    bool ended = false;
    player->OnEnd([&] { ended = true; });
    player->SetFileName(path);
    try {
        player->Open();
        QElapsedTimer timer;
        timer.start();
        player->Play();
        if (!RunUntil([&] { return ended; }, 60000))
            return "звук не доиграл до конца за минуту";
        played = timer.elapsed();
    } catch (const EMediaError& e) {
        return e.what();
    }
    return {};
}

// "" when the clip showed pictures, else why not.
std::string PlayClip(const std::string& path, TVideoSize& size) {
    QWidget host;
    host.resize(320, 280);
    auto player = MakeVideoPlayer(&host);
    player->SetFileName(path);
    if (!RunUntil([&] { return player->ReadyState() != TVideoReadyState::Loading; }, 10000))
        return "ролик не показал ни кадра за 10 с";
    // The probe's answer, naming a missing decoder, may follow the framework's error.
    const auto named = [&] { return player->ErrorText().rfind("Для этого ролика", 0) == 0; };
    if (player->ReadyState() == TVideoReadyState::Failed) {
        RunUntil(named, 4000);
        return player->ErrorText();
    }
    size = player->VideoSize();
    const std::int64_t from = player->Position();
    if (!RunUntil([&] { return player->Position() > from + 1000; }, 5000))
        return "ролик остановился";
    // A missing sound decoder is told by the probe a little later.
    RunUntil([] { return false; }, 300);
    if (player->ReadyState() == TVideoReadyState::Failed) {
        RunUntil(named, 4000);
        return player->ErrorText();
    }
    return {};
}

} // namespace

int PlayEachFile(const std::vector<std::string>& paths, std::ostream& out) {
    int code = 0;
    for (const std::string& path : paths) {
        const std::string name(FileNameIn(path));
        const TMediaKind kind = MediaTypeOfName(path).Kind;
        std::string failure;
        if (kind == TMediaKind::Clip) {
            TVideoSize size;
            failure = PlayClip(path, size);
            if (failure.empty())
                out << name << ": ролик " << size.Width << "×" << size.Height
                    << " показывает кадры\n";
        } else if (kind == TMediaKind::Sound) {
            std::int64_t played = 0;
            failure = PlaySound(path, played);
            if (failure.empty())
                out << name << ": звук сыгран до конца за " << Seconds(played) << "\n";
        } else {
            failure = "это не звук и не ролик";
        }
        if (!failure.empty()) {
            out << name << ": " << failure << "\n";
            code = 1;
        }
        out.flush();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return code;
}

} // namespace quarto
