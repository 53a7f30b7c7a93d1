// The video player on Qt Multimedia: a QMediaPlayer showing its picture above a control bar,
// in the panel the window gives it. The panel is made at the first SetFileName, so that
// starting the reader does not load the media framework; the QMediaPlayer, with its audio
// output and video sink, is made anew for every clip and the one before let go (a player is
// never given a second clip: replacing the clip of a live pipeline is where the framework has
// been seen to stop for good).
//
// The picture is painted by an ordinary widget from the frames of a video sink, not shown in
// the framework's own video window: that window is a native OpenGL child, and a dialog holding
// one stops showing its own painting on X servers without a working OpenGL, so the video
// window's controls stayed black.
#include "VideoPlayerQt.h"

#include "MediaBackendQt.h"
#include "PlaybackQt.h"
#include "common/qt/QtText.h"
#include "platform/MediaTexts.h"

#include <QAudioOutput>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMediaPlayer>
#include <QPainter>
#include <QPointer>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace quarto {

namespace {

// How long a clip that has been read may show no picture before it is given to a new player.
constexpr int NoPictureMs = 2500;
// How many players let go may wait while a clip starts.
constexpr std::size_t MaxLetGo = 4;

// The clip's picture: the last frame, scaled to fit with its proportions, on black.
class TVideoPicture : public QWidget {
public:
    explicit TVideoPicture(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void ShowFrame(const QVideoFrame& frame) {
        FFrame = frame.toImage();
        update();
    }
    void Clear() {
        FFrame = QImage();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (FFrame.isNull())
            return;
        QSize size = FFrame.size();
        size.scale(this->size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2),
                           size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, FFrame);
    }

private:
    QImage FFrame;
};

class TQtVideoPlayer : public TVideoPlayer {
public:
    explicit TQtVideoPlayer(QWidget* host) : FHost(host) {}

    ~TQtVideoPlayer() override {
        FProber.reset(); // no answer comes after this
        FNoPictureTimer.stop();
        FBuryTimer.stop();
        for (std::unique_ptr<QMediaPlayer>& player : FLetGo)
            player->setSource(QUrl());
        FLetGo.clear();

        if (FPlayer)
            FPlayer->stop();
        // Every connection has FContext as its context, so none runs past this line.
        FContext.reset();
        FPlayer.reset();
        if (FPanel) {
            FPanel->hide();
            FPanel->deleteLater();
        }
    }

    void SetFileName(const std::string& path) override {
        FFileName = path;
        if (!FPlayer && path.empty())
            return;
        MakePanel();
        ++FGeneration; // frames and answers about the clip before are not this one's
        ++FClip;
        FRestarts = 0;
        DropMediaPlayer();
        FProber->Forget();
        FSize = {};
        FError.clear();
        {
            // The slider starts anew with the clip.
            const QSignalBlocker quiet(FPositionSlider);
            FPositionSlider->setRange(0, 0);
            FPositionSlider->setValue(0);
        }
        if (path.empty()) {
            SetReadyState(TVideoReadyState::Empty);
            return;
        }
        MakeMediaPlayer();
        FVideo->Clear();
        FStack->setCurrentWidget(FVideo);
        SetReadyState(TVideoReadyState::Loading);
        FRealPath = SetPlayerSource(*FPlayer, path);
        Start();
        // A decoder the framework lacks may leave the clip black or silent without an error:
        // the probe names it.
        FProber->Probe(FRealPath, FContext.get(), [this, clip = ++FClip](const TMediaProbe& probe) {
            if (clip == FClip && !probe.Missing.empty())
                Fail(MissingDecoderText(TMediaUse::Clip, probe.Missing), true);
        });
    }
    const std::string& FileName() const override { return FFileName; }
    bool AutoStart() const override { return FAutoStart; }
    void SetAutoStart(bool on) override { FAutoStart = on; }

