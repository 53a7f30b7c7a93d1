// A file mapped read-only into memory, for reading scattered records of a large file without
// a system call per record.
#pragma once

#include <cstddef>
#include <string>

namespace quarto {

class TMappedFile {
public:
    // Maps the whole file; throws EStreamError naming the file when it cannot be opened or
    // mapped. An empty file maps to no bytes.
    explicit TMappedFile(const std::string& path);
    ~TMappedFile();
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    const unsigned char* Data() const { return FData; }
    std::size_t Size() const { return FSize; }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
    const unsigned char* FData = nullptr;
    std::size_t FSize = 0;
#ifdef _WIN32
    void* FFile = nullptr;
    void* FMapping = nullptr;
#endif
};

} // namespace quarto
