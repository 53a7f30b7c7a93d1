// The installer's copy run without its window: a disc written by make-disc installed into a
// folder with Cyrillic names, then installed again over the first installation, as the setup
// core does it on every system (the Windows build runs this under wine).
#include "EditionFixture.h"
#include "common/EditionLayout.h"
#include "reader/core/ArticleStore.h"
#include "reader/core/BookCatalogue.h"
#include "reader/core/ContentsTree.h"
#include "setup/CopyMachinery.h"
#include "tools/DiscWriter.h"

using namespace quarto;
using namespace quarto::test;

namespace {

TEST(CopyRun, InstallsADiscIntoCyrillicFoldersAndOverAnEarlierInstallation) {
    TAppFolder app;
    WriteFiles(app.Path(), {{Layout::ReaderProgram(), "reader v1"},
                            {Layout::UninstallProgram(), "uninstaller v1"},
                            {"Skins/text.bmp", "paper"},
                            {"setup", "installer"}});
    const std::string edition = app.AddEdition(
        "Sky", {{"edition.ini", Descriptor("Sky")},
                {"contents.txt", "1 a.htm Полярная звезда\n"},
                {"texts/a.htm", "<P>Звезда над полюсом"}});
    TTempFolder scratch;
    const std::string disc = scratch.Path() / "Диск «Небо»";
    TDiscSource source;
    source.AppFolder = app.Path();
    source.SetupProgram = app.Path() / "setup";
    source.Editions = {edition};
    MakeDisc(source, disc);

    const std::string install = scratch.Path() / "Электронные книги" / "Quarto";
    for (const char* reader : {"reader v1", "reader v2"}) {
        WriteWholeFile(JoinPath(disc, Layout::ReaderProgram()), reader);
        MakeFolderChain(install);
        TCopyRun run(JoinPath(disc, ""), JoinPath(install, ""), false);
        const TCopyPlan plan = run.PlanOf({"Sky"});
        run.Count(plan);
        const TCopyResult result = run.Copy(plan);
        EXPECT_TRUE(result.ReaderCopied);
        EXPECT_EQ(result.TextsCopied, std::vector<bool>{true});
        EXPECT_TRUE(run.Failures.empty()) << run.Failures.front().Path();
        EXPECT_EQ(run.DoneFiles, run.TotalFiles);
        // The second run replaces the installed files in place, leaving no temporary copy.
        EXPECT_EQ(ReadWholeFile(JoinPath(install, Layout::ReaderProgram())), reader);
    }
    std::vector<std::string> installed = {"Base", "Books", "Skins", Layout::ReaderProgram(),
                                          Layout::UninstallProgram()};
    std::sort(installed.begin(), installed.end());
    EXPECT_EQ(ListFolder(install), installed);

    const std::vector<Tbook> books = FindBooks(install);
    ASSERT_EQ(books.size(), 1u);
    std::vector<TContentsRec> contents;
    LoadContents(books[0].BookFolder, contents);
    ASSERT_EQ(contents.size(), 1u);
    EXPECT_NE(ReadArticle(books[0].BookFolder, contents, 0)
                  .find(Utf8ToCp1251("Звезда над полюсом")),
              std::string::npos);
}

} // namespace
