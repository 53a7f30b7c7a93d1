// Free space on POSIX systems: statvfs of the nearest existing folder.
#include "FreeSpace.h"

#include <cerrno>
#include <sys/statvfs.h>

namespace quarto {

namespace {

class TStatvfsFreeSpace : public TFreeSpace {
public:
    // The blocks available to an unprivileged user, in fragment size units.
    std::int64_t FreeMegabytes(const std::string& path) override {
        const std::string folder = NearestExistingFolder(path);
        struct statvfs info {};
        int result;
        do
            result = ::statvfs(folder.c_str(), &info);
        while (result != 0 && errno == EINTR);
        if (result != 0)
            return 0;
        const unsigned long long bytes =
            static_cast<unsigned long long>(info.f_bavail) * info.f_frsize;
        return static_cast<std::int64_t>(bytes / (1024 * 1024));
    }
};

} // namespace

std::unique_ptr<TFreeSpace> MakeFreeSpace() {
    return std::make_unique<TStatvfsFreeSpace>();
}

} // namespace quarto