    void Play() override {
        if (HasClip())
            FPlayer->play();
    }
    void Pause() override {
        if (Mode() == TMediaMode::Playing)
            FPlayer->pause();
    }
    void Stop() override {
        if (HasClip())
            FPlayer->stop();
    }
    TMediaMode Mode() const override {
        if (!HasClip())
            return TMediaMode::NotOpen;
        return ModeOf(FPlayer->playbackState());
    }

    TVideoReadyState ReadyState() const override { return FReadyState; }
    std::string ErrorText() const override { return ToUtf8(FError); }
    TVideoSize VideoSize() const override { return FSize; }
    bool HasSound() const override {
        return FReadyState == TVideoReadyState::Ready && FPlayer && FPlayer->hasAudio();
    }
    void OnReadyStateChange(std::function<void(TVideoReadyState)> callback) override {
        FReadyStateChange = std::move(callback);
    }

    std::int64_t Position() const override { return HasClip() ? FPlayer->position() : 0; }
    std::int64_t Duration() const override { return HasClip() ? FPlayer->duration() : 0; }
    void Seek(std::int64_t ms) override {
        if (!HasClip())
            return;
        const std::int64_t length = FPlayer->duration();
        FPlayer->setPosition(std::max<std::int64_t>(0, length > 0 ? std::min(ms, length) : ms));
    }
    int Volume() const override { return FVolume; }
    void SetVolume(int percent) override {
        FVolume = std::clamp(percent, 0, 100);
        if (FOutput)
            FOutput->setVolume(static_cast<float>(FVolume) / 100.0f);
        if (FVolumeSlider) {
            const QSignalBlocker quiet(FVolumeSlider);
            FVolumeSlider->setValue(FVolume);
        }
    }

private:
    // Plays the clip given to the player, or, without AutoStart, reads it up to its first
    // picture (paused, the framework still does), whose size makes the clip Ready.
    void Start() {
        if (FAutoStart)
            FPlayer->play();
        else
            FPlayer->pause();
    }

    // The clip has been read but no picture came: its video sink did not start (see
    // DropMediaPlayer). The clip is given to a new player, twice at most.
    void NoPicture() {
        if (FReadyState != TVideoReadyState::Loading || !FPlayer)
            return;
        const QMediaPlayer::MediaStatus status = FPlayer->mediaStatus();
        const bool read = status == QMediaPlayer::LoadedMedia ||
                          status == QMediaPlayer::BufferedMedia ||
                          status == QMediaPlayer::BufferingMedia;
        if (!read || !FPlayer->hasVideo() || FRestarts >= 2) {
            FNoPictureTimer.start(); // still reading (a slow disc): wait on
            return;
        }
        ++FRestarts;
        ++FGeneration;
        DropMediaPlayer();
        MakeMediaPlayer();
        FRealPath = SetPlayerSource(*FPlayer, FFileName);
        Start();
    }

    bool HasClip() const {
        return FPlayer &&
               (FReadyState == TVideoReadyState::Loading || FReadyState == TVideoReadyState::Ready);
    }

    // The panel and what outlives the clips, at the first clip.
    void MakePanel() {
        if (FContext)
            return;
        SelectMediaBackend();
        FContext = std::make_unique<QObject>();
        FProber = std::make_unique<TMediaProber>();
        FNoPictureTimer.setSingleShot(true);
        FNoPictureTimer.setInterval(NoPictureMs);
        QObject::connect(&FNoPictureTimer, &QTimer::timeout, FContext.get(),
                         [this] { NoPicture(); });
        FBuryTimer.setInterval(100);
        QObject::connect(&FBuryTimer, &QTimer::timeout, FContext.get(), [this] { Bury(); });

        MakeWidgets();
    }

