#include "reader/core/ContentsFile.h"
#include "reader/core/ContentsTree.h"

#include "common/Cp1251.h"

#include <gtest/gtest.h>

using namespace quarto;

namespace {

std::vector<TContentsRec> Entries(const std::vector<int>& levels) {
    std::vector<TContentsRec> list;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        TContentsRec rec;
        rec.ArticleNo = static_cast<std::int32_t>(i);
        rec.Level = static_cast<std::uint8_t>(levels[i]);
        rec.Title = "t" + std::to_string(i);
        list.push_back(rec);
    }
    return list;
}

// The tree in pre-order as "entry@depth" items, then "|" and the left-out entries.
std::string Shape(const TContentsTree& tree) {
    std::string s;
    for (const TContentsNode& n : tree.Nodes)
        s += std::to_string(n.Entry) + "@" + std::to_string(n.Depth) + " ";
    s += "|";
    for (int e : tree.LeftOut)
        s += " " + std::to_string(e);
    return s;
}

} // namespace

TEST(ContentsFile, RecordsRoundTripAndPartialRecordsAreNotRead) {
    TContentsRec rec;
    rec.Reserved = 77;
    rec.ArticleNo = 2;
    rec.Level = 255;
    rec.Kind = -3;
    rec.Title = std::string(255, '\xE9');
    rec.DataOffset = 0x01020304;
    const std::string bytes = EncodeContentsRecord(rec);
    ASSERT_EQ(bytes.size(), 276u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[16]), 255);
    EXPECT_EQ(bytes.substr(272), "\x04\x03\x02\x01");

    const std::vector<TContentsRec> list =
        ParseContents(bytes + bytes + bytes + std::string(100, 'x'));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2].Title, rec.Title);
    EXPECT_EQ(list[2].Level, 255);
    EXPECT_EQ(list[2].Kind, -3);
    EXPECT_EQ(list[2].DataOffset, 0x01020304);
    EXPECT_EQ(list[2].Reserved, 77);

    rec.Title = std::string(256, 'x');
    EXPECT_THROW(EncodeContentsRecord(rec), std::length_error);
}

TEST(ContentsFile, TitleCleaning) {
    struct Case {
        const char* title;
        const char* cleaned;
    } cases[] = {
        {"&nbsp;&nbsp;Глава", "Глава"},
        {"A &amp; B", " B"}, // a reference in the middle takes the text before it
        {"AT&T", "AT&T"},    // "&" without ";" stays
        {"a;b&c", "b&c"},    // the first ";" goes, then no ";" is left
        {"semi;colon only", "semi;colon only"},
        {"&#171;Цитата&#187;", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CleanTitle(c.title), c.cleaned) << c.title;
}

TEST(ContentsTree, ShapeFollowsLevels) {
    struct Case {
        std::vector<int> levels;
        const char* shape;
    } cases[] = {
        {{0, 1, 1, 2, 0}, "0@0 1@1 2@1 3@2 4@0 |"},
        {{0, 2}, "0@0 | 1"},
        {{1, 1}, "0@0 1@1 |"}, // the first entry is always a top node
        {{0, 1, 2, 3, 1}, "0@0 1@1 2@2 3@3 4@1 |"},
        {{0, 1, 2, 0, 3, 1}, "0@0 1@1 2@2 3@0 5@1 | 4"},
        {{3, 0, 1}, "0@0 1@0 2@1 |"},
        {{}, "|"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Shape(BuildContentsTree(Entries(c.levels))), c.shape);
}

TEST(ContentsTree, NodesCarryUpperCaseTitlesParentsAndEntryMap) {
    std::vector<TContentsRec> list = Entries({0, 1, 1, 2, 0});
    list[1].Title = Utf8ToCp1251("ёлки и Sosny");
    list[2].Title = "Hidden !@#$% entry";
    list[3].ArticleNo = 42;
    const TContentsTree tree = BuildContentsTree(list);
    ASSERT_EQ(tree.Nodes.size(), 4u);
    EXPECT_EQ(Cp1251ToUtf8(tree.Nodes[1].Text), "ЁЛКИ И SOSNY");
    // Entry 2 is hidden; entry 3 (level 2) goes below the last node added, entry 1.
    EXPECT_EQ(tree.Nodes[2].Entry, 3);
    EXPECT_EQ(tree.Nodes[2].Parent, 1);
    EXPECT_EQ(tree.Nodes[2].ArticleNo, 42);
    EXPECT_EQ(tree.LeftOut, std::vector<int>{2});
    EXPECT_EQ(tree.NodeOfEntry, (std::vector<int>{0, 1, -1, 2, 3}));
    EXPECT_EQ(tree.TopNodes, (std::vector<int>{0, 3}));
    EXPECT_EQ(tree.Nodes[0].Children, (std::vector<int>{1}));
    EXPECT_EQ(tree.Nodes[1].Children, (std::vector<int>{2}));
}

TEST(ContentsTree, PreviousAndNextSkipTopLevelEntries) {
    struct Case {
        std::vector<int> levels;
        int current;
        int next;     // -1: nothing happens
        int previous; // -1: nothing happens
    } cases[] = {
        {{0, 1, 0, 1}, 1, 3, -1}, {{0, 1, 0, 1}, 3, -1, 1},
        {{0, 1, 2, 1}, 0, 1, -1}, {{0, 1, 2, 1}, 1, 2, -1},
        {{1, 1, 1}, 0, 1, -1},    {{1, 1, 1}, 2, -1, 1},
        {{0, 0, 0}, 1, -1, -1},   {{1, 0, 0, 1}, 3, -1, 0},
        {{0, 1}, 7, -1, 1}, // a position left over from a longer edition
        {{}, 0, -1, -1},
    };
    for (const Case& c : cases) {
        const auto list = Entries(c.levels);
        EXPECT_EQ(NextArticle(list, c.current).value_or(-1), c.next) << "from " << c.current;
        EXPECT_EQ(PreviousArticle(list, c.current).value_or(-1), c.previous)
            << "from " << c.current;
    }
}
