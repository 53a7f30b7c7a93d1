#include "UninstallCore.h"

#include "setup/CopyMachinery.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace quarto {

namespace fs = std::filesystem;

namespace {

// The folder without "." and ".." parts, links resolved, and without a trailing separator.
fs::path Normal(const std::string& folder) {
    std::error_code ec;
    fs::path path = fs::weakly_canonical(fs::u8path(folder), ec);
    if (ec)
        path = fs::u8path(folder).lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path())
        path = path.parent_path();
    return path;
}

// The user's home folder, when it is known.
std::optional<fs::path> Home() {
#ifdef _WIN32
    const char* home = std::getenv("USERPROFILE");
#else
    const char* home = std::getenv("HOME");
#endif
    if (!home || !*home)
        return std::nullopt;
    return Normal(home);
}

// True when path is folder itself or a folder above it.
bool Holds(const fs::path& path, const fs::path& folder) {
    return std::mismatch(path.begin(), path.end(), folder.begin(), folder.end()).first ==
           path.end();
}

} // namespace

bool IsRemovableInstallation(const std::string& folder) {
    if (folder.empty())
        return false;
    const fs::path path = Normal(folder);
    std::error_code ec;
    if (!fs::is_directory(path, ec) || path == path.root_path() || !path.has_filename())
        return false;
    if (const auto home = Home(); home && Holds(path, *home))
        return false;
    return fs::is_regular_file(path / ReaderProgramName(), ec);
}

bool RemoveInstallation(const std::string& folder, TInstallRecord& record, TShortcuts& shortcuts) {
    bool removed = false;
    if (IsRemovableInstallation(folder)) {
        const fs::path path = Normal(folder);
        std::error_code ec;
        fs::remove_all(path, ec);
        removed = !ec && !fs::exists(path);
        // The folder chosen at installation, when nothing else is left in it.
        const fs::path parent = path.parent_path();
        const auto home = Home();
        if (removed && parent != parent.root_path() && !(home && Holds(parent, *home)) &&
            fs::is_empty(parent, ec))
            fs::remove(parent, ec);
    }
    record.Remove();
    shortcuts.RemoveAll();
    return removed;
}

} // namespace quarto
