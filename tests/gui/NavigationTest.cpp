// Getting around the main window: the history of the pages shown, find in the page, stepping
// through the search hits, the keyboard for the painted commands and the page's context menu,
// and the links of both views to files that are not pages.
#include "ReaderFixture.h"

#include "common/qt/QtText.h"
#include "platform/PlatformFakes.h"
#include "reader/core/PageComposer.h"
#include "reader/core/qt/FindBar.h"
#include "reader/core/qt/KeyMap.h"
#include "reader/core/qt/PageMenu.h"
#include "reader/core/qt/PlayerBar.h"
#include "reader/core/qt/PrintRoute.h"
#include "reader/core/qt/ViewHistory.h"
#include "reader/media/qt/PreviewUnit.h"
#include "reader/search/qt/SearchUnit.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

using namespace quarto;
using namespace quarto::test;

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

TFindBar* FindBar() {
    return Form1->findChild<TFindBar*>("FindBar");
}

QLineEdit* FindEdit() {
    return Form1->findChild<QLineEdit*>("FindEdit");
}

QToolButton* NextHit() {
    return Form1->findChild<QToolButton*>("NextHit");
}

int Scroll() {
    return TReader::View()->verticalScrollBar()->value();
}

// Keys typed into the active main window, as a user types them.
void Keys(QKeySequence keys) {
    if (QApplication::activeWindow() != Form1) {
        Form1->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Form1));
    }
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : Form1;
    const QKeyCombination key = keys[0];
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

// Text typed into a field, letter by letter (Cyrillic too).
void Type(QWidget* field, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &release);
    }
}

// An edition whose first article has a link to an anchor further down.
TFiles AnchorEdition(const std::string& key, const std::string& options = "") {
    TFiles files = SampleEdition(key, options);
    std::string text = "<P><A HREF=\"#end\">к концу</A> Звезда, звезда и ЗВЕЗДА.";
    for (int i = 0; i < 80; ++i)
        text += "<P>Строка " + std::to_string(i);
    text += "<P><A NAME=\"end\">Конец</A> звезда";
    for (auto& [name, bytes] : files)
        if (name == "texts/a1.htm")
            bytes = text;
    return files;
}

