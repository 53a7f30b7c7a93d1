// The contents file "cContents.dat" and the contents tree built from it.
#include "fuzzer_common.h"

#include "reader/core/ContentsTree.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = InputView(data, size);
    const std::vector<TContentsRec> list = ParseContents(bytes);
    FUZZ_CHECK(list.size() == size / ContentsFormat::RecordSize);
    {
        // The same through the file layer, the name matched ignoring case.
        TMemoryScope memory;
        memory.Files.Put(std::string(BookFolder) + "/CCONTENTS.DAT", bytes);
        std::vector<TContentsRec> loaded;
        FUZZ_CHECK(LoadContents(BookFolder, loaded));
        FUZZ_CHECK(loaded.size() == list.size());
    }
    for (const TContentsRec& rec : list) {
        FUZZ_CHECK(rec.Title.size() <= ContentsFormat::TitleMaxLength);
        // A record written back reads as the same record.
        const TContentsRec again = DecodeContentsRecord(EncodeContentsRecord(rec));
        FUZZ_CHECK(again.ArticleNo == rec.ArticleNo && again.Level == rec.Level &&
                   again.Kind == rec.Kind && again.DataOffset == rec.DataOffset &&
                   CleanTitle(again.Title) == rec.Title);
    }

    const TContentsTree tree = BuildContentsTree(list);
    FUZZ_CHECK(tree.Nodes.size() + tree.LeftOut.size() == list.size());
    FUZZ_CHECK(tree.NodeOfEntry.size() == list.size());
    for (std::size_t n = 0; n < tree.Nodes.size(); ++n) {
        const TContentsNode& node = tree.Nodes[n];
        FUZZ_CHECK(node.Entry >= 0 && static_cast<std::size_t>(node.Entry) < list.size());
        FUZZ_CHECK(tree.NodeOfEntry[node.Entry] == static_cast<int>(n));
        FUZZ_CHECK(node.ArticleNo == list[node.Entry].ArticleNo);
        if (node.Parent < 0) {
            FUZZ_CHECK(node.Depth == 0);
        } else {
            FUZZ_CHECK(node.Parent < static_cast<int>(n));
            FUZZ_CHECK(node.Depth == tree.Nodes[node.Parent].Depth + 1);
        }
        for (const int child : node.Children)
            FUZZ_CHECK(child > static_cast<int>(n) &&
                       tree.Nodes[child].Parent == static_cast<int>(n));
    }
    for (int top : tree.TopNodes)
        FUZZ_CHECK(tree.Nodes[top].Parent == -1);

    // Stepping stays inside the list.
    const int count = static_cast<int>(list.size());
    for (int i = -1; i <= count && i < 300; ++i) {
        if (const auto next = NextArticle(list, i))
            FUZZ_CHECK(*next >= 0 && *next < count);
        if (const auto previous = PreviousArticle(list, i))
            FUZZ_CHECK(*previous >= 0 && *previous < count);
    }
    return 0;
}
