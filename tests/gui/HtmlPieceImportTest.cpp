// A large page imported in pieces gives the document the whole page gives.
#include "reader/core/qt/HtmlPieceImport.h"

#include <gtest/gtest.h>

#include <QTextDocument>

using namespace quarto;

namespace {

const char* const Sheet = "pre { font-family: 'Courier New'; white-space: pre; }";

std::string Head() {
    return std::string("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                       "charset=windows-1251\"><TITLE>Q</TITLE></HEAD>"
                       "<BODY BGCOLOR=#E7DDD3 style=\"color:#000080\">");
}

// The document's body as its HTML export spells it.
std::string BodyOf(const QTextDocument& doc) {
    const QString html = doc.toHtml();
    return html.mid(html.indexOf(QStringLiteral("<body"))).toStdString();
}

std::string Whole(const std::string& html) {
    QTextDocument doc;
    doc.setDefaultStyleSheet(QString::fromLatin1(Sheet));
    doc.setHtml(QString::fromStdString(html));
    return BodyOf(doc);
}

std::string InPieces(const std::string& html, std::size_t pieceBytes, std::size_t* count) {
    QTextDocument doc;
    doc.setDefaultStyleSheet(QString::fromLatin1(Sheet));
    const std::vector<THtmlPiece> pieces = SplitHtml(html, pieceBytes, pieceBytes);
    *count = pieces.size();
    doc.setHtml(QString::fromStdString(html.substr(0, pieces[0].End)));
    for (std::size_t i = 1; i < pieces.size(); ++i)
        AppendHtmlPiece(doc, QString::fromStdString(PieceMarkup(html, pieces[i])), pieces[i].Kind);
    return BodyOf(doc);
}

} // namespace

TEST(HtmlPieces, PiecesGiveTheDocumentOfTheWholePage) {
    const struct {
        const char* name;
        const char* body;
        std::size_t leastPieces; // with a cut wherever one may fall
    } cases[] = {
        {"paragraphs",
         "<H2>Title</H2>\n<P>one two</P>\n<P>three <U><FONT color=red>four</FONT>"
         "</U> five</P>\n<P>six\n<P>seven<BR>eight\n<H3>nine</H3>ten\n",
         6},
        {"open elements",
         "<FONT color=green><P>a</P>\n<P>b <B>bold</B>\n<P>still green</P></FONT>\n<P>plain</P>"
         "<CENTER><P>c1</P><P>c2</P></CENTER><DIV align=right>r</DIV><DIV>d</DIV>"
         "<BLOCKQUOTE><P>q1</P><P>q2</P></BLOCKQUOTE><P>end",
         8},
        {"preformatted",
         "<P>before</P><PRE>line 1\nline 2 <U><FONT color=red>w</FONT></U>\n"
         "<FONT color=blue>line 3\nline 4</FONT>\r\nline 5\n\nline 7</PRE>"
         "<P>after</P><PRE>x\ny</PRE>",
         6},
        {"running text",
         "<P>one two <B>three four</B>\nfive</P>plain text\nwithout  any\n"
         "block <A HREF=\"x.htm\">a link\nacross</A> lines",
         6},
        {"uncut tables and lists",
         "<P>a</P><TABLE border=1><TR><TD><P>x</P><P>y</P></TD></TR></TABLE><P>b</P>"
         "<UL><LI><P>i1</P><LI>i2</UL><P>c</P><!-- <P>comment</P> --><P>d</P>",
         4},
    };
    for (const auto& c : cases) {
        const std::string html = Head() + c.body + "</BODY></HTML>";
        std::size_t count = 0;
        EXPECT_EQ(InPieces(html, 1, &count), Whole(html)) << c.name;
        EXPECT_GE(count, c.leastPieces) << c.name;
    }
}
