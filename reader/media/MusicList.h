// The music of a book series: the list "AudioData\All.dat" (format in MediaFormat.h) found
// beside the reader or on a disc, and the album tree the page "Музыка" shows. Texts are code
// page 1251 bytes as the file holds them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// One record of the music list.
struct TMusicRecord {
    std::uint8_t AlbumNumber = 0;
    std::string AlbumTitle;
    // Byte 257 as loading sets it: the record's index mod 256. The tree does not use it: with
    // more than 256 records it no longer names one record.
    std::uint8_t Position = 0;
    std::string TrackTitle;
    std::string TrackFile; // without the extension ".mp3"
};

// The music list as loaded.
struct TMusicList {
    std::vector<TMusicRecord> Records; // in file order
    std::size_t TrailingBytes = 0;     // bytes after the last whole record, not read
};

// The short string at offset of record: its length byte, then that many bytes, cut where the
// record ends (a length byte past what the record holds gives the bytes up to its end).
// Empty when offset lies at or past the record's end.
std::string ShortStringAt(std::string_view record, std::size_t offset);

// The records of a music list file's bytes: size div 1304 of them, each one's position byte
// set to its index mod 256.
TMusicList ParseMusicList(std::string_view bytes);
// Reads the music list at path (as FindOnDisc gives it). Throws EStreamError naming the file
// when it cannot be read.
TMusicList ReadMusicList(const std::string& path);

// The folder and the file name of the music list, as FindOnDisc takes them ("AudioData",
// "All.dat").
std::string_view MusicListFolder();
std::string_view MusicListName();
// The folder of the tracks, as FindOnDisc takes it ("mp3").
std::string_view MusicTracksFolder();

// The name the track of record is looked up by in the folder "mp3": its file name + ".mp3",
// as a UTF-8 path name. Empty when the stored name would lead outside that folder (a
// separator, a ":" or a NUL byte) or is empty: such a track is not played.
std::string MusicTrackName(const TMusicRecord& record);

// A track node: under its album.
struct TMusicTrackNode {
    std::string Title;       // the track title
    std::int32_t Record = 0; // the record's full index in TMusicList::Records
};

// An album node: a root of the tree.
struct TMusicAlbumNode {
    std::string Title; // the album title of its first record
    std::uint8_t Number = 0;
    std::vector<TMusicTrackNode> Tracks; // in file order
};

// The tree of the page "Музыка": a new album node wherever the album number differs from the
// record before (so that an album returning to an earlier number is a node of its own), each
// record a track of the newest album node.
std::vector<TMusicAlbumNode> BuildMusicTree(const TMusicList& list);

} // namespace quarto
