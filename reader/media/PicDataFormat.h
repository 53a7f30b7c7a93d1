// The illustration catalogue's files in an edition's "PicData" folder, as the reader reads them
// and make-edition writes them. The file names are in common/EditionLayout.h.
//
// "Titles1.txt" (1251 text lines): the heading lines, the separator line "////", then three
//   lines per entry: heading number (1 = the first heading line), title line
//   ("title[@description]"), file line (the picture's name, as on the entry's line of
//   "files.txt").
// "files.txt" (1251 text lines): line k names the full picture of entry k, relative to the
//   edition's pictures folder ("Books\<RegKey>\Pictures" beside the reader or on a disc).
// "PosID3.dat": one record per grid cell, CellRecordSize bytes: the cell's line number in
//   "files.txt" (signed 32-bit), then two 32-bit values the reader does not read.
// "PosID2.dat": one record per grid cell, ThumbRecordSize bytes: the offset in "Data2.dat" of
//   the cell's thumbnail record (signed 32-bit), then its length (read and not used).
// "Data2.dat": thumbnail records reached by those offsets: a signed 32-bit length L
//   (ThumbLengthSize bytes), then L bytes of a JPEG file image.
// All integers are little-endian; record counts are file size div record size.
#pragma once

#include <cstddef>
#include <string_view>

namespace quarto::PicDataFormat {

inline constexpr std::size_t CellRecordSize = 12; // "PosID3.dat"
inline constexpr std::size_t ThumbRecordSize = 8; // "PosID2.dat"
inline constexpr std::size_t ThumbLengthSize = 4; // the length prefix of a "Data2.dat" record
inline constexpr std::string_view Separator = "////";
inline constexpr char DescriptionMark = '@'; // title@description
inline constexpr int CellSize = 150;         // a grid cell and the largest thumbnail, pixels

} // namespace quarto::PicDataFormat
