// The video player of the video page and of the video window: it loads a clip given by its
// file name and, as set, plays it at once; its own controls let the user play, pause, stop,
// seek and set the loudness. It tells when the clip is loaded and how large its picture is.
#pragma once

#include "MediaMode.h"

#include <cstdint>
#include <functional>
#include <string>

namespace quarto {

// How far the clip is loaded: none given, loading, loaded (its picture size known), or it
// cannot be played (ErrorText says why).
enum class TVideoReadyState { Empty, Loading, Ready, Failed };

struct TVideoSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TVideoSize&) const = default;
};

class TVideoPlayer {
public:
    virtual ~TVideoPlayer() = default;

    // Stops what plays and loads path (UTF-8, looked up ignoring letter case), playing it as
    // soon as it is loaded when AutoStart is on; "" unloads. The ready state goes to Loading,
    // then to Ready or Failed, each change told through OnReadyStateChange. A clip that cannot
    // be played is shown as such by the player; nothing is thrown.
    virtual void SetFileName(const std::string& path) = 0;
    virtual const std::string& FileName() const = 0;
    // Whether SetFileName starts playing (on at first).
    virtual bool AutoStart() const = 0;
    virtual void SetAutoStart(bool on) = 0;

    virtual void Play() = 0;  // from where it stands (the start after Stop); nothing when empty
    virtual void Pause() = 0; // when playing
    virtual void Stop() = 0;  // stops and goes back to the start
    virtual TMediaMode Mode() const = 0;

    virtual TVideoReadyState ReadyState() const = 0;
    // Why the clip cannot be played (the framework's own text), when Failed.
    virtual std::string ErrorText() const = 0;
    // The size of the clip's picture in pixels, once Ready; 0 × 0 before, and for a clip
    // without a picture.
    virtual TVideoSize VideoSize() const = 0;
    // Whether the clip has a sound track that plays, once Ready.
    virtual bool HasSound() const = 0;
    // Called on the GUI thread with the new state whenever the ready state changes.
    virtual void OnReadyStateChange(std::function<void(TVideoReadyState)> callback) = 0;

    // Milliseconds from the start and the clip's length (0 when not known); Seek is held
    // within the clip.
    virtual std::int64_t Position() const = 0;
    virtual std::int64_t Duration() const = 0;
    virtual void Seek(std::int64_t ms) = 0;
    // Loudness 0..100 (held within), 100 at first.
    virtual int Volume() const = 0;
    virtual void SetVolume(int percent) = 0;
};

// The player of this system (VideoPlayerQt.h) needs the widget it shows itself in.

} // namespace quarto
