// The illustration catalogue of an edition: its headings, entries, picture names and grid cells
// read from the "PicData" folder (formats in PicDataFormat.h), the thumbnails of "Data2.dat",
// and the rules that tie a grid cell to a catalogue entry. Texts are code page 1251 bytes as
// the files hold them; problem and error messages are UTF-8 (Russian), like every message.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// One catalogue entry.
struct TPicTextInf {
    std::string PicTitle;      // the title line before its first "@" (all of it without one)
    std::string PicText;       // the title line after its first "@"; empty without one
    std::string PicFile;       // the file line with A–Z lowered (nothing else changed)
    std::int32_t PicIndex = 0; // the entry's own index
};

// One record of "PosID3.dat".
struct TCellFile {
    std::int32_t Line = 0; // line number (from 0) of "files.txt" of the cell's picture
    std::int32_t Second = 0;
    std::int32_t Third = 0;
};

// A catalogue as loaded for the page "Иллюстрации".
struct TIllustrations {
    bool HasTitles = false;                // "Titles1.txt" exists
    std::vector<std::string> Headings;     // the heading lines, in order (heading h is [h-1])
    std::vector<TPicTextInf> PicInfo;      // one per entry, in entry order
    std::vector<int> HeadingOf;            // per entry: its heading 1..G, 0 when left out
    std::vector<std::string> PictureFiles; // the lines of "files.txt" exactly as read
    std::vector<TCellFile> CellFiles;      // the records of "PosID3.dat", in file order
    // What was wrong and mended, one UTF-8 message each (no separator line, heading numbers
    // that name no heading); the window may show them, the checker reports them.
    std::vector<std::string> Problems;

    // The entries under heading h (1..G), in entry order: the children of its tree node.
    std::vector<int> EntriesOfHeading(int h) const;
};

// Reads the catalogue of the edition in bookFolder:
// - "Titles1.txt" present: the headings and entries, and "files.txt". An entry whose heading
//   number is not a decimal integer from 1 to G stays in PicInfo (indices keep matching
//   "files.txt") but gets heading 0 and a problem. Without the separator line there are no
//   headings and no entries, and a problem names the file. 3·E + 1 or 2 lines after the
//   separator: the last ones are ignored.
// - "Titles1.txt" missing: no headings, entries or picture names (the grid still works).
// - "PosID3.dat" always.
// Throws EStreamError naming the file when "files.txt" (with "Titles1.txt") or "PosID3.dat" is
// missing or cannot be read.
TIllustrations ReadIllustrations(const std::string& bookFolder);

// Splits a title line at its first "@".
void SplitTitleLine(std::string_view line, std::string& title, std::string& text);
// A heading number as the catalogue writes it: optional leading blanks, an optional sign,
// decimal digits, nothing after them. Returns 0 when line is not such a number or lies
// outside 1..headingCount.
int ParseHeadingNumber(std::string_view line, int headingCount);
// A "files.txt" line as a picture name: leading and trailing blanks and control characters
// (bytes up to 32) removed.
std::string PictureNameOfLine(std::string_view line);

// The first entry whose PicFile equals fileLine with A–Z lowered; -1 when none.
int FindEntryByFile(const TIllustrations& catalogue, std::string_view fileLine);
// The line number of "files.txt" that cell names (CellFiles[cell].Line); -1 when cell lies
// outside CellFiles or the line outside PictureFiles.
int PictureLineOfCell(const TIllustrations& catalogue, int cell);
// The entry of a grid cell (hover and press): CellFiles[cell].Line -> that line of
// PictureFiles -> FindEntryByFile; -1 when the cell lies outside CellFiles, its line outside
// PictureFiles, or no entry matches.
int EntryOfCell(const TIllustrations& catalogue, int cell);
// The picture name of entry k: line k of PictureFiles, trimmed; empty when there is no line k.
// The name is data: it may hold separators or "..", so the lookup that joins it to the
// pictures folder must keep the result inside that folder.
std::string PictureNameOfEntry(const TIllustrations& catalogue, int entry);
// True when some line of PictureFiles, with A–Z lowered, equals PicFile of entry k (the test
// made before a title-tree entry is opened).
bool EntryHasPictureLine(const TIllustrations& catalogue, int entry);

// The thumbnails of a grid: "Data2.dat" held in memory and the offsets of "PosID2.dat".
// Reload reads the files again only when one of them changed (size or time stamp), so that it
// can run on every repaint.
class TThumbnailData {
public:
    TThumbnailData();
    ~TThumbnailData();
    TThumbnailData(TThumbnailData&&) noexcept;
    TThumbnailData& operator=(TThumbnailData&&) noexcept;

    // Reads "PosID2.dat" and "Data2.dat" of bookFolder when they differ (path, size or time
    // stamp) from what was read last; true when anything was read. Throws EStreamError naming
    // the file when one is missing or cannot be read (what was read before stays).
    bool Reload(const std::string& bookFolder);

    // T, the number of thumbnails (records of "PosID2.dat").
    int Count() const { return static_cast<int>(FOffsets.size()); }
    // The "Data2.dat" offset of thumbnail k (the cache's tag); -1 for k outside 0..T-1.
    std::int64_t Offset(int k) const;
    // The JPEG bytes of thumbnail k; empty when k lies outside 0..T-1 or its record (offset,
    // length prefix, data) does not lie wholly inside "Data2.dat" or its length is negative.
    std::string_view Bytes(int k) const;
    // What is wrong with thumbnail k's record, as a UTF-8 message; empty when nothing.
    std::string ProblemOf(int k) const;
    std::size_t DataSize() const { return FData.size(); }

private:
    struct TStamp;
    std::vector<std::int32_t> FOffsets;
    std::string FData;
    std::unique_ptr<TStamp> FStamp;
};

} // namespace quarto
