#include "UninstallCore.h"

#include "common/EditionLayout.h"
#include "common/FileSystem.h"

#include <optional>

namespace quarto {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The folder without "." and ".." parts, links resolved, and without a trailing separator
// (but for a root).
std::string Normal(const std::string& folder) {
    std::string path = FileSystem().CanonicalPath(folder);
    while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    return path;
}

// True for "/", "C:\" and "C:".
bool IsRoot(const std::string& path) {
    return path.empty() || (path.size() == 1 && IsSeparator(path[0])) ||
           (path.size() <= 3 && path.size() >= 2 && path[1] == ':');
}

// The user's home folder, when it is known.
std::optional<std::string> Home() {
    const std::string home = HomeFolder();
    if (home.empty())
        return std::nullopt;
    return Normal(home);
}

// True when path is folder itself or a folder above it (both normal).
bool Holds(const std::string& path, const std::string& folder) {
    if (IsRoot(path))
        return true;
    return folder.compare(0, path.size(), path) == 0 &&
           (folder.size() == path.size() || IsSeparator(folder[path.size()]));
}

TEntryKind KindOf(const std::string& path) {
    return FileSystem().Stat(path).Kind;
}

} // namespace

bool IsRemovableInstallation(const std::string& folder) {
    if (folder.empty())
        return false;
    const std::string path = Normal(folder);
    if (KindOf(path) != TEntryKind::Folder || IsRoot(path) || FileNameOf(path).empty())
        return false;
    if (const auto home = Home(); home && Holds(path, *home))
        return false;
    return KindOf(JoinPath(path, Layout::ReaderProgram())) == TEntryKind::File;
}

bool RemoveInstallation(const std::string& folder, TInstallRecord& record, TShortcuts& shortcuts) {
    bool removed = false;
    if (IsRemovableInstallation(folder)) {
        TFileSystem& files = FileSystem();
        const std::string path = Normal(folder);
        try {
            files.RemoveTree(path);
        } catch (const EStreamError&) {
            // what is left is told below
        }
        removed = KindOf(path) == TEntryKind::None;
        // The folder chosen at installation, when nothing else is left in it.
        const std::string parent = ParentOf(path);
        const auto home = Home();
        if (removed && !IsRoot(parent) && !(home && Holds(parent, *home))) {
            const auto rest = files.List(parent);
            if (rest && rest->empty()) {
                try {
                    files.Remove(parent);
                } catch (const EStreamError&) {
                }
            }
        }
    }
    record.Remove();
    shortcuts.RemoveAll();
    return removed;
}

} // namespace quarto
