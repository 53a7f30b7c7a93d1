// The player of the music and the audio supplements: one hidden player that opens a file,
// plays it from the start, pauses and resumes it, and tells its mode.
#pragma once

#include "MediaMode.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace quarto {

class TMediaPlayer {
public:
    virtual ~TMediaPlayer() = default;

    // The file the next Open opens (UTF-8, looked up ignoring letter case). Nothing else
    // changes: what plays goes on playing.
    virtual void SetFileName(const std::string& path) = 0;
    virtual const std::string& FileName() const = 0;
    // Closes the file opened before (stopping it) and opens FileName, waiting until the
    // framework has read it; the mode is then Stopped. Throws EMediaError with the framework's
    // message when the file cannot be opened or is not something it can play (also for an
    // empty file name, and when it has not answered within a few seconds); the mode is then
    // NotOpen.
    virtual void Open() = 0;
    // Plays the open file from its start. Throws EMediaError when no file is open.
    virtual void Play() = 0;
    // Pauses when playing; does nothing in any other mode.
    virtual void Pause() = 0;
    // Goes on from where it paused when paused; does nothing in any other mode.
    virtual void Resume() = 0;
    // Stops and goes back to the start; nothing when no file is open.
    virtual void Stop() = 0;
    virtual TMediaMode Mode() const = 0;

    // Milliseconds from the start, and the length of the open file (0 while not known: an
    // MP3's may be known only once it plays).
    virtual std::int64_t Position() const = 0;
    virtual std::int64_t Duration() const = 0;
    // Moves to ms milliseconds from the start (held within the file), keeping the mode.
    virtual void Seek(std::int64_t ms) = 0;
    // Loudness 0..100 (held within), 100 at first; kept across files.
    virtual int Volume() const = 0;
    virtual void SetVolume(int percent) = 0;

    // Called on the GUI thread after the mode has changed, with the new mode.
    virtual void OnModeChange(std::function<void(TMediaMode)> callback) = 0;
    // Called on the GUI thread when the file has played to its end; the mode is Stopped by
    // then, and Play starts it again.
    virtual void OnEnd(std::function<void()> callback) = 0;
};

// The player of this system, on Qt Multimedia (MediaPlayerQt.cpp): a QApplication must exist.
// Making it is cheap: the media framework is loaded when a file is first opened. Before that,
// QT_MEDIA_BACKEND is set to "gstreamer" unless the user has set it.
std::unique_ptr<TMediaPlayer> MakeMediaPlayer();

} // namespace quarto
