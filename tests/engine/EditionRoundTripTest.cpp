// Editions written by make-edition and read back through the engine.
#include "EditionFixture.h"
#include "common/Cp1251.h"
#include "reader/core/ArticleStore.h"
#include "reader/core/BookCatalogue.h"
#include "reader/core/ContentsTree.h"

using namespace quarto;
using namespace quarto::test;

TEST(EditionRoundTrip, AwkwardEntriesAreWrittenAsGiven) {
    TAppFolder app;
    const std::string folder =
        app.AddEdition("Awk", {{"edition.ini", "[Main]\nTitle=Книга\nTitle2=\nRegKey=Awk\n"},
                               {"contents.txt", "# comment\n"
                                                "0 - Раздел\n"
                                                "\n"
                                                "2 deep.htm Слишком глубоко\n"
                                                "1 kind=5 odd.htm Вид пять\n"
                                                "1 hidden.txt Скрытая !@#$% статья\n"
                                                "1 bare short.htm &nbsp;&nbsp;Короткая\n"
                                                "  1\tnotitle.htm\n"},
                               {"texts/deep.htm", "<P>Глубоко"},
                               {"texts/odd.htm", "odd"},
                               {"texts/hidden.txt", "plain"},
                               {"texts/short.htm", "ab"},
                               {"texts/notitle.htm", "\xEF\xBB\xBFno title"},
                               {"Base/about.htm", "<P>О книге"},
                               {"Base/pics/p.jpg", std::string("\xFF\xD8\xFF\x00\xD0\x81", 6)}});

    const Tbook book = ReadBookDescriptor(folder);
    EXPECT_EQ(Cp1251ToUtf8(book.DisplayName), "Книга - ");
    EXPECT_EQ(book.RegKey, "Awk");

    std::vector<TContentsRec> list;
    ASSERT_TRUE(LoadContents(folder, list));
    ASSERT_EQ(list.size(), 6u);
    const int levels[] = {0, 2, 1, 1, 1, 1};
    const int kinds[] = {1, 1, 5, 0, 1, 1};
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].ArticleNo, static_cast<int>(i));
        EXPECT_EQ(list[i].Level, levels[i]) << i;
        EXPECT_EQ(list[i].Kind, kinds[i]) << i;
        if (i > 0) {
            EXPECT_GT(list[i].DataOffset, list[i - 1].DataOffset);
        }
    }
    EXPECT_EQ(Cp1251ToUtf8(list[0].Title), "Раздел");
    EXPECT_EQ(Cp1251ToUtf8(list[4].Title), "Короткая"); // cleaned as the reader reads it
    EXPECT_EQ(list[5].Title, "");

    const TContentsTree tree = BuildContentsTree(list);
    EXPECT_EQ(tree.LeftOut, (std::vector<int>{1, 3}));

    EXPECT_EQ(Cp1251ToUtf8(ReadArticle(folder, list, 1)), "<P>Глубоко    ");
    EXPECT_EQ(ReadArticle(folder, list, 2), "");
    EXPECT_EQ(ReadArticle(folder, list, 4), "ab");
    EXPECT_EQ(ReadArticle(folder, list, 5), "no title    ");

    EXPECT_EQ(ReadWholeFile(folder + "/Base/about.htm"), Utf8ToCp1251("<P>О книге"));
    EXPECT_EQ(ReadWholeFile(folder + "/Base/pics/p.jpg"),
              std::string("\xFF\xD8\xFF\x00\xD0\x81", 6));
}

TEST(EditionRoundTrip, UtfEditionsKeepUtf8Texts) {
    TAppFolder app;
    const std::string folder = app.AddEdition("U", {{"edition.ini", Descriptor("U", "UTF=1\n")},
                                                    {"contents.txt", "1 a.htm Статья\n"},
                                                    {"texts/a.htm", "<P>Звёзды ★"},
                                                    {"Base/about.htm", "<P>О книге ★"}});
    std::vector<TContentsRec> list;
    ASSERT_TRUE(LoadContents(folder, list));
    EXPECT_EQ(Cp1251ToUtf8(list[0].Title), "Статья"); // titles are always 1251
    EXPECT_EQ(ReadArticle(folder, list, 0), "<P>Звёзды ★    ");
    EXPECT_EQ(ReadWholeFile(folder + "/Base/about.htm"), "<P>О книге ★");
    EXPECT_TRUE(ReadBookDescriptor(folder).UTF);
}

TEST(EditionRoundTrip, SourceErrorsNameTheFileAndLine) {
    struct Case {
        std::string_view outline;
        const char* text;
        const char* message;
    } cases[] = {
        {"x a.htm T\n", "a", "contents.txt, line 1: the level \"x\" is not a number"},
        {"\n256 a.htm T\n", "a", "contents.txt, line 2: the level \"256\""},
        {"-1 a.htm T\n", "a", "contents.txt, line 1: the level \"-1\""},
        {"1\n", "a", "contents.txt, line 1: the file name is missing"},
        {"1 kind=abc a.htm\n", "a", "contents.txt, line 1: \"kind=abc\""},
        {"1 b.htm T\n", "a", "contents.txt, line 1: "},
        {"1 a.htm Звезда ★\n", "a", "contents.txt, line 1: not UTF-8, or a character"},
        {"1 a.htm T\n", "ok\nstill ok\n★\n", "a.htm, line 3: not UTF-8, or a character"},
        {"1 a.htm T\n", "bad \xC0 byte", "a.htm, line 1: not UTF-8"},
        {std::string_view("# \0 ok\n1 a.htm T\0x\n", 19), "a", "contents.txt, line 2: a NUL byte"},
    };
    for (const Case& c : cases) {
        TAppFolder app;
        try {
            app.AddEdition("E", {{"edition.ini", Descriptor("E")},
                                 {"contents.txt", std::string(c.outline)},
                                 {"texts/a.htm", c.text}});
            ADD_FAILURE() << "no error for: " << c.message;
        } catch (const EEditionSourceError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(EditionRoundTrip, MissingSourceFilesAreReported) {
    TTempFolder temp;
    EXPECT_THROW(MakeEdition((temp.Path() / "none").string(), (temp.Path() / "out").string()),
                 EEditionSourceError);
    WriteFiles(temp.Path() / "src", {{"contents.txt", "1 - T\n"}});
    EXPECT_THROW(MakeEdition((temp.Path() / "src").string(), (temp.Path() / "out").string()),
                 EEditionSourceError);
}
