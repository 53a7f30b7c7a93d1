// The exports: the XHTML made of the editions' pages, and quarto-tool export on editions with
// the awkward cases (hidden entries, plain text, a UTF-8 edition, links with anchors, missing
// pictures and pages, a damaged text store), checked by EPUBCheck where it is installed.
#include "EditionFixture.h"
#include "ToolRun.h"
#include "common/JpegCodec.h"
#include "common/BmpFile.h"
#include "tools/XhtmlWriter.h"

#include <algorithm>
#include <cstdlib>

using namespace quarto;
using namespace quarto::test;

namespace {

// What an XML reader checks of elements: every tag closed in order, attributes quoted, "&"
// only as a reference, "<" only as markup. Empty when text is well-formed, else where not.
std::string XmlProblem(const std::string& text) {
    std::vector<std::string> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&') {
            const std::size_t semi = text.find(';', i);
            const std::string name = text.substr(i + 1, semi - i - 1);
            if (semi == std::string::npos ||
                (name != "amp" && name != "lt" && name != "gt" && name != "quot" && name != "apos" &&
                 name.rfind('#', 0) != 0))
                return "a bare & at " + std::to_string(i);
            continue;
        }
        if (c == '>')
            return "a bare > at " + std::to_string(i);
        if (c != '<')
            continue;
        if (text.compare(i, 4, "<!--") == 0) {
            i = text.find("-->", i);
            if (i == std::string::npos)
                return "an open comment";
            i += 2;
            continue;
        }
        if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            i = text.find('>', i);
            continue;
        }
        const std::size_t end = text.find('>', i);
        if (end == std::string::npos)
            return "an open tag at " + std::to_string(i);
        std::string tag = text.substr(i + 1, end - i - 1);
        i = end;
        const bool closing = !tag.empty() && tag[0] == '/';
        const bool empty = !tag.empty() && tag.back() == '/';
        const std::size_t nameEnd = tag.find_first_of(" /", closing ? 1 : 0);
        const std::string name = tag.substr(closing ? 1 : 0, nameEnd - (closing ? 1 : 0));
        if (name.empty() || tag.find('<') != std::string::npos)
            return "a broken tag <" + tag + ">";
        // Attributes: name="value" pairs only.
        for (std::size_t k = nameEnd; k != std::string::npos && k < tag.size();) {
            k = tag.find_first_not_of(" /", k);
            if (k == std::string::npos)
                break;
            const std::size_t eq = tag.find('=', k);
            if (eq == std::string::npos || eq + 1 >= tag.size() || tag[eq + 1] != '"')
                return "an unquoted attribute in <" + tag + ">";
            const std::size_t close = tag.find('"', eq + 2);
            if (close == std::string::npos)
                return "an open attribute in <" + tag + ">";
            k = close + 1;
        }
        if (closing) {
            if (open.empty() || open.back() != name)
                return "</" + name + "> closes " + (open.empty() ? "nothing" : "<" + open.back() + ">");
            open.pop_back();
        } else if (!empty) {
            open.push_back(name);
        }
    }
    return open.empty() ? "" : "<" + open.back() + "> left open";
}

