// The texts the disc roots are read from, for every platform: the QUARTO_DISCS list and the
// mount table.
#include "DiscDrives.h"

#include "common/AsciiText.h"
#include "common/DiscImage.h"

#include <algorithm>
#include <iostream>
#include <set>

namespace quarto {

namespace {

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

// A field of the mount table with its escapes ("\040" a blank, "\011" a tab, "\012" a line
// break, "\134" a backslash) turned back into the bytes they stand for.
std::string Unescaped(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
            IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool IsOptical(std::string_view device, std::string_view type) {
    return StartsWith(device, "/dev/sr") || StartsWith(device, "/dev/scd") ||
           StartsWith(device, "/dev/cdrom") || type == "iso9660" || type == "udf";
}

} // namespace

std::vector<std::string> ParseDiscFolders(std::string_view value, char separator) {
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find(separator, start);
        if (end == std::string_view::npos)
            end = value.size();
        if (end > start)
            folders.emplace_back(value.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

std::vector<std::string> DiscRootsOf(const std::vector<std::string>& entries) {
    static std::set<std::string> reported;
    std::vector<std::string> roots;
    for (const std::string& entry : entries) {
        try {
            roots.push_back(DiscRootPath(entry));
        } catch (const EStreamError& e) {
            if (reported.insert(entry).second)
                std::cerr << e.what() << '\n';
        }
    }
    return roots;
}

std::vector<TOpticalMount> OpticalMounts(std::string_view mountTable) {
    std::vector<TOpticalMount> mounts;
    std::size_t start = 0;
    while (start < mountTable.size()) {
        std::size_t end = mountTable.find('\n', start);
        if (end == std::string_view::npos)
            end = mountTable.size();
        const std::vector<std::string_view> fields =
            FieldsOf(mountTable.substr(start, end - start), IsSpaceOrTab);
        start = end + 1;
        if (fields.size() < 3)
            continue;
        TOpticalMount mount{Unescaped(fields[0]), Unescaped(fields[1])};
        if (mount.MountPoint.empty() || !IsOptical(mount.Device, Unescaped(fields[2])))
            continue;
        mounts.push_back(std::move(mount));
    }
    std::sort(mounts.begin(), mounts.end(), [](const TOpticalMount& a, const TOpticalMount& b) {
        return a.Device != b.Device ? a.Device < b.Device : a.MountPoint < b.MountPoint;
    });
    // A mount point listed twice (mounted over, or by two devices) is one root, the first.
    std::vector<TOpticalMount> unique;
    for (TOpticalMount& mount : mounts)
        if (std::none_of(unique.begin(), unique.end(),
                         [&](const TOpticalMount& u) { return u.MountPoint == mount.MountPoint; }))
            unique.push_back(std::move(mount));
    return unique;
}

} // namespace quarto
