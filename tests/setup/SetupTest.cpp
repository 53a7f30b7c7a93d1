// The installer end to end: discs written by make-disc, installed by the real window with the
// record, free space, shortcuts and program start behind fakes.
#include "EditionFixture.h"

#include "common/Cp1251.h"
#include "platform/PlatformFakes.h"
#include "setup/CopyMachinery.h"
#include "setup/UninstallCore.h"
#include "setup/Unit1.h"
#include "tools/DiscWriter.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include <sys/stat.h>

using namespace quarto;
using namespace quarto::setup;
using namespace quarto::test;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string Read(const TPath& path) {
    return Exists(path) ? ReadWholeFile(path.string()) : "<missing>";
}

bool IsFile(const TPath& path) {
    return FileSystem().Stat(path).Kind == TEntryKind::File;
}

bool IsFolder(const TPath& path) {
    return FileSystem().Stat(path).Kind == TEntryKind::Folder;
}

bool IsEmptyFolder(const TPath& path) {
    const auto names = FileSystem().List(path);
    return IsFolder(path) && names && names->empty();
}

// A reader folder with programs, Base and Skins, editions made by make-edition, and discs made
// from them by make-disc.
class TDiscs {
public:
    TDiscs() {
        WriteFiles(Root(), {{"app/Quarto", "reader v1"},
                            {"app/uninstall", "uninstaller v1"},
                            {"app/Base/Back.htm", "<HTML><HEAD>"},
                            {"app/Skins/text.bmp", "paper v1"},
                            {"setup", "installer"}});
    }
    TPath Root() const { return FTemp.Path(); }
    // An edition source with the given key and titles; extra files go into the edition folder.
    std::string Edition(const std::string& key, const std::string& title = "Книга",
                        const std::string& title2 = "Часть", const TFiles& extra = {}) {
        const TPath src = Root() / "src" / key;
        WriteFiles(src, {{"edition.ini", "[Main]\nTitle=" + title + "\nTitle2=" + title2 +
                                             "\nRegKey=" + key + "\n"},
                         {"contents.txt", "1 a.htm Статья\n"},
                         {"texts/a.htm", "<P>Текст " + key},
                         {"Base/about.htm", "<P>О книге"}});
        const TPath out = Root() / "editions" / key;
        FileSystem().RemoveTree(out);
        MakeEdition(src.string(), out.string());
        WriteFiles(out, extra);
        return out.string();
    }
    std::string Disc(const std::string& name, const std::vector<std::string>& editions,
                     int subVersion = 1) {
        TDiscSource source;
        source.AppFolder = (Root() / "app").string();
        source.SetupProgram = (Root() / "setup").string();
        source.Editions = editions;
        source.SubVersion = subVersion;
        const TPath disc = Root() / "discs" / name;
        MakeDisc(source, disc.string());
        return disc.string() + "/";
    }

private:
    TTempFolder FTemp;
};

// One run of the installer over a disc, with fakes; the fakes outlive the window so that a
// second run sees the first one's record.
class TInstaller {
public:
    TFakeRecordState Record;
    TFakeFreeSpaceState FreeSpace;
    TFakeShortcutsState Shortcuts;
    TFakeStarterState Starter;
    std::vector<QString> Messages;
    int Ended = 0;
    std::unique_ptr<TForm1> Form;

    TInstaller() { FreeSpace.Megabytes = 5000; }

    TForm1& Start(const std::string& disc) {
        TSetupServices services;
        services.Record = std::make_unique<TFakeInstallRecord>(Record);
        services.FreeSpace = std::make_unique<TFakeFreeSpace>(FreeSpace);
        services.Shortcuts = std::make_unique<TFakeShortcuts>(Shortcuts);
        services.Starter = std::make_unique<TFakeProgramStarter>(Starter);
        Form = std::make_unique<TForm1>(disc, std::move(services));
        Form->ShowMessage = [this](const QString&, const QString& text) {
            Messages.push_back(text);
        };
        Form->EndProgram = [this] { ++Ended; };
        return *Form;
    }
    TForm1& Install(const std::string& disc, const std::string& chosen) {
        TForm1& f = Start(disc);
        if (f.DirectoryEdit1->isEnabled())
            f.DirectoryEdit1->setText(QString::fromStdString(chosen));
        f.Button3->click();
        return f;
    }
};

} // namespace

