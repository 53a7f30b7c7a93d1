// The music list and the supplement lists, as the reader reads them and make-music and
// make-edition write them. The file and folder names are in common/EditionLayout.h.
//
// "AudioData\All.dat" (beside the reader or at a disc's root): records of RecordSize bytes
//   without a header; the count is the file size div RecordSize (a trailing partial record is
//   not read). A record:
//     0    1 byte    album number (unsigned)
//     1    256 bytes album title, a short string
//     257  1 byte    replaced on loading by the record's position mod 256 (stored value unused)
//     258  256 bytes track title, a short string
//     514  256 bytes track file name without extension: the track is that name + ".mp3" in
//                    the folder "mp3" (beside the reader or at a disc's root)
//     770  534 bytes not read
//   A short string is a length byte n followed by 255 bytes of which the first n are the text
//   (code page 1251). Consecutive records with the same album number form one album; a change
//   of the number starts another, even one returning to an earlier number.
// "Audio\files.txt", "Video\files.txt" (in the edition's folder, 1251 text lines): pairs of
//   lines, the title of item j on line 2j and its file name on line 2j + 1, relative to the
//   edition's "Audio" or "Video" folder.
#pragma once

#include <cstddef>
#include <string_view>

namespace quarto::MusicFormat {

inline constexpr std::size_t RecordSize = 1304;
inline constexpr std::size_t AlbumNumberOffset = 0;
inline constexpr std::size_t AlbumTitleOffset = 1;
inline constexpr std::size_t PositionOffset = 257;
inline constexpr std::size_t TrackTitleOffset = 258;
inline constexpr std::size_t TrackFileOffset = 514;
inline constexpr std::size_t UnreadOffset = 770;
inline constexpr std::size_t ShortStringSize = 256; // the length byte and 255 bytes of text
inline constexpr std::size_t ShortStringMaxLength = 255;
// The position byte holds the record's index mod PositionModulus.
inline constexpr std::size_t PositionModulus = 256;
inline constexpr std::string_view TrackExtension = ".mp3";

} // namespace quarto::MusicFormat

namespace quarto::SupplementListFormat {

// Lines per item: the title, then the file name.
inline constexpr std::size_t LinesPerItem = 2;

} // namespace quarto::SupplementListFormat
