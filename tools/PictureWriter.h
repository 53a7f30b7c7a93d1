// Writing an edition's illustration set: the "PicData" catalogue files (formats in
// reader/media/PicDataFormat.h) and the full pictures. make-edition builds a TPictureSet from
// the source's pictures.txt; tests fill one directly to write any catalogue, awkward ones
// included.
#pragma once

#include "common/BmpFile.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quarto {

// One catalogue entry as "Titles1.txt" writes it (1251 bytes, each one line).
struct TPictureEntry {
    std::string Heading;   // the heading number as written: "1", or anything ("x", "9")
    std::string TitleLine; // "title" or "title@description"
    std::string FileLine;  // the picture's name
};

// Everything the catalogue files hold.
struct TPictureSet {
    std::vector<std::string> Headings;        // heading lines
    bool WriteSeparator = true;               // false: "Titles1.txt" has no "////" line
    std::vector<TPictureEntry> Entries;       // in entry order
    std::vector<std::string> ExtraTitleLines; // lines after the entries (1 or 2 are left over)
    std::vector<std::string> FileLines;       // "files.txt"
    std::vector<std::int32_t> CellLines;      // "PosID3.dat": record c = line of cell c
    std::vector<std::string> Thumbnails;      // "Data2.dat" records, JPEG bytes; PosID2 record c
    // Record c of "PosID2.dat" gets this offset instead of its record's real one.
    std::map<int, std::int32_t> OffsetOverrides;
    // Thumbnail c's length prefix is written as this instead of its real length.
    std::map<int, std::int32_t> LengthOverrides;
    // Bytes appended to "PosID3.dat" / "PosID2.dat" after their records (a partial record).
    std::string CellTail, OffsetTail;
};

// Writes "Titles1.txt", "files.txt", "PosID3.dat", "PosID2.dat" and "Data2.dat" into
// bookFolder/PicData (created). Lines end with CR LF. Throws EStreamError when a file cannot be
// written.
void WritePictureSet(const TPictureSet& set, const std::string& bookFolder);

// One picture of a source: the file in the pictures folder and what the edition stores.
struct TSourcePicture {
    std::string SourcePath; // the JPEG or PNG file
    std::string StoredName; // the name in the pictures folder and on the "files.txt" line
};

// The thumbnail of a decoded picture: fitted into 150 × 150 keeping its aspect, never
// enlarged, as JPEG.
std::string MakeThumbnail(const TDibPicture& picture);

// Decodes a PNG file image to 24-bit RGB (transparency dropped onto white). Throws
// EPictureError for damaged data and absurd sizes.
TDibPicture ReadPng(std::string_view bytes);
// A PNG file image of a picture (8-bit ones through their palette as RGB); throws
// EPictureError when the picture is not Valid().
std::string EncodePng(const TDibPicture& picture);

// make-edition's part, read and checked before anything is written: the catalogue of
// src/pictures.txt with its thumbnails and the full pictures to store.
struct TEditionPictures {
    bool Present = false; // src has pictures.txt
    TPictureSet Set;
    std::vector<std::pair<std::string, std::string>> Copies;  // JPEG source path -> stored name
    std::vector<std::pair<std::string, std::string>> Encoded; // stored name -> JPEG bytes
};
// Reads src/pictures.txt (nothing Present without one) and its pictures from pictureSource
// (src/pictures when empty). Throws EEditionSourceError naming the file and line for a faulty
// source.
TEditionPictures ReadEditionPictures(const std::string& src, const std::string& pictureSource);
// Writes the catalogue into out/PicData and the full pictures into picturesFolder (created);
// nothing when not Present.
void WriteEditionPictures(const TEditionPictures& pictures, const std::string& out,
                          const std::string& picturesFolder);

} // namespace quarto
