// The installer end to end: discs written by make-disc, installed by the real window with the
// record, free space, shortcuts and program start behind fakes.
#include "EditionFixture.h"
#include "FaultFileSystem.h"

#include "common/Cp1251.h"
#include "platform/PlatformFakes.h"
#include "setup/CopyMachinery.h"
#include "setup/InstallFlow.h"
#include "setup/Unattended.h"
#include "setup/UninstallCore.h"
#include "setup/qt/Unit1.h"
#include "tools/DiscWriter.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

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

// The lines of the done page's list.
std::vector<QString> Listed(const TForm1& f) {
    std::vector<QString> lines;
    for (int i = 0; i < f.ListBox1->count(); ++i)
        lines.push_back(f.ListBox1->item(i)->text());
    return lines;
}

bool AnyListed(const TForm1& f, const QString& part) {
    const auto lines = Listed(f);
    return std::any_of(lines.begin(), lines.end(),
                       [&](const QString& line) { return line.contains(part); });
}

// A disc descriptor of one section per (title, key), with the given Count and Size.
std::string DescriptorText(const std::vector<std::pair<std::string, std::string>>& editions,
                           int count, int size = 1) {
    std::string text = "[Main]\r\nSubVersion=1\r\nSize=" + std::to_string(size) +
                       "\r\nCount=" + std::to_string(count) + "\r\n";
    for (std::size_t i = 0; i < editions.size(); ++i)
        text += "[" + std::to_string(i + 1) + "]\r\nTitle=" + editions[i].first +
                "\r\nTitle2=T\r\nRegKey=" + editions[i].second + "\r\n";
    return text;
}

