#include "common/FileSystem.h"

#include "EditionFixture.h"
#include "ExpectError.h"
#include "FaultFileSystem.h"

#include <gtest/gtest.h>

using namespace quarto;
using namespace quarto::test;

class PathLookup : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFiles(Root, {{"Books/Key/cContents.dat", "x"},
                          {"Books/Key/Base/notes.htm", "x"},
                          {"Books/.hidden", "x"},
                          {"Books/Zfile", "x"}});
        CreateFolders(Root / "Books" / "Другая");
    }
    std::string R(const std::string& rest) const { return Root.string() + rest; }
    TTempFolder Temp;
    TPath Root = Temp.Path();
};

TEST_F(PathLookup, FoldsCaseOnEveryComponentAndAcceptsBothSeparators) {
    const std::string expected = (Root / "Books" / "Key" / "cContents.dat").string();
    EXPECT_EQ(ResolvePath(R("/Books/Key/cContents.dat")), expected);
    EXPECT_EQ(PathKey(ResolvePath(R("/books/KEY/ccontents.dat"))), PathKey(expected));
    EXPECT_EQ(PathKey(ResolvePath(R("\\BOOKS\\key\\CCONTENTS.DAT"))), PathKey(expected));
    EXPECT_EQ(ResolvePath(R("/Books//Key/./Base/../cContents.dat")),
              (Root / "Books" / "Key" / "cContents.dat").string());
    EXPECT_EQ(PathKey(ResolvePath(R("/Books/ДРУГАЯ"))), PathKey(Root / "Books" / "Другая"));
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

TEST_F(PathLookup, RelativePathsKeepTheirDotsAndResolveAgainstTheCurrentFolder) {
    EXPECT_EQ(ResolvePath("."), ".");
    EXPECT_EQ(ResolvePath(".."), "..");
    EXPECT_EQ(ResolvePath(R("/Books/Key/Base/../../..")), Root.string());
    EXPECT_EQ(ResolvePath("/.."), std::string(1, PathSeparator));
}

TEST(FileLayer, ReadsRangesWritesAndRemoves) {
    TTempFolder temp;
    const TPath file = temp.Path() / "a" / "b" / "data.bin";
    CreateFolders(file.parent_path());
    WriteWholeFile(file, "0123456789");
    TFileSystem& files = FileSystem();
    {
        // Closed before the file is replaced: Windows replaces no file that is mapped.
        const auto in = files.OpenForReading(file);
        EXPECT_EQ(in->Size(), 10);
        char buffer[8] = {};
        EXPECT_EQ(in->ReadAt(6, buffer, 8), 4u); // short only at the end
        EXPECT_EQ(std::string(buffer, 4), "6789");
        EXPECT_EQ(in->ReadAt(10, buffer, 8), 0u);
        const auto map = files.Map(file);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(map->Data()), map->Size()),
                  "0123456789");
    }
    WriteWholeFile(temp.Path() / "empty", "");
    EXPECT_EQ(files.Map(temp.Path() / "empty")->Size(), 0u);

    EXPECT_EQ(files.Stat(file).Kind, TEntryKind::File);
    EXPECT_EQ(files.Stat(file).Size, 10);
    EXPECT_EQ(files.Stat(file.parent_path()).Kind, TEntryKind::Folder);
    EXPECT_EQ(files.Stat(temp.Path() / "none").Kind, TEntryKind::None);
    EXPECT_EQ(TreeBytes(temp.Path()), 10);

    ReplaceWholeFile(file, "new");
    EXPECT_EQ(ReadWholeFile(file), "new");
    EXPECT_EQ(ListFolder(file.parent_path()), std::vector<std::string>{"data.bin"});
    files.CopyFile(file, temp.Path() / "copy.bin");
    EXPECT_EQ(ReadWholeFile(temp.Path() / "copy.bin"), "new");

    files.RemoveTree(temp.Path() / "a");
    EXPECT_FALSE(Exists(temp.Path() / "a"));
    ExpectThrowContaining<EStreamError>([&] { files.OpenForReading(file); },
                                        {"Не удаётся открыть файл", file.string()});
    ExpectThrowContaining<EStreamError>([&] { ReadWholeFile(temp.Path()); },
                                        {"это не файл"});
}

// The faults the tests inject reach the callers as the system's own failures would.
TEST(FaultFileSystem, InjectsReadWriteListAndRenameFaults) {
    TTempFolder temp;
    const TPath file = temp.Path() / "Books" / "data.bin";
    WriteFiles(temp.Path(), {{"Books/data.bin", "0123456789"}, {"Books/other.bin", "x"}});
    TFaultFileSystem faults;
    const TFileSystemScope scope(faults);

    faults.ShortReadAt("data.bin", 4);
    EXPECT_EQ(ReadWholeFile(file), "0123");
    EXPECT_EQ(ReadWholeFile(temp.Path() / "Books" / "other.bin"), "x");

    TFaultFileSystem failing;
    const TFileSystemScope inner(failing);
    failing.FailReadAt("Books/data.bin", 7);
    char buffer[4];
    const auto in = FileSystem().OpenForReading(file);
    EXPECT_EQ(in->ReadAt(0, buffer, 4), 4u);
    ExpectThrowContaining<EStreamError>([&] { in->ReadAt(4, buffer, 4); },
                                        {file.string(), "ошибка чтения или записи"});
    failing.FailOpen("other.bin");
    EXPECT_THROW(ReadWholeFile(temp.Path() / "Books" / "other.bin"), EStreamError);

    failing.FailListing(temp.Path() / "Books");
    EXPECT_TRUE(ListFolder(temp.Path() / "Books").empty());
    // Where names ignore letter case the system finds the file without a listing.
    EXPECT_EQ(PathKey(ResolvePath(temp.Path() / "Books" / "DATA.BIN")),
              PathSeparator == '\\' ? PathKey(file) : "");

    // A replaced file whose rename fails stays as it was, and no temporary is left.
    const TPath kept = temp.Path() / "kept.txt";
    WriteWholeFile(kept, "old");
    failing.FailRename("kept.txt");
    EXPECT_THROW(ReplaceWholeFile(kept, "new"), EStreamError);
    EXPECT_EQ(ReadWholeFile(kept), "old");
    EXPECT_FALSE(Exists(temp.Path() / "kept.txt.new"));

    // No space after 5 bytes: the write that passes it fails, naming the file.
    const std::int64_t before = failing.BytesWritten();
    failing.NoSpaceAfter(5);
    WriteWholeFile(temp.Path() / "small", "12345");
    ExpectThrowContaining<EStreamError>([&] { WriteWholeFile(temp.Path() / "big", "6"); },
                                        {"big", "на диске нет места"});
    EXPECT_EQ(failing.BytesWritten() - before, 5);
}

TEST(FileLayer, StampsTellAnEmptyOrChangedFileFromNone) {
    TTempFolder temp;
    const std::string file = (temp.Path() / "Voc.txt").string();
    const TFileStamp none = StampOf(file);
    EXPECT_FALSE(none.IsFile);
    EXPECT_EQ(StampOf(temp.Path().string()), none); // a folder is no file
    WriteWholeFile(file, "");
    const TFileStamp empty = StampOf(file);
    EXPECT_TRUE(empty.IsFile);
    EXPECT_EQ(empty.Size, 0);
    EXPECT_NE(empty, none);
    WriteWholeFile(file, "abc");
    const TFileStamp written = StampOf(file);
    EXPECT_EQ(written.Size, 3);
    EXPECT_NE(written, empty);
    EXPECT_EQ(StampOf(file), written);
}
