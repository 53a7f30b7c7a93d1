// The word index: writing it, reading it, evaluating queries and the results tree.
#include "reader/search/SearchQuery.h"
#include "reader/search/SearchResults.h"

#include "EditionFixture.h"
#include "common/Cp1251.h"
#include "tools/IndexWriter.h"

using namespace quarto;
using namespace quarto::test;

namespace {

std::string W(const char* utf8) {
    return Utf8ToCp1251(utf8);
}

std::vector<std::int32_t> V(std::initializer_list<std::int32_t> values) {
    return values;
}

// An edition of six articles whose words are known; the index is what make-edition writes.
class TSearchEdition {
public:
    TSearchEdition() {
        const char* const texts[] = {
            /* 0 */ "<P>Яркая звезда над морем. Луна всходит.",
            /* 1 */ "<P>Луна и звезда далеко друг от друга: звезда светит, а где-то звезда, луна.",
            /* 2 */ "<P>Телескоп &nbsp;на северо-востоке. Звездный каталог ab.",
            /* 3 */ "<P>Звёзды и звездочки. <B>Яркая</B> звезда.",
            /* 4 */ "<P>Северо-восток и луна.",
            /* 5 */ "<P>Ничего общего.",
        };
        TFiles files = {{"edition.ini", Descriptor("S")}};
        std::string contents;
        for (int i = 0; i < 6; ++i) {
            contents += "1 a" + std::to_string(i) + ".htm T" + std::to_string(i) + "\n";
            files.push_back({"texts/a" + std::to_string(i) + ".htm", texts[i]});
        }
        files.push_back({"contents.txt", contents});
        Folder = App.AddEdition("S", files);
    }
    std::vector<std::int32_t> Search(const char* query, bool adjacent = false) {
        return SearchEdition(Folder, NormalizeQuery(W(query)), adjacent, 6);
    }
    TAppFolder App;
    std::string Folder;
};

} // namespace

TEST(Search, IndexWordsAreLetterAndDigitRunsOutsideMarkup) {
    const std::vector<std::string> words =
        IndexWords(W("<P CLASS=\"x\">Ёж, 2024-й год: северо-восток &nbsp;&#171;Cat&amp;Dog - no"));
    const std::vector<std::string> expected = {W("ёж"), W("2024\"й"), W("год"), W("северо\"восток"),
                                               "cat",   "dog",        "no"};
    EXPECT_EQ(words, expected);
    EXPECT_EQ(IndexWords(W("a < b")), (std::vector<std::string>{"a", "b"})); // a lone "<"
}

TEST(Search, NormalizingAndQueryWords) {
    EXPECT_EQ(NormalizeQuery("a,b.c:d;e-f"), "a b c d e\"f");
    EXPECT_EQ(QueryWords(W("  Звезда И луна ИЛИ the ум звезд*  ")), W("Звезда луна ум звезд*"));
    EXPECT_EQ(QueryWords(W("и или the")), "");
    EXPECT_TRUE(IsStopWord(W("КОТОРЫЙ")));
    EXPECT_TRUE(IsStopWord("The"));
    EXPECT_FALSE(IsStopWord(W("звезда")));
    EXPECT_EQ(StopWords().size(), 132u);
}

TEST(Search, QuerySemantics) {
    TSearchEdition e;
    struct TCase {
        const char* Query;
        bool Adjacent;
        std::vector<std::int32_t> Hits;
    };
    const TCase cases[] = {
        {"звезда", false, V({0, 1, 3})},
        {"ЗВЕЗДА", false, V({0, 1, 3})},   // Cyrillic capitals are lower-cased
        {"звезда луна", false, V({0, 1})}, // AND by default
        {"звезда и луна", false, V({0, 1})},
        {"звезда ИЛИ луна", false, V({0, 1, 3, 4})},
        {"звезда или луна", false, V({0, 1, 3, 4})},
        {"звезда ИЛИ луна яркая", false, V({0, 3})}, // (звезда OR луна) AND яркая
        {"И звезда луна ИЛИ", false, V({0, 1})},     // operators at the ends do nothing
        {"звезда И ИЛИ телескоп", false, V({0, 1, 2, 3})}, // the second operator wins
        {"the and и или он", false, V({})},                // nothing is searched
        {"на звезда", false, V({0, 1, 3})},                // short Russian words are not searched
        {"AB", false, V({2})},                             // a two-letter Latin word is
        {"звезд*", false, V({0, 1, 2, 3})},                // a prefix
        {"*", false, V({})},                               // a lone "*" finds nothing
        {"северо-восток", false, V({4})},                  // the hyphen is a double quote
        {"звезда,луна", false, V({0, 1})},                 // punctuation separates words
        {"яркая звезда", true, V({0, 3})},                 // side by side
        {"звезда яркая", true, V({0, 3})},                 // in either order
        {"звезда луна", true, V({1})},                     // only article 1 has them side by side
        {"луна звезда", false, V({0, 1})},
        {"звезда", true, V({0, 1, 3})},             // one word is never filtered
        {"яркая ИЛИ телескоп звезда", true, V({})}, // every word needs a neighbour
    };
    for (const TCase& c : cases)
        EXPECT_EQ(e.Search(c.Query, c.Adjacent), c.Hits)
            << c.Query << (c.Adjacent ? " adjacent" : "");
}

