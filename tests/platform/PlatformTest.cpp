// The installation record, free space, desktop entries and program start of this system, each
// pointed at a scratch folder.
#include "platform/FreeSpace.h"
#include "platform/InstallRecord.h"
#include "platform/ProgramStarter.h"
#include "platform/Shortcuts.h"

#include "EditionFixture.h"

#include <QSettings>
#include <QXmlStreamReader>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

using namespace quarto;
using namespace quarto::test;

namespace {

// Points the user's configuration and data folders at a scratch folder for one test.
class TScratchHome {
public:
    TScratchHome() {
        setenv("XDG_CONFIG_HOME", (FTemp.Path() / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (FTemp.Path() / "data").c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((FTemp.Path() / "config").string()));
    }
    const fs::path& Path() const { return FTemp.Path(); }
    fs::path RecordFile() const { return FTemp.Path() / "config" / "Zelvane" / "Quarto.conf"; }
    std::vector<fs::path> Files() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(FTemp.Path()))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        return files;
    }

private:
    TTempFolder FTemp;
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
fs::path EntryNamed(const TScratchHome& home, const std::string& nameLine) {
    for (const auto& entry : fs::directory_iterator(home.Path() / "data" / "applications"))
        if (ReadWholeFile(entry.path().string()).find("\n" + nameLine + "\n") != std::string::npos)
            return entry.path();
    return {};
}

bool WaitFor(const fs::path& file) {
    for (int i = 0; i < 200 && !fs::exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return fs::exists(file);
}

// A program that writes its folder, first argument and argument count to report, then
// renames it to report.txt.
void WriteReportingScript(const fs::path& script, const fs::path& report) {
    WriteFiles(script.parent_path(), {{script.filename().string(),
                                       "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$PWD\" \"$1\" \"$#\" > " +
                                           ShellWord(report.string() + ".tmp") + " && mv " +
                                           ShellWord(report.string() + ".tmp") + " " +
                                           ShellWord(report.string() + ".txt") + "\n"}});
    fs::permissions(script, fs::perms::owner_all);
}

} // namespace

TEST(Platform, InstallRecordRoundTrip) {
    TScratchHome home;
    const auto record = MakeInstallRecord();
    EXPECT_FALSE(record->Read("/default/").has_value());
    ASSERT_TRUE(record->Write({"/home/u/Мои книги/Quarto/", 1}));
    EXPECT_TRUE(fs::exists(home.RecordFile()));
    const auto values = record->Read("/default/");
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->Path, "/home/u/Мои книги/Quarto/");
    EXPECT_EQ(values->SubVersion, 1);

    record->Remove();
    EXPECT_FALSE(record->Read("/default/").has_value());
    EXPECT_TRUE(home.Files().empty());
    EXPECT_FALSE(fs::exists(home.RecordFile().parent_path()));
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
        WriteFiles(home.Path(),
                   {{"config/Zelvane/Quarto.conf", std::string("[General]\n") + c.Stored}});
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
    WriteFiles(home.Path(), {{"config/Zelvane", "a file where the folder would be"}});
    EXPECT_FALSE(MakeInstallRecord()->Write({"/p/", 1}));
}

TEST(Platform, FreeSpaceOfAFolderStillToBeMade) {
    TScratchHome home;
    const auto space = MakeFreeSpace();
    const std::int64_t here = space->FreeMegabytes(home.Path().string());
    EXPECT_GT(here, 0);
    const std::int64_t later = space->FreeMegabytes((home.Path() / "a" / "b" / "Quarto/").string());
    EXPECT_LE(std::abs(later - here), 16); // the same file system, measured moments apart
}

