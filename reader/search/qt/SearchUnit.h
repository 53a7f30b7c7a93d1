// The search object: holds the state of the last search and runs a search from the main
// window's search tab into its results tree. Never shown.
#pragma once

#include "reader/core/qt/TreeFiller.h"
#include "reader/search/SearchIndex.h"
#include "reader/search/SearchResults.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QTreeWidgetItem;

namespace quarto {

// What a node of the results tree carries besides its text: the article number it stands
// for (int) and whether a hit's path ends there (bool).
inline constexpr int ResultArticleRole = TreeArticleRole;
inline constexpr int ResultHitRole = TreeHitRole;

class TSearchForm : public QWidget {
    Q_OBJECT
public:
    explicit TSearchForm(QWidget* parent = nullptr);
    ~TSearchForm() override;

    std::string QueryText;                    // 1251; normalised in place by RunSearch
    std::vector<std::int32_t> HitList;        // the last search's articles, ascending, no repeats
    std::unique_ptr<TSearchIndex> Vocabulary; // the index searched last, its vocabulary loaded
    // For every hit listed in the results tree: its contents title and article number.
    std::vector<std::pair<std::string, std::int32_t>> HitTitles;
    std::vector<TResultNode> ResultNodes; // what the results tree shows; [0] is the root
    QTreeWidgetItem* HitsRoot = nullptr;  // the results tree's root, null while it is empty

    // One whole search of QueryText in the current edition, shown in the main window's
    // results tree with the progress window up meanwhile. A query of at most two characters
    // (after normalising and trimming) is not searched and leaves the results as they were.
    // An index error leaves the results empty and is thrown on.
    void RunSearch();
    // Evaluates the query and fills the results tree; true when there is any hit. Says
    // "Ничего не найдено." when no hit is listed.
    bool BuildResultTree();
    // Empties the results tree and forgets the hits.
    void ClearResults();
};

extern TSearchForm* SearchForm;

} // namespace quarto
