// The media framework's backend, chosen before the first media object is made.
#pragma once

#include "platform/MediaMode.h"

#include <QByteArray>
#include <QMediaPlayer>
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

// The mode of an open player, as the reader names it.
inline TMediaMode ModeOf(QMediaPlayer::PlaybackState state) {
    switch (state) {
    case QMediaPlayer::PlayingState:
        return TMediaMode::Playing;
    case QMediaPlayer::PausedState:
        return TMediaMode::Paused;
    case QMediaPlayer::StoppedState:
        break;
    }
    return TMediaMode::Stopped;
}

} // namespace quarto