TEST(Setup, FirstInstallationCopiesRecordsAndLinks) {
    TDiscs discs;
    const std::string disc = discs.Disc(
        "one", {discs.Edition("NightSky", "Ночное небо", "Путеводитель",
                              {{"Pictures/a/b/c/deep.jpg", "jpeg"}, {"PicData/list.txt", "x"}})});
    TInstaller installer;
    TForm1& f = installer.Start(disc);
    EXPECT_EQ(f.Label3->text(), U("Выберите путь для установки:"));
    EXPECT_TRUE(f.DirectoryEdit1->isEnabled());
    EXPECT_EQ(f.DirectoryEdit1->text().toStdString(), DefaultTargetFolder());
    EXPECT_EQ(f.Label4->text(), U("Свободного места на диске: 5000 Мб"));
    EXPECT_EQ(f.Label5->text(), U("Требуется: ") + QString::number(f.RequiredMB) + U(" Мб"));
    EXPECT_GE(f.RequiredMB, 1);
    EXPECT_EQ(f.CurrentPage(), f.Panel2);

    const TPath target = discs.Root() / "home" / "Apps";
    f.DirectoryEdit1->setText(QString::fromStdString(target.string()));
    EXPECT_EQ(f.InstallFolder, (target / "Quarto").string() + "/");
    f.Button3->click();
    EXPECT_EQ(f.CurrentPage(), f.Panel3);
    EXPECT_TRUE(f.Label6->text().startsWith(
        U("Установка успешно завершена.\nярлык программы помещен в\n")));
    EXPECT_TRUE(f.ListBox1->isHidden());
    EXPECT_EQ(f.ProgressBar1->value(), f.ProgressBar1->maximum());
    EXPECT_EQ(f.Label10->text(), "deep.jpg"); // the last file copied

    const TPath q = target / "Quarto";
    const TPath e = q / "Books" / "NightSky";
    EXPECT_EQ(Read(q / "Quarto"), "reader v1");
    EXPECT_EQ(Read(q / "uninstall"), "uninstaller v1");
    EXPECT_EQ(Read(q / "Base" / "Back.htm"), "<HTML><HEAD>");
    EXPECT_EQ(Read(q / "Skins" / "text.bmp"), "paper v1");
    for (const char* file :
         {"cContents.dat", "cData.dat", "FileIndex.rec", "InnerBase.dat", "Pos.rec", "setup.inf",
          "Voc.txt", "Base/about.htm", "PicData/list.txt", "Pictures/a/b/c/deep.jpg"})
        EXPECT_TRUE(IsFile(e / file)) << file;
    for (const char* folder : {"Video", "Audio", "Images"}) // missing on the disc: empty here
        EXPECT_TRUE(IsEmptyFolder(e / folder)) << folder;
    EXPECT_FALSE(Exists(q / "setup")); // the installer stays on the disc

    ASSERT_TRUE(installer.Record.Values.has_value());
    EXPECT_EQ(installer.Record.Values->Path, f.InstallFolder);
    EXPECT_EQ(installer.Record.Values->SubVersion, 1);
    ASSERT_EQ(installer.Shortcuts.Links.size(), 2u);
    EXPECT_EQ(installer.Shortcuts.Links[0].Name, "Ночное небо - Путеводитель");
    EXPECT_EQ(installer.Shortcuts.Links[0].Target, (q / "Quarto").string());
    EXPECT_EQ(installer.Shortcuts.Links[0].Arguments, "NightSky");
    EXPECT_EQ(installer.Shortcuts.Links[1].Name, "Удалить все книги");
    EXPECT_EQ(installer.Shortcuts.Links[1].Target, (q / "uninstall").string());
    EXPECT_EQ(installer.Shortcuts.Links[1].Arguments, "");

    f.Button1->click(); // "Запустить программу" is checked
    ASSERT_EQ(installer.Starter.Calls.size(), 1u);
    EXPECT_EQ(installer.Starter.Calls[0].Program, (q / "Quarto").string());
    EXPECT_EQ(installer.Starter.Calls[0].Arguments, std::vector<std::string>{"NightSky"});
    EXPECT_EQ(installer.Ended, 1);
}