// Clicks the link whose text is given, in the page the view shows (the main window's text).
void ClickLink(const char* text, THtmlView* view = TReader::View()) {
    const QTextCursor found = view->document()->find(U(text));
    ASSERT_FALSE(found.isNull()) << text;
    QTextCursor middle(view->document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    const QPoint at = view->cursorRect(middle).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

TEST(Navigation, BackAndForwardRetraceArticlesAboutPagesAnchorsAndHits) {
    TReader r;
    r.App.AddEdition("A", AnchorEdition("Sky"));
    r.Add("B", "Moon");
    r.Start();
    ASSERT_EQ(Form1->PageHistory().Steps().Size(), 1u); // the about page at start
    EXPECT_TRUE(TReader::Page().contains(U("О книге Sky")));

    TReader::DoubleClick("ЗВЁЗДЫ");
    const int stars = Form1->CurrentArticle;
    ClickLink("к концу"); // a step within the page
    const int atEnd = Scroll();
    EXPECT_GT(atEnd, 0);
    TReader::DoubleClick("ЛУНА");
    const int moon = Form1->CurrentArticle;
    TReader::View()->verticalScrollBar()->setValue(150);
    // A search hit: opened without becoming the current article.
    Form1->Edit1->setText(U("Планеты"));
    Form1->Button1Click();
    NextHit()->click();
    EXPECT_TRUE(TReader::Page().contains(U("Планеты Sky")));
    EXPECT_EQ(Form1->CurrentArticle, moon);
    ASSERT_EQ(Form1->PageHistory().Steps().Size(), 5u);

    Keys(QKeySequence(Qt::ALT | Qt::Key_Left)); // back to the moon, where it was scrolled
    EXPECT_TRUE(TReader::Page().contains(U("Луна и звезды")));
    EXPECT_EQ(Scroll(), 150);
    EXPECT_EQ(Form1->CurrentArticle, moon);
    Form1->PageHistory().Back(); // the anchor's step
    EXPECT_TRUE(TReader::Page().contains(U("к концу")));
    EXPECT_EQ(Scroll(), atEnd);
    EXPECT_EQ(Form1->CurrentArticle, stars); // restored as it was
    Form1->PageHistory().Back();
    EXPECT_EQ(Scroll(), 0);
    Form1->PageHistory().Back();
    EXPECT_TRUE(TReader::Page().contains(U("О книге Sky")));
    Form1->PageHistory().Back(); // the first step: nothing before it
    EXPECT_TRUE(TReader::Page().contains(U("О книге Sky")));
    EXPECT_EQ(Form1->CurrentArticle, stars);

    // The mouse's forward button, three times: the moon again, then the hit, and no further.
    for (int i = 0; i < 4; ++i) {
        QMouseEvent forward(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5),
                            Qt::ForwardButton, Qt::ForwardButton, Qt::NoModifier);
        QApplication::sendEvent(TReader::View()->viewport(), &forward);
    }
    EXPECT_TRUE(TReader::Page().contains(U("Планеты Sky")));
    EXPECT_EQ(Form1->CurrentArticle, moon);

    // A new page drops the steps ahead; another edition drops them all.
    Form1->PageHistory().Back();
    TReader::DoubleClick("ЗВЁЗДЫ");
    EXPECT_EQ(Form1->PageHistory().Steps().Size(), 5u);
    Form1->ComboBox1Change(1);
    EXPECT_EQ(Form1->PageHistory().Steps().Size(), 1u);
    Form1->PageHistory().Back();
    EXPECT_TRUE(TReader::Page().contains(U("О книге Moon")));
}

TEST(Navigation, AnEditionWithoutAnAboutPageShowsNothingOfTheOneBefore) {
    TReader r;
    r.Add("A", "Sky");
    const std::string moon = r.Add("B", "Moon");
    FileSystem().Remove(ResolvePath(AboutPagePath(moon)));
    r.Start();
    EXPECT_TRUE(TReader::Page().contains(U("О книге Sky")));
    Form1->ComboBox1Change(1);
    EXPECT_FALSE(TReader::Page().contains(U("Sky")));
}

TEST(Navigation, AHistoryKeepsItsLastHundredSteps) {
    TPageHistory history;
    for (int i = 0; i < 130; ++i)
        history.Visit(THistoryStep::OfArticle(i, true));
    EXPECT_EQ(history.Size(), TPageHistory::MaxSteps);
    int steps = 0;
    std::optional<THistoryStep> step;
    while (const auto back = history.Back()) {
        step = back;
        ++steps;
    }
    EXPECT_EQ(steps, 99);
    EXPECT_EQ(step->Article, 30);
}

TEST(Navigation, FindCountsAndGoesRoundIgnoringCaseInBothCharsets) {
    for (const char* options : {"", "UTF=1\n"}) {
        SCOPED_TRACE(options);
        TReader r;
        r.App.AddEdition("Sky", AnchorEdition("Sky", options));
        r.Start();
        TReader::DoubleClick("ЗВЁЗДЫ");
        Keys(QKeySequence::Find);
        ASSERT_TRUE(FindBar()->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), FindEdit());
        Type(FindEdit(), U("зВеЗдА"));
        // Three in the first lines, one at the anchor, one in the sub-entry's text.
        EXPECT_EQ(FindBar()->CountText(), U("1 из 5"));
        EXPECT_EQ(TReader::View()->textCursor().selectedText(), U("Звезда"));
        const char* const expected[] = {"2 из 5", "3 из 5", "4 из 5", "5 из 5", "1 из 5"};
        for (const char* count : expected) {
            Keys(QKeySequence(Qt::Key_F3));
            EXPECT_EQ(FindBar()->CountText(), U(count));
        }
        Keys(QKeySequence(Qt::SHIFT | Qt::Key_F3)); // back round the start
        EXPECT_EQ(FindBar()->CountText(), U("5 из 5"));
        EXPECT_GT(Scroll(), 0);
        // The page's source is not marked; Escape closes the bar.
        EXPECT_EQ(TReader::View()->DocumentSource().find(MarkBegin), std::string::npos);
        Type(FindEdit(), U("ЖЖ"));
        EXPECT_EQ(FindBar()->CountText(), U("Не найдено"));
        QTest::keyClick(FindEdit(), Qt::Key_Escape);
        EXPECT_FALSE(FindBar()->isVisible());
    }
}

