// The audio and video supplements of an edition source: audio.txt, video.txt and the files
// they name, read and written by make-edition's supplement part (ReadEditionSupplements,
// WriteEditionSupplements) in memory. A faulty source is an EEditionSourceError with a
// message; one that reads writes lists the engine reads back with the same titles and files,
// and each file is stored beside its list with the source's bytes.
//
// Part 1: audio.txt, part 2: video.txt (an empty part: no list); the parts after them: the
// files the lines name (their first field), the audio ones first, in turn.
#include "fuzzer_common.h"

#include "reader/media/SupplementLists.h"
#include "tools/EditionWriter.h"
#include "tools/SupplementWriter.h"

using namespace quarto;
using namespace quarto::fuzz;

namespace {

void CheckList(const TEditionSupplements::TList& list, TSupplementKind kind,
               TMemoryFileSystem& files) {
    const TSupplementList read = ReadSupplementList(BookFolder, kind);
    FUZZ_CHECK(read.Found == list.Present);
    if (!list.Present)
        return;
    FUZZ_CHECK(list.Lines.size() % 2 == 0);
    FUZZ_CHECK(read.Titles.size() == list.Lines.size() / 2);
    FUZZ_CHECK(read.Files.size() == read.Titles.size());
    for (std::size_t i = 0; i < read.Titles.size(); ++i) {
        FUZZ_CHECK(read.Titles[i] == list.Lines[2 * i]);
        FUZZ_CHECK(read.Files[i] == list.Lines[2 * i + 1]);
    }
    const std::string folder = SupplementFolder(BookFolder, kind);
    for (const auto& [from, stored] : list.Copies)
        FUZZ_CHECK(files.Get(JoinPath(folder, stored)) == files.Get(from));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = SplitInput(data, size, 10);
    TMemoryScope memory;
    const std::string src = "/fuzz/src";
    std::size_t next = 2;
    const auto putList = [&](std::size_t part, const char* listName, const char* folder) {
        if (part >= parts.size() || parts[part].empty())
            return;
        memory.Files.Put(JoinPath(src, listName), parts[part]);
        memory.Files.CreateFolder(JoinPath(src, folder));
        next = PutNamedFiles(memory.Files, JoinPath(src, folder), SourceLineFields(parts[part], 0),
                             parts, next);
    };
    putList(0, "audio.txt", "audio");
    putList(1, "video.txt", "video");

    TEditionSupplements read;
    try {
        read = ReadEditionSupplements(src, {});
    } catch (const EEditionSourceError& e) {
        FUZZ_CHECK(*e.what() != '\0');
        return 0;
    }
    WriteEditionSupplements(read, BookFolder);
    CheckList(read.Audio, TSupplementKind::Audio, memory.Files);
    CheckList(read.Video, TSupplementKind::Video, memory.Files);
    return 0;
}
