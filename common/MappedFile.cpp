#include "MappedFile.h"

#include "ByteStream.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quarto {

#ifdef _WIN32

TMappedFile::TMappedFile(const std::string& path) : FPath(path) {
    const int wide = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring name(static_cast<std::size_t>(wide > 0 ? wide : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, name.data(), wide);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw EStreamError("Cannot open file \"" + path + "\".");
    FFile = file;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    FSize = static_cast<std::size_t>(size.QuadPart);
    if (FSize == 0)
        return;
    FMapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (FMapping)
        FData = static_cast<const unsigned char*>(MapViewOfFile(FMapping, FILE_MAP_READ, 0, 0, 0));
    if (!FData) {
        if (FMapping)
            CloseHandle(FMapping);
        CloseHandle(file);
        throw EStreamError("Cannot read file \"" + path + "\".");
    }
}

TMappedFile::~TMappedFile() {
    if (FData)
        UnmapViewOfFile(FData);
    if (FMapping)
        CloseHandle(FMapping);
    if (FFile)
        CloseHandle(FFile);
}

#else

TMappedFile::TMappedFile(const std::string& path) : FPath(path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EStreamError("Cannot open file \"" + path + "\".");
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw EStreamError("Cannot open file \"" + path + "\".");
    }
    FSize = static_cast<std::size_t>(info.st_size);
    if (FSize > 0) {
        void* data = ::mmap(nullptr, FSize, PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) {
            ::close(fd);
            throw EStreamError("Cannot read file \"" + path + "\".");
        }
        FData = static_cast<const unsigned char*>(data);
    }
    ::close(fd);
}

TMappedFile::~TMappedFile() {
    if (FData)
        ::munmap(const_cast<unsigned char*>(FData), FSize);
}

#endif

} // namespace quarto
