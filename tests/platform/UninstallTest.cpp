// The uninstaller's removal: only a reader installation goes, never a root or the home.
#include "common/FileSystem.h"
#include "platform/PlatformFakes.h"
#include "setup/CopyMachinery.h"
#include "setup/UninstallCore.h"

#include "EditionFixture.h"

#include <algorithm>
#include <cstdlib>

using namespace quarto;
using namespace quarto::test;

namespace {

// A scratch folder as the user's home for one test.
class THome {
public:
    THome() {
        if (const char* home = std::getenv("HOME"))
            FSaved = home;
        setenv("HOME", Path().c_str(), 1);
    }
    ~THome() { setenv("HOME", FSaved.c_str(), 1); }
    std::string Path() const { return Above() + "/home"; }
    std::string Above() const { return SystemFileSystem().AbsolutePath(FTemp.Path().string()); }

private:
    TTempFolder FTemp;
    std::string FSaved;
};

} // namespace

TEST(Uninstall, OnlyAnInstallationIsRemovable) {
    THome home;
    const std::string reader = Layout::ReaderProgram();
    WriteFiles(home.Path(), {{"Zelvane/Quarto/" + reader, "r"},
                             {"Zelvane/Quarto/Books/K/cData.dat", "d"},
                             {"Zelvane/Other/readme", "r"},
                             {reader, "a reader in the home itself"}});
    WriteFiles(home.Above(), {{reader, "a reader above the home"}});
    const std::string h = home.Path();
    const struct {
        std::string Folder;
        bool Removable;
    } cases[] = {
        {h + "/Zelvane/Quarto/", true},
        {h + "/Zelvane/Quarto", true},
        {h + "/Zelvane/./Other/../Quarto/", true},
        {h + "/Zelvane/Other/", false},           // no reader in it
        {h + "/Zelvane/Quarto/" + reader, false}, // not a folder
        {h + "/Elsewhere/Quarto/", false},        // not there
        {h, false},                               // the home
        {h + "/", false},                         //
        {home.Above(), false},                    // above the home
        {"/", false},                             // a root
        {"", false},                              //
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsRemovableInstallation(c.Folder), c.Removable) << c.Folder;
}

TEST(Uninstall, RemovesTheFolderTheRecordAndTheShortcuts) {
    THome home;
    const std::string reader = Layout::ReaderProgram();
    const struct {
        std::string Install;
        bool Reader;                   // the reader program is in the folder
        TFiles Beside;                 // files of the user beside the installation
        std::vector<std::string> Left; // what is left in the home afterwards
    } cases[] = {
        {"Zelvane/Quarto/", true, {}, {}}, // the emptied parent goes too
        {"Zelvane/Quarto/", true, {{"Zelvane/mine", "m"}}, {"Zelvane/", "Zelvane/mine"}},
        {"Quarto/", true, {}, {}}, // the home stays, though emptied
        {"Gone/Quarto/",
         false,
         {},
         {"Gone/", "Gone/Quarto/", "Gone/Quarto/Books/", "Gone/Quarto/Books/cData.dat"}},
    };
    for (const auto& c : cases) {
        FileSystem().RemoveTree(home.Path());
        CreateFolders(home.Path());
        WriteFiles(home.Path(), c.Beside);
        WriteFiles(home.Path(), {{c.Install + "Books/cData.dat", "d"}});
        if (c.Reader)
            WriteFiles(home.Path(), {{c.Install + reader, "r"}, {c.Install + "uninstall", "u"}});
        TFakeRecordState recordState{TInstallRecordValues{home.Path() + "/" + c.Install, 1}};
        TFakeShortcutsState shortcutState;
        TFakeInstallRecord record(recordState);
        TFakeShortcuts shortcuts(shortcutState);
        shortcuts.CreateShortcut("/q/Quarto", "Книга - Том", "K");

        EXPECT_EQ(RemoveInstallation(recordState.Values->Path, record, shortcuts), c.Reader);
        EXPECT_EQ(EntriesBelow(home.Path()), c.Left) << c.Install;
        EXPECT_EQ(FileSystem().Stat(home.Path()).Kind, TEntryKind::Folder) << c.Install;
        // The record and the menu group go in every case.
        EXPECT_FALSE(recordState.Values.has_value());
        EXPECT_TRUE(shortcutState.Links.empty());
    }
}
