// The installation record, free space, desktop entries and program start of this system, each
// pointed at a scratch folder, which the tests make and read through the file layer.
#include "common/FileSystem.h"
#include "platform/FreeSpace.h"
#include "platform/InstallRecord.h"
#include "platform/ProgramStarter.h"
#include "platform/Shortcuts.h"

#include "EditionFixture.h"
#include "FaultFileSystem.h"

#include <QSettings>
#include <QXmlStreamReader>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <thread>

using namespace quarto;
using namespace quarto::test;

namespace {

bool Exists(const std::string& path) {
    return FileSystem().Stat(path).Kind != TEntryKind::None;
}

bool IsFolder(const std::string& path) {
    return FileSystem().Stat(path).Kind == TEntryKind::Folder;
}

// The names in folder, hidden ones included; none when it cannot be listed.
std::vector<std::string> Names(const std::string& folder) {
    return FileSystem().List(folder).value_or(std::vector<std::string>{});
}

// Writes a file, making its folders.
void Write(const std::string& path, const std::string& text) {
    CreateFolders(ParentOf(path));
    WriteWholeFile(path, text);
}

// The regular files below folder, sorted.
std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    for (const std::string& name : Names(folder)) {
        const std::string path = folder + "/" + name;
        const TEntryKind kind = FileSystem().Stat(path).Kind;
        if (kind == TEntryKind::File)
            files.push_back(path);
        else if (kind == TEntryKind::Folder)
            for (std::string& below : FilesBelow(path))
                files.push_back(std::move(below));
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Points the user's configuration and data folders at a scratch folder for one test.
class TScratchHome {
public:
    TScratchHome() : FRoot(SystemFileSystem().AbsolutePath(FTemp.Path().string())) {
        setenv("XDG_CONFIG_HOME", In("config").c_str(), 1);
        setenv("XDG_DATA_HOME", In("data").c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(In("config")));
    }
    const std::string& Path() const { return FRoot; }
    // relative ("a/b") below the scratch folder.
    std::string In(const std::string& relative) const { return FRoot + "/" + relative; }
    std::string RecordFile() const { return In("config/Zelvane/Quarto.conf"); }
    std::vector<std::string> Files() const { return FilesBelow(FRoot); }

private:
    TTempFolder FTemp;
    std::string FRoot;
};

bool HaveProgram(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A word for the shell, in single quotes.
std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (const char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

// Runs a command; its exit status and what it wrote on both streams.
std::pair<int, std::string> RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return {-1, output};
    char buffer[512];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    return {pclose(pipe), output};
}

// The entry file whose Name line is name, written as the file holds it.
std::string EntryNamed(const TScratchHome& home, const std::string& nameLine) {
    const std::string applications = home.In("data/applications");
    for (const std::string& name : Names(applications))
        if (ReadWholeFile(applications + "/" + name).find("\n" + nameLine + "\n") !=
            std::string::npos)
            return applications + "/" + name;
    return {};
}

bool WaitFor(const std::string& file) {
    for (int i = 0; i < 200 && !Exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return Exists(file);
}

// A program that writes its folder, first argument and argument count to report, then
// renames it to report.txt.
void WriteReportingScript(const std::string& script, const std::string& report) {
    Write(script, "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$PWD\" \"$1\" \"$#\" > " +
                      ShellWord(report + ".tmp") + " && mv " + ShellWord(report + ".tmp") + " " +
                      ShellWord(report + ".txt") + "\n");
    ::chmod(script.c_str(), 0700); // the file layer writes files, it does not make programs
}

} // namespace

TEST(Platform, InstallRecordRoundTrip) {
    TScratchHome home;
    const auto record = MakeInstallRecord();
    EXPECT_FALSE(record->Read("/default/").has_value());
    ASSERT_TRUE(record->Write({"/home/u/Мои книги/Quarto/", 1}));
    EXPECT_TRUE(Exists(home.RecordFile()));
    const auto values = record->Read("/default/");
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->Path, "/home/u/Мои книги/Quarto/");
    EXPECT_EQ(values->SubVersion, 1);

    record->Remove();
    EXPECT_FALSE(record->Read("/default/").has_value());
    EXPECT_TRUE(home.Files().empty());
    EXPECT_FALSE(Exists(ParentOf(home.RecordFile())));
}

TEST(Platform, InstallRecordWithMissingValues) {
    struct TCase {
        const char* Stored;
        bool Exists;
        const char* Path;
        int SubVersion;
    };
    // Each text of its own length: the settings are read again when the file's size or time
    // changes, and these are written within moments of each other.
    const TCase cases[] = {
        {"Path=/p/\nSubVersion=3\n", true, "/p/", 3},
        {"SubVersion=3\n", true, "/default/", 3},
        {"Path=/p/\n", true, "/p/", 0},
        {"Path=\nSubVersion=1\n", true, "", 1},
        {"Path=/p/\nSubVersion=many\n", true, "/p/", 0},
        {"Other=1\n", false, "", 0},
    };
    TScratchHome home;
    const auto record = MakeInstallRecord();
    for (const TCase& c : cases) {
        Write(home.RecordFile(), std::string("[General]\n") + c.Stored);
        const auto values = record->Read("/default/");
        ASSERT_EQ(values.has_value(), c.Exists) << c.Stored;
        if (values) {
            EXPECT_EQ(values->Path, c.Path) << c.Stored;
            EXPECT_EQ(values->SubVersion, c.SubVersion) << c.Stored;
        }
    }
}

TEST(Platform, InstallRecordThatCannotBeWritten) {
    TScratchHome home;
    Write(home.In("config/Zelvane"), "a file where the folder would be");
    EXPECT_FALSE(MakeInstallRecord()->Write({"/p/", 1}));
}

// The record's file goes; the organisation's folder only when nothing else is left in it.
TEST(Platform, RemovingTheRecordKeepsWhatElseItsFolderHolds) {
    const struct {
        const char* Beside; // a file of the organisation's folder besides the record, or none
        bool FolderStays;
    } cases[] = {{nullptr, false}, {"config/Zelvane/Other.conf", true}};
    for (const auto& c : cases) {
        TScratchHome home;
        const auto record = MakeInstallRecord();
        ASSERT_TRUE(record->Write({"/p/", 1}));
        if (c.Beside)
            Write(home.In(c.Beside), "theirs");
        record->Remove();
        EXPECT_FALSE(record->Read("/default/").has_value());
        EXPECT_FALSE(Exists(home.RecordFile()));
        EXPECT_EQ(IsFolder(home.In("config/Zelvane")), c.FolderStays);
        if (c.Beside) {
            EXPECT_EQ(ReadWholeFile(home.In(c.Beside)), "theirs");
        }
    }
}

TEST(Platform, FreeSpaceIsMeasuredAtTheNearestExistingFolder) {
    TScratchHome home;
    Write(home.In("made/file.txt"), "x");
    const std::string h = home.Path();
    const std::string current = ParentOf(SystemFileSystem().AbsolutePath("x"));
    const std::pair<std::string, std::string> cases[] = {
        {h, h},
        {h + "/", h},
        {h + "///", h},
        {h + "/a/b/Quarto/", h},
        {h + "/a/b/Quarto", h},
        {h + "/made/Quarto/", h + "/made"},
        {h + "/made/file.txt", h + "/made/file.txt"}, // a file is measured where it is
        {h + "/made/./a/../Quarto/", h + "/made"},
        {h + "/made/../made/b/", h + "/made"},
        {"/", "/"},
        {"/quarto-no-such-folder/Quarto/", "/"},
        {"", current},
        {"quarto-no-such-folder/Quarto", current},
    };
    for (const auto& [path, folder] : cases)
        EXPECT_EQ(NearestExistingFolder(path), folder) << path;
}

TEST(Platform, FreeSpaceOfAFolderStillToBeMade) {
    TScratchHome home;
    const auto space = MakeFreeSpace();
    const std::int64_t here = space->FreeMegabytes(home.Path());
    EXPECT_GT(here, 0);
    const std::int64_t later = space->FreeMegabytes(home.In("a/b/Quarto/"));
    EXPECT_LE(std::abs(later - here), 16); // the same file system, measured moments apart
}

TEST(Platform, DesktopEntriesMakeTheMenuGroup) {
    TScratchHome home;
    const auto shortcuts = MakeShortcuts();
    const std::string reader = home.In("My Books/Quarto $1/Quarto");
    EXPECT_TRUE(shortcuts->CreateShortcut(reader, "Ночное небо - Путеводитель", "NightSky"));
    EXPECT_TRUE(shortcuts->CreateShortcut(reader, " - Атлас ", "Atlas"));
    EXPECT_TRUE(shortcuts->CreateShortcut(reader, "Ночное небо - Путеводитель", "Again"));
    const std::string uninstall = home.In("100%/uninstall");
    EXPECT_TRUE(shortcuts->CreateShortcut(uninstall, "Удалить все книги", ""));
    for (const char* bad :
         {"", ".", "..", "a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\nb"})
        EXPECT_FALSE(shortcuts->CreateShortcut(reader, bad, "K")) << bad;

    const std::string applications = home.In("data/applications");
    EXPECT_EQ(Names(applications).size(), 3u);
    // The same name made again replaced the first; spaces at the ends of a name survive.
    const std::string book = EntryNamed(home, "Name=Ночное небо - Путеводитель");
    ASSERT_FALSE(book.empty());
    EXPECT_FALSE(EntryNamed(home, "Name=\\s- Атлас\\s").empty());
    // A program whose path holds a "%" is started through env (see the gio test below).
    const std::string uninstallEntry = EntryNamed(home, "Name=Удалить все книги");
    ASSERT_FALSE(uninstallEntry.empty());
    EXPECT_NE(
        ReadWholeFile(uninstallEntry).find("\nExec=env \"" + home.In("100%%/uninstall") + "\"\n"),
        std::string::npos);
    // The folder with a space and a dollar sign is quoted, the dollar escaped (and the
    // backslash of that escape doubled as every string value's backslash is).
    const std::string text = ReadWholeFile(book);
    EXPECT_NE(text.find("\nExec=\"" + home.In("My Books") + "/Quarto \\\\$1/Quarto\" \"Again\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nPath=" + home.In("My Books/Quarto $1") + "\n"), std::string::npos)
        << text;

    const std::string menu = home.In("config/menus/applications-merged");
    const std::string directories = home.In("data/desktop-directories");
    ASSERT_EQ(Names(menu).size(), 1u);
    ASSERT_EQ(Names(directories).size(), 1u);
    const std::string directory = directories + "/" + Names(directories).front();
    QXmlStreamReader xml(
        QByteArray::fromStdString(ReadWholeFile(menu + "/" + Names(menu).front())));
    // The menu's elements as <name>text</>, whitespace between elements left out.
    std::string tree;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement)
            tree += "<" + xml.name().toString().toStdString() + ">";
        else if (token == QXmlStreamReader::EndElement)
            tree += "</>";
        else if (token == QXmlStreamReader::Characters && !xml.isWhitespace())
            tree += xml.text().toString().toStdString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(tree, "<Menu><Name>Applications</><Menu><Name>Zelvane Books</><Directory>" +
                        FileNameOf(directory) +
                        "</><Include><Category>X-Zelvane-Books</></></></>");
    EXPECT_NE(ReadWholeFile(directory).find("\nName=Электронные книги\n"), std::string::npos);

    // Hints (our category is no registered main one) are allowed; errors and warnings not.
    if (HaveProgram("desktop-file-validate")) {
        for (const std::string& file : home.Files()) {
            if (EndsWith(file, ".desktop") || EndsWith(file, ".directory")) {
                const auto [status, output] =
                    RunCommand("desktop-file-validate " + ShellWord(file));
                EXPECT_EQ(status, 0) << output;
                EXPECT_EQ(output.find("error"), std::string::npos) << output;
                EXPECT_EQ(output.find("warning"), std::string::npos) << output;
            }
        }
    }

    shortcuts->RemoveAll();
    EXPECT_TRUE(home.Files().empty());
    EXPECT_FALSE(Exists(menu));
    EXPECT_FALSE(Exists(directories));
}

// Every byte of the entries and of the group's files, for targets that need no escaping and
// for ones that need every kind of it. An entry's file name follows from the shortcut's name
// alone, so that making a shortcut again replaces it.
TEST(Platform, DesktopEntriesHoldExactlyTheseBytes) {
    struct TCase {
        const char* Target;
        const char* Name;
        const char* Arguments;
        const char* File; // after "zelvane-books-"
        const char* NameValue;
        const char* Exec;
        const char* Path;
    };
    const TCase cases[] = {
        {"/opt/My Books/Quarto $1/Quarto", "Ночное небо - Путеводитель", "NightSky",
         "68de4d6a506429e9", "Ночное небо - Путеводитель",
         R"x("/opt/My Books/Quarto \\$1/Quarto" "NightSky")x", "/opt/My Books/Quarto $1"},
        {"/opt/x/Quarto", " - Атлас ", "Atlas", "2e3c0c8c5288968a", R"x(\s- Атлас\s)x",
         R"x("/opt/x/Quarto" "Atlas")x", "/opt/x"},
        {"/opt/100%/uninstall", "Удалить все книги", "", "c11517081c549c16", "Удалить все книги",
         R"x(env "/opt/100%%/uninstall")x", "/opt/100%"},
        {"/opt/a \"q\" \\ `x` 'y' ;&|<>~#()*?/Quarto", "Книга 1", "K 100% \"q\" \\ $HOME `x`",
         "11991f9e5e145c0e", "Книга 1",
         R"x("/opt/a \\"q\\" \\\\ \\`x\\` 'y' ;&|<>~#()*?/Quarto" "K 100%% \\"q\\" \\\\ \\$HOME \\`x\\`")x",
         R"x(/opt/a "q" \\ `x` 'y' ;&|<>~#()*?)x"},
        {"/opt/tab\there/new\nline/cr\rx/Quarto", "T", " lead", "af64094c86023903", "T",
         R"x("/opt/tab\there/new\nline/cr\rx/Quarto" " lead")x",
         R"x(/opt/tab\there/new\nline/cr\rx)x"},
        {"/opt/./dots/../Quarto", "Dots", "x", "0321f67360403969", "Dots",
         R"x("/opt/./dots/../Quarto" "x")x", "/opt"},
        {"/opt/trail/", "Trail", "x", "9ea77b0d371dc103", "Trail", R"x("/opt/trail/" "x")x",
         "/opt/trail"},
        {"/Quarto", "Root", "x", "ca7cfe2bef51b2a5", "Root", R"x("/Quarto" "x")x", "/"},
    };
    TScratchHome home;
    const auto shortcuts = MakeShortcuts();
    for (const TCase& c : cases) {
        ASSERT_TRUE(shortcuts->CreateShortcut(c.Target, c.Name, c.Arguments)) << c.Name;
        EXPECT_EQ(ReadWholeFile(home.In("data/applications/zelvane-books-") + c.File + ".desktop"),
                  std::string("[Desktop Entry]\nType=Application\nVersion=1.0\nName=") +
                      c.NameValue + "\nExec=" + c.Exec + "\nPath=" + c.Path +
                      "\nTerminal=false\nCategories=X-Zelvane-Books;\n")
            << c.Name;
    }
    EXPECT_EQ(Names(home.In("data/applications")).size(), std::size(cases));
    EXPECT_EQ(ReadWholeFile(home.In("data/desktop-directories/zelvane-books-group.directory")),
              "[Desktop Entry]\nType=Directory\nVersion=1.0\nName=Электронные книги\n"
              "Icon=accessories-dictionary\n");
    EXPECT_EQ(ReadWholeFile(home.In("config/menus/applications-merged/zelvane-books-group.menu")),
              "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
              " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
              "<Menu>\n"
              "  <Name>Applications</Name>\n"
              "  <Menu>\n"
              "    <Name>Zelvane Books</Name>\n"
              "    <Directory>zelvane-books-group.directory</Directory>\n"
              "    <Include>\n"
              "      <Category>X-Zelvane-Books</Category>\n"
              "    </Include>\n"
              "  </Menu>\n"
              "</Menu>\n");
}

// Removing the group takes our entries (named like them, whatever the letter case), the
// directory entry and the menu file, and each of their folders that is left empty; what the
// user or other programs keep there stays.
TEST(Platform, RemovingTheGroupLeavesWhatIsNotOurs) {
    TScratchHome home;
    const auto shortcuts = MakeShortcuts();
    ASSERT_TRUE(shortcuts->CreateShortcut("/opt/Quarto/Quarto", "Книга - Том", "K"));
    ASSERT_TRUE(shortcuts->CreateShortcut("/opt/Quarto/uninstall", "Удалить все книги", ""));
    const struct {
        const char* Path;
        bool Folder;
        bool Stays;
    } cases[] = {
        {"data/applications/other.desktop", false, true},
        {"data/applications/zelvane-books-notes.txt", false, true},
        {"data/applications/ZELVANE-BOOKS-0123456789abcdef.DESKTOP", false, false},
        {"data/applications/zelvane-books-.desktop", false, false},
        {"data/applications/zelvane-books-folder.desktop", true, true},
        {"config/menus/applications-merged/other.menu", false, true},
    };
    for (const auto& c : cases) {
        if (c.Folder)
            CreateFolders(home.In(c.Path));
        else
            Write(home.In(c.Path), "theirs");
    }
    shortcuts->RemoveAll();
    for (const auto& c : cases)
        EXPECT_EQ(Exists(home.In(c.Path)), c.Stays) << c.Path;
    EXPECT_EQ(Names(home.In("data/applications")).size(), 3u);
    EXPECT_FALSE(Exists(home.In("data/desktop-directories")));
    EXPECT_FALSE(Exists(home.In("config/menus/applications-merged/zelvane-books-group.menu")));
    EXPECT_TRUE(IsFolder(home.In("config/menus/applications-merged")));
}

// The entries are written through the file layer: when it cannot write or rename, no shortcut
// is made and nothing is left behind.
TEST(Platform, DesktopEntriesThatCannotBeWritten) {
    const struct {
        bool FailWrites;
        bool FailRenames;
    } cases[] = {{true, false}, {false, true}};
    for (const auto& c : cases) {
        TScratchHome home;
        TFaultFileSystem files;
        if (c.FailWrites)
            files.NoSpaceAfter(0);
        if (c.FailRenames)
            files.FailRename("/");
        const TFileSystemScope scope(files);
        EXPECT_FALSE(MakeShortcuts()->CreateShortcut("/opt/Quarto/Quarto", "Книга", "K"));
        EXPECT_EQ(home.Files(), std::vector<std::string>{}) << c.FailWrites << c.FailRenames;
    }
}

// The entries as a launcher that follows the freedesktop desktop entry format reads them (GLib's
// gio): the program starts in its folder with the edition's key as its only argument, whatever
// characters the folder and the key hold.
TEST(Platform, DesktopEntriesStartTheReader) {
    if (!HaveProgram("gio"))
        GTEST_SKIP() << "gio is not installed";
    struct TCase {
        const char* Folder;
        const char* Argument;
    };
    const TCase cases[] = {
        {"Zelvane/Quarto", "NightSky"},
        {"Мои книги/Quarto", "Ночное небо"},
        {"a 100%/b \"q\" \\ $HOME `x` 'y' ;&|<>~#()*?/Quarto", "K 100% \"q\" \\ $HOME `x`"},
        {"no argument/Quarto", ""},
    };
    TScratchHome home;
    const auto shortcuts = MakeShortcuts();
    int n = 0;
    for (const TCase& c : cases) {
        const std::string folder = home.In("install/") + c.Folder;
        const std::string report = home.In("report" + std::to_string(++n));
        WriteReportingScript(folder + "/Quarto", report);
        const std::string name = "Книга " + std::to_string(n);
        ASSERT_TRUE(shortcuts->CreateShortcut(folder + "/Quarto", name, c.Argument));
        const std::string entry = EntryNamed(home, "Name=" + name);
        const auto [status, output] = RunCommand("gio launch " + ShellWord(entry));
        ASSERT_EQ(status, 0) << output << ReadWholeFile(entry);
        ASSERT_TRUE(WaitFor(report + ".txt")) << c.Folder;
        EXPECT_EQ(ReadWholeFile(report + ".txt"),
                  folder + "|" + c.Argument + "|" + (*c.Argument ? "1" : "0") + "\n")
            << ReadWholeFile(entry);
    }
}

TEST(Platform, StartingAProgramDetached) {
    TScratchHome home;
    const std::string script = home.In("bin dir/program");
    const std::string report = home.In("report");
    WriteReportingScript(script, report);
    ASSERT_TRUE(MakeProgramStarter()->Start(script, {"Night Sky"}));
    ASSERT_TRUE(WaitFor(report + ".txt"));
    EXPECT_EQ(ReadWholeFile(report + ".txt"), home.In("bin dir") + "|Night Sky|1\n");
    EXPECT_FALSE(MakeProgramStarter()->Start(home.In("none"), {}));
}