TEST(Platform, DesktopEntriesMakeTheMenuGroup) {
    TScratchHome home;
    const auto shortcuts = MakeShortcuts();
    const std::string reader = (home.Path() / "My Books" / "Quarto $1" / "Quarto").string();
    EXPECT_TRUE(shortcuts->CreateShortcut(reader, "Ночное небо - Путеводитель", "NightSky"));
    EXPECT_TRUE(shortcuts->CreateShortcut(reader, " - Атлас ", "Atlas"));
    EXPECT_TRUE(shortcuts->CreateShortcut(reader, "Ночное небо - Путеводитель", "Again"));
    const std::string uninstall = (home.Path() / "100%" / "uninstall").string();
    EXPECT_TRUE(shortcuts->CreateShortcut(uninstall, "Удалить все книги", ""));
    for (const char* bad :
         {"", ".", "..", "a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\nb"})
        EXPECT_FALSE(shortcuts->CreateShortcut(reader, bad, "K")) << bad;

    const fs::path applications = home.Path() / "data" / "applications";
    EXPECT_EQ(std::distance(fs::directory_iterator(applications), fs::directory_iterator()), 3);
    // The same name made again replaced the first; spaces at the ends of a name survive.
    const fs::path book = EntryNamed(home, "Name=Ночное небо - Путеводитель");
    ASSERT_FALSE(book.empty());
    EXPECT_FALSE(EntryNamed(home, "Name=\\s- Атлас\\s").empty());
    // A program whose path holds a "%" is started through env (see the gio test below).
    const fs::path uninstallEntry = EntryNamed(home, "Name=Удалить все книги");
    ASSERT_FALSE(uninstallEntry.empty());
    EXPECT_NE(ReadWholeFile(uninstallEntry.string())
                  .find("\nExec=env \"" + (home.Path() / "100%%" / "uninstall").string() + "\"\n"),
              std::string::npos);
    // The folder with a space and a dollar sign is quoted, the dollar escaped (and the
    // backslash of that escape doubled as every string value's backslash is).
    const std::string text = ReadWholeFile(book.string());
    EXPECT_NE(text.find("\nExec=\"" + (home.Path() / "My Books").string() +
                        "/Quarto \\\\$1/Quarto\" \"Again\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nPath=" + (home.Path() / "My Books" / "Quarto $1").string() + "\n"),
              std::string::npos)
        << text;

    const fs::path menu = home.Path() / "config" / "menus" / "applications-merged";
    const fs::path directories = home.Path() / "data" / "desktop-directories";
    ASSERT_EQ(std::distance(fs::directory_iterator(menu), fs::directory_iterator()), 1);
    ASSERT_EQ(std::distance(fs::directory_iterator(directories), fs::directory_iterator()), 1);
    const fs::path directory = fs::directory_iterator(directories)->path();
    QXmlStreamReader xml(
        QByteArray::fromStdString(ReadWholeFile(fs::directory_iterator(menu)->path().string())));
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
                        directory.filename().string() +
                        "</><Include><Category>X-Zelvane-Books</></></></>");
    EXPECT_NE(ReadWholeFile(directory.string()).find("\nName=Электронные книги\n"),
              std::string::npos);

    // Hints (our category is no registered main one) are allowed; errors and warnings not.
    if (HaveProgram("desktop-file-validate")) {
        for (const fs::path& file : home.Files()) {
            if (file.extension() == ".desktop" || file.extension() == ".directory") {
                const auto [status, output] =
                    RunCommand("desktop-file-validate " + ShellWord(file.string()));
                EXPECT_EQ(status, 0) << output;
                EXPECT_EQ(output.find("error"), std::string::npos) << output;
                EXPECT_EQ(output.find("warning"), std::string::npos) << output;
            }
        }
    }

    shortcuts->RemoveAll();
    EXPECT_TRUE(home.Files().empty());
    EXPECT_FALSE(fs::exists(menu));
    EXPECT_FALSE(fs::exists(directories));
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
        const fs::path folder = home.Path() / "install" / c.Folder;
        const fs::path report = home.Path() / ("report" + std::to_string(++n));
        WriteReportingScript(folder / "Quarto", report);
        const std::string name = "Книга " + std::to_string(n);
        ASSERT_TRUE(shortcuts->CreateShortcut((folder / "Quarto").string(), name, c.Argument));
        const fs::path entry = EntryNamed(home, "Name=" + name);
        const auto [status, output] = RunCommand("gio launch " + ShellWord(entry.string()));
        ASSERT_EQ(status, 0) << output << ReadWholeFile(entry.string());
        ASSERT_TRUE(WaitFor(report.string() + ".txt")) << c.Folder;
        EXPECT_EQ(ReadWholeFile(report.string() + ".txt"),
                  folder.string() + "|" + c.Argument + "|" + (*c.Argument ? "1" : "0") + "\n")
            << ReadWholeFile(entry.string());
    }
}

TEST(Platform, StartingAProgramDetached) {
    TScratchHome home;
    const fs::path script = home.Path() / "bin dir" / "program";
    const fs::path report = home.Path() / "report";
    WriteReportingScript(script, report);
    ASSERT_TRUE(MakeProgramStarter()->Start(script.string(), {"Night Sky"}));
    ASSERT_TRUE(WaitFor(report.string() + ".txt"));
    EXPECT_EQ(ReadWholeFile(report.string() + ".txt"),
              (home.Path() / "bin dir").string() + "|Night Sky|1\n");
    EXPECT_FALSE(MakeProgramStarter()->Start((home.Path() / "none").string(), {}));
}