    // Lets the clip's player go, with its output and sink: paused and silent, it waits in
    // FLetGo to be ended (Bury). Ending a pipeline that runs (an empty source, stopping it, or
    // deleting the player) takes the GUI thread some 300 ms while the pipeline's pads become
    // idle; a video sink that starts meanwhile gives up waiting for the GUI thread after a
    // second and never shows a picture. So the next clip starts first; pausing is at once.
    void DropMediaPlayer() {
        if (!FPlayer)
            return;
        QObject::disconnect(FPlayer.get(), nullptr, FContext.get(), nullptr);
        if (FSink)
            QObject::disconnect(FSink, nullptr, FContext.get(), nullptr);
        FOutput->setMuted(true);
        FPlayer->pause();
        FLetGo.push_back(std::move(FPlayer));
        FSink = nullptr;
        FOutput = nullptr;
        FNoPictureTimer.stop();
        FBuryTimer.start();
    }

    // Ends one player let go, once the clip shown has started (or failed, or none is given),
    // or when many wait.
    void Bury() {
        if (FLetGo.empty()) {
            FBuryTimer.stop();
            return;
        }
        if (FReadyState == TVideoReadyState::Loading && FLetGo.size() <= MaxLetGo)
            return;
        std::unique_ptr<QMediaPlayer> player = std::move(FLetGo.front());
        FLetGo.erase(FLetGo.begin());
        // Its sink may be waiting for the GUI thread to start: the events waiting come first.
        QCoreApplication::sendPostedEvents();
        player->setSource(QUrl());
    }

    // The clip's player, with an output and a sink of its own (its children: they go after
    // it). It plays into the picture.
    void MakeMediaPlayer() {
        QObject* context = FContext.get();
        FPlayer = std::make_unique<QMediaPlayer>();
        FOutput = new QAudioOutput(FPlayer.get());
        FOutput->setVolume(static_cast<float>(FVolume) / 100.0f);
        FSink = new QVideoSink(FPlayer.get());
        FPlayer->setAudioOutput(FOutput);
        FPlayer->setVideoSink(FSink);
        FNoPictureTimer.start();

        // The sink may tell a frame on the framework's thread, holding its lock: the frame (a
        // shared handle) waits for the GUI thread with the clip it is of, where its size and
        // picture are taken. Only the newest waits, so a busy GUI thread skips frames instead
        // of holding the framework's buffers.
        QObject::connect(
            FSink, &QVideoSink::videoFrameChanged, context,
            [this, context, generation = FGeneration.load()](const QVideoFrame& frame) {
                if (!frame.isValid())
                    return;
                {
                    const std::lock_guard lock(FWaitingLock);
                    FWaiting = frame;
                    FWaitingGeneration = generation;
                    if (FWaitingPosted)
                        return;
                    FWaitingPosted = true;
                }
                QMetaObject::invokeMethod(
                    context, [this] { FrameShown(); }, Qt::QueuedConnection);
            },
            Qt::DirectConnection);
        QObject::connect(FPlayer.get(), &QMediaPlayer::mediaStatusChanged, context,
                         [this](QMediaPlayer::MediaStatus status) {
                             if (FReadyState != TVideoReadyState::Loading)
                                 return;
                             // A file GStreamer cannot read may still be told loaded,
                             // with the error set.
                             if (status == QMediaPlayer::InvalidMedia ||
                                 FPlayer->error() != QMediaPlayer::NoError)
                                 FailFor(FPlayer->errorString());
                             // A clip without a picture is ready once read.
                             else if ((status == QMediaPlayer::LoadedMedia ||
                                       status == QMediaPlayer::BufferedMedia) &&
                                      !FPlayer->hasVideo())
                                 SetReadyState(TVideoReadyState::Ready);
                         });
        QObject::connect(FPlayer.get(), &QMediaPlayer::errorOccurred, context,
                         [this](QMediaPlayer::Error, const QString& text) { FailFor(text); });
        QObject::connect(FPlayer.get(), &QMediaPlayer::playbackStateChanged, context,
                         [this] { ShowMode(); });
        QObject::connect(FPlayer.get(), &QMediaPlayer::durationChanged, context,
                         [this](qint64 ms) { FPositionSlider->setRange(0, static_cast<int>(ms)); });
        QObject::connect(FPlayer.get(), &QMediaPlayer::positionChanged, context, [this](qint64 ms) {
            if (!FPositionSlider->isSliderDown()) {
                const QSignalBlocker quiet(FPositionSlider);
                FPositionSlider->setValue(static_cast<int>(ms));
            }
        });
    }

