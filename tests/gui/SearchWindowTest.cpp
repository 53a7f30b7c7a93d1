// The search tab, the progress window and the results tree: searching an edition made with
// make-edition, whose index therefore holds exactly the words of the texts below.
#include "ReaderFixture.h"

#include "common/Cp1251.h"
#include "reader/core/PageComposer.h"
#include "reader/search/SearchIndex.h"
#include "reader/search/qt/SearchUnit.h"
#include "reader/search/qt/search_wait.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QTabWidget>
#include <QTimer>

using namespace quarto;
using namespace quarto::test;

namespace {

// The panels lying on top of each other on the right: Panel6, Panel8, Panel12.
QStackedLayout* PanelStack() {
    return qobject_cast<QStackedLayout*>(Form1->Panel6->parentWidget()->layout());
}

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Articles 0..9. "Забытая звезда" jumps from level 1 to 3 and is left out of the contents
// tree; the last entry is hidden from it by its title; the two "Заметки" are siblings with the
// same text. "Звезда" stands in articles 1, 2, 3, 5, 8 and 9; "звезда" and "луна" only in 1,
// and not side by side.
TFiles SkyEdition(const std::string& key) {
    return {
        {"edition.ini", Descriptor(key)},
        {"contents.txt", "0 - Звёздное небо\n"
                         "1 a.htm Звезда и луна\n"
                         "2 b.htm Заметки\n"
                         "2 c.htm Заметки\n"
                         "1 d.htm Планеты\n"
                         "3 e.htm Забытая звезда\n"
                         "0 - Разное\n"
                         "1 f.htm Кометы\n"
                         "0 g.htm Одинокая звезда\n"
                         "0 h.htm Тайник !@#$%\n"},
        {"texts/a.htm", "<P>Звезда светит, луна молчит."},
        {"texts/b.htm", "<P>Звезда Вега видна летом."},
        {"texts/c.htm", "<P>Звезда Денеб в созвездии Лебедя."},
        {"texts/d.htm", "<P>Марс и Венера."},
        {"texts/e.htm", "<P>Звезда Альтаир далеко."},
        {"texts/f.htm", "<P>Хвост кометы."},
        {"texts/g.htm", "<P>Одинокая звезда горит."},
        {"texts/h.htm", "<P>Тайная звезда."},
    };
}

// A reader over the sky edition (and a second one when asked), on the search tab.
struct TSkyReader : TReader {
    explicit TSkyReader(int editions = 1) {
        for (int i = 0; i < editions; ++i)
            App.AddEdition("Sky" + std::to_string(i), SkyEdition("Sky" + std::to_string(i)));
        Start();
        Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet4"));
    }
};

QTreeWidget* Results() {
    return TReader::Find<QTreeWidget>("fcTreeView1");
}

// Types the query and presses "Найти".
void Search(const char* query, bool adjacent = true) {
    TReader::Find<QCheckBox>("CheckBox1")->setChecked(adjacent);
    TReader::Find<QLineEdit>("Edit1")->setText(U(query));
    QTest::mouseClick(TReader::Find<QPushButton>("Button1"), Qt::LeftButton);
}

// The results tree in pre-order, one node a line: two spaces per depth, the text, then for
// nodes below the root the article number and "*" for a hit.
std::string Dump() {
    QString out;
    for (QTreeWidgetItemIterator it(Results()); *it; ++it) {
        int depth = 0;
        for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent())
            ++depth;
        out += QString(2 * depth, ' ') + (*it)->text(0);
        if (depth > 0)
            out += ' ' + QString::number((*it)->data(0, ResultArticleRole).toInt()) +
                   ((*it)->data(0, ResultHitRole).toBool() ? " *" : "");
        out += '\n';
    }
    return out.toStdString();
}

QTreeWidgetItem* ResultNode(const char* text) {
    for (QTreeWidgetItemIterator it(Results()); *it; ++it)
        if ((*it)->text(0) == U(text))
            return *it;
    return nullptr;
}

// Double-clicks a node of the results tree with the mouse.
void DoubleClickResult(const char* text) {
    QTreeWidgetItem* node = ResultNode(text);
    ASSERT_NE(node, nullptr) << text;
    for (QTreeWidgetItem* p = node->parent(); p; p = p->parent())
        p->setExpanded(true);
    Results()->scrollToItem(node);
    const QPoint at = Results()->visualItemRect(node).center();
    QTest::mouseClick(Results()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(Results()->viewport(), Qt::LeftButton, {}, at);
}

const char* const SkyResults = "НАЙДЕНО 6\n"
                               "  ЗВЁЗДНОЕ НЕБО 0\n"
                               "    ЗВЕЗДА И ЛУНА 1 *\n"
                               "      ЗАМЕТКИ 2 *\n"
                               "  ЗАБЫТАЯ ЗВЕЗДА 5 *\n"
                               "  ОДИНОКАЯ ЗВЕЗДА 8 *\n";

} // namespace

