// The main window: start-up, the edition switch, the contents tree, articles, references,
// the font size, copy and print.
#include "ReaderFixture.h"
#include "SkinFixture.h"

#include "common/Cp1251.h"
#include "reader/core/PageComposer.h"
#include "reader/core/qt/PrintRoute.h"
#include "reader/media/qt/PreviewUnit.h"
#include "reader/media/qt/Unit3.h"
#include "reader/media/qt/insertUnit.h"
#include "reader/search/qt/SearchUnit.h"
#include "reader/search/qt/search_wait.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>

#include <stdexcept>

using namespace quarto;
using namespace quarto::test;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Picks an item of the edition box as the user does.
void PickEdition(int index) {
    auto* box = TReader::Find<QComboBox>("ComboBox1");
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

TEST(MainForm, StartUpChoosesTheEditionByItsExactKey) {
    struct TCase {
        std::vector<std::string> Arguments;
        int Expected;
    };
    const TCase cases[] = {
        {{}, 0},              // no key: the first edition found
        {{"KeyC"}, 2},        // the third edition
        {{"keyc"}, 0},        // letter case counts
        {{"Twin"}, 3},        // two editions share a key: the first of them
        {{"Nowhere"}, 0},     // a key that names no edition
        {{"KeyB", "KeyC"}, 1} // only the first argument counts
    };
    for (const TCase& c : cases) {
        TReader r;
        r.Add("A", "KeyA");
        r.Add("B", "KeyB");
        r.Add("C", "KeyC");
        r.Add("D1", "Twin", "", "Первый близнец");
        r.Add("D2", "Twin", "", "Второй близнец");
        r.Start(c.Arguments);
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(Form1->CurrentBook, c.Expected);
        EXPECT_EQ(TReader::Find<QComboBox>("ComboBox1")->currentIndex(), c.Expected);
        EXPECT_EQ(TReader::Find<QComboBox>("ComboBox1")->count(), 5);
        EXPECT_EQ(TReader::Find<QTabWidget>("PageControl1")->currentIndex(), 0);
        const std::string key = Form1->Book().RegKey;
        EXPECT_TRUE(TReader::Page().contains(U(("О книге " + key).c_str()))) << key;
        EXPECT_NE(TReader::Node("РАЗДЕЛ ПЕРВЫЙ"), nullptr);
        EXPECT_EQ(Form1->CurrentArticle, 0);
        EXPECT_TRUE(r.Messages.empty());
    }
}

TEST(MainForm, WithoutEditionsTheReaderSaysWhereItLooked) {
    TReader r;
    r.Start();
    EXPECT_TRUE(Form1->BookList.empty());
    EXPECT_NE(Refs, nullptr); // every window still exists for an orderly end
    const QString text = NoEditionsText(r.App.Folder());
    EXPECT_TRUE(text.contains(U("«Books»")));
    EXPECT_TRUE(text.contains(QString::fromStdString(r.App.Folder() + "Books")));
}

TEST(MainForm, OptionsShowAndHidePagesAndThePlayerBar) {
    TReader r;
    r.Add("1", "Music", "Music=1\nPictures=$1\n");
    r.Add("2", "Audio", "Audio=1\nVideo=0x1\nPictures=2\n");
    r.Add("3", "Plain", "Music=yes\n");
    r.Start();
    auto* tabs = TReader::Find<QTabWidget>("PageControl1");
    auto* bar = TReader::Find<QFrame>("Panel5");
    const auto shown = [&](const char* page) {
        return tabs->isTabVisible(tabs->indexOf(TReader::Find<QWidget>(page)));
    };
    struct TState {
        bool Pictures, Music, Audio, Video, Bar;
    };
    const TState expected[] = {{true, true, false, false, true},
                               {false, false, true, true, true},
                               {false, false, false, false, false}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        if (i > 0)
            PickEdition(i);
        EXPECT_EQ(Form1->CurrentBook, i);
        EXPECT_TRUE(shown("TabSheet1"));
        EXPECT_TRUE(shown("TabSheet4"));
        EXPECT_EQ(shown("TabSheet2"), expected[i].Pictures);
        EXPECT_EQ(shown("TabSheet3"), expected[i].Music);
        EXPECT_EQ(shown("TabSheet5"), expected[i].Audio);
        EXPECT_EQ(shown("TabSheet6"), expected[i].Video);
        EXPECT_EQ(!bar->isHidden(), expected[i].Bar);
        EXPECT_EQ(tabs->currentIndex(), 0);
    }
}

TEST(MainForm, CtrlTabStepsOverTheHiddenPagesBothWays) {
    TReader r;
    r.Add("1", "Audio", "Audio=1\n");
    r.Start();
    auto* tabs = TReader::Find<QTabWidget>("PageControl1");
    const auto step = [&](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(tabs->currentWidget(), Qt::Key_Tab, modifiers);
        return tabs->currentWidget()->objectName().toStdString();
    };
    const Qt::KeyboardModifiers back = Qt::ControlModifier | Qt::ShiftModifier;
    EXPECT_EQ(step(Qt::ControlModifier), "TabSheet4");
    EXPECT_EQ(step(Qt::ControlModifier), "TabSheet5");
    EXPECT_EQ(step(Qt::ControlModifier), "TabSheet1");
    EXPECT_EQ(step(back), "TabSheet5");
    EXPECT_EQ(step(back), "TabSheet4");
    EXPECT_EQ(step(back), "TabSheet1");
}

TEST(MainForm, TheSwitchShowsTheNewEditionAndKeepsTheArticleNumber) {
    TReader r;
    r.Add("1", "One");
    r.Add("2", "Two");
    r.Start();
    TReader::DoubleClick("ПЛАНЕТЫ");
    EXPECT_EQ(Form1->CurrentArticle, 5);
    PickEdition(1);
    EXPECT_EQ(TReader::Find<QComboBox>("ComboBox1")->toolTip(), U("Книга - Часть"));
    EXPECT_TRUE(TReader::Page().contains(U("О книге Two")));
    EXPECT_EQ(Form1->CurrentArticle, 5);
    Form1->SpeedButton6Click(); // previous from the old number, in the new edition
    EXPECT_EQ(Form1->CurrentArticle, 3);
    EXPECT_TRUE(TReader::Page().contains(U("Луна и звезды")));
}

TEST(MainForm, AnEditionWhoseContentsCannotBeReadIsShownEmpty) {
    TReader r;
    r.Add("1", "One");
    const std::string second = r.Add("2", "Two");
    r.Start();
    FileSystem().Remove(ContentsPath(second));
    PickEdition(1);
    ASSERT_EQ(r.Messages.size(), 1u);
    EXPECT_EQ(r.Messages[0].Caption, U("Ошибка!"));
    // What is shown and the current edition agree: the new edition, with no contents.
    EXPECT_EQ(Form1->CurrentBook, 1);
    EXPECT_TRUE(Form1->ContentsList.empty());
    EXPECT_EQ(TReader::Find<QTreeWidget>("TreeView")->topLevelItemCount(), 0);
    Form1->SpeedButton7Click(); // nothing to step through
    EXPECT_EQ(r.Messages.size(), 1u);
}

TEST(MainForm, DoubleClickOpensEverythingButTopHeadingsWithChildren) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    TReader::DoubleClick("РАЗДЕЛ ПЕРВЫЙ"); // a top heading with entries below it
    EXPECT_EQ(Form1->CurrentArticle, 0);
    EXPECT_TRUE(TReader::Page().contains(U("О книге")));
    TReader::DoubleClick("ЗВЁЗДЫ"); // an entry with a sub-entry: both are shown
    EXPECT_EQ(Form1->CurrentArticle, 1);
    EXPECT_TRUE(TReader::Page().contains(U("Звезда светит ярко")));
    EXPECT_TRUE(TReader::Page().contains(U("Созвездие Лебедя")));
    TReader::DoubleClick("ПОСЛЕСЛОВИЕ"); // a top entry without children
    EXPECT_EQ(Form1->CurrentArticle, 6);
    EXPECT_TRUE(TReader::Page().contains(U("Послесловие")));
    EXPECT_TRUE(r.Messages.empty());
}

