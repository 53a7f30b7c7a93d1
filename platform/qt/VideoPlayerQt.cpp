// The video player on Qt Multimedia: a QMediaPlayer showing its picture above a control bar,
// in the panel the window gives it. Made at the first SetFileName, so that starting the reader
// does not load the media framework.
//
// The picture is painted by an ordinary widget from the frames of a video sink, not shown in
// the framework's own video window: that window is a native OpenGL child, and a dialog holding
// one stops showing its own painting on X servers without a working OpenGL, so the video
// window's controls stayed black.
#include "VideoPlayerQt.h"

#include "MediaBackendQt.h"
#include "common/DiscImage.h"
#include "common/FileSystem.h"
#include "common/qt/QtText.h"

#include <QAudioOutput>
#include <QBoxLayout>
#include <QLabel>
#include <QMediaPlayer>
#include <QPainter>
#include <QPointer>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

namespace quarto {

namespace {

// The clip's picture: the last frame, scaled to fit with its proportions, on black.
class TVideoPicture : public QWidget {
public:
    explicit TVideoPicture(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    QVideoSink* Sink() { return &FSink; }

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
    QVideoSink FSink;
    QImage FFrame;
};

class TQtVideoPlayer : public TVideoPlayer {
public:
    explicit TQtVideoPlayer(QWidget* host) : FHost(host) {}

    ~TQtVideoPlayer() override {
        if (FPlayer)
            FPlayer->stop();
        // Every connection has FContext as its context, so none runs past this line.
        FContext.reset();
        FPlayer.reset();
        FOutput.reset();
        if (FPanel) {
            FPanel->hide();
            FPanel->deleteLater();
        }
    }

    void SetFileName(const std::string& path) override {
        FFileName = path;
        if (!FPlayer && path.empty())
            return;
        MakePlayer();
        ++FGeneration; // frames of the clip before are not this one's
        FPlayer->stop();
        FPlayer->setSource(QUrl());
        // GStreamer goes on telling errors of a failed clip for a while, which the next clip
        // would take as its own: it gets a new player.
        if (FReadyState == TVideoReadyState::Failed)
            MakeMediaPlayer();
        FSize = {};
        FError.clear();
        if (path.empty()) {
            SetReadyState(TVideoReadyState::Empty);
            return;
        }
        FVideo->Clear();
        FStack->setCurrentWidget(FVideo);
        SetReadyState(TVideoReadyState::Loading);
        // A clip inside a disc image is given to the framework as a copy on disk.
        FPlayer->setSource(QUrl::fromLocalFile(FromUtf8(RealFilePath(ResolvedOrGiven(path)))));
        // Paused, the framework still reads up to the first picture, whose size makes the
        // clip Ready.
        if (FAutoStart)
            FPlayer->play();
        else
            FPlayer->pause();
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
        if (FPlayer)
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
    bool HasClip() const {
        return FPlayer &&
               (FReadyState == TVideoReadyState::Loading || FReadyState == TVideoReadyState::Ready);
    }

    void MakePlayer() {
        if (FPlayer)
            return;
        SelectMediaBackend();
        FContext = std::make_unique<QObject>();
        MakePanel();
        FOutput = std::make_unique<QAudioOutput>();
        FOutput->setVolume(static_cast<float>(FVolume) / 100.0f);
        MakeMediaPlayer();
        QObject* context = FContext.get();

        // The sink may tell a frame on the framework's thread, holding its lock: the frame (a
        // shared handle) waits for the GUI thread with the clip it is of, where its size and
        // picture are taken. Only the newest waits, so a busy GUI thread skips frames instead
        // of holding the framework's buffers.
        QObject::connect(
            FVideo->Sink(), &QVideoSink::videoFrameChanged, context,
            [this, context](const QVideoFrame& frame) {
                if (!frame.isValid())
                    return;
                {
                    const std::lock_guard lock(FWaitingLock);
                    FWaiting = frame;
                    FWaitingGeneration = FGeneration.load();
                    if (FWaitingPosted)
                        return;
                    FWaitingPosted = true;
                }
                QMetaObject::invokeMethod(
                    context, [this] { FrameShown(); }, Qt::QueuedConnection);
            },
            Qt::DirectConnection);
    }

    // The player, in place of the one before if any; it plays into the output and the picture.
    void MakeMediaPlayer() {
        QObject* context = FContext.get();
        if (FPlayer) {
            // Deleted later: this may run inside a signal of the player (a callback that
            // gives the next clip).
            QObject::disconnect(FPlayer.get(), nullptr, context, nullptr);
            FPlayer->stop();
            FPlayer->setVideoSink(nullptr);
            FPlayer->setAudioOutput(nullptr);
            FPlayer.release()->deleteLater();
        }
        FPlayer = std::make_unique<QMediaPlayer>();
        FPlayer->setAudioOutput(FOutput.get());
        FPlayer->setVideoSink(FVideo->Sink());
        QObject::connect(FPlayer.get(), &QMediaPlayer::mediaStatusChanged, context,
                         [this](QMediaPlayer::MediaStatus status) {
                             if (FReadyState != TVideoReadyState::Loading)
                                 return;
                             // A file GStreamer cannot read may still be told loaded,
                             // with the error set.
                             if (status == QMediaPlayer::InvalidMedia ||
                                 FPlayer->error() != QMediaPlayer::NoError)
                                 Fail(FPlayer->errorString());
                             // A clip without a picture is ready once read.
                             else if ((status == QMediaPlayer::LoadedMedia ||
                                       status == QMediaPlayer::BufferedMedia) &&
                                      !FPlayer->hasVideo())
                                 SetReadyState(TVideoReadyState::Ready);
                         });
        QObject::connect(FPlayer.get(), &QMediaPlayer::errorOccurred, context,
                         [this](QMediaPlayer::Error, const QString& text) { Fail(text); });
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
    void MakePanel() {
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

    void Fail(const QString& text) {
        if (FReadyState != TVideoReadyState::Loading && FReadyState != TVideoReadyState::Ready)
            return;
        // GStreamer follows the text that says what went wrong with general ones.
        FError = text.isEmpty() ? Ui("Этот файл не воспроизводится.") : text;
        FSize = {};
        FErrorLabel->setText(FError);
        FStack->setCurrentWidget(FErrorLabel);
        FPlayer->stop();
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

    // Made at the first SetFileName. The widgets belong to the host's panel.
    std::unique_ptr<QObject> FContext;
    std::unique_ptr<QAudioOutput> FOutput;
    std::unique_ptr<QMediaPlayer> FPlayer;
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
