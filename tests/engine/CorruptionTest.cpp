// Damaged edition files, made by flipping, cutting and growing the bytes of a real edition:
// reading them may fail with an error, but never crashes, hangs or reads outside the data
// (the sanitizer run checks the last).
#include "EditionFixture.h"

#include "common/Cp1251.h"
#include "reader/core/ArticleStore.h"
#include "reader/core/BookCatalogue.h"
#include "reader/core/ContentsTree.h"
#include "reader/search/SearchQuery.h"
#include "tools/EditionCheck.h"

#include <random>

using namespace quarto;
using namespace quarto::test;

namespace {

// Everything the reader does with an edition's files.
void ReadEverything(const std::string& folder) {
    std::vector<TContentsRec> list;
    try {
        LoadContents(folder, list);
    } catch (const std::exception&) {
        return;
    }
    const TContentsTree tree = BuildContentsTree(list);
    (void)tree;
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        try {
            ReadArticle(folder, list, i);
        } catch (const std::exception&) {
        }
    }
    for (const char* query : {"звезда", "звезд* луна", "луна ИЛИ небо", "а*"}) {
        for (const bool adjacent : {false, true}) {
            try {
                SearchEdition(folder, NormalizeQuery(Utf8ToCp1251(query)), adjacent,
                              static_cast<std::int32_t>(list.size()));
            } catch (const std::exception&) {
            }
        }
    }
    Tbook book = ReadBookDescriptor(folder);
    (void)CheckEdition(book); // reports, never throws
}

} // namespace

TEST(Corruption, DamagedFilesNeverCrashTheReader) {
    TAppFolder app;
    TFiles source = {{"edition.ini", Descriptor("K")},
                     {"contents.txt", "0 - Небо\n1 a.htm Звезда\n2 b.txt Луна\n1 c.htm Небо\n"},
                     {"texts/a.htm", "<P>Яркая звезда и луна над морем."},
                     {"texts/b.txt", "Луна всходит, звезда светит."},
                     {"texts/c.htm", "<P>Ночное небо, звездное небо."}};
    const std::string pristine = app.AddEdition("K", source);
    const char* const files[] = {"cContents.dat", "cData.dat",     "Voc.txt",
                                 "Pos.rec",       "FileIndex.rec", "InnerBase.dat"};
    std::mt19937 random(20261209);
    // Each round damages one file of a copy of the edition and puts it back afterwards (the
    // reader only reads): every round starts from the whole edition.
    const TPath work = app.Path() / "damaged";
    CopyTree(pristine, work);
    for (int round = 0; round < 1000; ++round) {
        const TPath file = work / files[random() % std::size(files)];
        const std::string original = ReadWholeFile(file.string());
        std::string bytes = original;
        switch (random() % 4) {
        case 0: // flip bytes
            for (int i = 0, n = 1 + static_cast<int>(random() % 8); i < n && !bytes.empty(); ++i)
                bytes[random() % bytes.size()] = static_cast<char>(random());
            break;
        case 1: // cut the file short
            bytes.resize(bytes.empty() ? 0 : random() % bytes.size());
            break;
        case 2: // absurd little-endian numbers at a 4-byte boundary
            if (bytes.size() >= 4) {
                const std::size_t at = (random() % (bytes.size() / 4)) * 4;
                const std::uint32_t values[] = {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0x10000u};
                PutLE32(bytes.data() + at, values[random() % 4]);
            }
            break;
        default: // grow it with noise
            for (int i = 0, n = static_cast<int>(random() % 64); i < n; ++i)
                bytes += static_cast<char>(random());
        }
        WriteWholeFile(file.string(), bytes);
        ReadEverything(work.string());
        WriteWholeFile(file.string(), original);
    }
}