TEST(MainForm, PreviousAndNextStepOverTopLevelEntries) {
    struct TCase {
        const char* Levels;
        int From;
        bool Next;
        int Expected; // -1: nothing happens
    };
    const TCase cases[] = {
        {"0101", 1, true, 3},   {"0101", 3, false, 1},  {"0101", 3, true, -1},
        {"0101", 0, false, -1}, {"0011", 1, false, -1}, {"1001", 0, true, 3},
        {"1200", 0, true, 1},   {"0120", 3, false, 2},  {"000", 0, true, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Levels) + " from " + std::to_string(c.From));
        TReader r;
        std::string contents;
        TFiles files = {{"edition.ini", Descriptor("K")}};
        for (std::size_t i = 0; c.Levels[i]; ++i) {
            contents += std::string(1, c.Levels[i]) + " t" + std::to_string(i) + ".htm T\n";
            files.push_back(
                {"texts/t" + std::to_string(i) + ".htm", "<P>Text" + std::to_string(i)});
        }
        files.push_back({"contents.txt", contents});
        r.App.AddEdition("K", files);
        r.Start();
        Form1->CurrentArticle = c.From;
        const QString before = TReader::Page();
        c.Next ? Form1->SpeedButton7Click() : Form1->SpeedButton6Click();
        if (c.Expected < 0) {
            EXPECT_EQ(Form1->CurrentArticle, c.From);
            EXPECT_EQ(TReader::Page(), before);
        } else {
            EXPECT_EQ(Form1->CurrentArticle, c.Expected);
            EXPECT_TRUE(TReader::Page().startsWith("Text" + QString::number(c.Expected)));
        }
    }
}

