// What the audio and video players share: their modes and their error.
#pragma once

#include <stdexcept>
#include <string>

namespace quarto {

// The mode of a player: nothing open (or the last open failed), open and stopped (also after
// the end), playing, paused.
enum class TMediaMode { NotOpen, Stopped, Playing, Paused };

// A file the player cannot open or play; the message carries the media framework's own text.
class EMediaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace quarto
