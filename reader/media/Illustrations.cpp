#include "Illustrations.h"

#include "PicDataFormat.h"

#include "common/AsciiText.h"
#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"
#include "common/TextList.h"

#include <algorithm>
#include <limits>

namespace quarto {

namespace {

// The file's path as it exists (letter case folded), or as spelled so that a message names it.
std::string PicDataFile(const std::string& bookFolder, const char* name) {
    return ResolvedOrGiven(PicDataPath(bookFolder, name));
}

} // namespace

std::vector<int> TIllustrations::EntriesOfHeading(int h) const {
    std::vector<int> entries;
    for (std::size_t i = 0; i < HeadingOf.size(); ++i)
        if (HeadingOf[i] == h && h != 0)
            entries.push_back(static_cast<int>(i));
    return entries;
}

void SplitTitleLine(std::string_view line, std::string& title, std::string& text) {
    const std::size_t at = line.find(PicDataFormat::DescriptionMark);
    if (at == std::string_view::npos) {
        title = line;
        text.clear();
    } else {
        title = line.substr(0, at);
        text = line.substr(at + 1);
    }
}

int ParseHeadingNumber(std::string_view line, int headingCount) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    if (i == line.size())
        return 0;
    std::int64_t value = 0;
    for (; i < line.size(); ++i) {
        if (line[i] < '0' || line[i] > '9')
            return 0;
        value = value * 10 + (line[i] - '0');
        if (value > std::numeric_limits<std::int32_t>::max())
            return 0;
    }
    if (negative || value < 1 || value > headingCount)
        return 0;
    return static_cast<int>(value);
}

std::string PictureNameOfLine(std::string_view line) {
    return std::string(TrimmedBy(line, IsBlankOrControl));
}

TIllustrations ReadIllustrations(const std::string& bookFolder) {
    TIllustrations catalogue;
    const std::string titlesPath = ResolvePath(PicDataPath(bookFolder, Layout::PicTitlesFile));
    if (!titlesPath.empty() && FileSystem().Stat(titlesPath).Kind == TEntryKind::File) {
        catalogue.HasTitles = true;
        const std::vector<std::string> lines = ReadTextList(titlesPath);
        catalogue.PictureFiles = ReadTextList(PicDataFile(bookFolder, Layout::PicFilesFile));
        const auto separator =
            std::find(lines.begin(), lines.end(), std::string(PicDataFormat::Separator));
        if (separator == lines.end()) {
            catalogue.Problems.push_back("В файле «" + titlesPath +
                                         "» нет строки-разделителя «////» между заголовками и "
                                         "рисунками; список рисунков пуст.");
        } else {
            catalogue.Headings.assign(lines.begin(), separator);
            const auto g = static_cast<std::size_t>(separator - lines.begin());
            const std::size_t entries = (lines.size() - g - 1) / 3;
            const int headingCount = static_cast<int>(catalogue.Headings.size());
            catalogue.PicInfo.resize(entries);
            catalogue.HeadingOf.resize(entries);
            for (std::size_t i = 0; i < entries; ++i) {
                const std::string& number = lines[g + 1 + 3 * i];
                TPicTextInf& info = catalogue.PicInfo[i];
                SplitTitleLine(lines[g + 2 + 3 * i], info.PicTitle, info.PicText);
                info.PicFile = AsciiLowered(lines[g + 3 + 3 * i]);
                info.PicIndex = static_cast<std::int32_t>(i);
                catalogue.HeadingOf[i] = ParseHeadingNumber(number, headingCount);
                if (catalogue.HeadingOf[i] == 0)
                    catalogue.Problems.push_back(
                        "«" + titlesPath + "», строка " + std::to_string(g + 2 + 3 * i) +
                        ": номер заголовка «" + Cp1251ToUtf8(number) + "» рисунка " +
                        std::to_string(i) + " — не число от 1 до " + std::to_string(headingCount) +
                        "; рисунка нет в дереве заголовков.");
            }
        }
    }
    const TRecordFile cells = TRecordFile::Load(PicDataFile(bookFolder, Layout::CellFilesFile),
                                                PicDataFormat::CellRecordSize);
    catalogue.CellFiles.resize(cells.Count());
    for (std::size_t c = 0; c < cells.Count(); ++c) {
        const std::string_view record = cells.Record(c);
        catalogue.CellFiles[c] = {GetLE32(record.data()), GetLE32(record.data() + 4),
                                  GetLE32(record.data() + 8)};
    }
    return catalogue;
}

int FindEntryByFile(const TIllustrations& catalogue, std::string_view fileLine) {
    const std::string lowered = AsciiLowered(fileLine);
    for (std::size_t i = 0; i < catalogue.PicInfo.size(); ++i)
        if (catalogue.PicInfo[i].PicFile == lowered)
            return static_cast<int>(i);
    return -1;
}

