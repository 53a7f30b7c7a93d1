// The text store "cData.dat": framed records, and whole articles read from a contents file and
// a text store cut from one input.
#include "fuzzer_common.h"

#include "common/RecordFile.h"
#include "reader/core/ArticleStore.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Part 1: the contents file; part 2: the text store.
    const std::vector<std::string_view> parts = SplitInput(data, size, 2);
    TMemoryScope memory;
    memory.Files.Put(ContentsPath(BookFolder), parts[0]);
    if (parts.size() > 1)
        memory.Files.Put(TextStorePath(BookFolder), parts[1]);

    std::vector<TContentsRec> list;
    FUZZ_CHECK(LoadContents(BookFolder, list));
    const int articles = static_cast<int>(std::min<std::size_t>(list.size(), 64));
    for (int a = 0; a < articles; ++a) {
        try {
            (void)ReadArticle(BookFolder, list, a);
        } catch (const ETextStoreOpenError&) {
            FUZZ_CHECK(parts.size() == 1);
        } catch (const EFormatError&) {
        }
    }
    if (parts.size() < 2)
        return 0;

    // Every record the contents names, and the records at the first bytes' offsets.
    TTextStore store(BookFolder);
    std::vector<std::int32_t> offsets;
    for (int a = 0; a < articles; ++a)
        offsets.push_back(list[a].DataOffset);
    for (std::size_t at = 0; at + 4 <= parts[1].size() && offsets.size() < 80; at += 4)
        offsets.push_back(GetLE32(parts[1].data() + at) & 0xFFFF);
    for (const std::int32_t offset : offsets) {
        try {
            const std::string plain = store.ReadRecord(offset);
            // The plain text is the ciphertext less its 1..8 pad bytes, and it frames again to
            // a record of the same length.
            const std::int32_t length = GetLE32(parts[1].data() + offset);
            FUZZ_CHECK(plain.size() < static_cast<std::size_t>(length) &&
                       plain.size() + 8 >= static_cast<std::size_t>(length));
            FUZZ_CHECK(EncodeTextRecord(plain).size() ==
                       TextStoreFormat::LengthSize + static_cast<std::size_t>(length));
        } catch (const EFormatError&) {
        }
    }
    return 0;
}