namespace {

// Clicks the link whose text is given in the text view.
void ClickLink(THtmlView* view, const char* text) {
    QTextCursor found = view->document()->find(QString::fromUtf8(text));
    ASSERT_FALSE(found.isNull()) << text;
    QTextCursor middle(view->document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    view->setTextCursor(middle);
    view->ensureCursorVisible();
    const QPoint at = view->cursorRect(middle).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

TEST(MainForm, ReferenceLinksOpenTheReferenceWindow) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    THtmlView* wb1 = Refs->findChild<THtmlView*>("WB1");

    TReader::DoubleClick("ЗВЁЗДЫ");
    ClickLink(TReader::View(), "сноска"); // notes.htm#note5
    EXPECT_TRUE(Refs->isVisible());
    EXPECT_TRUE(wb1->toPlainText().contains(U("Сноска 5")));
    EXPECT_GT(wb1->verticalScrollBar()->value(), 0);           // at the anchor
    EXPECT_TRUE(TReader::Page().contains(U("Звезда светит"))); // the article stays

    Refs->findChild<QPushButton*>("Button1")->click();
    EXPECT_FALSE(Refs->isVisible());
    ClickLink(TReader::View(), "мои"); // my%20notes.htm
    EXPECT_TRUE(Refs->isVisible());
    EXPECT_TRUE(wb1->toPlainText().contains(U("Мои заметки")));

    Refs->hide();
    ClickLink(TReader::View(), "нет"); // a page that is not there: nothing happens
    EXPECT_FALSE(Refs->isVisible());
    EXPECT_TRUE(TReader::Page().contains(U("Звезда светит")));

    ClickLink(TReader::View(), "большие"); // NOTES.HTM: not a reference, the view follows it
    EXPECT_FALSE(Refs->isVisible());
    EXPECT_TRUE(TReader::Page().contains(U("Сноска 9")));
    EXPECT_TRUE(r.Messages.empty());
}

TEST(MainForm, LinksLeadingOutOfTheEditionAndTheReaderOpenNothing) {
    // Pages beside the reader's folder, reached from Books/1/Base four steps up or by address.
    TTempFolder outside;
    WriteFiles(outside.Path(), {{"secret.htm", "<P>secret page"}, {"secret.txt", "secret text"}});
    const std::string up = "../../../../" + outside.Path().filename() + "/";
    const std::string address = "file://" + outside.Path().string() + "/secret.txt";
    TFiles files = SampleEdition("One");
    for (auto& [name, content] : files)
        if (name == "texts/a1.htm")
            content = "<P>Звезда светит ярко. <A HREF=\"" + up +
                      "secret.htm#top\">ref</A> "
                      "<A HREF=\"" +
                      up +
                      "secret.txt#x.htm\">hash</A> "
                      "<A HREF=\"" +
                      up +
                      "secret.txt\">up</A> "
                      "<A HREF=\"" +
                      address +
                      "\">address</A> "
                      "<A HREF=\"out.htm\">inside</A>";
    files.push_back({"Base/out.htm", "<P>Страница <A HREF=\"" + up +
                                         "secret.htm\">away</A> "
                                         "<A HREF=\"" +
                                         address +
                                         "\">address</A> "
                                         "<A HREF=\"inner.htm\">inner</A>"});
    files.push_back({"Base/inner.htm", "<P>Внутренняя страница"});
    TReader r;
    r.App.AddEdition("1", files);
    r.Start();
    THtmlView* wb1 = Refs->findChild<THtmlView*>("WB1");

    TReader::DoubleClick("ЗВЁЗДЫ");
    for (const char* link : {"ref", "hash", "up", "address"}) {
        ClickLink(TReader::View(), link);
        EXPECT_FALSE(Refs->isVisible()) << link;
        EXPECT_TRUE(TReader::Page().contains(U("Звезда светит"))) << link;
    }
    // A reference page of the edition opens; its own links stay inside as well.
    ClickLink(TReader::View(), "inside");
    EXPECT_TRUE(Refs->isVisible());
    EXPECT_TRUE(wb1->toPlainText().contains(U("Страница")));
    for (const char* link : {"away", "address"}) {
        ClickLink(wb1, link);
        EXPECT_TRUE(wb1->toPlainText().contains(U("Страница"))) << link;
    }
    ClickLink(wb1, "inner");
    EXPECT_EQ(wb1->toPlainText(), U("Внутренняя страница"));
    EXPECT_TRUE(r.Messages.empty());
}

TEST(MainForm, AFailingHandlerOfTheReferenceWindowIsReportedOnceAndTheWindowGoesOn) {
    TFiles files = SampleEdition("One");
    for (auto& [name, content] : files)
        if (name == "texts/a1.htm")
            content += " <A HREF=\"out.htm\">inside</A>";
    files.push_back({"Base/out.htm", "<P>Страница <A HREF=\"inner.htm\">inner</A>"});
    files.push_back({"Base/inner.htm", "<P>Внутренняя страница"});
    TReader r;
    r.App.AddEdition("1", files);
    r.Start();
    THtmlView* wb1 = Refs->findChild<THtmlView*>("WB1");
    TReader::DoubleClick("ЗВЁЗДЫ");
    ClickLink(TReader::View(), "inside");
    ASSERT_TRUE(Refs->isVisible());

    bool fail = true;
    wb1->OnHotSpotClick = [&](const std::string&, bool&) {
        if (fail)
            throw std::runtime_error("Ссылка повреждена");
    };
    // The signal reaches the view's handler directly, not through the application's event
    // notification: the report comes from the handler's own guard, and the link whose
    // handler failed is not followed.
    emit wb1->anchorClicked(QUrl(QStringLiteral("inner.htm")));
    ASSERT_EQ(r.Messages.size(), 1u);
    EXPECT_EQ(r.Messages[0].Caption, U(ReaderTitle));
    EXPECT_EQ(r.Messages[0].Text, U("Ссылка повреждена"));
    EXPECT_TRUE(Refs->isVisible());
    EXPECT_TRUE(wb1->toPlainText().contains(U("Страница")));

    fail = false;
    ClickLink(wb1, "inner");
    EXPECT_EQ(wb1->toPlainText(), U("Внутренняя страница"));
    Refs->findChild<QPushButton*>("Button1")->click();
    EXPECT_FALSE(Refs->isVisible());
    EXPECT_EQ(r.Messages.size(), 1u);
    wb1->OnHotSpotClick = nullptr;
}

TEST(MainForm, FontSizeReloadKeepsTheMarksAndStays) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    Form1->HighlightWords = Utf8ToCp1251("звезд");
    Form1->HighlightOn = true;
    Form1->CurrentArticle = 3;
    Form1->OpenArticle(3);
    EXPECT_FALSE(Form1->HighlightOn);
    const std::string marked = TReader::View()->DocumentSource();
    EXPECT_NE(marked.find(MarkBegin), std::string::npos);

    const qreal height = TReader::View()->document()->size().height();
    TReader::Find<QSpinBox>("FlatSpinEditInteger1")->setValue(14);
    EXPECT_EQ(TReader::View()->DocumentSource(), marked);
    EXPECT_GT(TReader::View()->document()->size().height(), height * 1.1); // larger letters
    EXPECT_EQ(TReader::View()->document()->defaultFont().pointSize(), 14);

    TReader::DoubleClick("ПЛАНЕТЫ");
    EXPECT_EQ(TReader::View()->DocumentSource().find(MarkBegin), std::string::npos);
    EXPECT_EQ(TReader::View()->document()->defaultFont().pointSize(), 14);
    EXPECT_EQ(TReader::Find<QSpinBox>("FlatSpinEditInteger1")->singleStep(), 2);
    EXPECT_EQ(TReader::Find<QSpinBox>("FlatSpinEditInteger1")->maximum(), 72);
}

TEST(MainForm, CopyTakesTheWholePageWhenNothingIsSelected) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    TReader::DoubleClick("ПЛАНЕТЫ");
    QApplication::clipboard()->clear();
    Form1->SpeedButton3Click();
    EXPECT_TRUE(QApplication::clipboard()->text().contains(U("Планеты One")));
    EXPECT_TRUE(TReader::Find<QTextEdit>("RxRichEdit1")->toPlainText().contains(U("Планеты")));
    EXPECT_GT(TReader::View()->SelectionLength(), 0); // the page stays selected
}

