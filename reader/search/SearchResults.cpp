#include "SearchResults.h"

#include "common/Cp1251.h"

#include <unordered_map>

namespace quarto {

int TResultTree::Depth(int node) const {
    int depth = 0;
    for (int p = Nodes[static_cast<std::size_t>(node)].Parent; p >= 0;
         p = Nodes[static_cast<std::size_t>(p)].Parent)
        ++depth;
    return depth;
}

namespace {

int AddChild(TResultTree& result, int parent, std::string text, std::int32_t article) {
    const int index = static_cast<int>(result.Nodes.size());
    TResultNode& node = result.Nodes.emplace_back();
    node.Text = std::move(text);
    node.Article = article;
    node.Parent = parent;
    result.Nodes[static_cast<std::size_t>(parent)].Children.push_back(index);
    return index;
}

} // namespace

TResultTree BuildResultTree(const std::vector<TContentsRec>& list, const TContentsTree& tree,
                            const std::vector<std::int32_t>& hits) {
    TResultTree result;
    if (hits.empty())
        return result;
    TResultNode& root = result.Nodes.emplace_back();
    root.Text = Utf8ToCp1251("НАЙДЕНО ") + std::to_string(hits.size());

    // The contents tree node of each article number: the first node carrying it.
    std::unordered_map<std::int32_t, int> nodeOfArticle;
    for (std::size_t i = 0; i < tree.Nodes.size(); ++i)
        nodeOfArticle.emplace(tree.Nodes[i].ArticleNo, static_cast<int>(i));

    std::vector<int> chain;
    for (const std::int32_t article : hits) {
        if (article < 0 || static_cast<std::size_t>(article) >= list.size())
            continue;
        const std::string& title = list[static_cast<std::size_t>(article)].Title;
        if (title.find(HiddenTitleMark) != std::string::npos)
            continue;
        result.HitTitles.emplace_back(title, article);

        const auto found = nodeOfArticle.find(article);
        if (found == nodeOfArticle.end()) {
            // Left out of the contents tree: listed on its own under the root.
            AddChild(result, 0, UpperCase1251(title), article);
            continue;
        }
        chain.clear();
        for (int n = found->second; n >= 0; n = tree.Nodes[static_cast<std::size_t>(n)].Parent)
            chain.push_back(n);
        int current = 0;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const TContentsNode& step = tree.Nodes[static_cast<std::size_t>(*it)];
            int next = -1;
            for (const int child : result.Nodes[static_cast<std::size_t>(current)].Children)
                if (result.Nodes[static_cast<std::size_t>(child)].Text == step.Text) {
                    next = child;
                    break;
                }
            if (next < 0)
                next = AddChild(result, current, step.Text, step.ArticleNo);
            current = next;
        }
    }
    return result;
}

} // namespace quarto