int PictureLineOfCell(const TIllustrations& catalogue, int cell) {
    if (cell < 0 || static_cast<std::size_t>(cell) >= catalogue.CellFiles.size())
        return -1;
    const std::int32_t line = catalogue.CellFiles[static_cast<std::size_t>(cell)].Line;
    if (line < 0 || static_cast<std::size_t>(line) >= catalogue.PictureFiles.size())
        return -1;
    return line;
}

int EntryOfCell(const TIllustrations& catalogue, int cell) {
    const int line = PictureLineOfCell(catalogue, cell);
    if (line < 0)
        return -1;
    return FindEntryByFile(catalogue, catalogue.PictureFiles[static_cast<std::size_t>(line)]);
}

std::string PictureNameOfEntry(const TIllustrations& catalogue, int entry) {
    if (entry < 0 || static_cast<std::size_t>(entry) >= catalogue.PictureFiles.size())
        return {};
    return PictureNameOfLine(catalogue.PictureFiles[static_cast<std::size_t>(entry)]);
}

bool EntryHasPictureLine(const TIllustrations& catalogue, int entry) {
    if (entry < 0 || static_cast<std::size_t>(entry) >= catalogue.PicInfo.size())
        return false;
    const std::string& file = catalogue.PicInfo[static_cast<std::size_t>(entry)].PicFile;
    return std::any_of(catalogue.PictureFiles.begin(), catalogue.PictureFiles.end(),
                       [&](const std::string& line) { return AsciiLowered(line) == file; });
}

// What the files were when they were read.
struct TThumbnailData::TStamp {
    std::string OffsetsPath, DataPath;
    TFileStamp Offsets, Data;
    bool operator==(const TStamp&) const = default;
};

TThumbnailData::TThumbnailData() = default;
TThumbnailData::~TThumbnailData() = default;
TThumbnailData::TThumbnailData(TThumbnailData&&) noexcept = default;
TThumbnailData& TThumbnailData::operator=(TThumbnailData&&) noexcept = default;

bool TThumbnailData::Reload(const std::string& bookFolder) {
    TStamp stamp;
    stamp.OffsetsPath = PicDataFile(bookFolder, Layout::ThumbOffsetsFile);
    stamp.DataPath = PicDataFile(bookFolder, Layout::ThumbDataFile);
    stamp.Offsets = StampOf(stamp.OffsetsPath);
    stamp.Data = StampOf(stamp.DataPath);
    const bool present = stamp.Offsets.IsFile && stamp.Data.IsFile;
    if (present && FStamp && *FStamp == stamp)
        return false;
    // Read both before anything is replaced, so that a failure leaves what was there.
    const TRecordFile offsets =
        TRecordFile::Load(stamp.OffsetsPath, PicDataFormat::ThumbRecordSize);
    std::string data = ReadWholeFile(stamp.DataPath);
    FOffsets.resize(offsets.Count());
    for (std::size_t k = 0; k < offsets.Count(); ++k)
        FOffsets[k] = GetLE32(offsets.Record(k).data());
    FData = std::move(data);
    FStamp = std::make_unique<TStamp>(std::move(stamp));
    return true;
}

std::int64_t TThumbnailData::Offset(int k) const {
    if (k < 0 || k >= Count())
        return -1;
    return FOffsets[static_cast<std::size_t>(k)];
}

std::string TThumbnailData::ProblemOf(int k) const {
    if (k < 0 || k >= Count())
        return "нет миниатюры " + std::to_string(k);
    const std::int64_t offset = FOffsets[static_cast<std::size_t>(k)];
    const auto size = static_cast<std::int64_t>(FData.size());
    const auto prefix = static_cast<std::int64_t>(PicDataFormat::ThumbLengthSize);
    if (offset < 0 || offset > size - prefix)
        return "смещение " + std::to_string(offset) + " лежит вне файла в " + std::to_string(size) +
               " байт";
    const std::int32_t length = GetLE32(FData.data() + offset);
    if (length < 0)
        return "смещение " + std::to_string(offset) + ": отрицательная длина " +
               std::to_string(length);
    if (length > size - offset - prefix)
        return "смещение " + std::to_string(offset) + ": длина " + std::to_string(length) +
               " выходит за конец файла в " + std::to_string(size) + " байт";
    return {};
}

std::string_view TThumbnailData::Bytes(int k) const {
    if (!ProblemOf(k).empty())
        return {};
    const auto offset = static_cast<std::size_t>(FOffsets[static_cast<std::size_t>(k)]);
    const auto length = static_cast<std::size_t>(GetLE32(FData.data() + offset));
    return std::string_view(FData).substr(offset + PicDataFormat::ThumbLengthSize, length);
}

} // namespace quarto
