// The HTML view: charsets, the markup the reader writes, pictures, anchors and parse-begin.
#include "EditionFixture.h"

#include "common/BmpFile.h"
#include "common/Cp1251.h"
#include "reader/core/qt/HtmlView.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QtTest/QTest>

using namespace quarto;
using namespace quarto::test;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct TView {
    THtmlView View;
    TView() {
        View.resize(400, 300);
        View.show();
    }
    // The character format at the first occurrence of text.
    QTextCharFormat FormatOf(const char* text) {
        QTextCursor c = View.document()->find(U(text));
        EXPECT_FALSE(c.isNull()) << text;
        return c.charFormat();
    }
};

} // namespace

TEST(HtmlView, DecodesPagesByTheirDeclaredCharset) {
    struct TCase {
        std::string Head;
        std::string Body; // UTF-8 here, stored as the page's charset says
        bool Utf8;
    };
    const TCase cases[] = {
        {"<META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">",
         "Привет, звёзды", false},
        {"", "Привет, звёзды", false}, // nothing declared: code page 1251
        {"<META charset=\"utf-8\">", "Привет, звёзды", true},
    };
    for (const TCase& c : cases) {
        TView v;
        const std::string body = c.Utf8 ? c.Body : Utf8ToCp1251(c.Body);
        v.View.LoadFromBytes("<HTML><HEAD>" + c.Head + "</HEAD><BODY><P>" + body +
                             "</BODY></HTML>");
        EXPECT_EQ(v.View.toPlainText(), U("Привет, звёзды")) << c.Head;
    }
}

TEST(HtmlView, RendersWhatTheReaderWrites) {
    TTempFolder folder;
    TRgbPicture picture(4, 3);
    WriteWholeFile((folder.Path() / "pic.bmp").string(), EncodeBmp24(picture));
    TView v;
    v.View.SetBaseFolder(folder.Path().string() + "/");
    // A body start tag as the reader writes it, an unknown tag, marks, a relative picture in
    // other letter case, and a preformatted text whose end tag lost its ">".
    v.View.LoadFromBytes(
        "<HTML><HEAD><BASE HREF=\"file:///nowhere/\"></HEAD><BODY BGCOLOR=#E7DDD3 "
        "TEXT=\"#00FF00\" background=\"PIC.BMP\">"
        "<P>one<ZZ>two <FONT color=\"RED\"><U>mark</U></FONT> <IMG SRC=\"PIC.BMP\">"
        "<PRE>a   b\nc</PRE</BODY></HTML>");
    const QString text = v.View.toPlainText();
    EXPECT_TRUE(text.contains("onetwo mark"));
    EXPECT_TRUE(text.contains("a   b\nc"));
    EXPECT_FALSE(text.contains("PRE"));
    EXPECT_EQ(v.FormatOf("one").foreground().color(), QColor(0, 255, 0));
    EXPECT_EQ(v.FormatOf("mark").foreground().color(), QColor(Qt::red));
    EXPECT_TRUE(v.FormatOf("mark").fontUnderline());
    EXPECT_TRUE(v.View.document()->find("a   b").block().blockFormat().nonBreakableLines());
    const QVariant image = v.View.loadResource(QTextDocument::ImageResource, QUrl("PIC.BMP"));
    ASSERT_TRUE(image.canConvert<QImage>());
    EXPECT_EQ(image.value<QImage>().size(), QSize(4, 3));
    EXPECT_TRUE(v.View.document()->rootFrame()->frameFormat().background().style() != Qt::NoBrush);
}

TEST(HtmlView, LoadsFilesAtAnAnchorAndFailsClearly) {
    TTempFolder folder;
    std::string page = "<HTML><BODY>";
    for (int i = 0; i < 200; ++i)
        page += "<P>line " + std::to_string(i);
    page += "<P><A NAME=\"far\"></A>far away";
    for (int i = 0; i < 200; ++i)
        page += "<P>more " + std::to_string(i);
    page += "</BODY></HTML>";
    WriteWholeFile((folder.Path() / "Page.htm").string(), page);
    TView v;
    v.View.LoadFromFile(folder.Path().string() + "/page.HTM#far");
    EXPECT_TRUE(v.View.toPlainText().contains("far away"));
    const int atAnchor = v.View.verticalScrollBar()->value();
    EXPECT_GT(atAnchor, 0);
    v.View.LoadFromFile(folder.Path().string() + "/page.htm");
    EXPECT_EQ(v.View.verticalScrollBar()->value(), 0);
    EXPECT_THROW(v.View.LoadFromFile(folder.Path().string() + "/none.htm"), std::exception);
    EXPECT_TRUE(v.View.toPlainText().contains("far away")); // the page stays
}

