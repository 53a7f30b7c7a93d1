// The engine reading and writing through a failing file layer: every failure is an error that
// names the file, never a crash or a quietly wrong result.
#include "reader/core/ArticleStore.h"
#include "reader/core/BookCatalogue.h"
#include "reader/search/SearchQuery.h"

#include "EditionFixture.h"
#include "ExpectError.h"
#include "FaultFileSystem.h"

using namespace quarto;
using namespace quarto::test;

namespace {

class Faults : public ::testing::Test {
protected:
    Faults() {
        Folder = App.AddEdition("K", {{"edition.ini", Descriptor("K")},
                                      {"contents.txt", "1 a.htm Первая\n1 b.htm Вторая\n"},
                                      {"texts/a.htm", "<P>Звезда над лесом"},
                                      {"texts/b.htm", "<P>Луна над морем"}});
        EXPECT_TRUE(LoadContents(Folder, List));
    }
    TAppFolder App;
    std::string Folder;
    std::vector<TContentsRec> List;
    TFaultFileSystem Files;
};

TEST_F(Faults, ReadsThatFailOrComeBackShortAreErrorsNamingTheFile) {
    const TFileSystemScope scope(Files);
    // The second record's ciphertext comes back short.
    Files.ShortReadAt("cData.dat", List[1].DataOffset + 6);
    EXPECT_NO_THROW(ReadArticle(Folder, List, 0));
    ExpectThrowContaining<EFormatError>(
        [&] { ReadArticle(Folder, List, 1); },
        {"cData.dat", "смещение " + std::to_string(List[1].DataOffset), "не удаётся прочитать"});

    Files.FailReadAt("cContents.dat", 300);
    std::vector<TContentsRec> list;
    ExpectThrowContaining<EStreamError>([&] { LoadContents(Folder, list); }, {"cContents.dat"});

    Files.FailReadAt("FileIndex.rec", 0);
    ExpectThrowContaining<ESearchIndexError>([&] { SearchEdition(Folder, "луна", true, 2); },
                                             {"FileIndex.rec", "не удаётся прочитать"});
}

TEST_F(Faults, AnUnlistableBooksFolderFindsNoEdition) {
    const TFileSystemScope scope(Files);
    EXPECT_EQ(FindBooks(App.Folder()).size(), 1u);
    Files.FailListing("Books");
    EXPECT_TRUE(FindBooks(App.Folder()).empty());
}

TEST_F(Faults, MakeEditionStopsAtAFullDiskNamingTheFile) {
    const TFileSystemScope scope(Files);
    Files.NoSpaceAfter(100);
    ExpectThrowContaining<EStreamError>(
        [&] { MakeEdition(App.Path() / "src" / "K", App.Path() / "again"); },
        {"again", "на диске нет места"});
}

} // namespace
