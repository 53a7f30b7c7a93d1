#include "TreeFiller.h"

#include "common/qt/QtText.h"

#include <stdexcept>
#include <string>

namespace quarto {

std::vector<QTreeWidgetItem*> FillTree(QTreeWidget& tree, const std::vector<TTreeRow>& rows) {
    // Checked before any item is made, so that a bad list leaves the tree as it was.
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].Parent < -1 || rows[i].Parent >= static_cast<int>(i))
            throw std::invalid_argument("Tree row " + std::to_string(i) + " names parent " +
                                        std::to_string(rows[i].Parent) +
                                        ", which does not come before it.");
    std::vector<QTreeWidgetItem*> items(rows.size(), nullptr);
    QList<QTreeWidgetItem*> topItems;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TTreeRow& row = rows[i];
        auto* item = new QTreeWidgetItem();
        const QString text = From1251(row.Text);
        item->setText(0, text);
        item->setToolTip(0, text);
        if (row.Article)
            item->setData(0, TreeArticleRole, *row.Article);
        if (row.Hit)
            item->setData(0, TreeHitRole, *row.Hit);
        items[i] = item;
        if (row.Parent < 0)
            topItems.append(item);
        else
            items[static_cast<std::size_t>(row.Parent)]->addChild(item);
    }
    // Branches are whole before they join the view, which then hears of each top item once.
    tree.addTopLevelItems(topItems);
    return items;
}

} // namespace quarto
