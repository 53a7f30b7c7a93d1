// The results tree of a search: a root "НАЙДЕНО " + the number of hits, under it for every hit
// the path of the contents tree down to the hit's node, paths sharing their common beginning.
#pragma once

#include "reader/core/ContentsFile.h"
#include "reader/core/ContentsTree.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quarto {

struct TResultNode {
    std::string Text;          // 1251: the contents node's text, or "НАЙДЕНО n" for the root
    std::int32_t Article = -1; // the article number the node stands for; -1 for the root
    int Parent = -1;           // index of the parent node, -1 for the root
    std::vector<int> Children; // indices of the child nodes, in order
};

struct TResultTree {
    std::vector<TResultNode> Nodes; // Nodes[0] is the root; empty when there is no hit
    // The listed hits: the contents title and the article number of each, in hit order.
    std::vector<std::pair<std::string, std::int32_t>> HitTitles;
    int Depth(int node) const;
};

// Builds the results tree of hits (ascending article numbers). A hit whose title holds
// "!@#$%" is counted but not listed. A listed hit's path starts from the contents tree node
// that carries the hit's article number and goes up to the top level; walking down from the
// root, a step reuses the first child with exactly the same text, else a new last child is
// made carrying that contents node's article number. A hit without a contents tree node (its
// entry was left out of the tree) is listed directly under the root with its title.
TResultTree BuildResultTree(const std::vector<TContentsRec>& list, const TContentsTree& tree,
                            const std::vector<std::int32_t>& hits);

} // namespace quarto
