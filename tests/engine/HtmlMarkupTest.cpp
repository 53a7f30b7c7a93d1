// The page markup tokenizer, its attributes, and the rewriting before the view parses a page.
#include "reader/core/HtmlMarkup.h"
#include "reader/core/PageComposer.h"

#include <gtest/gtest.h>

#include <string>

using namespace quarto;

namespace {

// The tokens of html, one per line: a letter for the kind (x text, s start tag, e end tag,
// c comment, d declaration, r reference), "!" when unterminated, "/" when self-closing, the
// name in brackets for tags and references, then the bytes.
std::string Tokens(std::string_view html) {
    std::string out;
    THtmlTokenizer tokens(html);
    THtmlToken token;
    while (tokens.Next(token)) {
        out += "xsecdr"[static_cast<int>(token.Kind)];
        if (token.Unterminated)
            out += '!';
        if (token.SelfClosing)
            out += '/';
        if (!token.Name.empty())
            out += "[" + std::string(token.Name) + "]";
        out += std::string(html.substr(token.Begin, token.End - token.Begin)) + "\n";
    }
    return out;
}

} // namespace

TEST(HtmlMarkup, TokensOfTrickyMarkup) {
    const struct {
        const char* html;
        const char* tokens;
    } cases[] = {
        {"a<b>c</b>", "xa\ns[b]<b>\nxc\ne[b]</b>\n"},
        {"<P TITLE=\"a>b\" x='c>d'>t", "s[P]<P TITLE=\"a>b\" x='c>d'>\nxt\n"},
        {"<A HREF=x>y\">", "s[A]<A HREF=x>\nxy\">\n"},
        // An end tag and a declaration end at the first ">", as the view reads them.
        {"</A title=\"x>y\">", "e[A]</A title=\"x>\nxy\">\n"},
        {"<!DOCTYPE a \"b>c\">", "d<!DOCTYPE a \"b>\nxc\">\n"},
        {"<!-- -- -->x", "c<!-- -- -->\nxx\n"},
        {"<!---->x", "c<!---->\nxx\n"},
        {"<!-->x-->y", "c<!-->x-->\nxy\n"},
        {"<!-- open", "c!<!-- open\n"},
        {"x<TABLE border", "xx\ns![TABLE]<TABLE border\n"},
        {"<P title=\"open>", "s![P]<P title=\"open>\n"},
        {"<BR/><img src=a.gif />", "s/[BR]<BR/>\ns/[img]<img src=a.gif />\n"},
        {"<H1>x</h1>", "s[H1]<H1>\nxx\ne[h1]</h1>\n"},
        // A closing tag that lost its ">" ends before the next tag.
        {"</PRE </BODY>", "e![PRE]</PRE \ne[BODY]</BODY>\n"},
        // "<" and "&" that start no markup are text.
        {"a < b <3 x<=y </ z> <?xml?>", "xa < b <3 x<=y \nd</ z>\nx \nd<?xml?>\n"},
        {"&amp;&#1234;&x &; AT&T&lt", "r[amp]&amp;\nr[#1234]&#1234;\nx&x &; AT&T&lt\n"},
        {"<", "x<\n"},
        {"&", "x&\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tokens(c.html), c.tokens) << c.html;
}

TEST(HtmlMarkup, RawTextRunsToItsClosingTag) {
    const std::string html = "<SCRIPT>if (a<b) x = \"</P>\";</script ><P>";
    THtmlTokenizer tokens(html);
    THtmlToken token;
    ASSERT_TRUE(tokens.Next(token));
    EXPECT_EQ(tokens.SkipRawText("script"), html.find("</script"));
    ASSERT_TRUE(tokens.Next(token));
    EXPECT_EQ(token.Kind, THtmlTokenKind::Text);
    EXPECT_EQ(html.substr(token.Begin, token.End - token.Begin), "if (a<b) x = \"</P>\";");
    ASSERT_TRUE(tokens.Next(token));
    EXPECT_EQ(token.Kind, THtmlTokenKind::EndTag);
    // Without a closing tag the rest is its text.
    THtmlTokenizer open("<STYLE>p {}");
    ASSERT_TRUE(open.Next(token));
    EXPECT_EQ(open.SkipRawText("style"), 11u);
    ASSERT_TRUE(open.Next(token));
    EXPECT_EQ(token.End, 11u);
    EXPECT_FALSE(open.Next(token));
}

TEST(HtmlMarkup, Attributes) {
    const std::string html = "<FONT color=red SIZE = \"+1\" face='a b>c' noshade/x=1 e= >";
    THtmlTokenizer tokens(html);
    THtmlToken tag;
    ASSERT_TRUE(tokens.Next(tag));
    EXPECT_EQ(tag.End, html.size());
    std::string seen;
    THtmlAttributes attributes(html, tag);
    THtmlAttribute a;
    while (attributes.Next(a))
        seen += std::string(a.Name) + (a.HasValue ? "=" + std::string(a.Value) : "") + "|" +
                html.substr(a.Begin, a.End - a.Begin) + "\n";
    EXPECT_EQ(seen, "color=red|color=red\nSIZE=+1|SIZE = \"+1\"\nface=a b>c|face='a b>c'\n"
                    "noshade|noshade\nx=1|x=1\ne=|e= \n");
    ASSERT_TRUE(FindAttribute(html, tag, "size", a));
    EXPECT_EQ(a.Quote, '"');
    EXPECT_FALSE(FindAttribute(html, tag, "style", a));
}

TEST(HtmlMarkup, RewriteForQt) {
    const struct {
        const char* html;
        const char* rewritten;
    } cases[] = {
        {"a < b, x<3 <i>y</i>", "a &lt; b, x&lt;3 <i>y</i>"},
        {"<PRE>x</PRE</BODY>", "<PRE>x</PRE></BODY>"},
        {"</B  \n<I>", "</B><I>"},
        {"</B", "</B"},
        {"<BODY BGCOLOR=#E7DDD3 TEXT=\"#000080\" background=\"a.bmp\">",
         "<BODY BGCOLOR=#E7DDD3 style=\"color:#000080\" background=\"a.bmp\">"},
        {"<body text = red>", "<body style=\"color:red\">"},
        {"<body context=red TEXT='blue'>", "<body context=red style=\"color:blue\">"},
        {"<bodyx text=red><BODY>", "<bodyx text=red><BODY>"},
        // The first "text=" only, and only before the tag's first ">".
        {"<body text=a text=b>", "<body style=\"color:a\" text=b>"},
        {"<body title=\"x>\" text=red>", "<body title=\"x>\" text=red>"},
        // Comments and quoted values stay as they are.
        {"<!-- a < b </P <P> -->", "<!-- a < b </P <P> -->"},
        {"<A title=\"a < b\">", "<A title=\"a < b\">"},
        {"&amp; &lt;", "&amp; &lt;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RewriteForQt(c.html), c.rewritten) << c.html;
}

TEST(HtmlMarkup, MarksStayInTheText) {
    const auto marked = [](std::string_view word) {
        return std::string(MarkBegin) + std::string(word) + std::string(MarkEnd);
    };
    const struct {
        const char* source;
        std::string marked;
    } cases[] = {
        {"<A title=\"star > star\">star</A>",
         "<A title=\"star > star\">" + marked("star") + "</A>"},
        {"<!-- star > star -->star", "<!-- star > star -->" + marked("star")},
        {"<P title='star", "<P title='star"},
        {"1 < 2 star", "1 < 2 " + marked("star")},
    };
    for (const auto& c : cases) {
        std::string s = c.source;
        MarkWords(s, "star", TPageCharset::Cp1251);
        EXPECT_EQ(s, c.marked) << c.source;
    }
}
