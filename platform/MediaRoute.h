// How a sound or clip file reaches the media framework. Most files are given to it as they are;
// for a few that it misreads, it is given a repaired copy (made once, in a temporary folder; the
// file itself is never written):
// - a WAV file holding MPEG audio (MP3 in WAV, as sound editors of the time saved it): the
//   framework finds no sample in it; the copy is its data chunk alone, an MPEG audio stream;
// - a WAV file whose data chunk has an odd length (a pad byte follows it, as RIFF wants): the
//   framework's WAV reader delivers no sample of it from a file; the copy's data chunk holds the
//   pad byte too (made silence for 8-bit PCM), an even length;
// - a Microsoft ADPCM or IMA ADPCM WAV file: the framework plays it only as far as its estimate
//   of its length, about half of it; the copy is its sound decoded, 16-bit PCM (AdpcmWave.h);
// - an AVI clip whose uncompressed picture is stored top-down (a negative height) with an
//   OpenDML "vprp" header: the framework derives a negative pixel shape from the two and cannot
//   show the clip; in the copy the "vprp" header is a "JUNK" chunk, which readers skip.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// Bytes that replace the file's own from Offset on.
struct TMediaPatch {
    std::uint64_t Offset = 0;
    std::string Bytes;
    bool operator==(const TMediaPatch&) const = default;
};

struct TMediaRoute {
    // False: the file is given as it is (the rest unused).
    bool Repair = false;
    // The part of the file the copy holds, [Begin, End), and the bytes changed in it (offsets
    // in the file).
    std::uint64_t Begin = 0;
    std::uint64_t End = 0;
    std::vector<TMediaPatch> Patches;
    // The copy's extension when not the file's own (".mp3").
    std::string Extension;
    // True: the copy is the file's ADPCM sound decoded (the part and patches unused).
    bool DecodeAdpcm = false;
    bool operator==(const TMediaRoute&) const = default;
};

// How many bytes of a file's start RouteOf needs to see.
constexpr std::size_t MediaRouteHeadSize = 64 * 1024;

// The route of a file of fileSize bytes that starts with head (its first MediaRouteHeadSize
// bytes, or all of it when shorter). Anything not recognised, damaged or cut short goes by
// as it is: the framework then says what it makes of it.
TMediaRoute RouteOf(std::string_view head, std::uint64_t fileSize);

// The file the framework is to be given for path (UTF-8, a file of the system's or inside a
// disc image, looked up ignoring letter case): path's real file, or its repaired copy. When
// the copy cannot be made, the real file. Not thread-safe: the GUI thread's.
std::string PlayablePath(const std::string& path);

} // namespace quarto
