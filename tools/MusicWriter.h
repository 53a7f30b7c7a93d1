// Writing the music of a book series: the list "AudioData/All.dat" (format in
// reader/media/MediaFormat.h) and the tracks in "mp3", beside the reader or at a disc's root.
// make-music builds a TMusicSet from a source outline (README.md, "Music sources"); tests fill
// one directly to write any list, awkward ones included.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quarto {

// One record as written (texts in code page 1251; at most 255 bytes of each are stored).
struct TMusicEntry {
    std::uint8_t AlbumNumber = 0;
    std::string AlbumTitle;
    std::string TrackTitle;
    std::string TrackFile; // the track's name without ".mp3"
    // Byte 257; unset: the record's index mod 256 (the reader replaces it anyway).
    std::optional<std::uint8_t> StoredPosition;
    // Length bytes written in place of the texts' own lengths (damaged strings).
    std::optional<std::uint8_t> AlbumTitleLength, TrackTitleLength, TrackFileLength;
};

// Everything "All.dat" holds.
struct TMusicSet {
    std::vector<TMusicEntry> Records; // in file order
    std::string Tail;                 // bytes after the records (a partial record)
};

// The bytes of "All.dat"; the bytes of a record the reader does not read are zero.
std::string EncodeMusicList(const TMusicSet& set);
// Writes root/AudioData/All.dat (folder created). Throws EStreamError when it cannot.
void WriteMusicList(const TMusicSet& set, const std::string& root);

// make-music's part, read and checked before anything is written.
struct TMusicSource {
    TMusicSet Set;
    std::vector<std::pair<std::string, std::string>> Copies; // source path -> stored name
};
// Reads src/music.txt and finds its tracks in src. Throws EEditionSourceError
// (tools/EditionWriter.h) naming the file and line for a faulty source.
TMusicSource ReadMusicSource(const std::string& src);
// make-music: writes out/AudioData/All.dat and the tracks into out/mp3 (created; files of the
// same names replaced).
void MakeMusic(const std::string& src, const std::string& out);

} // namespace quarto