TEST(Navigation, HitsAreSteppedInTheResultsOrderAndStopAtBothEnds) {
    TReader r;
    r.Add("Sky", "Sky");
    r.Start();
    Form1->PageControl1->setCurrentWidget(Form1->TabSheet4);
    Form1->Edit1->setText(U("звезда"));
    Form1->Button1Click();
    std::vector<int> hits;
    for (QTreeWidgetItemIterator it(Form1->fcTreeView1); *it; ++it)
        // A hit opens unless it is a heading right under the root with hits below it.
        if ((*it)->parent() && (*it)->data(0, ResultHitRole).toBool() &&
            ((*it)->parent()->parent() || (*it)->childCount() == 0))
            hits.push_back((*it)->data(0, ResultArticleRole).toInt());
    ASSERT_GE(hits.size(), 2u);
    const auto opened = [] {
        return Form1->fcTreeView1->currentItem()->data(0, ResultArticleRole).toInt();
    };
    Keys(QKeySequence(Qt::CTRL | Qt::Key_Up)); // before the first: nothing
    EXPECT_TRUE(TReader::Page().contains(U("О книге")));
    for (std::size_t i = 0; i < hits.size(); ++i) {
        Keys(QKeySequence(Qt::CTRL | Qt::Key_Down));
        EXPECT_EQ(opened(), hits[i]);
    }
    QTest::mouseClick(NextHit(), Qt::LeftButton); // past the last: it stays
    EXPECT_EQ(opened(), hits.back());
    QTest::mouseClick(Form1->findChild<QToolButton*>("PreviousHit"), Qt::LeftButton);
    EXPECT_EQ(opened(), hits[hits.size() - 2]);
    // Opened as a double-click opens a hit: the words are marked.
    EXPECT_NE(TReader::View()->DocumentSource().find(MarkBegin), std::string::npos);
}

