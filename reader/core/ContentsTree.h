// The contents tree built from the contents entries, and stepping through the articles.
#pragma once

#include "ContentsFile.h"

#include <optional>
#include <string>
#include <vector>

namespace quarto {

struct TContentsNode {
    std::string Text;           // the entry's title upper-cased (1251)
    std::int32_t ArticleNo = 0; // the entry's ArticleNo, the node's number
    int Entry = 0;              // index of the entry in the contents list
    int Parent = -1;            // index of the parent node, -1 for a top node
    int Depth = 0;              // number of ancestors
    std::vector<int> Children;  // indices of the child nodes, in order
};

// Nodes in pre-order (each added as the last child of its parent, in entry order), so the
// nodes correspond one to one and in order to the entries that were not left out.
struct TContentsTree {
    std::vector<TContentsNode> Nodes;
    std::vector<int> TopNodes;    // indices of the top nodes, in order
    std::vector<int> LeftOut;     // entries that have no node, ascending
    std::vector<int> NodeOfEntry; // for each entry its node, or -1 when left out
};

// Marks an entry that is never shown in the tree.
inline constexpr const char* HiddenTitleMark = "!@#$%";

// Builds the tree: an entry whose upper-cased title holds "!@#$%", or whose level is more
// than one deeper than the last node added, is left out; otherwise the node goes below,
// beside or up from the last node by comparing the entry's level with that node's depth
// (the first node is always a top node).
TContentsTree BuildContentsTree(const std::vector<TContentsRec>& list);

// The article the next / previous command opens from current, or nothing. Both step entry
// by entry and pass over level-0 entries.
std::optional<int> NextArticle(const std::vector<TContentsRec>& list, int current);
std::optional<int> PreviousArticle(const std::vector<TContentsRec>& list, int current);

} // namespace quarto
