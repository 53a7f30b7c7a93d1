// The lookup beside the reader and on the discs, with drives the test makes up over scratch
// folders; the QUARTO_DISCS list and the mount table read from texts the test writes.
#include "platform/DiscLookup.h"
#include "platform/DiscDrives.h"
#include "platform/PlatformFakes.h"

#include "EditionFixture.h"
#include "Environment.h"

#include <cstdlib>
#include <optional>
#include <set>

using namespace quarto;
using namespace quarto::test;

namespace {

const char* const Folder = "Books\\Sky\\Pictures";
const char* const Name = "pic01.jpg";

// The reader's folder "app", the drives "cd1" and "cd2" and the disc folder "disc", each a
// scratch folder that may hold the picture.
class DiscLookup : public ::testing::Test {
protected:
    DiscLookup() {
        for (const char* root : {"app", "cd1", "cd2", "disc"})
            CreateFolders(Root(root));
        Drives.Drives = {Root("cd1"), Root("cd2")};
        Drives.Folders = {Root("disc")};
    }

    TPath Root(const std::string& name) const { return Scratch.Path() / name; }

    void AddPicture(const std::string& root,
                    const std::string& relative = "Books/Sky/Pictures/pic01.jpg") {
        WriteFiles(Root(root), {{relative, root}});
    }

    std::string Find(std::string_view folder = Folder, std::string_view name = Name) {
        TFakeDiscDrives drives(Drives);
        return FindOnDisc(JoinPath(Root("app"), ""), folder, name, drives);
    }

    TTempFolder Scratch;
    TFakeDiscDrivesState Drives;
};

} // namespace

