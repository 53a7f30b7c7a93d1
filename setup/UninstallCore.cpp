#include "UninstallCore.h"

#include "setup/CopyMachinery.h"

#include <cstdlib>
#include <filesystem>

namespace quarto {

namespace fs = std::filesystem;

namespace {

fs::path Normal(const std::string& folder) {
    std::error_code ec;
    fs::path path = fs::weakly_canonical(fs::u8path(folder), ec);
    if (ec)
        path = fs::u8path(folder).lexically_normal();
    if (path.has_filename() == false && path.has_parent_path() && path != path.root_path())
        path = path.parent_path();
    return path;
}

} // namespace

bool IsRemovableInstallation(const std::string& folder) {
    if (folder.empty())
        return false;
    const fs::path path = Normal(folder);
    std::error_code ec;
    if (!fs::is_directory(path, ec) || path == path.root_path() ||
        path.parent_path() == path.root_path())
        return false;
    if (const char* home = std::getenv("HOME"); home && *home && Normal(home) == path)
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
        if (removed && fs::is_empty(parent, ec) && parent != parent.root_path())
            fs::remove(parent, ec);
    }
    record.Remove();
    shortcuts.RemoveAll();
    return removed;
}

} // namespace quarto
