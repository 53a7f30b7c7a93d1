#include "reader/core/PageComposer.h"

#include "EditionFixture.h"
#include "common/Cp1251.h"

#include <gtest/gtest.h>

using namespace quarto;
using quarto::test::NativePath;

namespace {
const std::string Head = "<BASE HREF=\"file:///books/K/Base/\"></HEAD><BODY BGCOLOR=#E7DDD3 "
                         "TEXT=\"#000000\" background=\"/app/Skins/text.bmp\">";
std::string Compose(const std::string& body) {
    return ComposePage("<HTML><HEAD>", "/books/K/Base/", body, "/app/Skins/text.bmp", "000000");
}
const std::string M1 = "<FONT color=\"RED\"><U>";
const std::string M2 = "</U></FONT>";
std::string Marked(const std::string& s) {
    return M1 + s + M2;
}
} // namespace

TEST(PageComposer, ExactPageBytes) {
    EXPECT_EQ(Compose("<P>Text    "), "<HTML><HEAD>" + Head + "<P>Text   </BODY></HTML>");
    EXPECT_EQ(Compose("<PRE>a   </PRE>"), "<HTML><HEAD>" + Head + "<PRE>a   </PRE</BODY></HTML>");
    // An empty body loses the ">" of the body start tag.
    const std::string empty = Compose("");
    EXPECT_EQ(empty, "<HTML><HEAD>" + Head.substr(0, Head.size() - 1) + "</BODY></HTML>");
}

TEST(PageComposer, ArticlePathsUseTheReaderAndEditionFolders) {
    const std::string app = NativePath("/app/");
    EXPECT_EQ(PageTemplatePath(app, false), NativePath("/app/Base/Back.htm"));
    EXPECT_EQ(PageTemplatePath(app, true), NativePath("/app/Base/Back_UTF.htm"));
    EXPECT_EQ(ArticlePicturePath(app), NativePath("/app/Skins/text.bmp"));
    EXPECT_EQ(PageBaseFolder(NativePath("/app/Books/K")), NativePath("/app/Books/K/Base/"));
}

TEST(PageComposer, LineBreaksBecomeAnUnknownTag) {
    struct Case {
        const char* source;
        const char* rewritten;
    } cases[] = {
        {"<br>", "<ZZ>"},
        {"a<BR>b<Br>c<bR>", "a<ZZ>b<ZZ>c<ZZ>"},
        {"<br/><br /><BR CLEAR=all><br", "<br/><br /><BR CLEAR=all><br"},
        {"<<br>>", "<<ZZ>>"},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string s = c.source;
        RewriteLineBreaks(s);
        EXPECT_EQ(s, c.rewritten);
    }
}

TEST(PageComposer, MarkingKeepsMarkupIntact) {
    struct Case {
        const char* source;
        const char* words;
        std::string marked;
    } cases[] = {
        // Occurrences inside longer words count, each keeps its letter case.
        {"Cat category CAT", "cat", Marked("Cat") + " " + Marked("cat") + "egory " + Marked("CAT")},
        // Words shorter than three characters are not marked.
        {"go on now", "go on", "go on now"},
        {"the end", "the of", Marked("the") + " end"},
        // Not in tags, attribute values or character references.
        {"<table class=\"table\">table</table>", "table",
         "<table class=\"table\">" + Marked("table") + "</table>"},
        {"&amp; amp &ampx", "amp", "&amp; " + Marked("amp") + " &" + Marked("amp") + "x"},
        {"&#1234; 1234", "1234", "&#1234; " + Marked("1234")},
        {"AT&T and T&C", "and", "AT&T " + Marked("and") + " T&C"},
        // A tag name is markup too; the occurrence after it is marked.
        {"<abc>abc</abc>", "abc", "<abc>" + Marked("abc") + "</abc>"},
        // An occurrence that runs into a reference is not marked; the next one is.
        {"x&lt;y x&lt;y", "x&lt", "x&lt;y x&lt;y"},
        // Non-overlapping, from left to right.
        {"aaaaaaa", "aaa", Marked("aaa") + Marked("aaa") + "a"},
        // Earlier marks are tags, so later words never mark inside them.
        {"red font", "red font", Marked("red") + " " + Marked("font")},
        {"underline", "under line", Marked("under") + Marked("line")},
        // A prefix searched with "*" is marked as its letters; "ab*" stays too short.
        {"categories cat*", "cat* ab*", Marked("cat") + "egories " + Marked("cat") + "*"},
        // Unclosed tag: the rest is markup.
        {"word <b word", "word", Marked("word") + " <b word"},
    };
    for (const Case& c : cases) {
        std::string s = c.source;
        MarkWords(s, c.words, TPageCharset::Cp1251);
        EXPECT_EQ(s, c.marked) << c.source << " / " << c.words;
    }
}