TEST(SearchWindow, HitsHangUnderTheCountAlongTheContentsPaths) {
    TSkyReader r;
    Search("звезда");
    EXPECT_EQ(Dump(), SkyResults);
    ASSERT_EQ(Results()->topLevelItemCount(), 1);
    EXPECT_EQ(SearchForm->HitsRoot, Results()->topLevelItem(0));
    for (QTreeWidgetItemIterator it(Results()); *it; ++it)
        EXPECT_EQ((*it)->isExpanded(), *it == SearchForm->HitsRoot) << (*it)->text(0).toStdString();
    EXPECT_EQ(SearchForm->HitList, (std::vector<std::int32_t>{1, 2, 3, 5, 8, 9}));
    EXPECT_EQ(SearchForm->HitTitles.size(), 5u); // the hidden entry is counted, not listed
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_TRUE(r.Messages.empty());
}

TEST(SearchWindow, ShortQueriesAndTheEnterKeyLeaveTheResultsAlone) {
    TSkyReader r;
    Search("звезда");
    for (const char* query : {"ab", " ab ", "a.", ";ab.", "\tя,", ":::"}) {
        SCOPED_TRACE(query);
        Search(query);
        EXPECT_EQ(Dump(), SkyResults);
        EXPECT_FALSE(Form2->isVisible());
    }
    auto* edit = TReader::Find<QLineEdit>("Edit1");
    edit->setText(U("невидимка"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Dump(), SkyResults);
    EXPECT_TRUE(r.Messages.empty());
}

TEST(SearchWindow, DoubleClickOpensHitsBelowTheHeadings) {
    struct TCase {
        const char* Node;
        int Article; // -1: nothing opens
        const char* Page;
    };
    const TCase cases[] = {
        {"НАЙДЕНО 6", -1, ""},
        {"ЗВЁЗДНОЕ НЕБО", -1, ""},                 // a section heading under the root
        {"ЗАБЫТАЯ ЗВЕЗДА", 5, "Альтаир"},          // left out of the contents tree
        {"ОДИНОКАЯ ЗВЕЗДА", 8, "Одинокая звезда"}, // a top-level article without sub-entries
        {"ЗВЕЗДА И ЛУНА", 1, "Вега"},              // an article with its sub-entries
        {"ЗАМЕТКИ", 2, "Вега"},
    };
    TSkyReader r;
    Search("Звезда");
    Form1->CurrentArticle = 7;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Node);
        PanelStack()->setCurrentWidget(Form1->Panel8);
        const std::string before = TReader::View()->DocumentSource();
        DoubleClickResult(c.Node);
        EXPECT_EQ(PanelStack()->currentWidget(), Form1->Panel6);
        EXPECT_EQ(Form1->CurrentArticle, 7);
        if (c.Article < 0) {
            EXPECT_EQ(TReader::View()->DocumentSource(), before);
            continue;
        }
        EXPECT_TRUE(TReader::Page().contains(U(c.Page)));
        EXPECT_FALSE(TReader::Page().contains(U("Марс"))); // only the hit and its sub-entries
        EXPECT_NE(TReader::View()->DocumentSource().find(MarkBegin), std::string::npos);
        EXPECT_FALSE(Form1->HighlightOn);
    }
    EXPECT_TRUE(r.Messages.empty());
}

TEST(SearchWindow, AnOpenedHitMarksTheQueryWordsAsTyped) {
    TSkyReader r;
    Search("Звезда и луна", false);
    ASSERT_EQ(SearchForm->HitList, std::vector<std::int32_t>{1});
    DoubleClickResult("ЗВЕЗДА И ЛУНА");
    EXPECT_EQ(Form1->HighlightWords, Utf8ToCp1251("Звезда луна"));
    const std::string source = TReader::View()->DocumentSource();
    for (const char* word : {"Звезда", "луна"})
        EXPECT_NE(source.find(std::string(MarkBegin) + Utf8ToCp1251(word)), std::string::npos)
            << word;
    EXPECT_EQ(Form1->CurrentArticle, 0);
    Form1->SpeedButton7Click(); // the next article after the one opened from the contents
    EXPECT_EQ(Form1->CurrentArticle, 1);
}

