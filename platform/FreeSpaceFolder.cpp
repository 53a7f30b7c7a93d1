// The folder whose file system the free space is measured on, for every platform.
#include "FreeSpace.h"

#include "common/FileSystem.h"

namespace quarto {

namespace {

bool IsSeparator(char c) {
    return c == '/' || (PathSeparator == '\\' && c == '\\');
}

// "X:" followed by a separator: a drive's root on Windows.
bool IsDriveRoot(const std::string& path) {
    return PathSeparator == '\\' && path.size() == 3 && path[1] == ':' && IsSeparator(path[2]);
}

// The folder above path, or path itself at a root ("/", "C:\").
std::string Above(const std::string& path) {
    std::size_t at = path.size();
    while (at > 0 && !IsSeparator(path[at - 1]))
        --at;
    if (at == 0)
        return path;
    std::string parent = path.substr(0, at - 1);
    if (parent.empty() || (PathSeparator == '\\' && parent.size() == 2 && parent[1] == ':'))
        parent = path.substr(0, at); // the root keeps its separator
    return parent;
}

} // namespace

std::string NearestExistingFolder(const std::string& path) {
    TFileSystem& files = FileSystem();
    std::string folder = files.AbsolutePath(path.empty() ? "." : path);
    while (folder.size() > 1 && IsSeparator(folder.back()) && !IsDriveRoot(folder))
        folder.pop_back();
    while (files.Stat(folder).Kind == TEntryKind::None) {
        const std::string parent = Above(folder);
        if (parent == folder)
            break;
        folder = parent;
    }
    return folder;
}

} // namespace quarto
