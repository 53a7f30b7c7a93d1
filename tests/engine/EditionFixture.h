// Small editions for tests: a temporary reader folder with the page templates, and editions
// made with make-edition from sources the test writes.
#pragma once

#include "common/RecordFile.h"
#include "tools/EditionWriter.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace quarto::test {

namespace fs = std::filesystem;

using TFiles = std::vector<std::pair<std::string, std::string>>;

inline void WriteFiles(const fs::path& root, const TFiles& files) {
    for (const auto& [name, content] : files) {
        fs::create_directories((root / name).parent_path());
        WriteWholeFile((root / name).string(), content);
    }
}

// A folder removed with everything in it when the test ends.
class TTempFolder {
public:
    TTempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        static int counter = 0;
        FPath = fs::temp_directory_path() / (std::string("quarto-") + info->test_suite_name() +
                                             "-" + info->name() + "-" + std::to_string(++counter));
        fs::remove_all(FPath);
        fs::create_directories(FPath);
    }
    ~TTempFolder() {
        std::error_code ec;
        fs::remove_all(FPath, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    const fs::path& Path() const { return FPath; }

private:
    fs::path FPath;
};

inline const char* TemplateBytes = "<HTML><HEAD>\r\n";

// A reader folder (ending with a separator) with its templates, and editions under Books.
class TAppFolder {
public:
    TAppFolder() {
        WriteFiles(FTemp.Path(), {{"Base/Back.htm", TemplateBytes},
                                  {"Base/Back_UTF.htm", "<HTML><HEAD><META charset=\"utf-8\">"}});
    }
    std::string Folder() const { return FTemp.Path().string() + "/"; }
    const fs::path& Path() const { return FTemp.Path(); }
    // Makes Books/<name> from source files written into a scratch source folder.
    std::string AddEdition(const std::string& name, const TFiles& source) {
        const fs::path src = FTemp.Path() / "src" / name;
        WriteFiles(src, source);
        const fs::path out = FTemp.Path() / "Books" / name;
        MakeEdition(src.string(), out.string());
        return out.string();
    }

private:
    TTempFolder FTemp;
};

// An edition.ini with the given key and option lines.
inline std::string Descriptor(const std::string& key, const std::string& options = "") {
    return "[Main]\nTitle=Книга\nTitle2=Вторая часть\nRegKey=" + key + "\n[Options]\n" + options;
}

} // namespace quarto::test