namespace {

// Index files written byte by byte.
struct TIndexFiles {
    std::string Vocabulary;
    std::vector<std::int32_t> Starts;
    std::vector<std::uint16_t> Articles;
    std::string Positions;
    void Write(const TPath& folder) const {
        std::string starts, articles;
        for (std::int32_t s : Starts)
            AppendLE32(starts, static_cast<std::uint32_t>(s));
        for (std::uint16_t a : Articles)
            AppendLE16(articles, a);
        WriteFiles(folder, {{"Voc.txt", Vocabulary},
                            {"Pos.rec", starts},
                            {"FileIndex.rec", articles},
                            {"InnerBase.dat", Positions}});
    }
};

std::string Ints(std::initializer_list<std::int32_t> values) {
    std::string out;
    for (std::int32_t v : values)
        AppendLE32(out, static_cast<std::uint32_t>(v));
    return out;
}

} // namespace

TEST(Search, ReadingTheIndexFiles) {
    TTempFolder folder;
    // Lines: "moon", "Sun", "звезда", "Звезда" (never found), "moon" again, "empty", "last".
    TIndexFiles files;
    files.Vocabulary = W("moon\r\nSun\nзвезда\rЗвезда\r\nmoon\r\nempty\r\nlast\r\n");
    files.Starts = {0, 2, 3, 4, 5, 6, 6, 999};
    files.Articles = {1, 0, 2, 3, 4, 0, 7, 5};
    files.Write(folder.Path());
    TSearchIndex index(folder.Path().string());
    index.LoadVocabulary();
    ASSERT_EQ(index.VocabularySize(), 7);
    std::vector<std::int32_t> m;
    index.MatchVocabulary("MOON", m);
    EXPECT_EQ(m, V({0, 4})); // duplicate lines both match
    index.MatchVocabulary("sun", m);
    EXPECT_EQ(m, V({1}));
    index.MatchVocabulary(W("ЗВЕЗДА"), m);
    EXPECT_EQ(m, V({2}));
    index.MatchVocabulary("m*", m);
    EXPECT_EQ(m, V({0, 4}));

    index.OpenPostings();
    const auto postings = [&](std::int32_t i) {
        std::vector<std::int32_t> out;
        index.ReadPostings(i, 10, out);
        return out;
    };
    EXPECT_EQ(postings(0), V({1, 0}));
    EXPECT_EQ(postings(5), V({}));                                // start equals the next start
    EXPECT_EQ(postings(6), V({7, 5}));                            // the last line runs to the end
    EXPECT_THROW(index.ReadPostings(6, 7, m), ESearchIndexError); // article 7 has no entry
}

TEST(Search, ArticlePositions) {
    TTempFolder folder;
    TIndexFiles files;
    files.Vocabulary = "a\r\nb\r\n";
    files.Starts = {0, 1};
    files.Articles = {0, 0};
    // Bytes 0..3 anything; article 0's record at 12: two entries, "a" at 0 and 5, "b" at 1;
    // a second entry of "a" is not used.
    files.Positions = Ints({-7, 12, 0, 3, 3, 0, 0, 5, 2, 1, 1, 2, 0, 9});
    files.Write(folder.Path());
    TSearchIndex index(folder.Path().string());
    index.LoadVocabulary();
    index.OpenPositions();
    const TArticlePositions entries = index.ReadArticlePositions(0);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], V({0, 0, 5}));
    EXPECT_EQ(entries[1], V({1, 1}));
    const auto found = index.ReadWordPositions(0, {{0, 0}, {1, 1}}, 2);
    EXPECT_EQ(found[0], V({0, 5}));
    EXPECT_EQ(found[1], V({1}));
}