TEST_F(DiscLookup, BesideTheReaderThenTheDrivesThenTheDiscFolders) {
    const struct Case {
        const char* what;
        std::set<std::string> holders;   // the roots that hold the picture
        std::set<std::string> openTrays; // among cd1, cd2
        std::set<std::string> failing;   // among cd1, cd2
        const char* found;               // the root it is found below, "" for nowhere
        std::vector<std::string> asked;  // the trays asked, in order
    } cases[] = {
        {"beside the reader, no drive examined", {"app", "cd1", "disc"}, {}, {}, "app", {}},
        {"the first drive", {"cd1", "cd2"}, {}, {}, "cd1", {"cd1"}},
        {"an open tray is skipped", {"cd1", "cd2"}, {"cd1"}, {}, "cd2", {"cd1", "cd2"}},
        {"an open tray is not touched", {"cd1"}, {"cd1"}, {}, "", {"cd1", "cd2"}},
        {"a failing drive is passed over", {"cd1", "cd2"}, {}, {"cd1"}, "cd2", {"cd1", "cd2"}},
        {"the drives come before the disc folders", {"cd2", "disc"}, {}, {}, "cd2", {"cd1", "cd2"}},
        {"a disc folder has no tray", {"disc"}, {"cd1", "cd2"}, {}, "disc", {"cd1", "cd2"}},
        {"nowhere", {}, {}, {"cd2"}, "", {"cd1", "cd2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* root : {"app", "cd1", "cd2", "disc"})
            SystemFileSystem().RemoveTree(Root(root) / "Books");
        for (const std::string& root : c.holders)
            AddPicture(root);
        Drives.OpenTrays.clear();
        Drives.Failing.clear();
        Drives.TrayQueries.clear();
        Drives.Listings = 0;
        for (const std::string& root : c.openTrays)
            Drives.OpenTrays.insert(Root(root));
        for (const std::string& root : c.failing)
            Drives.Failing.insert(Root(root));

        const std::string found = Find();
        if (*c.found) {
            EXPECT_EQ(found, (Root(c.found) / "Books" / "Sky" / "Pictures" / Name).string());
            EXPECT_EQ(ReadWholeFile(found), c.found);
        } else {
            EXPECT_EQ(found, "");
        }
        std::vector<std::string> asked;
        for (const std::string& root : c.asked)
            asked.push_back(Root(root));
        EXPECT_EQ(Drives.TrayQueries, asked);
        EXPECT_EQ(Drives.Listings, c.asked.empty() ? 0 : 1);
    }
}

TEST_F(DiscLookup, FolderAndNameMatchIgnoringLetterCase) {
    AddPicture("cd2", "BOOKS/sky/PICTURES/Pic01.JPG");
    EXPECT_EQ(PathKey(Find()), PathKey(Root("cd2") / "BOOKS" / "sky" / "PICTURES" / "Pic01.JPG"));
    AddPicture("app", "books/Sky/pictures/PIC01.jpg");
    EXPECT_EQ(PathKey(Find()), PathKey(Root("app") / "books" / "Sky" / "pictures" / "PIC01.jpg"));
    // A folder of that name is not the file.
    EXPECT_EQ(Find("Books\\Sky", "Pictures"), "");
}

TEST_F(DiscLookup, NamesThatLeadOutsideTheirRootFindNothing) {
    // Each of these would reach a file if the lookup followed it.
    WriteFiles(Scratch.Path(), {{"secret.jpg", "outside"},
                                {"app/secret.jpg", "beside"},
                                {"app/Books/a/b", "below"},
                                {"cd1/Books/a/b", "below"}});
    EXPECT_EQ(Find("Books\\a", "b"), (Root("app") / "Books" / "a" / "b").string());
    EXPECT_EQ(Find("", "secret.jpg"), (Root("app") / "secret.jpg").string());
    const std::string absolute = Scratch.Path();
    const struct Case {
        std::string folder;
        std::string name;
    } cases[] = {
        {"..", "secret.jpg"},
        {"Books\\..\\..", "secret.jpg"},
        {"Books/../..", "secret.jpg"},
        {"Books", "..\\secret.jpg"},
        {"Books", "a\\b"},
        {"Books", "a/b"},
        {"Books\\.\\a", "b"},
        {absolute, "secret.jpg"},
        {"\\Books\\a", "b"},
        {"C:\\Books\\a", "b"},
        {"Books\\a", "C:b"},
        {"Books\\a", ""},
        {"Books\\a\\b", "."},
        {"Books\\a\\b", ".."},
        {"Books\\a", std::string("b\0", 2)},
    };
    for (const Case& c : cases) {
        Drives.Listings = 0;
        EXPECT_EQ(Find(c.folder, c.name), "") << c.folder << " | " << c.name;
        EXPECT_EQ(Drives.Listings, 0) << c.folder << " | " << c.name;
    }
}

TEST(DiscRoots, DiscFoldersList) {
    const struct Case {
        const char* value;
        char separator;
        std::vector<std::string> folders;
    } cases[] = {
        {"", ':', {}},
        {":::", ':', {}},
        {"/media/disc", ':', {"/media/disc"}},
        {"/a:/b c::/d:", ':', {"/a", "/b c", "/d"}},
        {";C:\\Discs\\One;;D:\\;", ';', {"C:\\Discs\\One", "D:\\"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDiscFolders(c.value, c.separator), c.folders) << c.value;
}

TEST(DiscRoots, OpticalFileSystemsOfTheMountTable) {
    const std::string table = "sysfs /sys sysfs rw,nosuid,nodev,noexec,relatime 0 0\n"
                              "/dev/sda1 / ext4 rw,relatime 0 0\n"
                              "/dev/sr1 /media/user/DISC\\0402 iso9660 ro,nosuid 0 0\n"
                              "/dev/sr0 /media/user/Ночное\\040небо udf ro 0 0\n"
                              "/dev/sdb1 /media/user/iso9660 vfat rw 0 0\n"
                              "/dev/loop3 /mnt/image iso9660 ro 0 0\n"
                              "/dev/scd0 /mnt/tab\\011and\\134slash vfat ro 0 0\n"
                              "/dev/cdrom /mnt/cd auto ro 0 0\n"
                              "not a mount line\n"
                              "\n"
                              "/dev/sr0 /media/user/Ночное\\040небо udf ro 0 0\n"
                              "/dev/sr2 /mnt/over udf ro 0 0\n"
                              "/dev/sr1 /mnt/over iso9660 ro 0 0\n"
                              "tmpfs /run tmpfs rw 0 0";
    const std::vector<TOpticalMount> expected = {
        {"/dev/cdrom", "/mnt/cd"},
        {"/dev/loop3", "/mnt/image"},
        {"/dev/scd0", "/mnt/tab\tand\\slash"},
        {"/dev/sr0", "/media/user/Ночное небо"},
        {"/dev/sr1", "/media/user/DISC 2"},
        {"/dev/sr1", "/mnt/over"},
    };
    const std::vector<TOpticalMount> mounts = OpticalMounts(table);
    ASSERT_EQ(mounts.size(), expected.size());
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        EXPECT_EQ(mounts[i].Device, expected[i].Device) << i;
        EXPECT_EQ(mounts[i].MountPoint, expected[i].MountPoint) << i;
    }
    EXPECT_TRUE(OpticalMounts("").empty());
}

TEST(DiscRoots, TheSystemsDiscFoldersComeFromTheEnvironment) {
    TTempFolder scratch;
    const std::string app = scratch.Path() / "app";
    const std::string one = scratch.Path() / "one";
    const std::string two = scratch.Path() / "two";
    WriteFiles(two, {{"mp3/Track1.mp3", "music"}});
    CreateFolders(app);
    CreateFolders(one);
    const std::string s(1, DiscFoldersSeparator);
    TEnvironment discs("QUARTO_DISCS", s + one + s + s + two + s);

    const std::unique_ptr<TDiscDrives> drives = MakeDiscDrives();
    EXPECT_EQ(drives->DiscFolders(), (std::vector<std::string>{one, two}));
    EXPECT_EQ(PathKey(FindOnDisc(JoinPath(app, ""), "mp3", "track1.MP3", *drives)),
              PathKey(two + PathSeparator + "mp3" + PathSeparator + "Track1.mp3"));
    // A root that is no drive of the system has no tray to be open.
    EXPECT_FALSE(drives->IsTrayOpen(one));
}

TEST(DiscRoots, AnImageInTheEnvironmentIsADiscRoot) {
    TTempFolder scratch;
    const std::string app = scratch.Path() / "app";
    CreateFolders(app);
    const std::string image =
        JoinPath(SystemFileSystem().AbsolutePath(QUARTO_TEST_IMAGES), "rock-ridge.iso");
    // An image cut short is left out; the entries after it are still roots.
    const std::string damaged = scratch.Path() / "damaged.iso";
    WriteWholeFile(damaged, ReadWholeFile(image).substr(0, 20 * 2048));
    const std::string s(1, DiscFoldersSeparator);
    TEnvironment discs("QUARTO_DISCS", damaged + s + image);

    const std::unique_ptr<TDiscDrives> drives = MakeDiscDrives();
    EXPECT_EQ(drives->DiscFolders(), std::vector<std::string>{image});
    EXPECT_EQ(FindOnDisc(JoinPath(app, ""), "книги\\nightsky", "readme.txt", *drives),
              image + NativePath("/Книги/NightSky/ReadMe.TXT"));
    EXPECT_EQ(ReadWholeFile(image + "/Книги/NightSky/ReadMe.TXT"), "Звёздное небо\n");
}