TEST(Setup, TheReaderGoesIntoQuartoOfTheChosenFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/u/Apps", "/home/u/Apps/Quarto/"},
        {"/home/u/Apps/", "/home/u/Apps/Quarto/"},
        {"/", "/Quarto/"},
        {"D:\\", "D:\\Quarto/"},
    };
    for (const auto& [chosen, expected] : cases)
        EXPECT_EQ(InstallFolderOf(chosen), expected) << chosen;
}

TEST(Setup, ASecondRunInstallsIntoTheRecordedFolder) {
    TDiscs discs;
    const std::string disc = discs.Disc("one", {discs.Edition("K")});
    TInstaller installer;
    const TPath first = discs.Root() / "first";
    installer.Install(disc, first.string());
    installer.Form->Button1->click();

    TForm1& f = installer.Start(disc);
    EXPECT_EQ(f.Label3->text(), U("Одна из версий программы уже установлена"));
    EXPECT_FALSE(f.DirectoryEdit1->isEnabled());
    EXPECT_EQ(f.DirectoryEdit1->text().toStdString(), (first / "Quarto").string() + "/");
    f.DirectoryEdit1->setText("/elsewhere"); // ignored once installed
    EXPECT_EQ(f.InstallFolder, (first / "Quarto").string() + "/");

    // A record without its values reads as the defaults.
    installer.Record.Values = TInstallRecordValues{};
    installer.Record.MissingValues = true;
    TForm1& g = installer.Start(disc);
    EXPECT_EQ(g.InstallFolder, InstallFolderOf(DefaultTargetFolder()));
    EXPECT_FALSE(g.NewerInstalled);
}

TEST(Setup, AnOlderDiscKeepsTheProgramButReplacesTheEditions) {
    TDiscs discs;
    TInstaller installer;
    const TPath target = discs.Root() / "t";
    installer.Install(discs.Disc("v1", {discs.Edition("K")}), target.string());
    const TPath q = target / "Quarto";
    WriteFiles(q, {{"Quarto", "installed reader"},
                   {"Base/Back.htm", "installed base"},
                   {"Skins/text.bmp", "installed skin"},
                   {"Books/K/cData.dat", "old store"},
                   {"Books/K/extra.txt", "kept"}});
    const int writes = installer.Record.Writes;
    installer.Shortcuts.Links.clear();

    // SubVersion 0: the program group and Base stay, the rest is replaced.
    installer.Install(discs.Disc("v0", {discs.Edition("K")}, 0), "");
    EXPECT_TRUE(installer.Form->NewerInstalled);
    EXPECT_EQ(Read(q / "Quarto"), "installed reader");
    EXPECT_EQ(Read(q / "Base" / "Back.htm"), "installed base");
    EXPECT_EQ(Read(q / "Skins" / "text.bmp"), "paper v1");
    EXPECT_NE(Read(q / "Books" / "K" / "cData.dat"), "old store");
    EXPECT_EQ(Read(q / "Books" / "K" / "extra.txt"), "kept");
    EXPECT_EQ(installer.Record.Writes, writes);      // not rewritten
    EXPECT_EQ(installer.Shortcuts.Links.size(), 2u); // recreated

    // SubVersion 1: everything, and the record again.
    installer.Install(discs.Disc("v1b", {discs.Edition("K")}, 1), "");
    EXPECT_FALSE(installer.Form->NewerInstalled);
    EXPECT_EQ(Read(q / "Quarto"), "reader v1");
    EXPECT_EQ(Read(q / "Base" / "Back.htm"), "<HTML><HEAD>");
    EXPECT_EQ(installer.Record.Writes, writes + 1);
    EXPECT_EQ(installer.Record.Values->SubVersion, 1);
}