TEST(MainForm, PrintSendsEveryPageToThePrinter) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    const std::string pdf = r.App.Path().string() + "/out.pdf";
    Form1->PrintRoute().MakePrinter = [&] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf));
        return printer;
    };
    Form1->OpenArticle(3); // a long article
    QPrinter probe(QPrinter::HighResolution);
    probe.setOutputFormat(QPrinter::PdfFormat);
    const int pages = TReader::View()->PrintedPageCount(probe);
    EXPECT_GT(pages, 1);
    Form1->SpeedButton8Click();
    const std::string printed = ReadWholeFile(pdf);
    const QByteArray bytes(printed.data(), static_cast<qsizetype>(printed.size()));
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    EXPECT_EQ(QString::fromLatin1(bytes).count(page), pages);
}

namespace {

// The pages of a PDF file.
int PdfPageCount(const std::string& path) {
    const std::string printed = ReadWholeFile(path);
    const QByteArray bytes(printed.data(), static_cast<qsizetype>(printed.size()));
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return static_cast<int>(QString::fromLatin1(bytes).count(page));
}

} // namespace

TEST(MainForm, WithoutAPrinterThePageCanBeSavedAsPdf) {
    struct TCase {
        const char* Name;
        bool Answer;         // to the question
        const char* Chosen;  // in the save dialog; null: not asked; "": cancelled
        const char* Written; // the file written, or null
    };
    const TCase cases[] = {
        {"declined", false, nullptr, nullptr},
        {"dialog cancelled", true, "", nullptr},
        {"name without .pdf", true, "leaf", "leaf.pdf"},
        {"name with .pdf", true, "Page.PDF", "Page.PDF"},
        {"folder not there", true, "nowhere/leaf.pdf", nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TReader r;
        r.Add("1", "One");
        r.Start();
        Form1->PrintRoute().MakePrinter = [] { return std::unique_ptr<QPrinter>(); }; // no printer
        const std::string folder = r.App.Path().string() + "/";
        int dialogs = 0;
        Form1->PrintRoute().AskPdfFileName = [&] {
            ++dialogs;
            return c.Chosen && *c.Chosen ? QString::fromStdString(folder + c.Chosen) : QString();
        };
        r.Answer = c.Answer;
        Form1->OpenArticle(3); // a long article
        QPrinter probe(QPrinter::HighResolution);
        probe.setOutputFormat(QPrinter::PdfFormat);
        const int pages = TReader::View()->PrintedPageCount(probe);
        EXPECT_GT(pages, 1);

        Guarded([] { Form1->SpeedButton8Click(); });
        ASSERT_EQ(r.Questions.size(), 1u);
        EXPECT_EQ(r.Questions[0].Caption, U("Печать"));
        EXPECT_TRUE(r.Questions[0].Text.contains(U("Принтер не найден")));
        EXPECT_TRUE(r.Questions[0].Text.contains(U("PDF")));
        const bool unwritable = c.Chosen && *c.Chosen && !c.Written;
        if (unwritable) {
            ASSERT_EQ(r.Messages.size(), 1u);
            EXPECT_EQ(r.Messages[0].Caption, U("Печать"));
            EXPECT_TRUE(r.Messages[0].Text.startsWith(U("Не удалось сохранить страницу в файл")));
            EXPECT_TRUE(r.Messages[0].Text.contains(U("leaf.pdf")));
        } else {
            EXPECT_TRUE(r.Messages.empty());
        }
        EXPECT_EQ(dialogs, c.Chosen ? 1 : 0);
        for (const char* other : {"leaf", "leaf.pdf", "Page.PDF", "Page.PDF.pdf"}) {
            if (!c.Written || std::string(other) != c.Written) {
                EXPECT_FALSE(FileExists(folder + other)) << other;
            }
        }
        if (c.Written) {
            ASSERT_TRUE(FileExists(folder + c.Written));
            EXPECT_EQ(PdfPageCount(folder + c.Written), pages);
        }
    }
}

TEST(MainForm, TheDefaultPrinterIsNoneWhenTheSystemHasNone) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a printer";
    EXPECT_EQ(Form1->PrintRoute().MakePrinter(), nullptr);
}

