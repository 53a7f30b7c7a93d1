// The illustration catalogue: the title file's rules, the cell-to-entry rules, damaged
// catalogues mended without reading outside the data, failing reads, and the thumbnail data
// read again only when its files change.
#include "reader/media/Illustrations.h"
#include "common/Cp1251.h"
#include "common/JpegCodec.h"
#include "tools/PictureWriter.h"

#include "EditionFixture.h"
#include "ExpectError.h"
#include "FaultFileSystem.h"

using namespace quarto;
using namespace quarto::test;

namespace {

std::string W(const std::string& utf8) {
    return Utf8ToCp1251(utf8);
}

// Two headings, three entries, a cell per entry.
TPictureSet SmallSet() {
    TPictureSet set;
    set.Headings = {W("Мосты"), W("Реки")};
    set.Entries = {{"1", W("Мост@Вид с реки"), "Pic01.JPG"},
                   {"2", W("Река"), "pic02.jpg"},
                   {"1", W("Ещё мост"), W("МОСТ.jpg")}};
    set.FileLines = {"Pic01.JPG", "pic02.jpg", W("МОСТ.jpg")};
    set.CellLines = {0, 1, 2};
    set.Thumbnails = {"AAAA", "BB", "CCCCCC"};
    return set;
}

class Illustrations : public ::testing::Test {
protected:
    TIllustrations Write(const TPictureSet& set) {
        WritePictureSet(set, Folder.Path());
        return ReadIllustrations(Folder.Path());
    }
    std::string PicData(const std::string& name) { return Folder.Path() / "PicData" / name; }
    TTempFolder Folder;
};

TEST_F(Illustrations, TitleLinesSplitAtTheFirstAt) {
    const struct {
        const char* Line;
        const char* Title;
        const char* Text;
    } cases[] = {{"Мост@Вид с реки", "Мост", "Вид с реки"},
                 {"Мост", "Мост", ""},
                 {"@Вид", "", "Вид"},
                 {"Мост@Вид@Зима", "Мост", "Вид@Зима"}};
    TPictureSet set = SmallSet();
    set.Entries.clear();
    for (const auto& c : cases)
        set.Entries.push_back({"1", W(c.Line), "a.jpg"});
    const TIllustrations catalogue = Write(set);
    ASSERT_EQ(catalogue.PicInfo.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(catalogue.PicInfo[i].PicTitle, W(cases[i].Title)) << cases[i].Line;
        EXPECT_EQ(catalogue.PicInfo[i].PicText, W(cases[i].Text)) << cases[i].Line;
        EXPECT_EQ(catalogue.PicInfo[i].PicIndex, static_cast<int>(i));
    }
}

TEST_F(Illustrations, EntriesHeadingsAndLowering) {
    const TIllustrations catalogue = Write(SmallSet());
    EXPECT_TRUE(catalogue.HasTitles);
    EXPECT_TRUE(catalogue.Problems.empty());
    EXPECT_EQ(catalogue.Headings, (std::vector<std::string>{W("Мосты"), W("Реки")}));
    EXPECT_EQ(catalogue.EntriesOfHeading(1), (std::vector<int>{0, 2}));
    EXPECT_EQ(catalogue.EntriesOfHeading(2), (std::vector<int>{1}));
    // A–Z lowered, Cyrillic capitals kept.
    EXPECT_EQ(catalogue.PicInfo[0].PicFile, "pic01.jpg");
    EXPECT_EQ(catalogue.PicInfo[2].PicFile, W("МОСТ.jpg"));
    EXPECT_EQ(catalogue.PictureFiles[0], "Pic01.JPG"); // files.txt exactly as read
    for (int cell = 0; cell < 3; ++cell)
        EXPECT_EQ(EntryOfCell(catalogue, cell), cell);
    EXPECT_EQ(FindEntryByFile(catalogue, "PIC02.JPG"), 1);
    EXPECT_EQ(FindEntryByFile(catalogue, W("мост.jpg")), -1); // Cyrillic is not folded
    EXPECT_TRUE(EntryHasPictureLine(catalogue, 2));
    EXPECT_EQ(PictureNameOfLine(" \t pic 1.jpg\x01\r "), "pic 1.jpg");
}

TEST_F(Illustrations, LeftoverLinesAfterTheEntriesAreIgnored) {
    for (const std::size_t leftover : {1u, 2u}) {
        TPictureSet set = SmallSet();
        set.ExtraTitleLines.assign(leftover, "1");
        EXPECT_EQ(Write(set).PicInfo.size(), 3u) << leftover;
    }
}

TEST_F(Illustrations, SeparatorRules) {
    TPictureSet set = SmallSet();
    set.Headings = {"//// ", "Empty"}; // a trailing blank makes a heading
    TIllustrations catalogue = Write(set);
    EXPECT_EQ(catalogue.Headings.size(), 2u);
    EXPECT_EQ(catalogue.EntriesOfHeading(2), (std::vector<int>{1})); // "Empty" gets entry 1

    set.Headings.clear(); // separator first: no headings, every entry out of the tree
    catalogue = Write(set);
    EXPECT_TRUE(catalogue.Headings.empty());
    EXPECT_EQ(catalogue.PicInfo.size(), 3u);
    EXPECT_EQ(catalogue.HeadingOf, (std::vector<int>{0, 0, 0}));

    set = SmallSet();
    set.Headings.push_back("Без рисунков");
    EXPECT_TRUE(Write(set).EntriesOfHeading(3).empty());

    set.WriteSeparator = false;
    catalogue = Write(set);
    EXPECT_TRUE(catalogue.Headings.empty());
    EXPECT_TRUE(catalogue.PicInfo.empty());
    EXPECT_EQ(catalogue.CellFiles.size(), 3u); // the grid still has its cells
    ASSERT_EQ(catalogue.Problems.size(), 1u);
    EXPECT_NE(catalogue.Problems[0].find("Titles1.txt» нет строки-разделителя «////»"),
              std::string::npos)
        << catalogue.Problems[0];
}

TEST_F(Illustrations, HeadingNumbersThatNameNoHeadingLeaveTheEntryOutOfTheTree) {
    const struct {
        const char* Number;
        int Heading;
    } cases[] = {{"1", 1},  {"2", 2}, {" 2", 2}, {"+1", 1}, {"0", 0},          {"3", 0},
                 {"-1", 0}, {"x", 0}, {"1x", 0}, {"", 0},   {"99999999999", 0}};
    TPictureSet set = SmallSet();
    set.Entries.clear();
    for (const auto& c : cases)
        set.Entries.push_back({c.Number, "t", "a.jpg"});
    const TIllustrations catalogue = Write(set);
    ASSERT_EQ(catalogue.PicInfo.size(), std::size(cases)); // indices keep matching files.txt
    std::size_t left = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(catalogue.HeadingOf[i], cases[i].Heading) << "\"" << cases[i].Number << "\"";
        left += cases[i].Heading == 0;
    }
    EXPECT_EQ(catalogue.Problems.size(), left);
}