    // The picture (or the reason it cannot be shown) over the control bar, filling the host.
    void MakeWidgets() {
        FPanel = new QWidget(FHost);
        FPanel->setObjectName("VideoPlayerPanel");
        auto* column = new QVBoxLayout(FPanel);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);

        FStack = new QStackedWidget(FPanel);
        FVideo = new TVideoPicture(FStack);
        FVideo->setObjectName("VideoPicture");
        FErrorLabel = new QLabel(FStack);
        FErrorLabel->setObjectName("VideoErrorText");
        FErrorLabel->setAlignment(Qt::AlignCenter);
        FErrorLabel->setWordWrap(true);
        FStack->addWidget(FVideo);
        FStack->addWidget(FErrorLabel);
        column->addWidget(FStack, 1);

        auto* bar = new QWidget(FPanel);
        bar->setObjectName("VideoControls");
        auto* row = new QHBoxLayout(bar);
        row->setContentsMargins(2, 2, 2, 2);
        QStyle* style = FPanel->style();
        FPlayButton = new QToolButton(bar);
        FPlayButton->setObjectName("VideoPlay");
        FPlayButton->setIcon(style->standardIcon(QStyle::SP_MediaPlay));
        FPlayButton->setAutoRaise(true);
        auto* stopButton = new QToolButton(bar);
        stopButton->setObjectName("VideoStop");
        stopButton->setIcon(style->standardIcon(QStyle::SP_MediaStop));
        stopButton->setAutoRaise(true);
        FPositionSlider = new QSlider(Qt::Horizontal, bar);
        FPositionSlider->setObjectName("VideoPosition");
        FPositionSlider->setPageStep(5000); // a click beside the handle: 5 s, not Qt's 10 ms
        auto* volumeIcon = new QLabel(bar);
        volumeIcon->setPixmap(style->standardIcon(QStyle::SP_MediaVolume).pixmap(16, 16));
        FVolumeSlider = new QSlider(Qt::Horizontal, bar);
        FVolumeSlider->setObjectName("VideoVolume");
        FVolumeSlider->setRange(0, 100);
        FVolumeSlider->setValue(FVolume);
        FVolumeSlider->setFixedWidth(60);
        row->addWidget(FPlayButton);
        row->addWidget(stopButton);
        row->addWidget(FPositionSlider, 1);
        row->addWidget(volumeIcon);
        row->addWidget(FVolumeSlider);
        column->addWidget(bar);

        QObject* context = FContext.get();
        QObject::connect(FPlayButton, &QToolButton::clicked, context, [this] {
            if (Mode() == TMediaMode::Playing)
                Pause();
            else
                Play();
        });
        QObject::connect(stopButton, &QToolButton::clicked, context, [this] { Stop(); });
        QObject::connect(FPositionSlider, &QSlider::sliderMoved, context,
                         [this](int ms) { Seek(ms); });
        QObject::connect(FPositionSlider, &QSlider::actionTriggered, context,
                         [this](int) { Seek(FPositionSlider->sliderPosition()); });
        QObject::connect(FVolumeSlider, &QSlider::valueChanged, context,
                         [this](int percent) { SetVolume(percent); });

        if (FHost) {
            QLayout* layout = FHost->layout();
            if (!layout) {
                layout = new QVBoxLayout(FHost);
                layout->setContentsMargins(0, 0, 0, 0);
            }
            layout->addWidget(FPanel);
        }
        FPanel->show();
    }

    // A picture of the clip shown; the first one, while loading, gives the clip's size.
    void FrameShown() {
        FNoPictureTimer.stop();
        QVideoFrame frame;
        unsigned generation = 0;
        {
            const std::lock_guard lock(FWaitingLock);
            frame = std::exchange(FWaiting, QVideoFrame());
            generation = FWaitingGeneration;
            FWaitingPosted = false;
        }
        if (!frame.isValid() || generation != FGeneration.load() ||
            (FReadyState != TVideoReadyState::Loading && FReadyState != TVideoReadyState::Ready))
            return;
        FVideo->ShowFrame(frame);
        if (FReadyState != TVideoReadyState::Loading)
            return;
        FSize = {frame.width(), frame.height()};
        SetReadyState(TVideoReadyState::Ready);
    }