TEST(MainForm, AMissingTextStoreShowsTheMessageAndKeepsTheMarkingAsked) {
    TReader r;
    const std::string folder = r.Add("1", "One");
    r.Start();
    const std::string about = TReader::View()->DocumentSource();
    FileSystem().Remove(TextStorePath(folder));
    Form1->HighlightWords = Utf8ToCp1251("книге");
    Form1->HighlightOn = true;
    TReader::DoubleClick("ПЛАНЕТЫ");
    ASSERT_EQ(r.Messages.size(), 1u);
    EXPECT_EQ(r.Messages[0].Caption, U("Ошибка!"));
    EXPECT_EQ(r.Messages[0].Text, U("Невозможно открыть файл\n\rUnable to open file\n\rcData.dat"));
    EXPECT_EQ(TReader::View()->DocumentSource(), about);
    EXPECT_TRUE(Form1->HighlightOn);
    Form1->Button2Click(); // the next page parsed gets the marks
    EXPECT_NE(TReader::View()->DocumentSource().find(MarkBegin), std::string::npos);
    EXPECT_FALSE(Form1->HighlightOn);
}

TEST(MainForm, AFailingHandlerReachesTheGeneralErrorReport) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    FileSystem().Remove(r.App.Path() / "Base" / "Back.htm");
    TReader::DoubleClick("ПЛАНЕТЫ");
    ASSERT_EQ(r.Messages.size(), 1u);
    EXPECT_TRUE(r.Messages[0].Text.contains("Back.htm"));
    TReader::DoubleClick("ПОСЛЕСЛОВИЕ"); // the program goes on
    EXPECT_EQ(r.Messages.size(), 2u);
}