TEST(Navigation, EveryPaintedCommandHasItsKeyAndThePageAMenu) {
    TReader r;
    r.Add("Sky", "Sky");
    r.Start();
    TReader::DoubleClick("ЗВЁЗДЫ");
    const int first = Form1->CurrentArticle;

    Keys(QKeySequence(Qt::CTRL | Qt::Key_Right)); // as the painted "next"
    EXPECT_EQ(Form1->CurrentArticle, first + 1);
    Keys(QKeySequence(Qt::CTRL | Qt::Key_Left));
    EXPECT_EQ(Form1->CurrentArticle, first);

    Keys(QKeySequence(Qt::CTRL | Qt::Key_Plus));
    Keys(QKeySequence(Qt::CTRL | Qt::Key_Plus));
    EXPECT_EQ(Form1->FlatSpinEditInteger1->value(), 16);
    EXPECT_EQ(TReader::View()->DefaultFontSize(), 16);
    Keys(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    EXPECT_EQ(Form1->FlatSpinEditInteger1->value(), 14);
    Keys(QKeySequence(Qt::CTRL | Qt::Key_0));
    EXPECT_EQ(Form1->FlatSpinEditInteger1->value(), 12);
    Keys(QKeySequence(Qt::CTRL | Qt::Key_Minus)); // not below the panel's least
    EXPECT_EQ(Form1->FlatSpinEditInteger1->value(), 12);

    TReader::View()->setFocus();
    QApplication::clipboard()->clear();
    Keys(QKeySequence::Copy); // nothing selected: the whole page, as the painted "copy"
    EXPECT_TRUE(QApplication::clipboard()->text().contains(U("Звезда светит ярко")));

    Form1->PrintRoute().MakePrinter = [] { return std::unique_ptr<QPrinter>(); };
    Keys(QKeySequence::Print);
    ASSERT_EQ(r.Questions.size(), 1u);
    EXPECT_EQ(r.Questions[0].Caption, U("Печать"));

    Keys(QKeySequence(Qt::Key_F1));
    EXPECT_TRUE(TReader::Page().contains(U("О книге Sky")));

    QStringList items;
    Form1->PageMenu().Hook = [&](QMenu& menu) {
        for (QAction* action : menu.actions())
            if (!action->isSeparator())
                items << action->text();
        menu.actions().at(1)->trigger(); // "Выделить всё"
    };
    TReader::View()->customContextMenuRequested(QPoint(10, 10));
    EXPECT_EQ(items, (QStringList{U("Копировать"), U("Выделить всё"), U("Найти на странице…"),
                                  U("Печать…")}));
    EXPECT_GT(TReader::View()->SelectionLength(), 0);

    Keys(QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(r.EndCount, 1);
}

TEST(Navigation, TheKeyTableHoldsEveryKeyOfTheKeyboardTableOnce) {
    using C = TKeyCommand;
    const std::vector<std::pair<QKeySequence, TKeyCommand>> expected = {
        {QKeySequence(Qt::ALT | Qt::Key_Left), C::Back},
        {QKeySequence(Qt::ALT | Qt::Key_Right), C::Forward},
        {QKeySequence(Qt::CTRL | Qt::Key_F), C::Find},
        {QKeySequence(Qt::Key_F3), C::FindNext},
        {QKeySequence(Qt::SHIFT | Qt::Key_F3), C::FindPrevious},
        {QKeySequence(Qt::CTRL | Qt::Key_Down), C::NextHit},
        {QKeySequence(Qt::CTRL | Qt::Key_Up), C::PreviousHit},
        {QKeySequence(Qt::CTRL | Qt::Key_C), C::Copy},
        {QKeySequence(Qt::CTRL | Qt::Key_P), C::Print},
        {QKeySequence(Qt::Key_F1), C::About},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), C::Exit},
        {QKeySequence(Qt::CTRL | Qt::Key_Right), C::NextArticle},
        {QKeySequence(Qt::CTRL | Qt::Key_Left), C::PreviousArticle},
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), C::LargerText},
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), C::LargerText},
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), C::SmallerText},
        {QKeySequence(Qt::CTRL | Qt::Key_0), C::TextSizeAtStart},
        {QKeySequence(Qt::Key_Return), C::PlaySelected},
        {QKeySequence(Qt::Key_Enter), C::PlaySelected},
    };
    const std::vector<TKeyBinding>& table = KeyTable();
    for (const auto& [keys, command] : expected) {
        SCOPED_TRACE(keys.toString().toStdString());
        const auto found = std::count_if(table.begin(), table.end(),
                                         [&](const TKeyBinding& b) { return b.Keys == keys; });
        ASSERT_EQ(found, 1);
        EXPECT_EQ(std::find_if(table.begin(), table.end(),
                               [&](const TKeyBinding& b) { return b.Keys == keys; })
                      ->Command,
                  command);
    }
    EXPECT_EQ(table.size(), expected.size()); // nothing the keyboard table does not list
}

