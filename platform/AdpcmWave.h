// Microsoft ADPCM and IMA ADPCM WAV files, as the sound recorders of the time saved them, made
// 16-bit PCM WAV files. The media framework plays such files only as far as its estimate of
// their length, about half of them: the players are given the PCM copy (MediaRoute.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarto {

// The format tags.
constexpr unsigned MsAdpcmFormat = 2;
constexpr unsigned ImaAdpcmFormat = 0x11;

// The PCM WAV file (same rate and channels) that the ADPCM WAV file wave holds; nothing when
// wave is not one, or its format is damaged (no channel, a block too small for its header).
// Blocks cut short give the samples they hold; the "fact" chunk's count, when there is one,
// ends the sound.
std::optional<std::string> DecodeAdpcmWave(std::string_view wave);

} // namespace quarto