TEST(MainForm, ClosingEndsTheProgram) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    Form1->close();
    EXPECT_EQ(r.EndCount, 1);
}

TEST(MainForm, ThePanesAreOpaqueInTheWindowColoursOnAnySkin) {
    TReader r;
    const std::string folder = r.Add("1", "One");
    // A dark green face, the panes' places included.
    TSkinPictures dark = PaintSkin(TSkinStyle::Demo);
    dark.Face.fill(QColor(0, 64, 0));
    WriteSkinFolder(EditionSkinFolderOf(folder), dark);
    r.Start();
    ASSERT_EQ(Form1->size(), dark.Face.size());
    const QColor window = Form1->palette().color(QPalette::Window);
    ASSERT_NE(window, QColor(0, 64, 0));
    const QImage shot = Form1->grab().toImage();
    struct TCase {
        const char* Pane;
        const char* Widget; // an empty spot at its right end lies on the pane
    };
    const TCase cases[] = {{"Panel2", "Label5"}, {"Panel2", "CheckBox1"}, {"Panel1", nullptr}};
    TReader::Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    QApplication::processEvents();
    const QImage searchShot = Form1->grab().toImage();
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Pane) + (c.Widget ? std::string(" ") + c.Widget : ""));
        auto* pane = TReader::Find<QFrame>(c.Pane);
        EXPECT_TRUE(pane->autoFillBackground());
        EXPECT_EQ(pane->palette().color(pane->backgroundRole()), window);
        if (!c.Widget)
            continue;
        auto* widget = TReader::Find<QWidget>(c.Widget);
        const QPoint spot = widget->mapTo(Form1, QPoint(widget->width() - 2, widget->height() / 2));
        const QImage& image = std::string(c.Widget) == "CheckBox1" ? searchShot : shot;
        EXPECT_EQ(image.pixelColor(spot), window) << spot.x() << "," << spot.y();
    }
}

