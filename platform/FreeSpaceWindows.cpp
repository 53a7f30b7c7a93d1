// Free space on Windows: GetDiskFreeSpaceExW of the nearest existing folder, which counts the
// user's quota.
#include "FreeSpace.h"

#include "common/WideText.h"

namespace quarto {

namespace {

class TDiskFreeSpace : public TFreeSpace {
public:
    std::int64_t FreeMegabytes(const std::string& path) override {
        std::wstring folder = WideOf(NearestExistingFolder(path));
        if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
            folder += L'\\';
        ULARGE_INTEGER available{};
        if (!GetDiskFreeSpaceExW(folder.empty() ? nullptr : folder.c_str(), &available, nullptr,
                                 nullptr))
            return 0;
        return static_cast<std::int64_t>(available.QuadPart / (1024 * 1024));
    }
};

} // namespace

std::unique_ptr<TFreeSpace> MakeFreeSpace() {
    return std::make_unique<TDiskFreeSpace>();
}

} // namespace quarto
