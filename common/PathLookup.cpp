#include "PathLookup.h"

#include "Cp1251.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace quarto {
namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Names compare ignoring the case of Latin and Cyrillic letters (names on disk are UTF-8).
bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && LowerCaseUtf8(a) == LowerCaseUtf8(b);
}

} // namespace

std::string ResolvePath(std::string_view path) {
    if (path.empty())
        return {};
    std::error_code ec;
    fs::path current;
    std::size_t i = 0;
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') {
        current = fs::path(std::string(path.substr(0, 2)) + "\\");
        i = 2;
    }
#endif
    if (current.empty())
        current = IsSeparator(path[0]) ? fs::path("/") : fs::path(".");
    const bool relative = current == fs::path(".");
    while (i < path.size()) {
        while (i < path.size() && IsSeparator(path[i]))
            ++i;
        std::size_t end = i;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        const std::string_view name = path.substr(i, end - i);
        i = end;
        if (name.empty() || name == ".")
            continue;
        if (name == "..") {
            if (current == fs::path("."))
                current = "..";
            else if (current.filename() == "..")
                current /= "..";
            else if (current.has_relative_path())
                current = current.parent_path();
            continue;
        }
        const fs::path exact = current / fs::path(std::string(name));
        if (fs::exists(exact, ec)) {
            current = exact;
            continue;
        }
        bool found = false;
        for (fs::directory_iterator it(current, ec), last; !ec && it != last; it.increment(ec)) {
            const std::string candidate = it->path().filename().string();
            if (SameName(candidate, name)) {
                current = it->path();
                found = true;
                break;
            }
        }
        if (!found)
            return {};
    }
    std::string result = current.string();
    if (relative && result.rfind("./", 0) == 0)
        result.erase(0, 2);
    return result;
}

bool FileExists(std::string_view path) {
    const std::string p = ResolvePath(path);
    std::error_code ec;
    return !p.empty() && fs::is_regular_file(p, ec);
}

bool FolderExists(std::string_view path) {
    const std::string p = ResolvePath(path);
    std::error_code ec;
    return !p.empty() && fs::is_directory(p, ec);
}

std::string JoinPath(std::string_view a, std::string_view b) {
    std::string out(a);
    if (!out.empty() && !IsSeparator(out.back()))
        out += PathSeparator;
    out += b;
    return out;
}

std::vector<std::string> ListFolder(std::string_view folder) {
    std::vector<std::string> names;
    const std::string resolved = ResolvePath(folder);
    if (resolved.empty())
        return names;
    std::error_code ec;
    for (fs::directory_iterator it(resolved, ec), last; !ec && it != last; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace quarto