TEST(HtmlView, ParseBeginRewritesTheSourceTheViewKeeps) {
    TView v;
    std::vector<std::string> seen;
    v.View.OnParseBegin = [&](std::string& source) {
        seen.push_back(source);
        source.replace(source.find("old"), 3, "new");
    };
    v.View.LoadFromBytes("<P>old text");
    EXPECT_EQ(v.View.DocumentSource(), "<P>new text");
    EXPECT_EQ(v.View.toPlainText(), "new text");
    v.View.OnParseBegin = nullptr;
    v.View.SetDefaultFontSize(20);
    v.View.LoadFromText(v.View.DocumentSource());
    EXPECT_EQ(v.View.document()->defaultFont().pointSize(), 20);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "<P>old text");
}

TEST(HtmlView, UnhandledLinksAreFollowedByTheView) {
    TTempFolder folder;
    WriteWholeFile((folder.Path() / "next.htm").string(), "<P>next page");
    TView v;
    v.View.SetBaseFolder(folder.Path().string() + "/");
    v.View.SetAllowedFolders({folder.Path().string()});
    std::vector<std::string> targets;
    v.View.OnHotSpotClick = [&](const std::string& target, bool&) { targets.push_back(target); };
    v.View.LoadFromBytes("<P><A HREF=\"NEXT.HTM\">go</A>");
    QTextCursor c = v.View.document()->find("go");
    c.setPosition(c.selectionStart() + 1);
    QTest::mouseClick(v.View.viewport(), Qt::LeftButton, {}, v.View.cursorRect(c).center());
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0], "NEXT.HTM"); // as written
    EXPECT_EQ(v.View.toPlainText(), "next page");
}

TEST(HtmlView, FollowsLinksOnlyIntoTheAllowedFolders) {
    TTempFolder folder;
    WriteFiles(folder.Path(), {{"book/Base/next.htm", "<P>next page"}, {"away.htm", "<P>away"}});
    const std::string base = folder.Path() / "book" / "Base";
    const std::string away = folder.Path() / "away.htm";
    const struct TCase {
        std::vector<std::string> Allowed;
        std::string Target;
        const char* Shown;
    } cases[] = {
        {{folder.Path() / "book"}, "next.htm", "next page"},
        {{folder.Path() / "book"}, "../../away.htm", "start"},
        {{folder.Path() / "book"}, away, "start"},
        {{folder.Path() / "book"}, "file://" + away, "start"},
        {{folder.Path() / "book"}, "../NOTHERE/../../away.htm", "start"},
        {{folder.Path() / "book", folder.Path()}, "../../away.htm", "away"},
        {{}, "next.htm", "start"}, // no folders given: no file is followed
    };
    for (const TCase& c : cases) {
        TView v;
        v.View.SetBaseFolder(base + "/");
        v.View.SetAllowedFolders(c.Allowed);
        v.View.LoadFromBytes("<P><A HREF=\"" + c.Target + "\">start</A>");
        QTextCursor link = v.View.document()->find("start");
        link.setPosition(link.selectionStart() + 1);
        QTest::mouseClick(v.View.viewport(), Qt::LeftButton, {}, v.View.cursorRect(link).center());
        EXPECT_EQ(v.View.toPlainText(), U(c.Shown)) << c.Target;
    }
}

TEST(HtmlView, PicturesComeOnlyFromTheAllowedFolders) {
    TTempFolder folder;
    const std::string bmp = EncodeBmp24(TRgbPicture(2, 2));
    WriteFiles(folder.Path(), {{"book/Base/in.bmp", bmp}, {"away.bmp", bmp}});
    TView v;
    v.View.SetBaseFolder(folder.Path() / "book" / "Base" / "");
    const QUrl inside =
        QUrl::fromLocalFile(QString::fromStdString(folder.Path() / "book" / "Base" / "in.bmp"));
    const QUrl away = QUrl::fromLocalFile(QString::fromStdString(folder.Path() / "away.bmp"));
    EXPECT_TRUE(v.View.loadResource(QTextDocument::ImageResource, away).isValid()); // none given
    v.View.SetAllowedFolders({folder.Path() / "book"});
    EXPECT_TRUE(v.View.loadResource(QTextDocument::ImageResource, inside).isValid());
    EXPECT_TRUE(v.View.loadResource(QTextDocument::ImageResource, QUrl("in.bmp")).isValid());
    EXPECT_FALSE(v.View.loadResource(QTextDocument::ImageResource, away).isValid());
    EXPECT_FALSE(
        v.View.loadResource(QTextDocument::ImageResource, QUrl("../../away.bmp")).isValid());
}

TEST(HtmlView, DocumentedFamiliesResolveToTheirMetricCompatibleFaces) {
    const QStringList installed = QFontDatabase::families();
    if (!installed.contains("Liberation Serif") || !installed.contains("Liberation Mono"))
        GTEST_SKIP() << "the Liberation fonts are not installed";
    TView v;
    v.View.LoadFromBytes("<META charset=\"utf-8\"><P>Текст страницы<PRE>Таблица</PRE>");
    EXPECT_EQ(QFontInfo(v.View.document()->defaultFont()).family(), "Liberation Serif");
    EXPECT_EQ(QFontInfo(v.FormatOf("Текст").font()).family(), "Liberation Serif");
    EXPECT_EQ(QFontInfo(v.FormatOf("Таблица").font()).family(), "Liberation Mono");
    v.View.SetDefaultFontSize(20);
    v.View.LoadFromText(v.View.DocumentSource());
    EXPECT_EQ(QFontInfo(v.FormatOf("Текст").font()).family(), "Liberation Serif");
}