// A scratch folder as the user's home for one test.
class THome {
public:
    explicit THome(const std::string& path) {
        if (const char* home = std::getenv("HOME"))
            FSaved = home;
        setenv("HOME", path.c_str(), 1);
    }
    ~THome() { setenv("HOME", FSaved.c_str(), 1); }

private:
    std::string FSaved;
};

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

    // Services over the fakes' states, for the window or the unattended installation.
    TSetupServices Services() {
        TSetupServices services;
        services.Record = std::make_unique<TFakeInstallRecord>(Record);
        services.FreeSpace = std::make_unique<TFakeFreeSpace>(FreeSpace);
        services.Shortcuts = std::make_unique<TFakeShortcuts>(Shortcuts);
        services.Starter = std::make_unique<TFakeProgramStarter>(Starter);
        return services;
    }

    TForm1& Start(const std::string& disc, const std::string& installerFolder = "") {
        Form = std::make_unique<TForm1>(disc, Services(), installerFolder);
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
    // No reader was copied, so none is offered to start.
    EXPECT_FALSE(f.CheckBox4->isChecked());
    EXPECT_FALSE(f.CheckBox4->isEnabled());
    f.Button1->click();
    EXPECT_TRUE(installer.Starter.Calls.empty());
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
    // (a folder stands in its place); neither is one the reader needs.
    ASSERT_EQ(mkfifo((TPath(disc) / "Books" / "K" / "Video" / "stream.avi").string().c_str(), 0644),
              0);
    const TPath target = discs.Root() / "t";
    CreateFolders(target / "Quarto" / "Books" / "K" / "Base" / "about.htm");
    TInstaller installer;
    TForm1& f = installer.Install(disc, target.string());
    EXPECT_EQ(f.CurrentPage(), f.Panel3);
    EXPECT_FALSE(f.Label6->text().contains(U("успешно")));
    EXPECT_TRUE(f.Label6->text().contains(U("не удалось скопировать файлов: 2")));
    ASSERT_EQ(f.ListBox1->count(), 2);
    EXPECT_TRUE(f.ListBox1->item(0)->text().endsWith("about.htm"));
    EXPECT_TRUE(f.ListBox1->item(0)->text().startsWith(U("не удаётся записать в папку установки")));
    EXPECT_TRUE(f.ListBox1->item(1)->text().endsWith("stream.avi"));
    EXPECT_TRUE(f.ListBox1->item(1)->text().startsWith(U("не удаётся прочитать с диска")));
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

namespace {

// Free space and a program start that fail while fail is set.
class TFailingFreeSpace : public TFakeFreeSpace {
public:
    TFailingFreeSpace(TFakeFreeSpaceState& state, const bool& fail)
        : TFakeFreeSpace(state), FFail(fail) {}
    std::int64_t FreeMegabytes(const std::string& path) override {
        if (FFail)
            throw std::runtime_error("Не удалось узнать свободное место");
        return TFakeFreeSpace::FreeMegabytes(path);
    }

private:
    const bool& FFail;
};

class TFailingStarter : public TFakeProgramStarter {
public:
    TFailingStarter(TFakeStarterState& state, const bool& fail)
        : TFakeProgramStarter(state), FFail(fail) {}
    bool Start(const std::string& program, const std::vector<std::string>& arguments) override {
        if (FFail)
            throw std::runtime_error("Программа не запущена");
        return TFakeProgramStarter::Start(program, arguments);
    }

private:
    const bool& FFail;
};

} // namespace

TEST(Setup, AFailingHandlerIsReportedOnceAndTheInstallerGoesOn) {
    TDiscs discs;
    const std::string disc = discs.Disc("one", {discs.Edition("K", "Книга", "Часть", {})});
    TInstaller installer;
    bool fail = false;
    TSetupServices services = installer.Services();
    services.FreeSpace = std::make_unique<TFailingFreeSpace>(installer.FreeSpace, fail);
    services.Starter = std::make_unique<TFailingStarter>(installer.Starter, fail);
    TForm1 f(disc, std::move(services));
    std::vector<std::pair<QString, QString>> messages;
    f.ShowMessage = [&](const QString& caption, const QString& text) {
        messages.emplace_back(caption, text);
    };
    f.EndProgram = [&] { ++installer.Ended; };

    // The signals reach the handlers directly, not through the application's event
    // notification: the reports come from the handlers' own guards, in the installer's box.
    fail = true;
    f.DirectoryEdit1->setText(QString::fromStdString((discs.Root() / "t").string()));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, U("Электронные книги"));
    EXPECT_EQ(messages[0].second, U("Не удалось узнать свободное место"));
    EXPECT_EQ(f.CurrentPage(), f.Panel2);

    fail = false;
    f.Button3->click();
    EXPECT_EQ(f.CurrentPage(), f.Panel3);
    EXPECT_TRUE(installer.Record.Values.has_value());
    EXPECT_EQ(messages.size(), 1u);

    fail = true;
    f.Button1->click(); // the reader cannot be started: the installer stays
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].second, U("Программа не запущена"));
    EXPECT_EQ(installer.Ended, 0);
    EXPECT_EQ(f.CurrentPage(), f.Panel3);
    fail = false;
    f.Button1->click();
    EXPECT_EQ(installer.Starter.Calls.size(), 1u);
    EXPECT_EQ(installer.Ended, 1);
    EXPECT_EQ(messages.size(), 2u);
}

