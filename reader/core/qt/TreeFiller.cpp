#include "TreeFiller.h"

#include "common/qt/QtText.h"

#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace quarto {

namespace {

// Lets a tree's tooltip through only over a label that is cut off.
class TCutLabelTips final : public QObject {
public:
    explicit TCutLabelTips(QTreeWidget& tree) : QObject(&tree), FTree(tree) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip || watched != FTree.viewport())
            return false;
        const auto* help = static_cast<const QHelpEvent*>(event);
        const QTreeWidgetItem* item = FTree.itemAt(help->pos());
        if (item && IsLabelCut(FTree, *item))
            return false; // the item's tooltip shows the whole label
        QToolTip::hideText();
        event->ignore();
        return true;
    }

private:
    QTreeWidget& FTree;
};

} // namespace

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

void ShowTipsOnlyForCutLabels(QTreeWidget& tree) {
    tree.viewport()->installEventFilter(new TCutLabelTips(tree));
}

bool IsLabelCut(const QTreeWidget& tree, const QTreeWidgetItem& item) {
    const QRect cell = tree.visualItemRect(&item);
    if (!cell.isValid())
        return false;
    // The item's text as the item view draws it: a margin on either side, within the part of
    // the cell the viewport shows.
    const int margin = tree.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &tree) + 1;
    const int right = std::min(cell.right(), tree.viewport()->width() - 1);
    const int room = right - std::max(cell.left(), 0) + 1 - 2 * margin;
    const QVariant font = item.data(0, Qt::FontRole);
    const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : tree.font());
    return metrics.horizontalAdvance(item.text(0)) > room;
}

} // namespace quarto
