#include "Unit3.h"

#include "platform/qt/VideoPlayerQt.h"
#include "reader/core/qt/ErrorReport.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace quarto {

TForm3* Form3 = nullptr;

namespace {

constexpr int DesignWidth = 286;
constexpr int DesignHeight = 225;

} // namespace

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("Form3"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize); // the window takes the player's size
    PlayerHost = new QWidget(this);
    PlayerHost->setObjectName("MediaPlayer_TLB31");
    PlayerHost->setFixedSize(DesignWidth, DesignHeight);
    layout->addWidget(PlayerHost);
    VideoPlayerFactory = [](QWidget* host) { return MakeVideoPlayer(host); };
    adjustSize();
    // First at the centre of the desktop.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

TForm3::~TForm3() {
    // The player goes before the host it shows itself in.
    MediaPlayer_TLB31.reset();
}

void TForm3::ShowVideo(const std::string& path) {
    if (!MediaPlayer_TLB31) {
        MediaPlayer_TLB31 = VideoPlayerFactory(PlayerHost);
        MediaPlayer_TLB31->OnReadyStateChange([this](TVideoReadyState state) {
            Guarded([&] { MediaPlayer_TLB31ReadyStateChange(state); });
        });
    }
    MediaPlayer_TLB31->SetFileName(path);
    exec();
}

void TForm3::MediaPlayer_TLB31ReadyStateChange(TVideoReadyState state) {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->geometry();
    if (state == TVideoReadyState::Ready && MediaPlayer_TLB31) {
        // The picture at its own size, reduced to fit the screen; the player's controls below
        // it and at least as wide as at design.
        const TVideoSize clip = MediaPlayer_TLB31->VideoSize();
        if (clip.Width > 0 && clip.Height > 0) {
            const QWidget* controls = PlayerHost->findChild<QWidget*>("VideoControls");
            const int bar = controls ? controls->sizeHint().height() : 0;
            QSize picture(clip.Width, clip.Height);
            picture.scale(picture.boundedTo(desktop.size() * 3 / 4), Qt::KeepAspectRatio);
            PlayerHost->setFixedSize(std::max(picture.width(), DesignWidth),
                                     picture.height() + bar);
            adjustSize();
        }
    }
    // By the player's size, the frame not counted.
    move(desktop.x() + desktop.width() / 2 - PlayerHost->width() / 2,
         desktop.y() + desktop.height() / 2 - PlayerHost->height() / 2);
}

void TForm3::FormHide() {
    if (MediaPlayer_TLB31)
        MediaPlayer_TLB31->Stop();
}

void TForm3::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        Guarded([&] { FormHide(); });
}

} // namespace quarto
