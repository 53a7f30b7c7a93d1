// The CD-ROM drives of this system: the file systems of the mount table that lie on optical
// drives, and the drive's own status query for its tray.
#include "DiscDrives.h"

#include "common/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <map>
#include <sys/ioctl.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/cdrom.h>
#endif

namespace quarto {

namespace {

const char* const MountTable = "/proc/self/mounts";

// A device open for the status query only: O_NONBLOCK lets a drive without a disc be opened.
class TDevice {
public:
    explicit TDevice(const std::string& path) {
        do
            FHandle = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        while (FHandle < 0 && errno == EINTR);
    }
    ~TDevice() {
        if (FHandle >= 0)
            ::close(FHandle);
    }
    TDevice(const TDevice&) = delete;
    TDevice& operator=(const TDevice&) = delete;
    int Handle() const { return FHandle; }

private:
    int FHandle = -1;
};

class TMountedDiscDrives : public TDiscDrives {
public:
    std::vector<std::string> CdDriveLetters() override {
        std::vector<std::string> roots;
        for (const TOpticalMount& mount : Mounts()) {
            FDevices[mount.MountPoint] = mount.Device;
            roots.push_back(mount.MountPoint);
        }
        return roots;
    }

    bool IsTrayOpen(const std::string& root) override {
        auto known = FDevices.find(root);
        if (known == FDevices.end()) {
            CdDriveLetters();
            known = FDevices.find(root);
            if (known == FDevices.end())
                return false;
        }
#if defined(__linux__) && defined(CDROM_DRIVE_STATUS)
        const TDevice device(known->second);
        if (device.Handle() < 0)
            return false;
        // Not a drive (an image mounted through a loop device) or no answer: not open.
        return ::ioctl(device.Handle(), CDROM_DRIVE_STATUS, CDSL_CURRENT) == CDS_TRAY_OPEN;
#else
        return false;
#endif
    }

    std::vector<std::string> DiscFolders() override {
        const char* value = std::getenv("QUARTO_DISCS");
        return value ? DiscRootsOf(ParseDiscFolders(value)) : std::vector<std::string>{};
    }

private:
    // The optical file systems mounted now; none when the table cannot be read.
    static std::vector<TOpticalMount> Mounts() {
        try {
            return OpticalMounts(FileSystem().ReadWholeFile(MountTable));
        } catch (const std::exception&) {
            return {};
        }
    }

    std::map<std::string, std::string> FDevices; // mount point -> device, as last listed
};

} // namespace

std::unique_ptr<TDiscDrives> MakeDiscDrives() {
    return std::make_unique<TMountedDiscDrives>();
}

} // namespace quarto