TEST(Xhtml, OldPagesBecomeWellFormedWithTheirTextAndMeaning) {
    const struct {
        const char* Html;
        const char* Xhtml;
    } cases[] = {
        {"<P>one<P>two", "<p>one</p><p>two</p>"},
        {"<P ALIGN=center>x", "<p style=\"text-align:center;\">x</p>"},
        {"<FONT COLOR=red SIZE=+1><P>a<P>b</FONT>c",
         "<span style=\"color:red;font-size:large;\"></span><p><span style=\"color:red;font-size:"
         "large;\">a</span></p><p><span style=\"color:red;font-size:large;\">b</span>c</p>"},
        {"<B>bold<P>still</B> plain", "<b>bold</b><p><b>still</b> plain</p>"},
        {"<CENTER>c</CENTER>", "<div style=\"text-align:center;\">c</div>"},
        {"<LI>one<LI>two", "<ul><li>one</li><li>two</li></ul>"},
        {"<UL><LI>a<UL><LI>b</UL></UL>", "<ul><li>a<ul><li>b</li></ul></li></ul>"},
        {"<UL>loose<LI>x</UL>", "<ul><li>loose</li><li>x</li></ul>"},
        {"<TABLE BORDER=1><TD>a<TD WIDTH=50%>b<TR><TD COLSPAN=2>c</TABLE>",
         "<table class=\"bordered\"><tr><td>a</td><td style=\"width:50%;\">b</td></tr><tr>"
         "<td colspan=\"2\">c</td></tr></table>"},
        {"<DL><DT>term<DD>meaning</DL>", "<dl><dt>term</dt><dd>meaning</dd></dl>"},
        {"<H2>head<P>para", "<h2>head</h2><p>para</p>"},
        {"a &laquo;b&raquo; &nbsp;&#150;&#x44F; &copy &bogus; & < >",
         "a «b» \xC2\xA0\xE2\x80\x93\xD1\x8F &amp;copy &amp;bogus; &amp; &lt; &gt;"},
        {"<A NAME=1>x</A><A HREF=\"#1\">to</A>", "<a id=\"n1\">x</a><a href=\"#1\">to</a>"},
        {"<A HREF=a.htm>one<A HREF=b.htm>two</A>",
         "<a href=\"a.htm\">one</a><a href=\"b.htm\">two</a>"},
        {"<SCRIPT>if (a < b) x();</SCRIPT><STYLE>p{}</STYLE>text", "text"},
        {"<HTML><HEAD><TITLE>t</TITLE><META x></HEAD><BODY BGCOLOR=#fff>body</BODY></HTML>",
         "body"},
        {"<!-- note --><BLINK>x</BLINK><?php ?>", "x"},
        {"<PRE>a\r\n  b</PRE>", "<pre>a\n  b</pre>"},
        {"<IMG SRC=a.gif ALT=\"A & B\"> <BR>", "A &amp; B <br/>"},
        {"bad \x01 ctrl \xFF byte", "bad  ctrl \xEF\xBF\xBD byte"},
        {"<P>open <B>bold <I>both", "<p>open <b>bold <i>both</i></b></p>"},
        {"</P></B>stray ends</TD>", "stray ends"},
        {"<TD>cell outside a table", "<table><tr><td>cell outside a table</td></tr></table>"},
        {"<P>a<HR>b", "<p>a</p><hr/>b"},
        {"<P>cut <A HREF=\"x", "<p>cut </p>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Html);
        const std::string out = ToXhtmlBody(c.Html);
        EXPECT_EQ(out, c.Xhtml);
        EXPECT_EQ(XmlProblem(out), "");
    }
}

TEST(Xhtml, LinksAndPicturesGoWhereTheExportSays) {
    TXhtmlRewrite rewrite;
    rewrite.Link = [](std::string_view href) -> std::optional<std::string> {
        if (href == "gone.htm")
            return std::nullopt;
        return "../ref/" + std::string(href);
    };
    rewrite.Image = [](std::string_view src) -> std::optional<std::string> {
        if (src == "missing.bmp")
            return std::nullopt;
        return "../images/" + std::string(src);
    };
    EXPECT_EQ(ToXhtmlBody("<A HREF=\"n.htm#a\">x</A> <A HREF=gone.htm>kept text</A>", rewrite),
              "<a href=\"../ref/n.htm#a\">x</a> <a>kept text</a>");
    EXPECT_EQ(ToXhtmlBody("<IMG SRC=p.jpg WIDTH=10 HEIGHT=x><IMG SRC=missing.bmp ALT=gone>",
                          rewrite),
              "<img src=\"../images/p.jpg\" alt=\"\" width=\"10\"/>gone");
    // Identifiers are XML names, and each is given once.
    EXPECT_EQ(AnchorIdOf("3"), "n3");
    EXPECT_EQ(AnchorIdOf("глава 1"), "глава_1");
    EXPECT_EQ(ToXhtmlBody("<A NAME=x>1</A><A NAME=x>2</A>"), "<a id=\"x\">1</a><a>2</a>");
}

TEST(Xhtml, DeepAndEndlessMarkupStaysBounded) {
    std::string html;
    for (int i = 0; i < 5000; ++i)
        html += "<B><DIV><TD>";
    const std::string out = ToXhtmlBody(html + "end");
    EXPECT_EQ(XmlProblem(out), "");
    EXPECT_NE(out.find("end"), std::string::npos);
}

class Export : public ::testing::Test {
protected:
    TResult Tool(const std::string& book, const std::vector<std::string>& args) {
        std::vector<std::string> words = {"--app", App.Path().string(), "--book", book};
        words.insert(words.end(), args.begin(), args.end());
        return RunProgram(QUARTO_TOOL, words, Scratch.Path());
    }
    // EPUBCheck's verdict on a book, or nothing when it is not installed here (nor on Windows:
    // the cross build checks the demo's book with the build machine's EPUBCheck instead).
    std::optional<TResult> EpubCheck(const std::string& book) {
#ifdef _WIN32
        (void)book;
        return std::nullopt;
#else
        if (!FileExists("/usr/bin/epubcheck"))
            return std::nullopt;
        TResult verdict = RunProgram("java", {"-jar", "/usr/bin/epubcheck", book}, Scratch.Path());
        return verdict.Status < 0 ? std::nullopt : std::optional<TResult>(verdict);
#endif
    }

    TAppFolder App;
    TTempFolder Scratch;
};

TEST_F(Export, AnEditionWithEveryAwkwardCaseBecomesABookAndAFolder) {
    const std::string alpha = App.AddEdition(
        "Alpha",
        {{"edition.ini", "[Main]\nTitle=Звёзды & «кометы»\nTitle2=Атлас <неба>\nRegKey=Alpha\n"
                         "[Options]\nPictures=1\n"},
         {"contents.txt", "0 - Раздел\n1 a.htm Статья & ссылки\n2 b.txt Простой текст\n"
                          "2 hidden.htm Тайна !@#$%\n0 c.htm Последняя\n"},
         {"texts/a.htm", "<H2>Ссылки</H2><P>См. <A HREF=\"notes.htm#n1\">примечание</A>, "
                         "<A HREF=\"lost.htm\">потерянную</A>, <A HREF=\"pic.jpg\">рисунок</A>, "
                         "<A HREF=\"video_1/clip.avi\">фильм</A>, <A HREF=\"scan.bmp\">снимок</A>, "
                         "<A HREF=\"notes.txt\">заметки</A> и "
                         "<A HREF=\"http://example.org/\">сайт</A>.<P><IMG SRC=\"pic.jpg\">"},
         {"texts/b.txt", "строка 1\n  строка 2 <не тег>"},
         {"texts/hidden.htm", "<P>скрытый текст"},
         {"texts/c.htm", "<P>конец"},
         {"Base/notes.htm", "<HTML><HEAD><TITLE>Примечания</TITLE></HEAD><BODY>"
                            "<P><A NAME=n1>Первое</A> <A HREF=\"more.htm#2\">далее</A></BODY></HTML>"},
         {"Base/more.htm", "<P><A NAME=2>Второе</A>"},
         {"pictures.txt", "= Небо\n1 sky.jpg Небо@Над головой\n"},
         {"pictures/sky.jpg", EncodeJpeg(BlankPicture(16, 12))}});
    WriteWholeFile(alpha + "/Base/pic.jpg", EncodeJpeg(BlankPicture(8, 8)));
    WriteWholeFile(alpha + "/Base/scan.bmp", EncodeBmp(BlankPicture(4, 4)));
    WriteWholeFile(alpha + "/Base/notes.txt", "notes");
    FileSystem().CreateFolder(alpha + "/video_1");
    WriteWholeFile(alpha + "/video_1/clip.avi", "RIFF clip");
    // The full picture is not there: the gallery shows the thumbnail.
    FileSystem().Remove(alpha + "/Pictures/sky.jpg");
    App.AddEdition("Utf", {{"edition.ini", Descriptor("Utf", "UTF=1\n")},
                           {"contents.txt", "1 a.htm Юникод\n"},
                           {"texts/a.htm", "<P>Ελληνικά и русский &mdash; ok"}});

    const std::string epub = (Scratch.Path() / "books" / "alpha.epub").string();
    TResult r = Tool("Alpha", {"export", "--epub", epub});
    EXPECT_EQ(r.Status, 1) << r.Err;
    // The lost page is reported, and only that.
    EXPECT_EQ(r.Err, "quarto-tool: Статья 1 «Статья & ссылки»: нет страницы «lost.htm»\n");
    const std::string bytes = ReadWholeFile(epub);
    ASSERT_GT(bytes.size(), 60u);
    EXPECT_EQ(bytes.substr(30, 28), "mimetypeapplication/epub+zip"); // first and stored
    if (const auto check = EpubCheck(epub)) {
        EXPECT_NE(check->Out.find("No errors or warnings detected"), std::string::npos)
            << check->Out << check->Err;
    }

    const std::string html = (Scratch.Path() / "html").string();
    r = Tool("Alpha", {"export", "--html", html});
    EXPECT_EQ(r.Status, 1) << r.Err;
    const std::string index = ReadWholeFile(html + "/index.html");
    EXPECT_NE(index.find("<h1>Звёзды &amp; «кометы»</h1>"), std::string::npos) << index;
    EXPECT_EQ(index.find("Тайна"), std::string::npos); // hidden from the contents
    const std::string page2 = ReadWholeFile(html + "/pages/p00002.html");
    EXPECT_NE(page2.find("<a href=\"../ref/r0001.html#n1\">примечание</a>"), std::string::npos);
    EXPECT_NE(page2.find("<a>потерянную</a>"), std::string::npos);
    EXPECT_NE(page2.find("<a href=\"../images/i0001.jpg\">рисунок</a>"), std::string::npos);
    EXPECT_NE(page2.find("<a href=\"../video/c0001.avi\">фильм</a>"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(html + "/video/c0001.avi"), "RIFF clip");
    // A linked picture of any kind is a picture; a linked text keeps the link's text alone.
    EXPECT_NE(page2.find("<a href=\"../images/i0002.jpg\">снимок</a>"), std::string::npos);
    EXPECT_NE(page2.find("<a>заметки</a>"), std::string::npos);
    EXPECT_NE(page2.find("<a href=\"http://example.org/\">сайт</a>"), std::string::npos);
    EXPECT_NE(page2.find("<img src=\"../images/i0001.jpg\" alt=\"\"/>"), std::string::npos);
    EXPECT_NE(page2.find("rel=\"prev\""), std::string::npos);
    const std::string page3 = ReadWholeFile(html + "/pages/p00003.html");
    EXPECT_NE(page3.find("<pre>строка 1\n  строка 2 &lt;не тег&gt;"), std::string::npos);
    EXPECT_NE(page3.find("скрытый текст"), std::string::npos); // the hidden entry's text
    EXPECT_NE(ReadWholeFile(html + "/ref/r0001.html").find("<a href=\"../ref/r0002.html#n2\">"),
              std::string::npos);
    EXPECT_NE(ReadWholeFile(html + "/ref/r0002.html").find("<a id=\"n2\">Второе</a>"),
              std::string::npos);
    EXPECT_NE(ReadWholeFile(html + "/pages/gallery.html")
                  .find("<figure><img src=\"../images/t0001.jpg\" alt=\"Небо\"/><figcaption><b>"
                        "Небо</b><br/>Над головой</figcaption></figure>"),
              std::string::npos);
    for (const char* page : {"/index.html", "/pages/p00001.html", "/pages/p00002.html",
                             "/pages/p00003.html", "/pages/p00004.html", "/pages/gallery.html",
                             "/ref/r0001.html", "/ref/r0002.html"})
        EXPECT_EQ(XmlProblem(ReadWholeFile(html + page).substr(16)), "") << page;

    // A UTF-8 edition keeps its letters.
    r = Tool("Utf", {"export", "--html", (Scratch.Path() / "utf").string()});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(ReadWholeFile((Scratch.Path() / "utf" / "pages" / "p00001.html").string())
                  .find("<p>Ελληνικά и русский — ok"),
              std::string::npos);
}

TEST_F(Export, ADamagedStoreLeavesOutItsArticlesAndExportsTheRest) {
    const std::string folder =
        App.AddEdition("Alpha", {{"edition.ini", Descriptor("Alpha")},
                                 {"contents.txt", "1 a.htm Первая\n1 b.htm Вторая\n"},
                                 {"texts/a.htm", "<P>первая"},
                                 {"texts/b.htm", "<P>вторая, последняя в файле"}});
    std::string store = ReadWholeFile(folder + "/cData.dat");
    store.resize(store.size() - 5);
    WriteWholeFile(folder + "/cData.dat", store);
    const std::string html = (Scratch.Path() / "html").string();
    const TResult r = Tool("Alpha", {"export", "--html", html});
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find("quarto-tool: Статья 1 «Вторая» пропущена: "), std::string::npos) << r.Err;
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    EXPECT_NE(ReadWholeFile(html + "/pages/p00001.html").find("<p>первая"), std::string::npos);
    EXPECT_NE(ReadWholeFile(html + "/pages/p00002.html").find("<h1>Вторая</h1>"),
              std::string::npos);
}

} // namespace
