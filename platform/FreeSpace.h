// The space left on the disk that is to hold a folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quarto {

class TFreeSpace {
public:
    virtual ~TFreeSpace() = default;
    // Megabytes (bytes / 1048576, rounded down) available to the user on the file system that
    // holds path, or would hold it: a folder that does not exist yet is measured at its nearest
    // existing ancestor. 0 when nothing can be measured.
    virtual std::int64_t FreeMegabytes(const std::string& path) = 0;
};

// The free space of this system: statvfs here (FreeSpacePosix.cpp), GetDiskFreeSpaceExW on
// Windows (FreeSpaceWindows.cpp).
std::unique_ptr<TFreeSpace> MakeFreeSpace();

// What FreeMegabytes measures for path: path made absolute (the current folder for ""),
// without a trailing separator, then its nearest ancestor that exists, asked through the file
// layer; the root when nothing of it exists.
std::string NearestExistingFolder(const std::string& path);

} // namespace quarto