TEST(Setup, AReinstallThatFailsLeavesTheOldFilesWhole) {
    struct TCase {
        const char* Name;
        std::function<void(TFaultFileSystem&)> Fault;
        const char* Reason;
    };
    const TCase cases[] = {
        {"disk full", [](TFaultFileSystem& fs) { fs.NoSpaceAfter(10); }, "нет места на диске"},
        {"unreadable", [](TFaultFileSystem& fs) { fs.FailReadAt("v2/Quarto", 3); },
         "не удаётся прочитать с диска"},
        {"rename", [](TFaultFileSystem& fs) { fs.FailRename("/"); },
         "не удаётся записать в папку установки"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDiscs discs;
        TInstaller installer;
        const TPath target = discs.Root() / "t";
        const std::string edition = discs.Edition("K");
        installer.Install(discs.Disc("v1", {edition}), target.string());
        const TPath q = target / "Quarto";
        const auto before = EntriesBelow(q);
        const std::string oldStore = Read(q / "Books" / "K" / "cData.dat");
        const TInstallRecordValues record = *installer.Record.Values;
        const int writes = installer.Record.Writes;
        installer.Shortcuts.Links.clear();

        WriteFiles(discs.Root(), {{"app/Quarto", "reader v2, a larger one than v1"}});
        const std::string v2 = discs.Disc("v2", {edition});
        TFaultFileSystem faults;
        c.Fault(faults);
        {
            TFileSystemScope scope(faults);
            installer.Install(v2, "");
        }
        TForm1& f = *installer.Form;
        EXPECT_EQ(Read(q / "Quarto"), "reader v1"); // the old reader, whole
        EXPECT_EQ(Read(q / "Books" / "K" / "cData.dat"), oldStore);
        EXPECT_EQ(EntriesBelow(q), before); // no temporary file left
        EXPECT_EQ(installer.Record.Writes, writes);
        EXPECT_EQ(installer.Record.Values->Path, record.Path);
        EXPECT_FALSE(f.Label6->text().contains(U("успешно")));
        EXPECT_FALSE(f.Label6->text().contains(U("ярлык программы помещен")));
        EXPECT_TRUE(installer.Shortcuts.Links.empty());
        ASSERT_FALSE(Listed(f).empty());
        EXPECT_TRUE(Listed(f)[0].startsWith(U(c.Reason))) << Listed(f)[0].toStdString();
        EXPECT_TRUE(Listed(f)[0].endsWith("Quarto")) << Listed(f)[0].toStdString();
    }
}

TEST(Setup, AFailedInstallationIsNotRecorded) {
    struct TCase {
        const char* Name;
        const char* Fault; // a disc file that cannot be opened
        std::vector<std::string> Links;
        bool Reader;
    };
    const TCase cases[] = {
        {"reader", "one/Quarto", {}, false},
        {"text store", "Books/B/cData.dat", {"Первая - Книга"}, true},
        {"index", "Books/A/Voc.txt", {"Вторая - Книга"}, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDiscs discs;
        const std::string disc = discs.Disc(
            "one", {discs.Edition("A", "Первая", "Книга"), discs.Edition("B", "Вторая", "Книга")});
        TInstaller installer;
        const TPath target = discs.Root() / "t";
        TFaultFileSystem faults;
        faults.FailOpen(c.Fault);
        {
            TFileSystemScope scope(faults);
            installer.Install(disc, target.string());
        }
        TForm1& f = *installer.Form;
        EXPECT_FALSE(installer.Record.Values.has_value());
        std::vector<std::string> links;
        for (const TFakeShortcut& link : installer.Shortcuts.Links)
            links.push_back(link.Name);
        EXPECT_EQ(links, c.Links); // only what was installed, no uninstaller
        EXPECT_FALSE(f.Label6->text().contains(U("успешно")));
        EXPECT_TRUE(f.Label6->text().contains(U("Установка не записана")));
        EXPECT_TRUE(AnyListed(f, U("не удаётся прочитать с диска")));
        EXPECT_EQ(f.CheckBox4->isEnabled(), c.Reader);
        EXPECT_EQ(f.CheckBox4->isChecked(), c.Reader);
        f.Button1->click();
        EXPECT_EQ(installer.Starter.Calls.size(), c.Reader ? 1u : 0u);

        // The next run may choose another folder.
        TForm1& g = installer.Install(disc, (discs.Root() / "other").string());
        EXPECT_TRUE(g.DirectoryEdit1->isEnabled());
        EXPECT_TRUE(g.Outcome.Complete());
        ASSERT_TRUE(installer.Record.Values.has_value());
        EXPECT_EQ(installer.Record.Values->Path,
                  (discs.Root() / "other" / "Quarto").string() + "/");
    }
}

TEST(Setup, EditionsTheDiscLacksAreFailures) {
    struct TCase {
        const char* Name;
        std::function<void(const std::string& disc, TFaultFileSystem&)> Damage;
        const char* Reason;
        bool Recorded;
    };
    const TCase cases[] = {
        {"folder missing",
         [](const std::string& disc, TFaultFileSystem&) {
             FileSystem().RemoveTree(TPath(disc) / "Books" / "K");
         },
         "папки издания нет на диске", false},
        {"folder unreadable",
         [](const std::string&, TFaultFileSystem& fs) { fs.FailListing("Books/K"); },
         "не удаётся прочитать с диска", false},
        {"count beyond the sections",
         [](const std::string& disc, TFaultFileSystem&) {
             WriteWholeFile(TPath(disc) / "setup.inf", DescriptorText({{"Title", "K"}}, 2));
         },
         "в файле setup.inf нет раздела [2]", false},
        {"a folder inside unreadable",
         [](const std::string&, TFaultFileSystem& fs) { fs.FailListing("Books/K/Pictures"); },
         "не удаётся прочитать с диска", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDiscs discs;
        const std::string disc =
            discs.Disc("one", {discs.Edition("K", "Книга", "Часть", {{"Pictures/p.jpg", "jpeg"}})});
        TFaultFileSystem faults;
        c.Damage(disc, faults);
        TInstaller installer;
        {
            TFileSystemScope scope(faults);
            installer.Install(disc, (discs.Root() / "t").string());
        }
        TForm1& f = *installer.Form;
        EXPECT_EQ(f.CurrentPage(), f.Panel3);
        EXPECT_FALSE(f.Label6->text().contains(U("успешно")));
        EXPECT_TRUE(AnyListed(f, U(c.Reason))) << f.ListBox1->item(0)->text().toStdString();
        EXPECT_EQ(installer.Record.Values.has_value(), c.Recorded);
    }
}

TEST(Setup, TheFolderFieldTakesFullPathsOnly) {
    TDiscs discs;
    const std::string disc = discs.Disc("one", {discs.Edition("K")});
    const THome home((discs.Root() / "home").string());
    const std::string abs = (discs.Root() / "a b").string();
    struct TCase {
        std::string Typed;
        std::string Folder; // "" when refused
    };
    const TCase cases[] = {
        {"  " + abs + "\t ", abs + "/Quarto/"},
        {"~/Книги", (discs.Root() / "home" / "Книги" / "Quarto").string() + "/"},
        {"~", (discs.Root() / "home" / "Quarto").string() + "/"},
        {"", ""},
        {"   ", ""},
        {"Apps", ""},
        {"./Apps", ""},
        {"~user/Apps", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        TInstaller installer;
        TForm1& f = installer.Install(disc, c.Typed);
        if (c.Folder.empty()) {
            EXPECT_EQ(f.CurrentPage(), f.Panel2);
            ASSERT_EQ(installer.Messages.size(), 1u);
            EXPECT_TRUE(installer.Messages[0].contains(U("полный путь")));
            EXPECT_FALSE(installer.Record.Values.has_value());
            EXPECT_TRUE(installer.Shortcuts.Links.empty());
        } else {
            EXPECT_EQ(f.CurrentPage(), f.Panel3);
            EXPECT_EQ(f.InstallFolder, c.Folder);
            ASSERT_TRUE(installer.Record.Values.has_value());
            EXPECT_EQ(installer.Record.Values->Path, c.Folder);
            EXPECT_TRUE(IsFile(TPath(c.Folder) / "Quarto"));
        }
    }
}

TEST(Setup, UnsafeEditionNamesAreRefused) {
    for (const char* key : {"..", "../K", "K/../../x", "..\\K", "a\\b", "C:K", "/tmp", "", "."}) {
        SCOPED_TRACE(key);
        TDiscs discs;
        const std::string disc = discs.Disc("one", {discs.Edition("K")});
        WriteWholeFile(TPath(disc) / "setup.inf", DescriptorText({{"Bad", key}, {"Good", "K"}}, 2));
        const auto before = EntriesBelow(discs.Root());
        TInstaller installer;
        TForm1& f = installer.Install(disc, (discs.Root() / "t").string());
        EXPECT_TRUE(AnyListed(f, U("недопустимое имя")));
        EXPECT_FALSE(f.Label6->text().contains(U("успешно")));
        EXPECT_FALSE(installer.Record.Values.has_value());
        ASSERT_EQ(installer.Shortcuts.Links.size(), 1u);
        EXPECT_EQ(installer.Shortcuts.Links[0].Arguments, "K");
        // Nothing written but below the target.
        std::vector<std::string> outside;
        for (const std::string& entry : EntriesBelow(discs.Root()))
            if (entry.rfind("t/", 0) != 0 && entry != "t/")
                outside.push_back(entry);
        EXPECT_EQ(outside, before);
        EXPECT_EQ(EntriesBelow((discs.Root() / "t" / "Quarto" / "Books").string()),
                  (std::vector<std::string>{"K/", "K/Audio/", "K/Base/", "K/Base/about.htm",
                                            "K/FileIndex.rec", "K/Images/", "K/InnerBase.dat",
                                            "K/PicData/", "K/Pictures/", "K/Pos.rec", "K/Skins/",
                                            "K/Video/", "K/Voc.txt", "K/cContents.dat",
                                            "K/cData.dat", "K/setup.inf"}));
    }
    EXPECT_TRUE(IsSafeEditionName("NightSky"));
    EXPECT_TRUE(IsSafeEditionName("Книга 2"));
}

TEST(Setup, ADiscWithoutItsDescriptorInstallsNothing) {
    struct TCase {
        const char* Name;
        std::function<void(const std::string& disc, TFaultFileSystem&)> Damage;
        const char* Text;
    };
    const TCase cases[] = {
        {"missing",
         [](const std::string& disc, TFaultFileSystem&) {
             FileSystem().Remove(TPath(disc) / "setup.inf");
         },
         "На диске нет файла "},
        {"unreadable",
         [](const std::string&, TFaultFileSystem& fs) { fs.FailOpen("one/setup.inf"); },
         "Не удаётся прочитать файл "},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDiscs discs;
        const std::string disc = discs.Disc("one", {discs.Edition("K")});
        TFaultFileSystem faults;
        c.Damage(disc, faults);
        TFileSystemScope scope(faults);
        TInstaller installer;
        TForm1& f = installer.Start(disc);
        EXPECT_TRUE(f.Label3->text().startsWith(U(c.Text))) << f.Label3->text().toStdString();
        EXPECT_TRUE(f.Label3->text().contains("setup.inf"));
        EXPECT_FALSE(f.Button3->isEnabled());
        f.DirectoryEdit1->setText(QString::fromStdString((discs.Root() / "t").string()));
        f.Button3Click();
        EXPECT_EQ(f.CurrentPage(), f.Panel2);
        ASSERT_EQ(installer.Messages.size(), 1u);
        EXPECT_TRUE(installer.Messages[0].startsWith(U(c.Text)));
        EXPECT_FALSE(Exists(discs.Root() / "t"));
        EXPECT_FALSE(installer.Record.Values.has_value());
        EXPECT_TRUE(installer.Shortcuts.Links.empty());
    }
}

TEST(Setup, ANegativeSizeCountsAsZero) {
    TDiscs discs;
    const std::string disc = discs.Disc("one", {discs.Edition("K")});
    WriteWholeFile(TPath(disc) / "setup.inf", DescriptorText({{"Title", "K"}}, 1, -5));
    TInstaller installer;
    installer.FreeSpace.Megabytes = 0;
    TForm1& f = installer.Install(disc, (discs.Root() / "t").string());
    EXPECT_EQ(f.RequiredMB, 0);
    EXPECT_EQ(f.Label5->text(), U("Требуется: 0 Мб"));
    EXPECT_EQ(f.CurrentPage(), f.Panel3);
    EXPECT_TRUE(f.Outcome.Complete());
}

TEST(Setup, UnattendedInstallation) {
    TDiscs discs;
    const std::string disc =
        discs.Disc("one", {discs.Edition("A", "Первая", "Книга"), discs.Edition("B")});
    struct TCase {
        const char* Name;
        std::vector<std::string> Arguments; // "@T" stands for the target folder
        const char* Fault;                  // a disc file that cannot be opened, or ""
        int Status;
        std::vector<std::string> Lines; // the beginnings of the lines printed
        std::size_t Starts;
    };
    const std::string bookA = (TPath(disc) / "Books" / "A" / "cData.dat").string();
    const TCase cases[] = {
        {"installed",
         {"--target", "@T"},
         "",
         UnattendedInstalled,
         {"Установлено в @Q: программа чтения; издания 2 из 2: A, B; установка записана."},
         1},
        {"no start",
         {"--target", "@T", "--no-start"},
         "",
         UnattendedInstalled,
         {"Установлено в @Q: программа чтения; издания 2 из 2: A, B; установка записана."},
         0},
        {"a failed edition",
         {"--no-start", "--target", "@T"},
         "Books/A/cData.dat",
         UnattendedFailed,
         {bookA + ": не удаётся прочитать с диска",
          "Установлено в @Q: программа чтения; издания 1 из 2: B."},
         0},
        {"relative folder",
         {"--target", "Apps"},
         "",
         UnattendedRefused,
         {"Укажите полный путь к папке для установки"},
         0},
        {"no target", {"--no-start"}, "", UnattendedRefused, {"Использование: setup --target"}, 0},
        {"no descriptor",
         {"--target", "@T"},
         "one/setup.inf",
         UnattendedRefused,
         {"Не удаётся прочитать файл " + disc + "setup.inf"},
         0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string target = (discs.Root() / (std::string("u-") + c.Name)).string();
        const std::string q = target + "/Quarto/";
        std::vector<std::string> arguments;
        for (const std::string& a : c.Arguments)
            arguments.push_back(a == "@T" ? target : a);
        TInstaller fakes;
        TSetupServices services = fakes.Services();
        TFaultFileSystem faults;
        if (*c.Fault)
            faults.FailOpen(c.Fault);
        std::string out;
        int status;
        {
            TFileSystemScope scope(faults);
            status = RunUnattended(arguments, disc, services, out);
        }
        EXPECT_EQ(status, c.Status) << out;
        std::vector<std::string> lines;
        for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
            lines.push_back(out.substr(at, end - at));
        ASSERT_EQ(lines.size(), c.Lines.size()) << out;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string expected = c.Lines[i];
            if (const auto at = expected.find("@Q"); at != std::string::npos)
                expected.replace(at, 2, q);
            EXPECT_EQ(lines[i].substr(0, expected.size()), expected);
        }
        EXPECT_EQ(fakes.Starter.Calls.size(), c.Starts);
        EXPECT_EQ(fakes.Record.Values.has_value(), c.Status == UnattendedInstalled);
        if (c.Status == UnattendedInstalled) {
            EXPECT_EQ(fakes.Record.Values->Path, q);
            EXPECT_EQ(fakes.Shortcuts.Links.size(), 3u);
            EXPECT_EQ(Read(TPath(q) / "Quarto"), "reader v1");
        }
        if (c.Status == UnattendedRefused) {
            EXPECT_FALSE(Exists(target));
        }
    }
}

TEST(Setup, TheProgressCountsFilesAsWellAsBytes) {
    TDiscs discs;
    TFiles small;
    for (int i = 0; i < 40; ++i)
        small.push_back({"Pictures/s" + std::to_string(100 + i) + ".jpg", "x"});
    small.push_back({"Pictures/a-big.jpg", std::string(4 << 20, 'b')});
    const std::string disc = discs.Disc("one", {discs.Edition("K", "Книга", "Часть", small)});
    CreateFolders(discs.Root() / "t");
    TCopyRun run(disc, (discs.Root() / "t").string() + "/", false);
    run.PumpInterval = std::chrono::milliseconds(0);
    double afterBig = -1;
    run.OnFileCopied = [&](const std::string& name) {
        if (name == "a-big.jpg")
            afterBig = run.Fraction();
    };
    const TCopyPlan plan = run.PlanOf({"K"});
    run.Count(plan);
    EXPECT_EQ(run.TotalFiles, 41 + 4 + 7 + 1); // pictures, program group, texts, about page
    run.Copy(plan);
    // The big file is most of the bytes, but 40 files are still to come.
    EXPECT_GT(afterBig, 0.4);
    EXPECT_LT(afterBig, 0.8);
    EXPECT_EQ(run.Fraction(), 1.0);
    EXPECT_TRUE(run.Failures.empty());
}

TEST(Setup, TheDescriptorTellsWhichSectionsItHas) {
    TTempFolder temp;
    const std::string disc = temp.Path().string() + "/";
    struct TCase {
        const char* Text;
        std::vector<bool> Present;
        std::int32_t Size;
    };
    const TCase cases[] = {
        {"[Main]\r\nCount=3\r\nSize=5\r\n[1]\r\nRegKey=A\r\n[ 2 ]\r\n[3\r\nRegKey=C\r\n",
         {true, true, true},
         5},
        {"[Main]\r\nCount=3\r\n[1]\r\nRegKey=A\r\n[3]\r\nRegKey=C\r\n", {true, false, true}, 700},
        {"[Main]\r\nCount=2\r\nSize=-1\r\n", {false, false}, 0},
        {"[Main]\r\nCount=0\r\nSize=1\r\n", {}, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        WriteWholeFile(temp.Path() / "setup.inf", c.Text);
        const TDiscDescriptor d = ReadDiscDescriptor(disc);
        EXPECT_EQ(d.State, TDescriptorState::Read);
        EXPECT_EQ(d.RequiredMB, c.Size);
        std::vector<bool> present;
        for (const TDiscEdition& e : d.Editions)
            present.push_back(e.SectionPresent);
        EXPECT_EQ(present, c.Present);
    }
    FileSystem().Remove(temp.Path() / "setup.inf");
    EXPECT_EQ(ReadDiscDescriptor(disc).State, TDescriptorState::Missing);
}

// A disc made for another system carries its programs only: this system's reader, uninstaller
// and the page templates and article picture the disc lacks come from the installer's folder.
TEST(Setup, ADiscWithoutAReaderForThisSystemGetsTheInstallersOwn) {
    TDiscs discs;
    const std::string disc = discs.Disc("windows", {discs.Edition("NightSky", "Ночное небо")});
    for (const char* file : {"Quarto", "uninstall", "Skins/text.bmp"})
        FileSystem().Remove((TPath(disc) / file).string());
    WriteFiles(TPath(disc), {{"QUARTO.EXE", "MZ reader"},
                             {"IJL15.DLL", "MZ codec"},
                             {"uninstall.exe", "MZ uninstaller"},
                             {"Base/Back.htm", "<HTML>the disc's"}});
    const TPath own = discs.Root() / "package";
    WriteFiles(own, {{"Quarto", "reader here"},
                     {"uninstall", "uninstaller here"},
                     {"setup", "installer here"},
                     {"Base/Back.htm", "<HTML>ours"},
                     {"Base/Back_UTF.htm", "<HTML>ours, UTF-8"},
                     {"Skins/text.bmp", "paper here"}});
    const std::string installerFolder = own.string() + "/";

    TInstaller installer;
    const TPath target = discs.Root() / "home";
    TForm1& f = installer.Start(disc, installerFolder);
    f.DirectoryEdit1->setText(QString::fromStdString(target.string()));
    f.Button3->click();
    EXPECT_TRUE(f.Outcome.Complete());
    EXPECT_TRUE(f.Outcome.ReaderFromInstaller);
    EXPECT_EQ(f.Label6->text().section('\n', 0, 1),
              U("Установка успешно завершена.\nНа диске нет программы чтения для этой системы: "
                "установлена программа из папки программы установки, с диска взяты книги."));
    const TPath q = target / "Quarto";
    EXPECT_EQ(Read(q / "Quarto"), "reader here");
    EXPECT_EQ(Read(q / "uninstall"), "uninstaller here");
    EXPECT_EQ(Read(q / "Base" / "Back.htm"), "<HTML>the disc's"); // the disc's own is kept
    EXPECT_EQ(Read(q / "Base" / "Back_UTF.htm"), "<HTML>ours, UTF-8");
    EXPECT_EQ(Read(q / "Skins" / "text.bmp"), "paper here");
    EXPECT_TRUE(IsFile(q / "Books" / "NightSky" / "cData.dat"));
    for (const char* other : {"QUARTO.EXE", "IJL15.DLL", "uninstall.exe", "setup"})
        EXPECT_FALSE(Exists(q / other)) << other;
    EXPECT_EQ(f.ProgressBar1->value(), f.ProgressBar1->maximum());
    ASSERT_TRUE(installer.Record.Values.has_value());
    ASSERT_EQ(installer.Shortcuts.Links.size(), 2u);
    EXPECT_EQ(installer.Shortcuts.Links[0].Target, (q / "Quarto").string());

    // The same without pages; the installer's folder without a reader installs none.
    for (const bool withReader : {true, false}) {
        SCOPED_TRACE(withReader);
        const std::string again = (discs.Root() / (withReader ? "u1" : "u2")).string();
        if (!withReader)
            FileSystem().Remove((own / "Quarto").string());
        TInstaller fakes;
        TSetupServices services = fakes.Services();
        std::string out;
        const int status = RunUnattended({"--target", again, "--disc", disc, "--no-start"},
                                         installerFolder, services, out);
        if (withReader) {
            EXPECT_EQ(status, UnattendedInstalled) << out;
            EXPECT_EQ(out, "Установлено в " + again +
                               "/Quarto/: программа чтения из папки программы установки (на "
                               "диске её нет); издания 1 из 1: NightSky; установка записана.\n");
            EXPECT_EQ(Read(TPath(again) / "Quarto" / "Quarto"), "reader here");
        } else {
            EXPECT_EQ(status, UnattendedFailed) << out;
            EXPECT_NE(out.find("программа чтения не установлена"), std::string::npos) << out;
            EXPECT_FALSE(fakes.Record.Values.has_value());
        }
    }
}

TEST(Setup, TheDiscComesFromTheCommandLineTheOwnFolderOrTheFileChosen) {
    TDiscs discs;
    const std::string disc = discs.Disc("one", {discs.Edition("A")});
    const std::string elsewhere = (discs.Root() / "app").string() + "/";
    using TArgs = std::vector<std::string>;
    EXPECT_EQ(DiscOfCommandLine({"--disc", "/media/cdrom"}, disc), "/media/cdrom");
    EXPECT_EQ(DiscOfCommandLine({"--target", "/x", "--disc", "/d.iso"}, disc), "/d.iso");
    EXPECT_EQ(DiscOfCommandLine(TArgs{}, disc), disc);    // run from the disc
    EXPECT_EQ(DiscOfCommandLine(TArgs{}, elsewhere), ""); // the window asks
    EXPECT_EQ(DiscOfCommandLine({"--disc"}, elsewhere), "");

    EXPECT_EQ(DiscOfChosenFile("/media/cdrom/SETUP.INF"), "/media/cdrom/");
    EXPECT_EQ(DiscOfChosenFile("/home/u/Диски/Небо.ISO"), "/home/u/Диски/Небо.ISO");
    EXPECT_EQ(DiscOfChosenFile("/home/u/disc.iso"), "/home/u/disc.iso");
    EXPECT_EQ(DiscOfChosenFile("setup.inf"), "");
}

#ifdef QUARTO_DISC_IMAGE
// The demo disc's image is installed from in place: the programs stay programs, and a file
// that is no image is named.
TEST(Setup, ADiscImageIsInstalledFromInPlace) {
    TTempFolder scratch;
    const std::string target = (scratch.Path() / "home").string();
    TInstaller fakes;
    std::string out;
    TSetupServices given = fakes.Services();
    EXPECT_EQ(RunUnattended({"--target", target, "--disc", QUARTO_DISC_IMAGE, "--no-start"},
                            "/nowhere/", given, out),
              UnattendedInstalled)
        << out;
    const TPath q = TPath(target) / "Quarto";
    EXPECT_TRUE(IsFile(q / "Books" / "NightSky" / "cData.dat"));
    EXPECT_EQ(access((q / "Quarto").string().c_str(), X_OK), 0);
    EXPECT_EQ(access((q / "uninstall").string().c_str(), X_OK), 0);

    const std::string notImage = (scratch.Path() / "disc.iso").string();
    WriteWholeFile(notImage, "not a disc");
    out.clear();
    given = fakes.Services();
    EXPECT_EQ(RunUnattended({"--target", target + "2", "--disc", notImage}, "/nowhere/", given,
                            out),
              UnattendedRefused);
    EXPECT_EQ(out.rfind("Файл «" + notImage + "» — не образ диска ISO 9660", 0), 0u) << out;
}
#endif
