// A ZIP archive written through the file layer, as EPUB books are packed: entries in the order
// added, each stored or compressed with deflate, then the central directory.
#pragma once

#include "common/FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

class TZipWriter {
public:
    // Creates path (replacing it); throws EStreamError when it cannot.
    explicit TZipWriter(const std::string& path);
    ~TZipWriter();

    // Adds the entry name (UTF-8, "/" between folders) holding bytes; compress: deflate it
    // (an entry that does not shrink is stored). Throws EStreamError when the archive cannot
    // be written or grows past what a ZIP without extensions holds (4 GB).
    void Add(const std::string& name, std::string_view bytes, bool compress = true);
    // Writes the central directory and closes the file; throws EStreamError on failure.
    void Close();

private:
    struct TEntry {
        std::string Name;
        std::uint32_t Crc = 0;
        std::uint32_t Packed = 0;
        std::uint32_t Size = 0;
        std::uint32_t Offset = 0;
        std::uint16_t Method = 0;
    };
    void Write(std::string_view bytes);

    std::unique_ptr<TWritableFile> FFile;
    std::uint64_t FOffset = 0;
    std::vector<TEntry> FEntries;
};

} // namespace quarto