TEST(PageComposer, MarkingCyrillicWordsInBothCharsets) {
    const std::string words = Utf8ToCp1251("ЁЛКА звезда");
    std::string page1251 = Utf8ToCp1251("<P TITLE=\"звезда\">Ёлка, ёлкам, ЗВЕЗДАМИ");
    MarkWords(page1251, words, TPageCharset::Cp1251);
    EXPECT_EQ(Cp1251ToUtf8(page1251), "<P TITLE=\"звезда\">" + Marked("Ёлка") + ", " +
                                          Marked("ёлка") + "м, " + Marked("ЗВЕЗДА") + "МИ");
    std::string pageUtf8 = "<P TITLE=\"звезда\">Ёлка, ёлкам, ЗВЕЗДАМИ";
    MarkWords(pageUtf8, words, TPageCharset::Utf8);
    EXPECT_EQ(pageUtf8, "<P TITLE=\"звезда\">" + Marked("Ёлка") + ", " + Marked("ёлка") + "м, " +
                            Marked("ЗВЕЗДА") + "МИ");
}

TEST(PageComposer, RewriteAppliesLineBreaksThenMarksOnce) {
    bool on = true;
    std::string s = "<br>break";
    RewritePageSource(s, true, "break", on);
    EXPECT_EQ(s, "<ZZ>" + Marked("break"));
    EXPECT_FALSE(on);
    std::string again = "<br>break";
    RewritePageSource(again, false, "break", on);
    EXPECT_EQ(again, "<br>break");
}

TEST(PageComposer, DeclaredCharset) {
    struct Case {
        const char* source;
        TPageCharset charset;
    } cases[] = {
        {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">",
         TPageCharset::Utf8},
        {"<meta charset=\"UTF-8\">", TPageCharset::Utf8},
        {"<meta charset=utf8>", TPageCharset::Utf8},
        {"<META CONTENT=\"text/html; charset=windows-1251\">", TPageCharset::Cp1251},
        {"<HTML><BODY>charset=utf-8 in the text", TPageCharset::Cp1251},
        {"", TPageCharset::Cp1251},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DeclaredCharset(c.source), c.charset) << c.source;
}

TEST(PageComposer, TextFilesArePreformattedUtf8WithEveryCharacterAsItself) {
    const std::string moon = "Луна <b>&amp;</b>";
    const struct Case {
        std::string bytes;
        std::string text; // in the PRE element
    } cases[] = {
        {moon, "Луна &lt;b&gt;&amp;amp;&lt;/b&gt;"},
        {"\xEF\xBB\xBF" + moon, "Луна &lt;b&gt;&amp;amp;&lt;/b&gt;"},
        // Not UTF-8: code page 1251, byte-order mark or not.
        {Utf8ToCp1251("Звезда <br>"), "Звезда &lt;br&gt;"},
        {"\xEF\xBB\xBF\xC0", "п»їА"},
        {"a\r\nb\rc\n\td", "a\nb\nc\n\td"},
        {std::string("x\0y\x1B\x7F", 5), "xy\x7F"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreformattedText(c.bytes),
                  "<PRE STYLE=\"white-space: pre-wrap\">" + c.text + "</PRE>\n")
            << c.bytes;
}