TEST(Navigation, TheFindBarCountsGoesRoundAndTakesASecondRowWhenNarrow) {
    QWidget pane;
    auto* view = new THtmlView(&pane);
    TFindBar bar(*view, &pane);
    pane.show();
    int shown = 0;
    bar.OnShowText = [&] { ++shown; };
    view->LoadFromText("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                       "charset=utf-8\"></HEAD><BODY><P>Луна, луна. <P>Ещё ЛУНА.</BODY></HTML>");
    QLineEdit* edit = bar.findChild<QLineEdit*>("FindEdit");
    ASSERT_NE(edit, nullptr);

    bar.Step(false); // an empty field: the bar opens
    EXPECT_TRUE(bar.isVisibleTo(&pane));
    EXPECT_EQ(bar.CountText(), QString());
    edit->setText(U("луна"));
    const char* const counts[] = {"1 из 3", "2 из 3", "3 из 3", "1 из 3"};
    for (const char* count : counts) {
        bar.Step(false);
        EXPECT_EQ(bar.CountText(), U(count));
    }
    bar.Step(true); // back round the start
    EXPECT_EQ(bar.CountText(), U("3 из 3"));
    EXPECT_EQ(view->textCursor().selectedText(), U("ЛУНА"));
    edit->setText(U("солнце"));
    bar.Step(false);
    EXPECT_EQ(bar.CountText(), U("Не найдено"));
    EXPECT_EQ(shown, 7);

    bar.resize(900, bar.height());
    EXPECT_EQ(bar.Rows(), 1);
    bar.resize(200, bar.height());
    EXPECT_EQ(bar.Rows(), 2);
    bar.Close();
    EXPECT_FALSE(bar.isVisibleTo(&pane));
}

namespace {

// An edition whose first article links files of every kind from its "Base": a picture, a sound,
// a text, another file, a program, one that is not there and one outside the reader's folder.
TFiles FileLinkEdition() {
    TFiles files = SampleEdition("Sky");
    const std::string links = "<P>Звезда. <A HREF=\"star.png\">рисунок</A> "
                              "<A HREF=\"sounds/Hymn.WAV\">гимн</A> "
                              "<A HREF=\"notes%20one.txt\">заметки</A> "
                              "<A HREF=\"report.pdf\">отчёт</A> "
                              "<A HREF=\"setup.exe\">программа</A> "
                              "<A HREF=\"none.txt\">нет</A> "
                              "<A HREF=\"../../../../secret.pdf\">чужой</A> "
                              "<A HREF=\"sub/refs.htm\">справка</A>";
    for (auto& [name, bytes] : files)
        if (name == "texts/a1.htm")
            bytes = links;
    files.push_back({"Base/sounds/hymn.wav", "wav"});
    files.push_back({"Base/notes one.txt", "Звезда <b>&amp;</b>\r\nвторая строка"});
    files.push_back({"Base/report.pdf", "%PDF-1.4"});
    files.push_back({"Base/setup.exe", "MZ"});
    files.push_back({"Base/sub/refs.htm", "<P>Справка <A HREF=\"more.txt\">ещё</A> "
                                          "<A HREF=\"../star.png\">звезда</A>"});
    files.push_back({"Base/sub/more.txt", "Ещё <текст>"});
    return files;
}

struct TFileLinks {
    TReader Reader;
    TFakeMediaState Media;
    std::vector<std::string> Opened; // what the desktop was given
    bool DesktopOpens = true;
    std::string Book;

    TFileLinks() {
        Book = Reader.App.AddEdition("1", FileLinkEdition());
        WriteWholeFile(Reader.App.Folder() + "../secret.pdf", "%PDF");
        QImage(30, 20, QImage::Format_RGB32).save(QString::fromStdString(Book + "/Base/star.png"));
        Reader.Start();
        Form1->MediaPlayerFactory = [this] { return std::make_unique<TFakeMediaPlayer>(Media); };
        Form1->OpenWithDesktop = [this](const std::string& path) {
            Opened.push_back(path);
            return DesktopOpens;
        };
        TReader::DoubleClick("ЗВЁЗДЫ");
    }
    std::size_t Steps() const { return Form1->PageHistory().Steps().Size(); }
};

} // namespace