TEST(Search, DamagedIndexFilesAreReportedByName) {
    struct TCase {
        const char* Name;
        std::function<void(TIndexFiles&)> Damage;
        const char* File;
    };
    const TCase cases[] = {
        {"too few starts", [](TIndexFiles& f) { f.Starts.pop_back(); }, "Pos.rec"},
        {"start outside", [](TIndexFiles& f) { f.Starts[0] = -5; }, "Pos.rec"},
        {"end beyond", [](TIndexFiles& f) { f.Starts[1] = 99; }, "Pos.rec"},
        {"article without entry", [](TIndexFiles& f) { f.Articles[0] = 40; }, "FileIndex.rec"},
        {"record offset outside",
         [](TIndexFiles& f) {
             f.Positions = Ints({0, 4000});
         },
         "InnerBase.dat"},
        {"no offset slot", [](TIndexFiles& f) { f.Positions = Ints({0}); }, "InnerBase.dat"},
        {"absurd entry count",
         [](TIndexFiles& f) {
             f.Positions = Ints({0, 8, 1000000});
         },
         "InnerBase.dat"},
        {"entry with n = 0",
         [](TIndexFiles& f) {
             f.Positions = Ints({0, 8, 2, 0, 0});
         },
         "InnerBase.dat"},
        {"entry past the end",
         [](TIndexFiles& f) {
             f.Positions = Ints({0, 8, 1, 50, 0});
         },
         "InnerBase.dat"},
    };
    for (const TCase& c : cases) {
        TTempFolder folder;
        TIndexFiles files;
        files.Vocabulary = "alpha\r\nbeta\r\n";
        files.Starts = {0, 1};
        files.Articles = {0, 0};
        files.Positions = Ints({0, 8, 2, 2, 0, 0, 2, 1, 1});
        c.Damage(files);
        files.Write(folder.Path());
        try {
            SearchEdition(folder.Path().string(), "alpha beta", true, 3);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const ESearchIndexError& e) {
            EXPECT_NE(std::string(e.what()).find(c.File), std::string::npos)
                << c.Name << ": " << e.what();
        }
    }
    // A missing file.
    TTempFolder empty;
    EXPECT_THROW(SearchEdition(empty.Path().string(), "alpha", false, 1), ESearchIndexError);
}

TEST(Search, ListAlgebra) {
    const auto list = [](std::initializer_list<std::int32_t> values) {
        TrsDynLongint l;
        for (std::int32_t v : values)
            l.Add(v);
        return l;
    };
    const auto values = [](const TrsDynLongint& l) {
        std::vector<std::int32_t> out;
        for (std::int32_t i = 0; i < l.Count(); ++i)
            out.push_back(l[i]);
        return out;
    };
    TrsDynLongint a = list({5, 1, 5, 3});
    SortUnique(a);
    EXPECT_EQ(values(a), V({1, 3, 5}));
    TrsDynLongint b = list({4, 3, 9});
    UniteInto(a, b);
    EXPECT_EQ(values(a), V({1, 3, 4, 5, 9}));
    TrsDynLongint c = list({9, 2, 9, 4});
    IntersectInto(a, c);
    EXPECT_EQ(values(a), V({4, 9}));
    TrsDynLongint none;
    IntersectInto(a, none);
    EXPECT_EQ(a.Count(), 0);
}

TEST(Search, ResultTreeMirrorsTheContentsTree) {
    // Levels: 0 A, 1 B, 2 C, 1 B (same text as its sibling), 0 D, 2 E (left out: a jump),
    // 1 hidden "!@#$%".
    std::vector<TContentsRec> list;
    const std::pair<int, const char*> entries[] = {{0, "A"}, {1, "B"}, {2, "C"},        {1, "B"},
                                                   {0, "D"}, {2, "E"}, {1, "x !@#$% y"}};
    for (std::size_t i = 0; i < std::size(entries); ++i) {
        TContentsRec rec;
        rec.ArticleNo = static_cast<std::int32_t>(i);
        rec.Level = static_cast<std::uint8_t>(entries[i].first);
        rec.Title = entries[i].second;
        list.push_back(rec);
    }
    const TContentsTree tree = BuildContentsTree(list);
    const TResultTree result = BuildResultTree(list, tree, {2, 3, 5, 6});
    ASSERT_FALSE(result.Nodes.empty());
    EXPECT_EQ(result.Nodes[0].Text, W("НАЙДЕНО 4")); // the hidden hit is counted
    // Root: A (B (C)), E listed on its own; the second B shares the first B's node.
    const auto text = [&](int n) { return result.Nodes[static_cast<std::size_t>(n)].Text; };
    const auto& root = result.Nodes[0];
    ASSERT_EQ(root.Children.size(), 2u);
    const TResultNode& a = result.Nodes[static_cast<std::size_t>(root.Children[0])];
    EXPECT_EQ(a.Text, "A");
    EXPECT_EQ(a.Article, 0);
    ASSERT_EQ(a.Children.size(), 1u);
    const TResultNode& b = result.Nodes[static_cast<std::size_t>(a.Children[0])];
    EXPECT_EQ(b.Article, 1); // made for the first B
    ASSERT_EQ(b.Children.size(), 1u);
    EXPECT_EQ(text(b.Children[0]), "C");
    EXPECT_EQ(result.Nodes[static_cast<std::size_t>(b.Children[0])].Article, 2);
    EXPECT_EQ(text(root.Children[1]), "E");
    EXPECT_EQ(result.Nodes[static_cast<std::size_t>(root.Children[1])].Article, 5);
    EXPECT_EQ(result.HitTitles.size(), 3u);
    EXPECT_EQ(result.Depth(b.Children[0]), 3);
    EXPECT_TRUE(BuildResultTree(list, tree, {}).Nodes.empty());
}
