#include "DiscLookup.h"

#include "common/EditionLayout.h"
#include "common/FileSystem.h"

#include <exception>

namespace quarto {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// A part of a relative name that names an entry of the folder it is in, and nothing above or
// beside it.
bool IsPlainPart(std::string_view part) {
    return !part.empty() && part != "." && part != ".." &&
           part.find_first_of(std::string_view(":\0", 2)) == std::string_view::npos;
}

// True when folder + "\" + name stays below whatever root it is put under.
bool StaysBelowRoot(std::string_view folder, std::string_view name) {
    if (!IsPlainPart(name) || name.find_first_of("/\\") != std::string_view::npos)
        return false;
    if (!folder.empty() && IsSeparator(folder.front()))
        return false;
    std::size_t i = 0;
    while (i < folder.size()) {
        std::size_t end = i;
        while (end < folder.size() && !IsSeparator(folder[end]))
            ++end;
        // Doubled separators and one at the end are harmless.
        if (end > i && !IsPlainPart(folder.substr(i, end - i)))
            return false;
        i = end + 1;
    }
    return true;
}

// The file root + relative as it exists, looked up ignoring letter case; "" when it is not a
// file.
std::string FileBelow(std::string_view root, std::string_view relative) {
    if (root.empty())
        return {};
    std::string path = ResolvePath(LayoutPath(root, relative));
    if (path.empty() || FileSystem().Stat(path).Kind != TEntryKind::File)
        return {};
    return path;
}

} // namespace

std::string FindOnDisc(std::string_view appFolder, std::string_view folder, std::string_view name,
                       TDiscDrives& drives) {
    if (!StaysBelowRoot(folder, name))
        return {};
    const std::string relative =
        folder.empty() ? std::string(name) : std::string(folder) + "\\" + std::string(name);

    if (std::string path = FileBelow(appFolder, relative); !path.empty())
        return path;

    // The drives are listed, and their trays asked, only now that the file is not beside the
    // reader: asking a tray spins the drive up.
    std::vector<std::string> roots;
    try {
        roots = drives.CdDriveLetters();
    } catch (const std::exception&) {
    }
    for (const std::string& root : roots) {
        try {
            if (root.empty() || drives.IsTrayOpen(root))
                continue;
            if (std::string path = FileBelow(root, relative); !path.empty())
                return path;
        } catch (const std::exception&) {
            // An empty drive, or one not ready: the next one may hold the disc.
        }
    }

    std::vector<std::string> folders;
    try {
        folders = drives.DiscFolders();
    } catch (const std::exception&) {
    }
    for (const std::string& root : folders) {
        try {
            if (std::string path = FileBelow(root, relative); !path.empty())
                return path;
        } catch (const std::exception&) {
        }
    }
    return {};
}

} // namespace quarto
