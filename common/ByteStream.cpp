#include "ByteStream.h"

#include "FileSystem.h"

#include <cstring>

namespace quarto {

void TMemoryStream::Seek(std::int64_t position) {
    if (position < 0 || position > Size())
        throw EStreamError("Позиция " + std::to_string(position) + " вне потока 0.." +
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
        throw EStreamError("Размер потока " + std::to_string(size) + " отрицателен.");
    FData.resize(static_cast<std::size_t>(size));
    if (FPosition > size)
        FPosition = size;
}

TFileStream::TFileStream(const std::string& path, TMode mode) : FPath(path) {
    if (mode == TMode::Read) {
        FIn = FileSystem().OpenForReading(path);
        FSize = FIn->Size();
    } else {
        FOut = FileSystem().OpenForWriting(path);
    }
}

TFileStream::~TFileStream() = default;
TFileStream::TFileStream(TFileStream&&) noexcept = default;
TFileStream& TFileStream::operator=(TFileStream&&) noexcept = default;

void TFileStream::Seek(std::int64_t position) {
    if (position < 0 || position > FSize)
        throw EStreamError("Позиция " + std::to_string(position) + " вне файла «" + FPath + "»" +
                           " размером " + std::to_string(FSize) + " байт.");
    FPosition = position;
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    if (!FIn)
        throw EStreamError("Не удаётся прочитать файл «" + FPath + "»: он открыт для записи.");
    const std::size_t n = FIn->ReadAt(FPosition, buffer, count);
    FPosition += static_cast<std::int64_t>(n);
    return n;
}

void TFileStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return;
    if (!FOut || FPosition != FSize)
        throw EStreamError("Не удаётся записать файл «" + FPath + "» в позицию " +
                           std::to_string(FPosition) + ".");
    FOut->Append(std::string_view(static_cast<const char*>(buffer), count));
    FPosition += static_cast<std::int64_t>(count);
    FSize = FPosition;
}

} // namespace quarto
