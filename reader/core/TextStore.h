// The text store "cData.dat": the enciphered texts of an edition's contents entries. It has
// no header; each contents entry's DataOffset points at one text record:
//
//   offset size content
//   o      4    n, int32 little-endian: length of the ciphertext that follows
//   o + 4  n    the text enciphered with Blowfish under the fixed key "Lanthorne": a multiple
//               of 8 bytes, the last byte of the final block holding the pad count (1..8)
//
// The deciphered text's last four bytes are not part of the text: the reader blanks them
// with spaces, so the writer appends four bytes of its own to every text.
#pragma once

#include "common/ByteStream.h"
#include "common/EditionLayout.h"
#include "common/RecordFile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quarto {

namespace TextStoreFormat {
inline constexpr const char* FileName = Layout::TextStoreFile;
inline constexpr std::string_view Key = "Lanthorne";
inline constexpr std::size_t LengthSize = 4;
inline constexpr std::size_t TrailerLength = 4;
// What the writer appends to a text for the reader to blank.
inline constexpr std::string_view Trailer = "\r\n\r\n";
} // namespace TextStoreFormat

// The text store cannot be opened (missing or refused).
class ETextStoreOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// One record as the writer stores it: the length and the ciphertext of text (the caller
// appends the trailer when the reader is to blank it).
std::string EncodeTextRecord(std::string_view text);

// An open text store. Every record is checked against the file before it is read: an offset
// outside the file, a length that is not positive, not a multiple of 8 or running past the
// end, and a pad count outside 1..8 throw EFormatError naming the file and the offset.
class TTextStore {
public:
    // Opens bookFolder's text store (name matched ignoring case) for reading;
    // throws ETextStoreOpenError when it cannot.
    explicit TTextStore(const std::string& bookFolder);

    const std::string& Path() const { return FStream.Path(); }
    std::int64_t Size() const { return FStream.Size(); }
    // Deciphers the record at offset and appends its plain text to plain.
    void AppendRecord(std::int32_t offset, TMemoryStream& plain);
    // The plain text of the record at offset.
    std::string ReadRecord(std::int32_t offset);

private:
    static TFileStream Open(const std::string& bookFolder);
    TFileStream FStream;
};

} // namespace quarto
