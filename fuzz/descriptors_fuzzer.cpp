// The ini files read as records: a skin's "data.inf", a disc's "setup.inf" and an edition's
// "setup.inf", cut from one input.
#include "fuzzer_common.h"

#include "common/IniFile.h"
#include "reader/core/BookCatalogue.h"
#include "reader/skin/SkinData.h"
#include "setup/DiscDescriptor.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = SplitInput(data, size, 3);
    TMemoryScope memory;
    const std::string skinFolder = "/fuzz/Skins/1";
    const std::string discFolder = "/fuzz/disc";
    memory.Files.Put(LayoutPath(skinFolder, Layout::SkinData), parts[0]);
    if (parts.size() > 1)
        memory.Files.Put(LayoutPath(discFolder, Layout::DiscDescriptor), parts[1]);
    if (parts.size() > 2)
        memory.Files.Put(DescriptorPath(BookFolder), parts[2]);

    // Skin data written out reads back the same.
    const TSkinData skin = ReadSkinData(skinFolder);
    memory.Files.Put(LayoutPath(skinFolder, Layout::SkinData), SkinDataText(skin));
    FUZZ_CHECK(ReadSkinData(skinFolder) == skin);

    // The disc names sections "1" to Count, never more than the limit.
    const TDiscDescriptor disc = ReadDiscDescriptor(discFolder);
    FUZZ_CHECK(disc.State ==
               (parts.size() > 1 ? TDescriptorState::Read : TDescriptorState::Missing));
    FUZZ_CHECK(disc.Editions.size() <= static_cast<std::size_t>(MaxDiscEditions));
    FUZZ_CHECK(disc.RequiredMB >= 0);
    if (parts.size() > 1) {
        const std::int32_t count = TIniFile(parts[1]).ReadInteger("Main", "Count", 0);
        FUZZ_CHECK(disc.Editions.size() ==
                   static_cast<std::size_t>(std::clamp<std::int32_t>(count, 0, MaxDiscEditions)));
    }
    (void)DiscDescriptorText(disc);

    const Tbook book = ReadBookDescriptor(BookFolder);
    FUZZ_CHECK(book.BookFolder == BookFolder);
    (void)BookOptionNames(book);
    return 0;
}
