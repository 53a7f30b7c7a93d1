#include "common/FileSystem.h"

#include "common/RecordFile.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace quarto;
namespace fs = std::filesystem;

class PathLookup : public ::testing::Test {
protected:
    void SetUp() override {
        Root = fs::temp_directory_path() /
               ("quarto-path-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Root);
        fs::create_directories(Root / "Books" / "Key" / "Base");
        fs::create_directories(Root / "Books" / "Другая");
        WriteWholeFile((Root / "Books" / "Key" / "cContents.dat").string(), "x");
        WriteWholeFile((Root / "Books" / "Key" / "Base" / "notes.htm").string(), "x");
        WriteWholeFile((Root / "Books" / ".hidden").string(), "x");
        WriteWholeFile((Root / "Books" / "Zfile").string(), "x");
    }
    void TearDown() override { fs::remove_all(Root); }
    std::string R(const std::string& rest) const { return Root.string() + rest; }
    fs::path Root;
};

TEST_F(PathLookup, FoldsCaseOnEveryComponentAndAcceptsBothSeparators) {
    const std::string expected = (Root / "Books" / "Key" / "cContents.dat").string();
    EXPECT_EQ(ResolvePath(R("/Books/Key/cContents.dat")), expected);
    EXPECT_EQ(ResolvePath(R("/books/KEY/ccontents.dat")), expected);
    EXPECT_EQ(ResolvePath(R("\\BOOKS\\key\\CCONTENTS.DAT")), expected);
    EXPECT_EQ(ResolvePath(R("/Books//Key/./Base/../cContents.dat")),
              (Root / "Books" / "Key" / "cContents.dat").string());
    EXPECT_EQ(ResolvePath(R("/Books/ДРУГАЯ")), (Root / "Books" / "Другая").string());
    EXPECT_EQ(ResolvePath(R("/Books/Key/missing.dat")), "");
    EXPECT_EQ(ResolvePath(""), "");
}

TEST_F(PathLookup, ExistenceTestsTellFilesFromFolders) {
    EXPECT_TRUE(FileExists(R("/books/key/base/NOTES.HTM")));
    EXPECT_FALSE(FileExists(R("/books/key/base")));
    EXPECT_TRUE(FolderExists(R("/books/key/base")));
    EXPECT_FALSE(FolderExists(R("/books/key/base/notes.htm")));
}

TEST_F(PathLookup, ListingIsSortedAndSkipsHiddenEntries) {
    EXPECT_EQ(ListFolder(R("/books")), (std::vector<std::string>{"Key", "Zfile", "Другая"}));
    EXPECT_TRUE(ListFolder(R("/nothing")).empty());
}

TEST(PathJoin, DoesNotDoubleSeparators) {
    EXPECT_EQ(JoinPath("a", "b"), std::string("a") + PathSeparator + "b");
    EXPECT_EQ(JoinPath("a/", "b"), "a/b");
    EXPECT_EQ(JoinPath("a", ""), std::string("a") + PathSeparator);
}
