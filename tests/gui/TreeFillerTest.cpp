// The tree filler of the contents and results trees: rows in pre-order become items under
// their parents, carrying the article number and the hit mark only where a row has them.
#include "reader/core/qt/TreeFiller.h"
#include "common/Cp1251.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QTreeWidgetItemIterator>
#include <QtTest/QTest>

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

using namespace quarto;

namespace {

// Rows written with UTF-8 texts; Get() gives the rows to fill, pointing into the 1251 texts
// kept here.
class TRows {
public:
    TRows& Add(int parent, const char* utf8, std::optional<std::int32_t> article = std::nullopt,
               std::optional<bool> hit = std::nullopt) {
        FRows.push_back({parent, Utf8ToCp1251(utf8), article, hit});
        return *this;
    }
    std::vector<TTreeRow> Get() const {
        std::vector<TTreeRow> rows;
        for (const TRow& r : FRows)
            rows.push_back({r.Parent, r.Text, r.Article, r.Hit});
        return rows;
    }

private:
    struct TRow {
        int Parent;
        std::string Text;
        std::optional<std::int32_t> Article;
        std::optional<bool> Hit;
    };
    std::vector<TRow> FRows;
};

// The tree in pre-order, one item a line: two spaces per depth, the text, then the article
// number and "hit" or "miss" where the item carries them; "!" when the tooltip differs.
std::string Dump(QTreeWidget& tree) {
    QString out;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        int depth = 0;
        for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent())
            ++depth;
        out += QString(2 * depth, ' ') + (*it)->text(0);
        if (const QVariant article = (*it)->data(0, TreeArticleRole); article.isValid())
            out += ' ' + QString::number(article.toInt());
        if (const QVariant hit = (*it)->data(0, TreeHitRole); hit.isValid())
            out += hit.toBool() ? " hit" : " miss";
        if ((*it)->toolTip(0) != (*it)->text(0))
            out += " !";
        out += '\n';
    }
    return out.toStdString();
}

} // namespace

TEST(TreeFiller, RowsHangUnderTheirParentsWithTheDataTheyCarry) {
    struct TCase {
        const char* Name;
        TRows Rows;
        const char* Expected;
    };
    const TCase cases[] = {
        {"contents",
         TRows()
             .Add(-1, "РАЗДЕЛ ПЕРВЫЙ", 0)
             .Add(0, "ЗВЁЗДЫ", 1)
             .Add(1, "СОЗВЕЗДИЯ", 2)
             .Add(0, "ЛУНА", 3)
             .Add(-1, "РАЗДЕЛ ВТОРОЙ", 4)
             .Add(4, "ПЛАНЕТЫ", 5)
             .Add(-1, "ПОСЛЕСЛОВИЕ", 6),
         "РАЗДЕЛ ПЕРВЫЙ 0\n"
         "  ЗВЁЗДЫ 1\n"
         "    СОЗВЕЗДИЯ 2\n"
         "  ЛУНА 3\n"
         "РАЗДЕЛ ВТОРОЙ 4\n"
         "  ПЛАНЕТЫ 5\n"
         "ПОСЛЕСЛОВИЕ 6\n"},
        {"results",
         TRows()
             .Add(-1, "НАЙДЕНО 3")
             .Add(0, "ЗВЁЗДНОЕ НЕБО", 0, false)
             .Add(1, "ЗАМЕТКИ", 2, true)
             .Add(1, "ЗАМЕТКИ", 3, true)
             .Add(0, "ЗАБЫТАЯ ЗВЕЗДА", 5, true),
         "НАЙДЕНО 3\n"
         "  ЗВЁЗДНОЕ НЕБО 0 miss\n"
         "    ЗАМЕТКИ 2 hit\n"
         "    ЗАМЕТКИ 3 hit\n"
         "  ЗАБЫТАЯ ЗВЕЗДА 5 hit\n"},
        {"a child after its parent's later siblings",
         TRows().Add(-1, "А", 0).Add(-1, "Б", 1).Add(0, "В", 2).Add(1, "Г", 3).Add(0, "Д", 4),
         "А 0\n"
         "  В 2\n"
         "  Д 4\n"
         "Б 1\n"
         "  Г 3\n"},
        {"text as stored", TRows().Add(-1, "&nbsp;Глава «1» !@#$%").Add(-1, ""),
         "&nbsp;Глава «1» !@#$%\n"
         "\n"},
        {"no rows", TRows(), ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QTreeWidget tree;
        const std::vector<TTreeRow> rows = c.Rows.Get();
        const std::vector<QTreeWidgetItem*> items = FillTree(tree, rows);
        EXPECT_EQ(Dump(tree), c.Expected);
        ASSERT_EQ(items.size(), rows.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            const int parent = rows[i].Parent;
            EXPECT_EQ(items[i]->parent(),
                      parent < 0 ? nullptr : items[static_cast<std::size_t>(parent)]);
            EXPECT_EQ(items[i]->treeWidget(), &tree);
        }
    }
}

TEST(TreeFiller, NewRowsGoBelowWhatTheTreeHolds) {
    QTreeWidget tree;
    tree.addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("earlier")}));
    const TRows rows = TRows().Add(-1, "Новый", 7).Add(0, "Под ним", 8);
    FillTree(tree, rows.Get());
    EXPECT_EQ(Dump(tree), "earlier !\n"
                          "Новый 7\n"
                          "  Под ним 8\n");
}