TEST(SearchWindow, WithoutAListedHitTheSearchSaysSo) {
    struct TCase {
        const char* Query;
        bool Adjacent;
        const char* Results;
    };
    const TCase cases[] = {
        {"невидимка", true, ""},
        {"Звезда и луна", true, ""},     // both in article 1, but not side by side
        {"a,b", true, ""},               // three characters: searched, "b" is in no text
        {"тайная", true, "НАЙДЕНО 1\n"}, // only in the entry hidden from the contents
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Query);
        TSkyReader r;
        Search("звезда");
        bool progressShown = false;
        MessageBoxHook = [&](const QString& caption, const QString& text) {
            progressShown = Form2->isVisible();
            r.Messages.push_back({caption, text});
        };
        Search(c.Query, c.Adjacent);
        ASSERT_EQ(r.Messages.size(), 1u);
        EXPECT_EQ(r.Messages[0].Caption, U("Поиск"));
        EXPECT_EQ(r.Messages[0].Text, U("Ничего не найдено."));
        EXPECT_TRUE(progressShown);
        EXPECT_FALSE(Form2->isVisible());
        EXPECT_EQ(Dump(), c.Results);
    }
}

TEST(SearchWindow, SwitchingTheEditionEmptiesTheResults) {
    TSkyReader r(2);
    Search("звезда");
    ASSERT_EQ(Dump(), SkyResults);
    auto* box = TReader::Find<QComboBox>("ComboBox1");
    box->setCurrentIndex(1);
    emit box->activated(1);
    EXPECT_EQ(Results()->topLevelItemCount(), 0);
    EXPECT_EQ(SearchForm->HitsRoot, nullptr);
    QTest::mouseDClick(Results()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(PanelStack()->currentWidget(), Form1->Panel6);
    Search("звезда");
    EXPECT_EQ(Dump(), SkyResults);
    EXPECT_TRUE(r.Messages.empty());
}

TEST(SearchWindow, ADamagedIndexIsReportedAndLeavesTheResultsEmpty) {
    struct TCase {
        const char* File;
        bool Remove; // else cut to 0 bytes
    };
    const TCase cases[] = {
        {SearchIndexFormat::StartsFile, false},
        {SearchIndexFormat::VocabularyFile, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        TSkyReader r;
        Search("звезда");
        const std::string file = LayoutPath(Form1->Book().BookFolder, c.File);
        const std::string whole = ReadWholeFile(file);
        if (c.Remove)
            FileSystem().Remove(file);
        else
            WriteWholeFile(file, "");
        Search("звезда");
        ASSERT_EQ(r.Messages.size(), 1u);
        EXPECT_EQ(r.Messages[0].Caption, U(ReaderTitle));
        EXPECT_TRUE(r.Messages[0].Text.contains(U(c.File))) << r.Messages[0].Text.toStdString();
        EXPECT_EQ(Results()->topLevelItemCount(), 0);
        EXPECT_FALSE(Form2->isVisible());
        // Reported once, and the search goes on: the index mended, the next search finds.
        WriteWholeFile(file, whole);
        Search("звезда");
        EXPECT_EQ(Dump(), SkyResults);
        EXPECT_EQ(r.Messages.size(), 1u);
    }
}

TEST(SearchWindow, TheProgressWindowCountsSecondsAndWraps) {
    TSkyReader r;
    auto* bar = Form2->findChild<QProgressBar*>("ProgressBar1");
    auto* timer = Form2->findChild<QTimer*>("Timer1");
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    const int start = bar->value();
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() != start; }, 1500));

    bar->setValue(98);
    Form2->Timer1Timer();
    EXPECT_EQ(bar->value(), 99);
    Form2->Timer1Timer();
    EXPECT_EQ(bar->value(), 0);

    Form2->show();
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    EXPECT_LE((Form2->frameGeometry().center() - screenCentre).manhattanLength(), 1);
    EXPECT_EQ(Form2->findChild<QLabel*>("Label1")->text(),
              U("Идет поиск.\r\nПодождите, пожалуйста."));
    Form2->hide();
}

TEST(SearchWindow, TheTabHoldsQueryOptionButtonAndResultsTopToBottom) {
    TSkyReader r;
    QApplication::processEvents();
    const char* const order[] = {"Edit1", "CheckBox1", "Button1", "fcTreeView1"};
    auto* page = TReader::Find<QWidget>("TabSheet4");
    int below = -1;
    for (const char* name : order) {
        auto* widget = TReader::Find<QWidget>(name);
        ASSERT_TRUE(widget->isVisible()) << name;
        const QRect at(widget->mapTo(page, QPoint(0, 0)), widget->size());
        EXPECT_GE(at.top(), below) << name;
        below = at.bottom() + 1;
    }
    EXPECT_EQ(TReader::Find<QTabWidget>("PageControl1")->currentWidget(), page);
}
