// The video window: a clip linked from an article plays in it, modally. It keeps its caption
// "Form3", a fixed frame with only the close button, and takes the size of the player; once the
// clip is loaded it is centred on the screen by the player's size. Hiding it stops the clip.
#pragma once

#include "platform/VideoPlayer.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

namespace quarto {

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

    // The host the player fills (286 x 225 until a clip gives its own size).
    QWidget* PlayerHost;
    // The player, made at the first clip; how it is made (this system's player by default,
    // tests give a fake).
    std::unique_ptr<TVideoPlayer> MediaPlayer_TLB31;
    std::function<std::unique_ptr<TVideoPlayer>(QWidget* host)> VideoPlayerFactory;

    // Gives the player path (UTF-8) and shows the window modally; returns once it is closed.
    void ShowVideo(const std::string& path);
    // The clip's loading state changed: the host takes the clip's size, then the window is
    // centred on the screen by the player's size.
    void MediaPlayer_TLB31ReadyStateChange(TVideoReadyState state);
    // The window hidden: the clip stops.
    void FormHide();

protected:
    void hideEvent(QHideEvent* event) override;
};

extern TForm3* Form3;

} // namespace quarto
