#include "RecordFile.h"

#include "ByteStream.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace quarto {
namespace {
struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;
} // namespace

std::string ReadWholeFile(const std::string& path) {
    TFilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f)
        throw EStreamError("Cannot open file " + path + ": " + std::strerror(errno) + ".");
    std::string bytes;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
        bytes.append(buffer, n);
    if (std::ferror(f.get()))
        throw EStreamError("Cannot read file " + path + ".");
    return bytes;
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
    TFilePtr f(std::fopen(path.c_str(), "wb"));
    if (!f)
        throw EStreamError("Cannot create file " + path + ": " + std::strerror(errno) + ".");
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size() ||
        std::fflush(f.get()) != 0)
        throw EStreamError("Cannot write file " + path + ".");
}

TRecordFile::TRecordFile(std::string bytes, std::size_t recordSize)
    : FBytes(std::move(bytes)), FRecordSize(recordSize == 0 ? 1 : recordSize) {}

TRecordFile TRecordFile::Load(const std::string& path, std::size_t recordSize) {
    return TRecordFile(ReadWholeFile(path), recordSize);
}

std::string_view TRecordFile::Record(std::size_t i) const {
    if (i >= Count())
        throw std::out_of_range("Record " + std::to_string(i) + " is outside the file of " +
                                std::to_string(Count()) + " records.");
    return std::string_view(FBytes).substr(i * FRecordSize, FRecordSize);
}

} // namespace quarto