TEST(HtmlView, ALessThanSignThatStartsNoTagIsText) {
    const struct TCase {
        const char* Body;
        const char* Shown;
    } cases[] = {
        {"< >", "< >"},
        {"a < b", "a < b"},
        {"x<3 and y<=4", "x<3 and y<=4"},
        {"<<B>bold</B>", "<bold"},
        {"end <", "end <"},
        {"a <!-- c < d --> b", "a b"},
        {"<?xml version=\"1.0\"?>a<1", "a<1"},
        {"<PRE>if (a<1 && c < d)\n  e;</PRE", "if (a<1 && c < d)\n  e;"},
        {"\xd0\xb0<\xd0\xb1", "а<б"}, // only a Latin letter starts a tag
    };
    for (const TCase& c : cases) {
        TView v;
        v.View.LoadFromBytes("<HTML><HEAD><META charset=\"utf-8\"></HEAD><BODY>" +
                             std::string(c.Body) + "</BODY></HTML>");
        EXPECT_EQ(v.View.toPlainText(), U(c.Shown)) << c.Body;
    }
    TView v;
    v.View.LoadFromBytes("<P>1 < 2 <B>bold</B>");
    EXPECT_EQ(v.FormatOf("bold").fontWeight(), QFont::Bold);
    EXPECT_EQ(v.View.DocumentSource(), "<P>1 < 2 <B>bold</B>"); // the source keeps its bytes
}

TEST(HtmlView, PreformattedLinesAreNotWrapped) {
    std::string line;
    for (int i = 0; i < 30; ++i)
        line += "word" + std::to_string(i) + "     ";
    TView v;
    // A wrapped plain-text article as the reader composes it.
    v.View.LoadFromBytes("<HTML><HEAD></HEAD><BODY BGCOLOR=#E7DDD3 TEXT=\"#000000\"><P>" + line +
                         "<PRE>" + line + "\nshort\n" + line + "</PRE</BODY></HTML>");
    QApplication::processEvents();
    int preBlocks = 0;
    for (QTextBlock b = v.View.document()->begin(); b.isValid(); b = b.next()) {
        if (!b.text().startsWith("word") && b.text() != "short")
            continue;
        const bool pre = b.blockFormat().nonBreakableLines();
        preBlocks += pre;
        EXPECT_EQ(b.layout()->lineCount() == 1, pre) << b.text().toStdString();
    }
    EXPECT_EQ(preBlocks, 3);
    EXPECT_GT(v.View.horizontalScrollBar()->maximum(), 0); // the view scrolls sideways
}

TEST(HtmlView, ALargePageShowsItsBeginningFirstAndTheWholeRightAfter) {
    std::string page = "<HTML><BODY><PRE>";
    for (int i = 0; i < 20000; ++i)
        page += "line " + std::to_string(i) + " of the preformatted text\n";
    page += "the end</PRE</BODY></HTML>";
    TView v;
    v.View.LoadFromBytes(page);
    EXPECT_TRUE(v.View.Loading());
    EXPECT_TRUE(v.View.toPlainText().startsWith("line 0 of"));
    EXPECT_FALSE(v.View.toPlainText().contains("the end"));
    EXPECT_EQ(v.View.DocumentSource(), page); // the source is the whole page at once
    EXPECT_EQ(v.View.verticalScrollBar()->value(), 0);
    QApplication::processEvents();
    EXPECT_FALSE(v.View.Loading());
    EXPECT_TRUE(v.View.toPlainText().endsWith("the end"));
    EXPECT_TRUE(v.View.document()->find("line 19999").block().blockFormat().nonBreakableLines());

    // What needs the whole page takes it at once; a new load drops the rest of the one before.
    v.View.LoadFromBytes(page);
    v.View.SelectAllText();
    EXPECT_FALSE(v.View.Loading());
    EXPECT_EQ(v.View.textCursor().selectedText().size(), v.View.document()->characterCount() - 1);
    v.View.LoadFromBytes(page);
    v.View.setTextCursor(v.View.document()->find("line 7 of"));
    v.View.CopySelection(); // a selection in the beginning is copied as made
    EXPECT_EQ(QApplication::clipboard()->text(), "line 7 of");
    EXPECT_TRUE(v.View.Loading());
    v.View.LoadFromBytes(page);
    v.View.LoadFromBytes("<P>small page");
    EXPECT_FALSE(v.View.Loading());
    QApplication::processEvents();
    EXPECT_EQ(v.View.toPlainText(), "small page");
}
