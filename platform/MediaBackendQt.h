// The media framework's backend, chosen before the first media object is made.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace quarto {

// Qt Multimedia reads QT_MEDIA_BACKEND when its first object (player, video widget, device
// list) is made. GStreamer plays WAV, MP3 and AVI here, also without a display or a sound
// card; the FFmpeg backend that Qt 6.4 also ships crashes on such a machine, so it is never taken
// unless the user asks for it (or another backend) in QT_MEDIA_BACKEND.
inline void SelectMediaBackend() {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", QByteArray("gstreamer"));
}

} // namespace quarto
