// The music and audio player on Qt Multimedia: a QMediaPlayer with a QAudioOutput, made anew
// for every file (a player is never given a second file: replacing the file of a live
// pipeline is where the framework has been seen to stop for good), the first at the first
// Open so that starting the reader does not load the media framework.
#include "platform/MediaPlayer.h"

#include "MediaBackendQt.h"
#include "PlaybackQt.h"
#include "common/AsciiText.h"
#include "common/qt/QtText.h"
#include "platform/MediaTexts.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace quarto {

namespace {

// How long Open waits for the framework to read a file. It takes some 50 ms for a local file.
constexpr int OpenTimeoutMs = 5000;

bool IsLoaded(QMediaPlayer::MediaStatus status) {
    return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia ||
           status == QMediaPlayer::BufferingMedia || status == QMediaPlayer::EndOfMedia;
}

class TQtMediaPlayer : public TMediaPlayer {
public:
    ~TQtMediaPlayer() override { DropPlayer(false); }

    void SetFileName(const std::string& path) override { FFileName = path; }
    const std::string& FileName() const override { return FFileName; }

    void Open() override {
        Close();
        if (FFileName.empty())
            throw EMediaError("Не задан файл для воспроизведения.");
        MakePlayer();
        std::string path; // the file the framework reads
        FError.clear();
        bool timedOut = false;
        {
            QEventLoop loop;
            const auto done = [&] {
                if (IsLoaded(FPlayer->mediaStatus()) ||
                    FPlayer->mediaStatus() == QMediaPlayer::InvalidMedia || !FError.isEmpty())
                    loop.quit();
            };
            const QMetaObject::Connection statusWatch =
                QObject::connect(FPlayer.get(), &QMediaPlayer::mediaStatusChanged, &loop, done);
            const QMetaObject::Connection errorWatch =
                QObject::connect(FPlayer.get(), &QMediaPlayer::errorOccurred, &loop, done);
            QTimer timeout;
            timeout.setSingleShot(true);
            QObject::connect(&timeout, &QTimer::timeout, &loop, [&] {
                timedOut = true;
                loop.quit();
            });
            path = SetPlayerSource(*FPlayer, FFileName);
            // A failure may be told at once; otherwise wait, letting the user's input wait
            // too, so that no second Open starts inside this one.
            if (!IsLoaded(FPlayer->mediaStatus()) &&
                FPlayer->mediaStatus() != QMediaPlayer::InvalidMedia && FError.isEmpty()) {
                timeout.start(OpenTimeoutMs);
                loop.exec(QEventLoop::ExcludeUserInputEvents);
            }
            QObject::disconnect(statusWatch);
            QObject::disconnect(errorWatch);
        }
        // A file GStreamer cannot read may be told loaded, with the error set.
        if (IsLoaded(FPlayer->mediaStatus()) && FError.isEmpty() &&
            FPlayer->error() == QMediaPlayer::NoError) {
            FOpen = true;
            Notify();
            return;
        }
        QString reason = FError;
        if (reason.isEmpty())
            reason = FPlayer->errorString();
        DropPlayer(true);
        // A decoder the framework lacks is named, with the package that brings it.
        std::string why =
            MissingDecoderText(TMediaUse::Sound, ProbeMedia(path, ProbeTimeoutMs).Missing);
        if (why.empty())
            why = MediaErrorText(ToUtf8(reason));
        if (why.empty())
            why = timedOut ? "нет ответа за " + std::to_string(OpenTimeoutMs / 1000) + " с."
                           : "это не звук и не видео.";
        throw EMediaError("Не удаётся открыть файл «" + std::string(FileNameIn(FFileName)) +
                          "»: " + why);
    }

    void Play() override {
        if (!FOpen)
            throw EMediaError("Нет открытого файла для воспроизведения.");
        // A seek where the file stands already makes GStreamer end an MP3 at once now and then.
        if (FPlayer->position() != 0)
            FPlayer->setPosition(0);
        FPlayer->play();
        Notify();
    }
    void Pause() override {
        if (Mode() == TMediaMode::Playing) {
            FPlayer->pause();
            Notify();
        }
    }
    void Resume() override {
        if (Mode() == TMediaMode::Paused) {
            FPlayer->play();
            Notify();
        }
    }
    void Stop() override {
        if (FOpen) {
            FPlayer->stop();
            Notify();
        }
    }
    TMediaMode Mode() const override {
        if (!FOpen)
            return TMediaMode::NotOpen;
        return ModeOf(FPlayer->playbackState());
    }

