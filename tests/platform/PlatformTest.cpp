// The installation record, free space, desktop entries and program start of this system, each
// pointed at a scratch folder.
#include "platform/Platform.h"

#include "EditionFixture.h"

#include <QSettings>
#include <QXmlStreamReader>

#include <chrono>
#include <cstdlib>
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

bool HaveValidator() {
    return std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0;
}

} // namespace

TEST(Platform, InstallRecordRoundTrip) {
    TScratchHome home;
    const auto record = MakeInstallRecord();
    EXPECT_FALSE(record->Read("/default/").has_value());
    ASSERT_TRUE(record->Write({"/home/u/Zelvane/Quarto/", 1}));
    auto values = record->Read("/default/");
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->Path, "/home/u/Zelvane/Quarto/");
    EXPECT_EQ(values->SubVersion, 1);
    EXPECT_TRUE(fs::exists(home.Path() / "config" / "Zelvane" / "Quarto.conf"));

    // A record that lacks a value reads it as the default.
    const fs::path file = home.Path() / "config" / "Zelvane" / "Quarto.conf";
    WriteWholeFile(file.string(), "[General]\nSubVersion=3\n");
    values = record->Read("/default/");
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->Path, "/default/");
    EXPECT_EQ(values->SubVersion, 3);
    WriteWholeFile(file.string(), "[General]\nPath=/p/\nSubVersion=many\n");
    values = record->Read("/default/");
    EXPECT_EQ(values->Path, "/p/");
    EXPECT_EQ(values->SubVersion, 0);

    record->Remove();
    EXPECT_FALSE(record->Read("/default/").has_value());
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
    EXPECT_TRUE(shortcuts->CreateShortcut(reader, "Ночное небо - Путеводитель", "Again"));
    EXPECT_TRUE(
        shortcuts->CreateShortcut((home.Path() / "uninstall").string(), "Удалить все книги", ""));
    for (const char* bad :
         {"", ".", "..", "a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a\nb"})
        EXPECT_FALSE(shortcuts->CreateShortcut(reader, bad, "K")) << bad;

    const fs::path applications = home.Path() / "data" / "applications";
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(applications))
        entries.push_back(ReadWholeFile(entry.path().string()));
    ASSERT_EQ(entries.size(), 2u); // the same name made again replaced the first
    const std::string* book = nullptr;
    for (const std::string& e : entries)
        if (e.find("Name=Ночное небо - Путеводитель\n") != std::string::npos)
            book = &e;
    ASSERT_NE(book, nullptr);
    // The path with a space and a dollar sign is quoted, the dollar escaped (and the backslash
    // of that escape doubled as every string value's backslash is).
    EXPECT_NE(book->find("Exec=\"" + (home.Path() / "My Books").string() +
                         "/Quarto \\\\$1/Quarto\" \"Again\"\n"),
              std::string::npos)
        << *book;
    EXPECT_NE(book->find("Path=" + (home.Path() / "My Books" / "Quarto $1").string() + "\n"),
              std::string::npos);

    const fs::path menu = home.Path() / "config" / "menus" / "applications-merged";
    const fs::path directories = home.Path() / "data" / "desktop-directories";
    ASSERT_EQ(std::distance(fs::directory_iterator(menu), fs::directory_iterator()), 1);
    ASSERT_EQ(std::distance(fs::directory_iterator(directories), fs::directory_iterator()), 1);
    const fs::path menuFile = fs::directory_iterator(menu)->path();
    QXmlStreamReader xml(QByteArray::fromStdString(ReadWholeFile(menuFile.string())));
    QStringList names;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("Category"))
            names << xml.readElementText();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(names, QStringList{"X-Zelvane-Books"});
    EXPECT_NE(ReadWholeFile(fs::directory_iterator(directories)->path().string())
                  .find("Name=Электронные книги\n"),
              std::string::npos);

    if (HaveValidator()) {
        for (const fs::path& file : home.Files()) {
            if (file.extension() == ".desktop" || file.extension() == ".directory") {
                EXPECT_EQ(std::system(("desktop-file-validate '" + file.string() + "'").c_str()), 0)
                    << file;
            }
        }
    }

    shortcuts->RemoveAll();
    EXPECT_TRUE(home.Files().empty());
}

TEST(Platform, StartingAProgramDetached) {
    TScratchHome home;
    const fs::path script = home.Path() / "bin dir" / "program";
    const fs::path out = home.Path() / "bin dir" / "out.txt";
    WriteFiles(home.Path(), {{"bin dir/program",
                              "#!/bin/sh\necho \"$PWD|$1|$#\" > out.tmp && mv out.tmp out.txt\n"}});
    fs::permissions(script, fs::perms::owner_all);
    ASSERT_TRUE(MakeProgramStarter()->Start(script.string(), {"Night Sky"}));
    for (int i = 0; i < 100 && !fs::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadWholeFile(out.string()), (home.Path() / "bin dir").string() + "|Night Sky|1\n");
    EXPECT_FALSE(MakeProgramStarter()->Start((home.Path() / "none").string(), {}));
}
