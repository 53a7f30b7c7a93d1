// The illustration catalogue ("Titles1.txt", "files.txt", "PosID3.dat") and the thumbnail
// records ("PosID2.dat", "Data2.dat"), cut from one input; a file the input lacks is absent.
#include "fuzzer_common.h"

#include "common/ByteStream.h"
#include "reader/media/Illustrations.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = SplitInput(data, size, 5);
    TMemoryScope memory;
    const char* const files[] = {Layout::PicTitlesFile, Layout::PicFilesFile, Layout::CellFilesFile,
                                 Layout::ThumbOffsetsFile, Layout::ThumbDataFile};
    for (std::size_t i = 0; i < parts.size(); ++i)
        memory.Files.Put(PicDataPath(BookFolder, files[i]), parts[i]);

    try {
        const TIllustrations catalogue = ReadIllustrations(BookFolder);
        const int entries = static_cast<int>(catalogue.PicInfo.size());
        const int headings = static_cast<int>(catalogue.Headings.size());
        FUZZ_CHECK(catalogue.HeadingOf.size() == catalogue.PicInfo.size());
        std::size_t underHeadings = 0;
        for (int h = 1; h <= headings; ++h)
            for (const int e : catalogue.EntriesOfHeading(h)) {
                FUZZ_CHECK(e >= 0 && e < entries && catalogue.HeadingOf[e] == h);
                ++underHeadings;
            }
        std::size_t leftOut = 0;
        for (int e = 0; e < entries; ++e) {
            FUZZ_CHECK(catalogue.HeadingOf[e] >= 0 && catalogue.HeadingOf[e] <= headings);
            FUZZ_CHECK(catalogue.PicInfo[e].PicIndex == e);
            leftOut += catalogue.HeadingOf[e] == 0;
            (void)PictureNameOfEntry(catalogue, e);
            (void)EntryHasPictureLine(catalogue, e);
        }
        FUZZ_CHECK(underHeadings + leftOut == catalogue.PicInfo.size());
        const int cells = static_cast<int>(catalogue.CellFiles.size());
        for (int c = -1; c <= cells && c < 1000; ++c) {
            const int entry = EntryOfCell(catalogue, c);
            FUZZ_CHECK(entry >= -1 && entry < entries);
            const int line = PictureLineOfCell(catalogue, c);
            FUZZ_CHECK(line >= -1 && line < static_cast<int>(catalogue.PictureFiles.size()));
            if (line < 0)
                FUZZ_CHECK(entry == -1);
        }
    } catch (const EStreamError&) {
        // "files.txt" or "PosID3.dat" missing.
        FUZZ_CHECK(parts.size() < 3);
    }

    TThumbnailData thumbnails;
    try {
        FUZZ_CHECK(thumbnails.Reload(BookFolder));
        FUZZ_CHECK(!thumbnails.Reload(BookFolder));
    } catch (const EStreamError&) {
        FUZZ_CHECK(parts.size() < 5);
        return 0;
    }
    const int count = thumbnails.Count();
    FUZZ_CHECK(thumbnails.Bytes(-1).empty() && thumbnails.Bytes(count).empty());
    for (int k = 0; k < count && k < 1000; ++k) {
        const std::string_view bytes = thumbnails.Bytes(k);
        // The bytes lie inside "Data2.dat" after the record's length prefix.
        if (!bytes.empty()) {
            FUZZ_CHECK(thumbnails.ProblemOf(k).empty());
            FUZZ_CHECK(thumbnails.Offset(k) >= 0 &&
                       thumbnails.Offset(k) + 4 + bytes.size() <= thumbnails.DataSize());
        }
    }
    return 0;
}