TEST_F(Illustrations, RecordCountsIgnoreAPartialRecord) {
    TPictureSet set = SmallSet();
    set.CellLines = {0, 1};
    set.CellTail = "X"; // PosID3.dat: 25 bytes
    set.Thumbnails.pop_back();
    set.OffsetTail = "XXXX"; // PosID2.dat: 20 bytes
    const TIllustrations catalogue = Write(set);
    EXPECT_EQ(FileSystem().Stat(PicData("PosID3.dat")).Size, 25);
    EXPECT_EQ(catalogue.CellFiles.size(), 2u);
    TThumbnailData thumbnails;
    thumbnails.Reload(Folder.Path());
    EXPECT_EQ(FileSystem().Stat(PicData("PosID2.dat")).Size, 20);
    EXPECT_EQ(thumbnails.Count(), 2);
}

TEST_F(Illustrations, WithoutTitlesTheGridStillHasItsCells) {
    WritePictureSet(SmallSet(), Folder.Path());
    FileSystem().Remove(PicData("Titles1.txt"));
    FileSystem().Remove(PicData("files.txt")); // not read without the titles
    const TIllustrations catalogue = ReadIllustrations(Folder.Path());
    EXPECT_FALSE(catalogue.HasTitles);
    EXPECT_TRUE(catalogue.PicInfo.empty());
    EXPECT_TRUE(catalogue.PictureFiles.empty());
    EXPECT_EQ(catalogue.CellFiles.size(), 3u);
    EXPECT_EQ(EntryOfCell(catalogue, 0), -1);
}

TEST_F(Illustrations, MissingOrFailingFilesAreErrorsNamingTheFile) {
    for (const char* name : {"files.txt", "PosID3.dat"}) {
        WritePictureSet(SmallSet(), Folder.Path());
        FileSystem().Remove(PicData(name));
        ExpectThrowContaining<EStreamError>([&] { ReadIllustrations(Folder.Path()); }, {name});
    }
    for (const char* name : {"PosID2.dat", "Data2.dat"}) {
        WritePictureSet(SmallSet(), Folder.Path());
        FileSystem().Remove(PicData(name));
        TThumbnailData thumbnails;
        ExpectThrowContaining<EStreamError>([&] { thumbnails.Reload(Folder.Path()); }, {name});
    }
    WritePictureSet(SmallSet(), Folder.Path());
    TFaultFileSystem files;
    const TFileSystemScope scope(files);
    files.FailReadAt("PosID3.dat", 12);
    ExpectThrowContaining<EStreamError>([&] { ReadIllustrations(Folder.Path()); },
                                        {"PosID3.dat", "ошибка чтения"});
    files.FailReadAt("Data2.dat", 5);
    TThumbnailData thumbnails;
    ExpectThrowContaining<EStreamError>([&] { thumbnails.Reload(Folder.Path()); },
                                        {"Data2.dat", "ошибка чтения"});
    EXPECT_EQ(thumbnails.Count(), 0);
}