TEST(TreeFiller, AParentThatDoesNotComeBeforeItsRowAddsNothing) {
    struct TCase {
        TRows Rows;
        const char* Message;
    };
    const TCase cases[] = {
        {TRows().Add(-1, "а").Add(1, "б"),
         "Tree row 1 names parent 1, which does not come before it."},
        {TRows().Add(-1, "а").Add(2, "б").Add(0, "в"),
         "Tree row 1 names parent 2, which does not come before it."},
        {TRows().Add(0, "а"), "Tree row 0 names parent 0, which does not come before it."},
        {TRows().Add(-1, "а").Add(-2, "б"),
         "Tree row 1 names parent -2, which does not come before it."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Message);
        QTreeWidget tree;
        tree.addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("kept")}));
        try {
            FillTree(tree, c.Rows.Get());
            ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
        EXPECT_EQ(Dump(tree), "kept !\n");
    }
}

TEST(TreeFiller, TooltipsShowOnlyForLabelsTheTreeCutsOff) {
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.setTextElideMode(Qt::ElideRight);
    tree.resize(160, 200);
    ShowTipsOnlyForCutLabels(tree);
    const std::string longTitle = "Очень длинное название раздела, которое не помещается";
    TRows rows;
    rows.Add(-1, "Луна").Add(-1, longTitle.c_str()).Add(0, "Фазы").Add(0, longTitle.c_str());
    FillTree(tree, rows.Get());
    tree.expandAll();
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));

    struct TCase {
        const QTreeWidgetItem* Item;
        bool Cut;
    };
    const QTreeWidgetItem* moon = tree.topLevelItem(0);
    const TCase cases[] = {
        {moon, false},
        {tree.topLevelItem(1), true},
        {moon->child(0), false}, // indented, still whole
        {moon->child(1), true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Item->text(0).toStdString());
        EXPECT_EQ(IsLabelCut(tree, *c.Item), c.Cut);
        const QPoint at = tree.visualItemRect(c.Item).center();
        const QPoint global = tree.viewport()->mapToGlobal(at);
        // A tip of another text is up; the tree replaces it only with a cut label's tip.
        QToolTip::showText(global, QStringLiteral("-"), &tree);
        QHelpEvent help(QEvent::ToolTip, at, global);
        QApplication::sendEvent(tree.viewport(), &help);
        EXPECT_EQ(QToolTip::text() == c.Item->text(0), c.Cut);
    }
    // Wide enough, no label is cut and none has a tip.
    tree.resize(900, 200);
    QApplication::processEvents();
    for (const TCase& c : cases)
        EXPECT_FALSE(IsLabelCut(tree, *c.Item)) << c.Item->text(0).toStdString();
    QToolTip::hideText();
}
