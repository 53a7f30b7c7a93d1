#include "ByteStream.h"

#include <cerrno>
#include <cstring>

namespace quarto {

void TMemoryStream::Seek(std::int64_t position) {
    if (position < 0 || position > Size())
        throw EStreamError("Stream position " + std::to_string(position) + " is outside 0.." +
                           std::to_string(Size()) + ".");
    FPosition = position;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const auto available = static_cast<std::size_t>(Size() - FPosition);
    const std::size_t n = count < available ? count : available;
    if (n > 0)
        std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += static_cast<std::int64_t>(n);
    return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return;
    const auto end = static_cast<std::size_t>(FPosition) + count;
    if (end > FData.size())
        FData.resize(end);
    std::memcpy(FData.data() + FPosition, buffer, count);
    FPosition = static_cast<std::int64_t>(end);
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::SetSize(std::int64_t size) {
    if (size < 0)
        throw EStreamError("Stream size " + std::to_string(size) + " is negative.");
    FData.resize(static_cast<std::size_t>(size));
    if (FPosition > size)
        FPosition = size;
}

TFileStream::TFileStream(const std::string& path, TMode mode) : FPath(path) {
    FFile.reset(std::fopen(path.c_str(), mode == TMode::Read ? "rb" : "w+b"));
    if (!FFile)
        throw EStreamError("Cannot open file " + path + ": " + std::strerror(errno) + ".");
    if (mode == TMode::Read) {
        if (std::fseek(FFile.get(), 0, SEEK_END) != 0)
            throw EStreamError("Cannot read file " + path + ".");
        const long size = std::ftell(FFile.get());
        if (size < 0)
            throw EStreamError("Cannot read file " + path + ".");
        FSize = size;
        std::rewind(FFile.get());
    }
}

std::int64_t TFileStream::Size() const {
    return FSize;
}

void TFileStream::Seek(std::int64_t position) {
    if (position < 0 || position > FSize)
        throw EStreamError("Position " + std::to_string(position) + " is outside file " + FPath +
                           " of " + std::to_string(FSize) + " bytes.");
    if (std::fseek(FFile.get(), static_cast<long>(position), SEEK_SET) != 0)
        throw EStreamError("Cannot seek in file " + FPath + ".");
    FPosition = position;
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    const std::size_t n = std::fread(buffer, 1, count, FFile.get());
    if (n < count && std::ferror(FFile.get()))
        throw EStreamError("Cannot read file " + FPath + ".");
    FPosition += static_cast<std::int64_t>(n);
    return n;
}

void TFileStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return;
    if (std::fwrite(buffer, 1, count, FFile.get()) != count)
        throw EStreamError("Cannot write file " + FPath + ".");
    FPosition += static_cast<std::int64_t>(count);
    if (FPosition > FSize)
        FSize = FPosition;
}

} // namespace quarto
