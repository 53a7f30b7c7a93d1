// Fills a tree widget with rows the engine built: the contents tree and the results tree of a
// search both come to the window as a list of nodes, each naming its parent.
#pragma once

#include <QTreeWidget>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quarto {

// What an item carries besides its text: the article number it stands for (int) and, in the
// results tree, whether a hit's path ends there (bool).
inline constexpr int TreeArticleRole = Qt::UserRole;
inline constexpr int TreeHitRole = Qt::UserRole + 1;

struct TTreeRow {
    int Parent = -1;                     // index of the parent row, -1 for a top row
    std::string_view Text;               // 1251; shown as the item's text and tooltip
    std::optional<std::int32_t> Article; // under TreeArticleRole when present
    std::optional<bool> Hit;             // under TreeHitRole when present
};

// Adds one item per row to tree, below what it holds: each row under its parent's item, in row
// order, the top rows as top-level items. A parent comes before its children (rows in
// pre-order, as the engine builds them). Returns the items, one per row; throws
// std::invalid_argument, adding nothing, when a row names a parent that does not come before
// it.
std::vector<QTreeWidgetItem*> FillTree(QTreeWidget& tree, const std::vector<TTreeRow>& rows);

// From now on the tree shows an item's tooltip only while the item's label is cut off by the
// tree's edge; a label shown whole gets none.
void ShowTipsOnlyForCutLabels(QTreeWidget& tree);

// Whether the label of item is cut off where the tree shows it now.
bool IsLabelCut(const QTreeWidget& tree, const QTreeWidgetItem& item);

} // namespace quarto
