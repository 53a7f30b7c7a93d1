// The Windows services without a window, run for real: the installation record in the
// registry, free space, the menu group's shell links and the CD-ROM drives. They change the
// user's registry and Start menu, so they run only in a wine prefix of the build's own, where
// the build has also made a CD-ROM drive over a folder (QUARTO_WINE_CD_DRIVE).
#include "platform/DiscDrives.h"
#include "platform/DiscLookup.h"
#include "platform/FreeSpace.h"
#include "platform/InstallRecord.h"
#include "platform/Shortcuts.h"

#include "EditionFixture.h"

#include <cstdlib>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

using namespace quarto;
using namespace quarto::test;

namespace {

#ifndef QUARTO_WINE_CD_DRIVE
#define SKIP_OUTSIDE_WINE() GTEST_SKIP() << "only in the wine prefix of a cross build"
#else
#define SKIP_OUTSIDE_WINE() (void)0
#endif

TEST(WindowsRecord, RoundTripsCyrillicPathsAndReadsEitherKindOfSubVersion) {
    SKIP_OUTSIDE_WINE();
    const auto record = MakeInstallRecord();
    record->Remove();
    EXPECT_FALSE(record->Read("C:\\default").has_value());

    const std::string path = "C:\\Программы\\Электронные книги";
    ASSERT_TRUE(record->Write({path, 3}));
    auto values = record->Read("C:\\default");
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->Path, path);
    EXPECT_EQ(values->SubVersion, 3);

    // A record written by hand: SubVersion as text, no Path.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Zelvane\\Quarto", 0, KEY_SET_VALUE,
                            &key),
              ERROR_SUCCESS);
    const wchar_t text[] = L"7";
    RegSetValueExW(key, L"SubVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   sizeof text);
    RegDeleteValueW(key, L"Path");
    RegCloseKey(key);
    values = record->Read("C:\\default");
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->Path, "C:\\default");
    EXPECT_EQ(values->SubVersion, 7);

    record->Remove();
    EXPECT_FALSE(record->Read("C:\\default").has_value());
}

TEST(WindowsFreeSpace, MeasuresTheNearestExistingFolder) {
    SKIP_OUTSIDE_WINE();
    TTempFolder temp;
    const auto space = MakeFreeSpace();
    const std::int64_t here = space->FreeMegabytes(temp.Path());
    EXPECT_GT(here, 0);
    // A folder still to be made is measured where it would be.
    const std::int64_t below = space->FreeMegabytes(temp.Path() / "Новая" / "Папка");
    EXPECT_GT(below, 0);
    EXPECT_LT(std::abs(below - here), 64);
    // A drive that does not exist has nothing to measure.
    EXPECT_EQ(space->FreeMegabytes("Q:\\Книги"), 0);
}

TEST(WindowsShortcuts, MakeLinksInTheGroupAndRemoveThemAll) {
    SKIP_OUTSIDE_WINE();
    const auto shortcuts = MakeShortcuts();
    const std::string target = "C:\\Zelvane\\Quarto\\Quarto.exe";
    ASSERT_TRUE(shortcuts->CreateShortcut(target, "Ночное небо", "NightSky"));
    EXPECT_FALSE(shortcuts->CreateShortcut(target, "a:b", ""));

    const std::string programs = JoinPath(HomeFolder(), "AppData\\Roaming\\Microsoft\\Windows\\"
                                                        "Start Menu\\Programs");
    const std::string group = ResolvePath(JoinPath(programs, "Электронные книги"));
    ASSERT_NE(group, "");
    EXPECT_EQ(ListFolder(group), std::vector<std::string>{"Ночное небо.lnk"});
    // A shell link: its header size and class identifier.
    const std::string link = ReadWholeFile(JoinPath(group, "Ночное небо.lnk"));
    ASSERT_GE(link.size(), 20u);
    EXPECT_EQ(link.substr(0, 4), std::string("\x4C\0\0\0", 4));
    EXPECT_NE(link.find(std::string("N\0i\0g\0h\0t\0S\0k\0y\0", 16)), std::string::npos)
        << "the arguments are in the link";

    shortcuts->RemoveAll();
    EXPECT_FALSE(FolderExists(group));
}

TEST(WindowsDrives, ACdRomDriveIsADiscRootWithAClosedTray) {
#ifndef QUARTO_WINE_CD_DRIVE
    GTEST_SKIP() << "only in the wine prefix of a cross build";
#else
    const auto drives = MakeDiscDrives();
    const std::vector<std::string> roots = drives->CdDriveLetters();
    EXPECT_EQ(roots, std::vector<std::string>{"R:\\"});
    // No disc in the drive answers the tray's query: the tray counts as closed.
    EXPECT_FALSE(drives->IsTrayOpen("R:\\"));

    TTempFolder app;
    FileSystem().RemoveTree("R:\\Books");
    WriteFiles("R:\\", {{"Books/Sky/Pictures/Pic01.jpg", "on the drive"}});
    const std::string found = FindOnDisc(JoinPath(app.Path(), ""), "Books\\Sky\\Pictures",
                                         "pic01.JPG", *drives);
    EXPECT_EQ(PathKey(found), PathKey("R:\\Books\\Sky\\Pictures\\Pic01.jpg"));
    EXPECT_EQ(ReadWholeFile(found), "on the drive");
    FileSystem().RemoveTree("R:\\Books");
#endif
}

} // namespace