TEST_F(Illustrations, DamagedCellsHaveNoThumbnailAndNoPicture) {
    TPictureSet set = SmallSet();
    set.Thumbnails = {"good", "a", "b", "c", "d", "e", "f"};
    // Data2.dat: records of 8, 5, 5, 5, 5, 5, 5 bytes: 38 bytes.
    set.OffsetOverrides = {{1, 38}, {2, 36}, {3, -4}};
    set.LengthOverrides = {{5, -1}, {6, 2}}; // the last record's length passes the end
    set.CellLines = {0, 3, -1, 1}; // PosID3.dat shorter than PosID2.dat; lines 3, -1 outside
    const TIllustrations catalogue = Write(set);
    TThumbnailData thumbnails;
    ASSERT_TRUE(thumbnails.Reload(Folder.Path()));
    ASSERT_EQ(thumbnails.DataSize(), 38u);
    ASSERT_EQ(thumbnails.Count(), 7);
    EXPECT_EQ(thumbnails.Bytes(0), "good");
    EXPECT_EQ(thumbnails.Bytes(4), "d");
    // Offset past the end, length prefix cut, negative offset, negative length, data past the
    // end.
    for (int k : {1, 2, 3, 5, 6}) {
        EXPECT_TRUE(thumbnails.Bytes(k).empty()) << k;
        EXPECT_FALSE(thumbnails.ProblemOf(k).empty()) << k;
    }
    EXPECT_TRUE(thumbnails.Bytes(7).empty());
    EXPECT_TRUE(thumbnails.Bytes(-1).empty());
    const int expected[] = {0, -1, -1, 1, -1, -1, -1, -1};
    for (int cell = 0; cell < 8; ++cell)
        EXPECT_EQ(EntryOfCell(catalogue, cell), expected[cell]) << cell;
    EXPECT_EQ(PictureLineOfCell(catalogue, 3), 1);
    EXPECT_EQ(PictureNameOfEntry(catalogue, 7), "");
}

TEST_F(Illustrations, ALineThatMatchesNoEntryHasNoEntry) {
    TPictureSet set = SmallSet();
    set.FileLines[1] = "other.jpg";
    set.Entries[2].FileLine = "Pic01.jpg"; // two entries name pic01.jpg: the first counts
    const TIllustrations catalogue = Write(set);
    EXPECT_EQ(EntryOfCell(catalogue, 1), -1);
    EXPECT_EQ(EntryOfCell(catalogue, 0), 0);
    EXPECT_FALSE(EntryHasPictureLine(catalogue, 1));
}

TEST_F(Illustrations, ThumbnailsAreReadAgainOnlyWhenTheirFilesChange) {
    WritePictureSet(SmallSet(), Folder.Path());
    TThumbnailData thumbnails;
    EXPECT_TRUE(thumbnails.Reload(Folder.Path()));
    {
        // Unchanged files are not opened again.
        TFaultFileSystem files;
        const TFileSystemScope scope(files);
        files.FailOpen("Data2.dat");
        files.FailOpen("PosID2.dat");
        EXPECT_FALSE(thumbnails.Reload(Folder.Path()));
    }
    EXPECT_EQ(thumbnails.Bytes(2), "CCCCCC");
    TPictureSet changed = SmallSet();
    changed.Thumbnails = {"Z", "YY", "XXXXXXX"}; // one byte longer
    WritePictureSet(changed, Folder.Path());
    EXPECT_TRUE(thumbnails.Reload(Folder.Path()));
    EXPECT_EQ(thumbnails.Bytes(2), "XXXXXXX");
    EXPECT_FALSE(thumbnails.Reload(Folder.Path()));
}

TEST_F(Illustrations, WrittenThumbnailsDecode) {
    TDibPicture picture = BlankPicture(300, 120);
    const TDibPicture thumbnail = DecodeJpeg(MakeThumbnail(picture));
    EXPECT_EQ(thumbnail.Width, 150);
    EXPECT_EQ(thumbnail.Height, 60);
    const TDibPicture small = DecodeJpeg(MakeThumbnail(BlankPicture(40, 90)));
    EXPECT_EQ(small.Width, 40); // never enlarged
    EXPECT_EQ(small.Height, 90);
}

} // namespace