TEST(Setup, ADiscWithoutEditionsMakesTheFolderRecordAndUninstaller) {
    TDiscs discs;
    TInstaller installer;
    const TPath target = discs.Root() / "t";
    TForm1& f = installer.Install(discs.Disc("empty", {}), target.string());
    EXPECT_EQ(f.CurrentPage(), f.Panel3);
    EXPECT_TRUE(IsFolder(target / "Quarto"));
    EXPECT_TRUE(IsEmptyFolder(target / "Quarto"));
    EXPECT_TRUE(installer.Record.Values.has_value());
    ASSERT_EQ(installer.Shortcuts.Links.size(), 1u);
    EXPECT_EQ(installer.Shortcuts.Links[0].Name, "Удалить все книги");
    f.Button1->click();
    ASSERT_EQ(installer.Starter.Calls.size(), 1u);
    EXPECT_TRUE(installer.Starter.Calls[0].Arguments.empty());
}

TEST(Setup, FreeSpaceDecidesWhetherToInstall) {
    TDiscs discs;
    const std::string disc = discs.Disc("one", {discs.Edition("K")});
    for (const int spare : {0, -1}) {
        TInstaller installer;
        const TPath target = discs.Root() / ("t" + std::to_string(-spare));
        TForm1& f = installer.Start(disc);
        installer.FreeSpace.Megabytes = f.RequiredMB + spare;
        f.DirectoryEdit1->setText(QString::fromStdString(target.string()));
        f.Button3->click();
        if (spare == 0) { // exactly enough
            EXPECT_EQ(f.CurrentPage(), f.Panel3);
            EXPECT_TRUE(installer.Messages.empty());
        } else {
            EXPECT_EQ(f.CurrentPage(), f.Panel2);
            EXPECT_EQ(installer.Messages,
                      std::vector<QString>{U("Недостаточно места на выбранном диске")});
            EXPECT_FALSE(Exists(target));
            EXPECT_FALSE(installer.Record.Values.has_value());
            EXPECT_TRUE(installer.Shortcuts.Links.empty());
        }
        EXPECT_EQ(installer.FreeSpace.Asked.back(), (target / "Quarto").string() + "/");
    }
}

TEST(Setup, FilesThatCannotBeCopiedAreListedOnTheDonePage) {
    TDiscs discs;
    const std::string edition = discs.Edition("K", "Книга", "Часть", {{"Video/clip.avi", "avi"}});
    const std::string disc = discs.Disc("one", {edition});
    // A disc file that cannot be read (a pipe), and a target file that cannot be replaced
    // (a folder stands in its place).
    ASSERT_EQ(mkfifo((TPath(disc) / "Books" / "K" / "Video" / "stream.avi").string().c_str(), 0644),
              0);
    const TPath target = discs.Root() / "t";
    CreateFolders(target / "Quarto" / "Books" / "K" / "Voc.txt");
    TInstaller installer;
    TForm1& f = installer.Install(disc, target.string());
    EXPECT_EQ(f.CurrentPage(), f.Panel3);
    EXPECT_FALSE(f.Label6->text().contains(U("успешно")));
    EXPECT_TRUE(f.Label6->text().contains(U("не удалось скопировать файлов: 2")));
    ASSERT_EQ(f.ListBox1->count(), 2);
    EXPECT_TRUE(f.ListBox1->item(0)->text().endsWith("Voc.txt"));
    EXPECT_TRUE(f.ListBox1->item(1)->text().endsWith("stream.avi"));
    EXPECT_FALSE(f.ListBox1->isHidden());
    // The rest is installed, the record and the links made.
    EXPECT_EQ(Read(target / "Quarto" / "Books" / "K" / "Video" / "clip.avi"), "avi");
    EXPECT_TRUE(installer.Record.Values.has_value());
    EXPECT_EQ(installer.Shortcuts.Links.size(), 2u);
}

