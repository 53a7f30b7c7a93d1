// The video player of this system, on Qt Multimedia. The windows keep a TVideoPlayer and
// give it the panel it shows itself in, so that they never touch the media framework and
// their tests can give them the fake (PlatformFakes.h) instead.
#pragma once

#include "platform/VideoPlayer.h"

#include <memory>

class QWidget;

namespace quarto {

// A player that shows its picture and its control bar in host, filling it (through host's
// layout, or one of its own when host has none). Making it is cheap: the media framework is
// loaded and the picture and controls are put in host at the first SetFileName. Before that,
// QT_MEDIA_BACKEND is set to "gstreamer" unless the user has set it. The player must not
// outlive host.
std::unique_ptr<TVideoPlayer> MakeVideoPlayer(QWidget* host);

} // namespace quarto
