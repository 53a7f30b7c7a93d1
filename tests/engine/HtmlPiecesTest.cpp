// Cutting a large page into pieces: sizes, and the places a cut never falls. The document the
// pieces give is compared with the whole page's in tests/gui/HtmlPieceImportTest.cpp.
#include "reader/core/HtmlPieces.h"

#include <gtest/gtest.h>

#include <string>

using namespace quarto;

namespace {

std::string Head() {
    return std::string("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                       "charset=windows-1251\"><TITLE>Q</TITLE></HEAD>"
                       "<BODY BGCOLOR=#E7DDD3 style=\"color:#000080\">");
}

} // namespace

TEST(HtmlPieces, PiecesAreAboutTheSizeAskedFor) {
    std::string body;
    for (int i = 0; i < 2000; ++i)
        body += "<P>абзац " + std::to_string(i) + " of the page</P>\n";
    const std::string html = Head() + body;
    const std::vector<THtmlPiece> pieces = SplitHtml(html, 1000, 10000);
    ASSERT_GT(pieces.size(), 3u);
    EXPECT_GE(pieces[0].End, 1000u);
    EXPECT_LT(pieces[0].End, 1100u);
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        EXPECT_EQ(html.substr(pieces[i - 1].End, pieces[i].Begin - pieces[i - 1].End)
                      .find_first_not_of(" \n"),
                  std::string::npos);
        if (i + 1 < pieces.size()) {
            EXPECT_GE(pieces[i].End - pieces[i].Begin, 10000u);
            EXPECT_LT(pieces[i].End - pieces[i].Begin, 10100u);
        }
    }
    EXPECT_EQ(pieces.back().End, html.size());
    // A page without any place to cut is one piece.
    EXPECT_EQ(SplitHtml(Head() + "<TABLE><TR><TD>" + body, 1000, 10000).size(), 1u);
}

TEST(HtmlPieces, NoCutInsideMarkupOrRawText) {
    // With a cut wherever one may fall, none falls inside a tag whose quoted value holds ">"
    // and blanks, a comment, a script or a title.
    const std::string html = Head() +
                             "<P>one two <A title=\"a > b c > d\">three four</A> five\n"
                             "<!-- x <P> y z --> six seven <SCRIPT>a = b; <P> c = d;</SCRIPT>"
                             " eight nine <P>ten";
    const std::vector<THtmlPiece> pieces = SplitHtml(html, 1, 1);
    ASSERT_GT(pieces.size(), 5u);
    const auto inside = [&](std::string_view from, std::string_view to, std::size_t at) {
        const std::size_t b = html.find(from);
        return at > b && at < html.find(to, b) + to.size();
    };
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const std::size_t at = pieces[i].Begin;
        EXPECT_FALSE(inside("<A title", "\">", at)) << at;
        EXPECT_FALSE(inside("<!--", "-->", at)) << at;
        EXPECT_FALSE(inside("<SCRIPT>", "</SCRIPT>", at)) << at;
        EXPECT_FALSE(inside("<TITLE>", "</TITLE>", at)) << at;
    }
    // The body is opened again with its style only.
    EXPECT_EQ(pieces[1].Reopen.rfind("<body style=\"color:#000080\">", 0), 0u);
}
