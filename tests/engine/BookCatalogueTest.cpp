#include "reader/core/BookCatalogue.h"

#include "EditionFixture.h"
#include "common/Cp1251.h"

using namespace quarto;
using namespace quarto::test;

namespace {
// A bare edition folder: a descriptor (1251) and an empty contents file.
TFiles Folder(const std::string& name, const std::string& setup, bool contents = true) {
    TFiles files = {{"Books/" + name + "/setup.inf", Utf8ToCp1251(setup)}};
    if (contents)
        files.push_back({"Books/" + name + "/ccontents.dat", ""});
    return files;
}
} // namespace

TEST(BookCatalogue, ListsQualifyingFoldersSortedByName) {
    TTempFolder app;
    for (const TFiles& f :
         {Folder("b", "[Main]\nRegKey=B"), Folder("C", "[Main]\nRegKey=C"),
          Folder("a", "[Main]\nRegKey=A", false), Folder(".d", "[Main]\nRegKey=D")})
        WriteFiles(app.Path(), f);
    WriteFiles(app.Path(), {{"Books/plainfile", "x"},
                            {"Books/e/SETUP.INF", "[Main]\nRegKey=E"},
                            {"Books/e/CCONTENTS.DAT", ""}});
    const std::vector<Tbook> books = FindBooks(app.Path().string() + "/");
    std::vector<std::string> keys;
    for (const Tbook& b : books)
        keys.push_back(b.RegKey);
    EXPECT_EQ(keys, (std::vector<std::string>{"C", "B", "E"})); // byte order: capitals first
    EXPECT_EQ(books[0].BookFolder, (app.Path() / "Books" / "C").string());
    EXPECT_TRUE(FindBooks(app.Path().string() + "/nothing/").empty());
}

TEST(BookCatalogue, DescriptorDefaultsAndDisplayName) {
    TTempFolder app;
    WriteFiles(app.Path(), Folder("one", "[Main]\nTitle=Только заголовок\n"));
    WriteFiles(app.Path(), Folder("two", "; nothing useful\n"));
    const std::vector<Tbook> books = FindBooks(app.Path().string() + "/");
    ASSERT_EQ(books.size(), 2u);
    EXPECT_EQ(Cp1251ToUtf8(books[0].DisplayName), "Только заголовок - !!!Не указано!!!");
    EXPECT_EQ(Cp1251ToUtf8(books[1].DisplayName), "!!!Не указано!!! - !!!Не указано!!!");
    EXPECT_EQ(books[1].RegKey, "empty");
}

TEST(BookCatalogue, AnOptionIsOnOnlyForTheIntegerOne) {
    struct Case {
        const char* line;
        bool on;
    } cases[] = {{"Pictures=1", true},  {"Pictures=0x1", true},
                 {"Pictures=$1", true}, {"Pictures=\"1\"", true},
                 {"Pictures=2", false}, {"Pictures=yes", false},
                 {"Pictures=0", false}, {"", false}};
    for (const Case& c : cases) {
        TTempFolder app;
        WriteFiles(app.Path(), Folder("x", std::string("[Options]\n") + c.line + "\n"));
        const Tbook book = FindBooks(app.Path().string() + "/").at(0);
        EXPECT_EQ(book.Pictures, c.on) << c.line;
        EXPECT_FALSE(book.Audio || book.Music || book.Video || book.UTF || book.BR) << c.line;
    }
}

TEST(BookCatalogue, EveryOptionIsReadAndNamedInOrder) {
    TTempFolder app;
    WriteFiles(app.Path(),
               Folder("x", "[options]\nbr=1\nUTF=1\nVideo=1\nMusic=1\nPictures=1\nAudio=1\n"));
    const Tbook book = FindBooks(app.Path().string() + "/").at(0);
    EXPECT_EQ(BookOptionNames(book), "Audio,Pictures,Music,Video,UTF,BR");
    Tbook some;
    some.Music = some.BR = true;
    EXPECT_EQ(BookOptionNames(some), "Music,BR");
    EXPECT_EQ(BookOptionNames(Tbook{}), "-");
}

TEST(BookCatalogue, KeysMatchExactlyAndTheFirstOfEqualKeysWins) {
    std::vector<Tbook> books(3);
    books[0].RegKey = "alpha";
    books[1].RegKey = "Beta";
    books[2].RegKey = "Beta";
    EXPECT_EQ(FindBookByKey(books, "Beta"), 1);
    EXPECT_EQ(FindBookByKey(books, "beta"), -1);
    EXPECT_EQ(FindBookByKey(books, ""), -1);
}
