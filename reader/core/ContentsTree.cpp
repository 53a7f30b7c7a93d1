#include "ContentsTree.h"

#include "common/Cp1251.h"

namespace quarto {

TContentsTree BuildContentsTree(const std::vector<TContentsRec>& list) {
    TContentsTree tree;
    tree.NodeOfEntry.assign(list.size(), -1);
    int last = -1;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TContentsRec& rec = list[i];
        std::string text = UpperCase1251(rec.Title);
        const int level = rec.Level;
        if (text.find(HiddenTitleMark) != std::string::npos) {
            tree.LeftOut.push_back(static_cast<int>(i));
            continue;
        }
        int parent = -1;
        if (last >= 0) {
            const int depth = tree.Nodes[last].Depth;
            if (depth == level) {
                parent = tree.Nodes[last].Parent;
            } else if (depth == level - 1) {
                parent = last;
            } else if (depth > level) {
                int ancestor = last;
                while (tree.Nodes[ancestor].Depth > level)
                    ancestor = tree.Nodes[ancestor].Parent;
                parent = tree.Nodes[ancestor].Parent;
            } else { // more than one level deeper than the last node
                tree.LeftOut.push_back(static_cast<int>(i));
                continue;
            }
        }
        TContentsNode node;
        node.Text = std::move(text);
        node.ArticleNo = rec.ArticleNo;
        node.Entry = static_cast<int>(i);
        node.Parent = parent;
        node.Depth = parent < 0 ? 0 : tree.Nodes[parent].Depth + 1;
        const int index = static_cast<int>(tree.Nodes.size());
        tree.Nodes.push_back(std::move(node));
        if (parent < 0)
            tree.TopNodes.push_back(index);
        else
            tree.Nodes[parent].Children.push_back(index);
        tree.NodeOfEntry[i] = index;
        last = index;
    }
    return tree;
}

std::optional<int> NextArticle(const std::vector<TContentsRec>& list, int current) {
    const int n = static_cast<int>(list.size());
    if (current >= n - 1)
        return std::nullopt;
    int j = current + 1;
    if (j < 0)
        j = 0;
    while (j < n && list[j].Level == 0)
        ++j;
    if (j < n)
        return j;
    return std::nullopt;
}

std::optional<int> PreviousArticle(const std::vector<TContentsRec>& list, int current) {
    const int n = static_cast<int>(list.size());
    if (current < 1 || n == 0)
        return std::nullopt;
    int j = current - 1;
    if (j >= n)
        j = n - 1;
    while (j > 0 && list[j].Level == 0)
        --j;
    if (list[j].Level != 0)
        return j;
    return std::nullopt;
}

} // namespace quarto
