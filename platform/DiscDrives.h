// The discs the reader looks on for the pictures and music it does not hold itself: the
// CD-ROM drives of the system, whose trays are asked before their files are touched, then the
// folders and disc images the user names as discs in the environment variable QUARTO_DISCS.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

class TDiscDrives {
public:
    virtual ~TDiscDrives() = default;
    // The roots of the CD-ROM drives, in a stable order: the mount points of the optical
    // drives here (sorted by device, then mount point), "X:\" for the drives B to Z that the
    // system reports as CD-ROM drives on Windows. Nothing when they cannot be told.
    virtual std::vector<std::string> CdDriveLetters() = 0;
    // True when the drive at root (one of CdDriveLetters) has its tray open, so that its files
    // are not touched. A query that fails counts as a closed tray.
    virtual bool IsTrayOpen(const std::string& root) = 0;
    // The folders that count as discs after the drives: the entries of QUARTO_DISCS, in order,
    // a disc image standing for its mounted root (DiscRootsOf). They have no tray.
    virtual std::vector<std::string> DiscFolders() = 0;
};

// The drives and disc folders of this system: the mount table and the drive's status query
// here (DiscDrivesLinux.cpp), the drive types and the "cdaudio" device on Windows
// (DiscDrivesWindows.cpp).
std::unique_ptr<TDiscDrives> MakeDiscDrives();

// What separates the folders of QUARTO_DISCS: ":" here, ";" on Windows.
#ifdef _WIN32
inline constexpr char DiscFoldersSeparator = ';';
#else
inline constexpr char DiscFoldersSeparator = ':';
#endif

// The folders of a QUARTO_DISCS value, in order; empty entries are left out.
std::vector<std::string> ParseDiscFolders(std::string_view value,
                                          char separator = DiscFoldersSeparator);

// The disc roots that the entries of QUARTO_DISCS stand for, in order: a folder itself, an ISO
// 9660 image file the root of the image, mounted (DiscRootPath, common/DiscImage.h). An image
// that cannot be read is left out, its message written to stderr the first time.
std::vector<std::string> DiscRootsOf(const std::vector<std::string>& entries);

// One file system of the mount table on an optical drive.
struct TOpticalMount {
    std::string Device;     // "/dev/sr0"
    std::string MountPoint; // "/media/user/DISC 1"
    bool operator==(const TOpticalMount&) const = default;
};

// The file systems of a mount table (the text of /proc/self/mounts: device, mount point, type,
// ... per line, blanks in names written as octal escapes such as "\040") that lie on optical
// drives: a device /dev/sr*, /dev/scd* or /dev/cdrom*, or the type iso9660 or udf. Sorted by
// device, then mount point; a mount point listed twice counts once. Lines that are not
// understood are skipped.
std::vector<TOpticalMount> OpticalMounts(std::string_view mountTable);

} // namespace quarto