TEST(Navigation, FileLinksOpenAsTheirKindAndOnlyATextIsAStep) {
    TFileLinks f;
    const std::size_t steps = f.Steps();
    const QString article = TReader::Page();

    ClickLink("рисунок");
    EXPECT_TRUE(PreviewForm->isVisible());
    EXPECT_EQ(PreviewForm->Picture.Width, 30);
    ClickLink("гимн"); // played on the bar, in an edition without music or audio
    ASSERT_EQ(f.Media.Opened.size(), 1u);
    EXPECT_EQ(f.Media.Opened[0], ResolvePath(f.Book + "/Base/sounds/hymn.wav"));
    EXPECT_TRUE(Form1->Panel5->isVisible());
    EXPECT_EQ(TReader::Page(), article);
    EXPECT_EQ(f.Steps(), steps);

    // A text: shown as it is, in the code page the edition holds it in, a step of its own.
    ClickLink("заметки");
    EXPECT_EQ(TReader::Page(), U("Звезда <b>&amp;</b>\nвторая строка"));
    EXPECT_EQ(f.Steps(), steps + 1);
    Form1->PageHistory().Back();
    EXPECT_EQ(TReader::Page(), article);
    Form1->PageHistory().Forward();
    EXPECT_TRUE(TReader::Page().startsWith(U("Звезда <b>")));
    Form1->PageHistory().Back();

    // Another file: asked; declined, said so; accepted, the desktop opens it or it is said
    // that it could not.
    f.Reader.Answer = false;
    ClickLink("отчёт");
    ASSERT_EQ(f.Reader.Questions.size(), 1u);
    EXPECT_TRUE(f.Reader.Questions[0].Text.contains(U("«report.pdf»")));
    ASSERT_EQ(f.Reader.Messages.size(), 1u);
    EXPECT_TRUE(f.Opened.empty());
    f.Reader.Answer = true;
    ClickLink("отчёт");
    ASSERT_EQ(f.Opened.size(), 1u);
    EXPECT_EQ(f.Opened[0], ResolvePath(f.Book + "/Base/report.pdf"));
    EXPECT_EQ(f.Reader.Messages.size(), 1u);
    f.DesktopOpens = false;
    ClickLink("отчёт");
    ASSERT_EQ(f.Reader.Messages.size(), 2u);
    EXPECT_TRUE(f.Reader.Messages[1].Text.startsWith(U("Не удалось открыть файл «report.pdf»")));

    // A program is never started, not even asked about.
    ClickLink("программа");
    EXPECT_EQ(f.Reader.Questions.size(), 3u);
    ASSERT_EQ(f.Reader.Messages.size(), 3u);
    EXPECT_TRUE(f.Reader.Messages[2].Text.contains(U("«setup.exe»")));
    EXPECT_EQ(f.Opened.size(), 2u);

    // A file that is not there, or outside the edition and the reader: nothing at all.
    for (const char* link : {"нет", "чужой"}) {
        ClickLink(link);
        EXPECT_EQ(TReader::Page(), article) << link;
    }
    EXPECT_EQ(f.Reader.Questions.size(), 3u);
    EXPECT_EQ(f.Reader.Messages.size(), 3u);
    EXPECT_EQ(f.Opened.size(), 2u);
    EXPECT_EQ(f.Steps(), steps + 1); // the text's step, ahead
}

TEST(Navigation, TheReferenceWindowOpensFilesAsTheMainWindowDoes) {
    TFileLinks f;
    const std::size_t steps = f.Steps();
    THtmlView* wb1 = Refs->findChild<THtmlView*>("WB1");
    ClickLink("справка");
    ASSERT_TRUE(Refs->isVisible());
    ClickLink("звезда", wb1); // from the page's folder
    EXPECT_TRUE(PreviewForm->isVisible());
    EXPECT_EQ(PreviewForm->Picture.Width, 30);
    ClickLink("ещё", wb1); // beside the page, shown in the window
    EXPECT_EQ(wb1->toPlainText(), U("Ещё <текст>"));
    EXPECT_EQ(f.Steps(), steps);
    EXPECT_TRUE(f.Reader.Messages.empty());
}
