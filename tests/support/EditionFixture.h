// Small editions for tests: scratch folders, a temporary reader folder with the page templates,
// and editions made with make-edition from sources the test writes. Files are reached through
// the file layer.
#pragma once

#include "common/Cp1251.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"
#include "tools/EditionWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace quarto::test {

// A path that joins with "/" as tests like to write it: root / "Books" / key.
class TPath {
public:
    TPath() = default;
    TPath(std::string path) : FPath(std::move(path)) {}
    TPath(const char* path) : FPath(path) {}
    const std::string& string() const { return FPath; }
    operator const std::string&() const { return FPath; }
    operator std::string_view() const { return FPath; }
    TPath operator/(const std::string& name) const { return TPath(JoinPath(FPath, name)); }
    TPath parent_path() const { return TPath(ParentOf(FPath)); }
    std::string filename() const { return FileNameOf(FPath); }
    bool operator==(const TPath&) const = default;

private:
    std::string FPath;
};

inline std::ostream& operator<<(std::ostream& out, const TPath& path) {
    return out << path.string();
}

// A path as the system compares paths: ignoring letter case on Windows (where a path that
// exists keeps the spelling it was given), as it is elsewhere.
inline std::string PathKey(const std::string& path) {
    return PathSeparator == '\\' ? LowerCaseUtf8(path) : path;
}

// path written with "/" as tests like to write it, with this system's separator.
inline std::string NativePath(std::string path) {
    std::replace(path.begin(), path.end(), '/', PathSeparator);
    return path;
}

using TFiles = std::vector<std::pair<std::string, std::string>>;

// Writes each (relative name, content) below root, making the folders on the way.
inline void WriteFiles(const TPath& root, const TFiles& files) {
    for (const auto& [name, content] : files) {
        const TPath path = root / name;
        CreateFolders(path.parent_path());
        WriteWholeFile(path, content);
    }
}

// Copies the file or folder tree from to to.
inline void CopyTree(const TPath& from, const TPath& to) {
    if (FileSystem().Stat(from).Kind != TEntryKind::Folder) {
        FileSystem().CopyFile(from, to);
        return;
    }
    CreateFolders(to);
    if (const auto names = FileSystem().List(from))
        for (const std::string& name : *names)
            CopyTree(from / name, to / name);
}

// Everything below folder, relative to it, folders ending with "/", sorted.
inline std::vector<std::string> EntriesBelow(const std::string& folder,
                                             const std::string& prefix = "") {
    std::vector<std::string> entries;
    for (const std::string& name : FileSystem().List(folder).value_or(std::vector<std::string>{})) {
        const std::string path = JoinPath(folder, name);
        if (FileSystem().Stat(path).Kind == TEntryKind::Folder) {
            entries.push_back(prefix + name + "/");
            for (std::string& below : EntriesBelow(path, prefix + name + "/"))
                entries.push_back(std::move(below));
        } else {
            entries.push_back(prefix + name);
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

inline bool Exists(const TPath& path) {
    return FileSystem().Stat(path).Kind != TEntryKind::None;
}

// The id of this test process: scratch names carry it, so that two runs of the tests on one
// machine (two builds, ctest -j) never share or remove each other's folders.
inline long ProcessId() {
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

// A scratch file or folder name of this process in the system's temporary folder:
// "<temp>/quarto-<pid>-<name>".
inline std::string ScratchPath(const std::string& name) {
    return JoinPath(SystemFileSystem().AbsolutePath(::testing::TempDir()),
                    "quarto-" + std::to_string(ProcessId()) + "-" + name);
}

// A folder removed with everything in it when the test ends, named after the process, the test
// and a counter ("quarto-4711-Suite-Test-3").
class TTempFolder {
public:
    TTempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        static int counter = 0;
        std::string name;
        if (info)
            name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
        FPath = TPath(ScratchPath(name + std::to_string(++counter)));
        SystemFileSystem().RemoveTree(FPath);
        CreateFolders(FPath);
    }
    ~TTempFolder() {
        try {
            SystemFileSystem().RemoveTree(FPath);
        } catch (const EStreamError&) {
        }
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    const TPath& Path() const { return FPath; }

private:
    TPath FPath;
};

inline const char* TemplateBytes = "<HTML><HEAD>\r\n";

// A reader folder (ending with a separator) with its templates, and editions under Books.
class TAppFolder {
public:
    TAppFolder() {
        WriteFiles(FTemp.Path(), {{"Base/Back.htm", TemplateBytes},
                                  {"Base/Back_UTF.htm", "<HTML><HEAD><META charset=\"utf-8\">"}});
    }
    std::string Folder() const { return JoinPath(FTemp.Path(), ""); }
    const TPath& Path() const { return FTemp.Path(); }
    // Makes Books/<name> from source files written into a scratch source folder.
    std::string AddEdition(const std::string& name, const TFiles& source) {
        const TPath src = FTemp.Path() / "src" / name;
        WriteFiles(src, source);
        const TPath out = FTemp.Path() / "Books" / name;
        MakeEdition(src, out);
        return out;
    }

private:
    TTempFolder FTemp;
};

// An edition.ini with the given key and option lines.
inline std::string Descriptor(const std::string& key, const std::string& options = "") {
    return "[Main]\nTitle=Книга\nTitle2=Вторая часть\nRegKey=" + key + "\n[Options]\n" + options;
}

} // namespace quarto::test
