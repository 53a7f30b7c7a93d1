// Binary files of the editions: whole-file reads, little-endian integers and files of
// fixed-size records without a header (count = file size div record size; a trailing
// partial record is not read).
#pragma once

#include "FileSystem.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quarto {

// Data that is damaged or inconsistent. The message names the file, the offset and what is
// wrong.
class EFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline std::uint32_t GetLE32u(const void* p) {
    unsigned char b[4];
    std::memcpy(b, p, 4);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}
inline std::int32_t GetLE32(const void* p) {
    return static_cast<std::int32_t>(GetLE32u(p));
}
inline std::uint16_t GetLE16(const void* p) {
    unsigned char b[2];
    std::memcpy(b, p, 2);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}
// The number at offset at of bytes; 0 when it does not lie wholly inside (for the headers of
// files read only as far as they go).
inline std::uint32_t GetLE32uAt(std::string_view bytes, std::size_t at) {
    return at <= bytes.size() && bytes.size() - at >= 4 ? GetLE32u(bytes.data() + at) : 0;
}
inline std::uint16_t GetLE16At(std::string_view bytes, std::size_t at) {
    return at <= bytes.size() && bytes.size() - at >= 2 ? GetLE16(bytes.data() + at) : 0;
}
inline void PutLE32(void* p, std::uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    std::memcpy(p, b, 4);
}
inline void PutLE16(void* p, std::uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::memcpy(p, b, 2);
}
inline void AppendLE32(std::string& out, std::uint32_t v) {
    char b[4];
    PutLE32(b, v);
    out.append(b, 4);
}
inline void AppendLE16(std::string& out, std::uint16_t v) {
    char b[2];
    PutLE16(b, v);
    out.append(b, 2);
}

// A record file read whole into memory.
class TRecordFile {
public:
    TRecordFile(std::string bytes, std::size_t recordSize);
    // Reads the file; throws EStreamError naming it when it cannot be read.
    static TRecordFile Load(const std::string& path, std::size_t recordSize);

    std::size_t Count() const { return FBytes.size() / FRecordSize; }
    std::size_t RecordSize() const { return FRecordSize; }
    // Record i; i must be below Count() (throws std::out_of_range otherwise).
    std::string_view Record(std::size_t i) const;
    const std::string& Bytes() const { return FBytes; }

private:
    std::string FBytes;
    std::size_t FRecordSize;
};

} // namespace quarto