    // The framework cannot play the clip: the decoder it lacks, when that is why, or what it
    // says, in Russian.
    void FailFor(const QString& frameworkText) {
        if (FReadyState != TVideoReadyState::Loading && FReadyState != TVideoReadyState::Ready)
            return;
        // The probe, asked when the clip was given, may name the decoder that is missing; its
        // answer replaces this text.
        Fail(MediaErrorText(ToUtf8(frameworkText)));
    }

    // Shows why the clip cannot be played; again, when it failed already, only when replace.
    void Fail(const std::string& text, bool replace = false) {
        if (FReadyState == TVideoReadyState::Failed && replace) {
            FError = FromUtf8(text);
            FErrorLabel->setText(FError);
            return;
        }
        if (FReadyState != TVideoReadyState::Loading && FReadyState != TVideoReadyState::Ready)
            return;
        FNoPictureTimer.stop();
        // GStreamer follows the text that says what went wrong with general ones.
        FError = text.empty() ? Ui("Этот файл не воспроизводится.") : FromUtf8(text);
        FSize = {};
        FErrorLabel->setText(FError);
        FStack->setCurrentWidget(FErrorLabel);
        if (FOutput)
            FOutput->setMuted(true);
        SetReadyState(TVideoReadyState::Failed);
    }

    void ShowMode() {
        FPlayButton->setIcon(FPanel->style()->standardIcon(
            Mode() == TMediaMode::Playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    }

    void SetReadyState(TVideoReadyState state) {
        if (state == FReadyState)
            return;
        FReadyState = state;
        ShowMode();
        if (FReadyStateChange)
            FReadyStateChange(state);
    }

    QPointer<QWidget> FHost;
    std::string FFileName;
    bool FAutoStart = true;
    int FVolume = 100;
    TVideoReadyState FReadyState = TVideoReadyState::Empty;
    TVideoSize FSize;
    QString FError;
    std::function<void(TVideoReadyState)> FReadyStateChange;
    // Which SetFileName the frames belong to; read on the framework's thread.
    std::atomic<unsigned> FGeneration{0};
    // The newest frame told and not yet shown, and whether the GUI thread has been called.
    std::mutex FWaitingLock;
    QVideoFrame FWaiting;
    unsigned FWaitingGeneration = 0;
    bool FWaitingPosted = false;

    // Which clip was given last (SetFileName), and how often its player has been made anew.
    unsigned FClip = 0;
    int FRestarts = 0;
    QTimer FNoPictureTimer;
    // Players let go, paused, waiting to be ended (DropMediaPlayer, Bury).
    std::vector<std::unique_ptr<QMediaPlayer>> FLetGo;
    QTimer FBuryTimer;
    // Made at the first SetFileName. The widgets belong to the host's panel.
    std::unique_ptr<QObject> FContext;
    std::unique_ptr<TMediaProber> FProber;
    std::string FRealPath; // the clip's file as the framework reads it
    // Made for each clip; the output and the sink are the player's children.
    std::unique_ptr<QMediaPlayer> FPlayer;
    QAudioOutput* FOutput = nullptr;
    QVideoSink* FSink = nullptr;
    QPointer<QWidget> FPanel;
    QStackedWidget* FStack = nullptr;
    TVideoPicture* FVideo = nullptr;
    QLabel* FErrorLabel = nullptr;
    QToolButton* FPlayButton = nullptr;
    QSlider* FPositionSlider = nullptr;
    QSlider* FVolumeSlider = nullptr;
};

} // namespace

std::unique_ptr<TVideoPlayer> MakeVideoPlayer(QWidget* host) {
    return std::make_unique<TQtVideoPlayer>(host);
}

} // namespace quarto