    std::int64_t Position() const override { return FOpen ? FPlayer->position() : 0; }
    std::int64_t Duration() const override { return FOpen ? FPlayer->duration() : 0; }
    void Seek(std::int64_t ms) override {
        if (!FOpen)
            return;
        const std::int64_t length = FPlayer->duration();
        const std::int64_t to = std::max<std::int64_t>(0, length > 0 ? std::min(ms, length) : ms);
        // A seek where the file stands makes GStreamer end an MP3 at once now and then.
        if (to != FPlayer->position())
            FPlayer->setPosition(to);
    }
    int Volume() const override { return FVolume; }
    void SetVolume(int percent) override {
        FVolume = std::clamp(percent, 0, 100);
        if (FOutput)
            FOutput->setVolume(static_cast<float>(FVolume) / 100.0f);
    }

    void OnModeChange(std::function<void(TMediaMode)> callback) override {
        FModeChange = std::move(callback);
    }
    void OnEnd(std::function<void()> callback) override { FEnd = std::move(callback); }

private:
    void MakePlayer() {
        if (FPlayer)
            return;
        if (!QCoreApplication::instance())
            throw EMediaError("Проигрыватель работает только в окне программы.");
        SelectMediaBackend();
        FOutput = std::make_unique<QAudioOutput>();
        FOutput->setVolume(static_cast<float>(FVolume) / 100.0f);
        FPlayer = std::make_unique<QMediaPlayer>();
        FPlayer->setAudioOutput(FOutput.get());
        QObject::connect(FPlayer.get(), &QMediaPlayer::playbackStateChanged, FPlayer.get(),
                         [this] { Notify(); });
        QObject::connect(FPlayer.get(), &QMediaPlayer::errorOccurred, FPlayer.get(),
                         [this](QMediaPlayer::Error, const QString& text) {
                             // The first text is the one that says what went wrong; GStreamer
                             // follows it with general ones.
                             if (FError.isEmpty())
                                 FError = text.isEmpty() ? Ui("ошибка воспроизведения.") : text;
                         });
        QObject::connect(FPlayer.get(), &QMediaPlayer::mediaStatusChanged, FPlayer.get(),
                         [this](QMediaPlayer::MediaStatus status) {
                             if (status != QMediaPlayer::EndOfMedia || !FOpen)
                                 return;
                             Notify();
                             if (FEnd)
                                 FEnd();
                         });
    }

    // Lets the player go; later, when Open may run inside a signal of it (a callback that
    // opens the next file), at once when this goes.
    void DropPlayer(bool later) {
        if (!FPlayer)
            return;
        // No callback runs while the player goes. Its pipeline is ended first (an empty
        // source): a player given no output, or deleted, while its pipeline runs waits for the
        // pipeline's pads to be idle, some 300 ms.
        QObject::disconnect(FPlayer.get(), nullptr, nullptr, nullptr);
        FPlayer->setSource(QUrl());
        // The output goes with its player.
        FOutput.release()->setParent(FPlayer.get());
        if (later)
            DeleteSoon(FPlayer.release());
        else
            FPlayer.reset();
    }

    // Closes the open file, if any: its player stops, and goes once the events run.
    void Close() {
        if (!FPlayer)
            return;
        FOpen = false;
        DropPlayer(true);
        Notify();
    }

    // Tells the mode when it is not the one told last.
    void Notify() {
        const TMediaMode mode = Mode();
        if (mode == FToldMode)
            return;
        FToldMode = mode;
        if (FModeChange)
            FModeChange(mode);
    }

    std::string FFileName;
    int FVolume = 100;
    std::function<void(TMediaMode)> FModeChange;
    std::function<void()> FEnd;
    // Made for each Open, the output with its player.
    std::unique_ptr<QAudioOutput> FOutput;
    std::unique_ptr<QMediaPlayer> FPlayer;
    bool FOpen = false;
    QString FError; // the first error told since the file was opened
    TMediaMode FToldMode = TMediaMode::NotOpen;
};

} // namespace

std::unique_ptr<TMediaPlayer> MakeMediaPlayer() {
    return std::make_unique<TQtMediaPlayer>();
}

} // namespace quarto
