// The contents file "cContents.dat": one 276-byte record per contents entry, no header, no
// trailer, little-endian integers. The entry's index is its article number everywhere.
//
//   offset size field
//   0      4    reserved (not interpreted)
//   4      4    ArticleNo  int32, the entry's own position in the file
//   8      1    Level      uint8, depth in the contents; 0 is the top level
//   9      3    padding
//   12     4    Kind       int32: 0 plain text, 1 HTML
//   16     256  Title      byte 16 the length n (0..255), then n bytes of 1251 text
//   272    4    DataOffset int32, offset of the entry's text record in "cData.dat"
#pragma once

#include "common/EditionLayout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

namespace ContentsFormat {
inline constexpr std::size_t RecordSize = 276;
inline constexpr std::size_t ReservedOffset = 0;
inline constexpr std::size_t ArticleNoOffset = 4;
inline constexpr std::size_t LevelOffset = 8;
inline constexpr std::size_t KindOffset = 12;
inline constexpr std::size_t TitleOffset = 16;
inline constexpr std::size_t TitleMaxLength = 255;
inline constexpr std::size_t DataOffsetOffset = 272;
inline constexpr const char* FileName = Layout::ContentsFile;
} // namespace ContentsFormat

// Kinds of an entry's text.
inline constexpr std::int32_t KindPlainText = 0;
inline constexpr std::int32_t KindHtml = 1;

struct TContentsRec {
    std::int32_t Reserved = 0;
    std::int32_t ArticleNo = 0;
    std::uint8_t Level = 0;
    std::int32_t Kind = 0;
    std::string Title; // 1251, at most 255 bytes
    std::int32_t DataOffset = 0;
};

// Decodes one record (exactly RecordSize bytes); the title is taken as stored.
TContentsRec DecodeContentsRecord(std::string_view record);
// Encodes one record; a title longer than 255 bytes throws std::length_error.
std::string EncodeContentsRecord(const TContentsRec& rec);

// The title as the reader shows it: while it holds both "&" and ";", everything up to and
// including its first ";" is removed (character references used for indentation at the
// start of a title go; a title with "&" but no ";" stays).
std::string CleanTitle(std::string title);

// The entries of a contents file's bytes: size div 276 records, titles cleaned.
std::vector<TContentsRec> ParseContents(std::string_view bytes);
// Reads bookFolder's contents file (name matched ignoring case). Returns false, leaving
// list alone, when the file does not exist; throws EStreamError when it cannot be read.
bool LoadContents(const std::string& bookFolder, std::vector<TContentsRec>& list);

} // namespace quarto
