#include "TextStore.h"

#include "common/FileSystem.h"
#include "reader/cipher/BlockCiphers.h"

namespace quarto {

namespace {

TBlowfishCipher StoreCipher() {
    return TBlowfishCipher(TextStoreFormat::Key.data(),
                           static_cast<int>(TextStoreFormat::Key.size()));
}

} // namespace

std::string EncodeTextRecord(std::string_view text) {
    const std::string cipher = StoreCipher().EncipherText(text);
    std::string record;
    record.reserve(TextStoreFormat::LengthSize + cipher.size());
    AppendLE32(record, static_cast<std::uint32_t>(cipher.size()));
    record += cipher;
    return record;
}

TFileStream TTextStore::Open(const std::string& bookFolder) {
    try {
        return TFileStream(ResolvedOrGiven(TextStorePath(bookFolder)), TFileStream::TMode::Read);
    } catch (const EStreamError& e) {
        throw ETextStoreOpenError(e.what());
    }
}

TTextStore::TTextStore(const std::string& bookFolder) : FStream(Open(bookFolder)) {}

void TTextStore::AppendRecord(std::int32_t offset, TMemoryStream& plain) {
    const std::int64_t size = FStream.Size();
    const auto fail = [&](const std::string& what) {
        throw EFormatError(FStream.Path() + ", offset " + std::to_string(offset) + ": " + what);
    };
    if (offset < 0 || offset + static_cast<std::int64_t>(TextStoreFormat::LengthSize) > size)
        fail("the record lies outside the file of " + std::to_string(size) + " bytes.");
    FStream.Seek(offset);
    char lengthBytes[TextStoreFormat::LengthSize];
    if (FStream.Read(lengthBytes, sizeof lengthBytes) != sizeof lengthBytes)
        fail("the record length cannot be read.");
    const std::int32_t length = GetLE32(lengthBytes);
    if (length <= 0)
        fail("the record length " + std::to_string(length) + " is not positive.");
    const std::int64_t dataStart = offset + static_cast<std::int64_t>(TextStoreFormat::LengthSize);
    if (dataStart + length > size)
        fail("the record length " + std::to_string(length) + " runs past the end of the file of " +
             std::to_string(size) + " bytes.");
    if (length % 8 != 0)
        fail("Ciphertext length is not a multiple of 8.");
    TMemoryStream cipherText;
    cipherText.SetSize(length);
    if (FStream.Read(cipherText.Data().data(), static_cast<std::size_t>(length)) !=
        static_cast<std::size_t>(length))
        fail("the record cannot be read.");
    plain.Seek(plain.Size());
    try {
        StoreCipher().DecipherStream(cipherText, plain);
    } catch (const EBlockCipherError& e) {
        fail(e.what());
    }
}

std::string TTextStore::ReadRecord(std::int32_t offset) {
    TMemoryStream plain;
    AppendRecord(offset, plain);
    return std::move(plain.Data());
}

} // namespace quarto
