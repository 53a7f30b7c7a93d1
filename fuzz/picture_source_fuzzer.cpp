// The illustrations of an edition source: pictures.txt and the JPEG and PNG pictures it names,
// read and written by make-edition's picture part (ReadEditionPictures, WriteEditionPictures)
// in memory. A faulty source is an EEditionSourceError with a message; a source that reads
// writes a catalogue that the engine reads back with the same headings, entries and picture
// names, one cell per entry, and each stored picture and thumbnail is a JPEG (thumbnails
// within 150 × 150).
//
// Part 1: pictures.txt; the parts after it: the files its entry lines name (their second field),
// in turn.
#include "fuzzer_common.h"

#include "common/JpegCodec.h"
#include "reader/media/Illustrations.h"
#include "tools/EditionWriter.h"
#include "tools/PictureWriter.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = SplitInput(data, size, 9);
    TMemoryScope memory;
    const std::string src = "/fuzz/src";
    const std::string pictures = src + "/pictures";
    memory.Files.Put(src + "/pictures.txt", parts[0]);
    memory.Files.CreateFolder(pictures);
    PutNamedFiles(memory.Files, pictures, SourceLineFields(parts[0], 1, "="), parts, 1);

    TEditionPictures read;
    try {
        read = ReadEditionPictures(src, "");
    } catch (const EEditionSourceError& e) {
        FUZZ_CHECK(*e.what() != '\0');
        return 0;
    }
    FUZZ_CHECK(read.Present);
    const std::string stored = std::string(BookFolder) + "/Pictures";
    WriteEditionPictures(read, BookFolder, stored);

    const TPictureSet& set = read.Set;
    const TIllustrations catalogue = ReadIllustrations(BookFolder);
    FUZZ_CHECK(catalogue.HasTitles);
    FUZZ_CHECK(catalogue.Headings == set.Headings);
    FUZZ_CHECK(catalogue.PicInfo.size() == set.Entries.size());
    FUZZ_CHECK(catalogue.PictureFiles == set.FileLines);
    FUZZ_CHECK(catalogue.CellFiles.size() == set.Entries.size());
    FUZZ_CHECK(set.Thumbnails.size() == set.Entries.size());
    for (std::size_t i = 0; i < set.Entries.size(); ++i) {
        std::string title, text;
        SplitTitleLine(set.Entries[i].TitleLine, title, text);
        FUZZ_CHECK(catalogue.PicInfo[i].PicTitle == title && catalogue.PicInfo[i].PicText == text);
        FUZZ_CHECK(catalogue.CellFiles[i].Line == static_cast<std::int32_t>(i));
        const TDibPicture thumbnail = DecodeJpeg(set.Thumbnails[i]);
        FUZZ_CHECK(thumbnail.Width <= 150 && thumbnail.Height <= 150);
    }
    for (const auto& [source, name] : read.Copies)
        FUZZ_CHECK(memory.Files.Get(JoinPath(stored, name)) == memory.Files.Get(source));
    for (const auto& [name, bytes] : read.Encoded) {
        FUZZ_CHECK(memory.Files.Get(JoinPath(stored, name)) == bytes);
        (void)DecodeJpeg(bytes);
    }
    return 0;
}