TEST(Setup, ShortcutNamesFollowTheTitles) {
    TDiscs discs;
    // Two editions with equal titles give one link; a title that cannot be a file name none.
    const std::string disc =
        discs.Disc("three", {discs.Edition("A", "Книга", "Том"), discs.Edition("B", "Книга", "Том"),
                             discs.Edition("C", "Путь/Дорога", "Том")});
    TInstaller installer;
    installer.Install(disc, (discs.Root() / "t").string());
    ASSERT_EQ(installer.Shortcuts.Links.size(), 2u);
    EXPECT_EQ(installer.Shortcuts.Links[0].Name, "Книга - Том");
    EXPECT_EQ(installer.Shortcuts.Links[0].Arguments, "B"); // the second replaced the first
    EXPECT_EQ(installer.Shortcuts.Links[1].Name, "Удалить все книги");
}

TEST(Setup, MakeDiscWritesTheDescriptor) {
    TDiscs discs;
    const std::string disc = discs.Disc(
        "two", {discs.Edition("A", "Первая", "Книга"), discs.Edition("B", "Вторая", "")}, 3);
    const TDiscDescriptor d = ReadDiscDescriptor(disc);
    EXPECT_EQ(d.SubVersion, 3);
    ASSERT_EQ(d.Editions.size(), 2u);
    EXPECT_EQ(Cp1251ToUtf8(d.Editions[0].Title), "Первая");
    EXPECT_EQ(Cp1251ToUtf8(d.Editions[1].Title2), "");
    EXPECT_EQ(d.Editions[1].RegKey, "B");
    // Everything the disc holds but its descriptor.
    const std::int64_t bytes = TreeBytes(disc) - FileSystem().Stat(disc + "setup.inf").Size;
    EXPECT_EQ(d.RequiredMB, static_cast<std::int32_t>((bytes + (1 << 20) - 1) >> 20));
    for (const char* file : {"setup", "Quarto", "uninstall", "Base/Back.htm", "Skins/text.bmp",
                             "Books/A/cData.dat", "Books/B/Voc.txt"})
        EXPECT_TRUE(IsFile(TPath(disc) / file)) << file;
}

TEST(Setup, UninstallRemovesOnlyAnInstallation) {
    TDiscs discs;
    TInstaller installer;
    const TPath target = discs.Root() / "Zelvane";
    installer.Install(discs.Disc("one", {discs.Edition("K")}), target.string());
    const std::string folder = installer.Form->InstallFolder;
    TFakeInstallRecord record(installer.Record);
    TFakeShortcuts shortcuts(installer.Shortcuts);

    // Not an installation: the folder stays, nothing else of it is touched by the check.
    EXPECT_FALSE(IsRemovableInstallation(discs.Root().string()));
    EXPECT_FALSE(IsRemovableInstallation("/"));
    EXPECT_FALSE(IsRemovableInstallation(""));
    EXPECT_TRUE(IsRemovableInstallation(folder));

    EXPECT_TRUE(RemoveInstallation(folder, record, shortcuts));
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(target)); // emptied, so removed too
    EXPECT_FALSE(installer.Record.Values.has_value());
    EXPECT_TRUE(installer.Shortcuts.Links.empty());
    EXPECT_TRUE(Exists(discs.Root() / "discs")); // nothing beside it
}

TEST(Setup, ClosingWhileCopyingEndsTheInstaller) {
    TDiscs discs;
    const std::string disc = discs.Disc(
        "one",
        {discs.Edition("K", "Книга", "Часть", {{"Pictures/a.jpg", "a"}, {"Pictures/b.jpg", "b"}})});
    TInstaller installer;
    TForm1& f = installer.Start(disc);
    f.DirectoryEdit1->setText(QString::fromStdString((discs.Root() / "t").string()));
    f.show();
    // The window is closed as soon as the copy has begun, as a user would mid-copy.
    bool closed = false;
    const auto closeOnFirstFile =
        QObject::connect(f.ProgressBar1, &QProgressBar::valueChanged, [&](int) {
            if (!closed) {
                closed = true;
                f.close();
            }
        });
    f.Button3->click();
    QObject::disconnect(closeOnFirstFile);
    EXPECT_EQ(installer.Ended, 1);
    EXPECT_FALSE(installer.Record.Values.has_value()); // nothing recorded
    EXPECT_TRUE(installer.Shortcuts.Links.empty());
    EXPECT_NE(f.CurrentPage(), f.Panel3);
}