TEST(MainForm, EveryWindowIsTitledExactlyByItsCaption) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    struct TCase {
        QWidget* Window;
        const char* Caption;
    };
    const TCase cases[] = {
        {Form1, "Электронные книги"},
        {Refs, "Ссылка"},
        {Form2, "Поиск"},
        {SearchForm, "Поиск"},
        {PreviewForm, "Иллюстрации"},
        {Form3, "Form3"},
        {insertForm, "Не найден нужный диск."},
    };
    for (const TCase& c : cases) {
        ASSERT_NE(c.Window, nullptr) << c.Caption;
        EXPECT_EQ(c.Window->windowTitle(), U(c.Caption));
    }
    // No display name is set: the platform would append it to every title ("Ссылка — ...").
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST(MainForm, TheEditionListDropsDownAsWideAsItsLongestName) {
    TReader r;
    r.Add("1", "One", "", "Кн");
    r.Add("2", "Two", "", "Очень длинное название издания, которое шире поля выбора");
    r.Start();
    auto* box = TReader::Find<QComboBox>("ComboBox1");
    const QFontMetrics metrics(box->view()->font());
    const int longest = metrics.horizontalAdvance(box->itemText(1));
    ASSERT_GT(longest, box->width()); // the box alone would cut it
    box->showPopup();
    EXPECT_GE(box->view()->viewport()->width(), longest);
    EXPECT_GE(box->view()->window()->width(), longest);
    box->hidePopup();
}

TEST(MainForm, OkOnTheFontPanelGivesTheFocusBackToTheText) {
    TReader r;
    r.Add("1", "One");
    r.Start();
    QApplication::setActiveWindow(Form1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    const auto points =
        RegionPointsOf([](int x, int y) { return Form1->RegionAt(x, y); }, Form1->size());
    QWidget* image = TReader::Find<QWidget>("Image1");
    auto* panel = TReader::Find<QFrame>("Panel7");
    auto* box = TReader::Find<QComboBox>("ComboBox1");
    const auto pressSettings = [&] {
        SendMouse(image, QEvent::MouseButtonPress, points.at(TSkinRegion::Settings),
                  Qt::LeftButton);
        SendMouse(image, QEvent::MouseButtonRelease, points.at(TSkinRegion::Settings),
                  Qt::LeftButton);
    };
    // Closed by "ОК", then by the settings area again.
    for (const bool byOk : {true, false}) {
        SCOPED_TRACE(byOk ? "ОК" : "settings area");
        pressSettings();
        ASSERT_TRUE(panel->isVisible());
        EXPECT_TRUE(panel->isAncestorOf(QApplication::focusWidget()));
        if (byOk)
            QTest::mouseClick(TReader::Find<QPushButton>("FlatSpeedButton1"), Qt::LeftButton);
        else
            pressSettings();
        EXPECT_FALSE(panel->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), TReader::View());
        EXPECT_FALSE(box->lineEdit()->hasSelectedText());
    }
}
