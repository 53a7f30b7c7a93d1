// make-edition and the engine together: an outline (with the texts it names) written into an
// edition and read back through the engine gives the same entries, titles, levels, kinds and
// texts.
#include "fuzzer_common.h"

#include "common/Cp1251.h"
#include "reader/core/ArticleStore.h"
#include "reader/core/BookCatalogue.h"
#include "reader/core/ContentsTree.h"
#include "tools/EditionWriter.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Part 1: contents.txt; the parts after it: the texts its entries name, in turn. An outline
    // with a line "#utf" makes an edition with the UTF option (texts stay UTF-8).
    const std::vector<std::string_view> parts = SplitInput(data, size, 16);
    const std::string outlineText(parts[0]);
    const bool utf = outlineText.find("#utf") != std::string::npos;

    std::vector<TOutlineEntry> outline;
    try {
        outline = ParseOutline(outlineText, "contents.txt");
    } catch (const EEditionSourceError&) {
        return 0;
    }
    if (outline.size() > 200)
        return 0;

    TMemoryScope memory;
    const std::string src = "/fuzz/src";
    memory.Files.Put(src + "/edition.ini", std::string("[Main]\r\nTitle=Проба\r\nRegKey=Key\r\n"
                                                       "[Options]\r\nUTF=") +
                                               (utf ? "1" : "0") + "\r\n");
    memory.Files.Put(src + "/contents.txt", outlineText);
    const std::string texts = src + "/texts";
    std::size_t next = 1;
    for (const TOutlineEntry& entry : outline) {
        if (entry.File.empty())
            continue;
        const std::string path = JoinPath(texts, entry.File);
        if (memory.Files.Stat(path).Kind != TEntryKind::None)
            continue;
        const std::string_view text = parts.size() > 1 ? parts[next] : std::string_view("Текст.");
        next = next + 1 < parts.size() ? next + 1 : 1;
        try {
            memory.Files.Put(path, text);
        } catch (const EStreamError&) {
            return 0;
        }
    }
    try {
        MakeEdition(src, BookFolder);
    } catch (const EEditionSourceError&) {
        return 0;
    } catch (const EStreamError&) {
        // A file name that is a folder of another (texts/a and texts/a/b).
        return 0;
    }

    std::vector<TContentsRec> list;
    FUZZ_CHECK(LoadContents(BookFolder, list));
    FUZZ_CHECK(list.size() == outline.size());
    FUZZ_CHECK(ReadBookDescriptor(BookFolder).UTF == utf);
    TTextStore store(BookFolder);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TOutlineEntry& entry = outline[i];
        const TContentsRec& rec = list[i];
        std::string title;
        FUZZ_CHECK(TryUtf8ToCp1251(entry.Title, title));
        FUZZ_CHECK(rec.ArticleNo == static_cast<std::int32_t>(i));
        FUZZ_CHECK(rec.Level == entry.Level);
        FUZZ_CHECK(rec.Kind == entry.Kind);
        FUZZ_CHECK(rec.Title == CleanTitle(title));
        std::string text;
        if (!entry.File.empty()) {
            text = memory.Files.Get(JoinPath(texts, entry.File));
            if (text.rfind("\xEF\xBB\xBF", 0) == 0)
                text.erase(0, 3);
            if (!utf)
                FUZZ_CHECK(TryUtf8ToCp1251(std::string(text), text));
        }
        if (!entry.Bare)
            text += TextStoreFormat::Trailer;
        FUZZ_CHECK(store.ReadRecord(rec.DataOffset) == text);
        (void)ReadArticle(BookFolder, list, static_cast<int>(i));
    }
    (void)BuildContentsTree(list);
    return 0;
}
