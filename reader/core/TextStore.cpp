#include "TextStore.h"

#include "common/FileSystem.h"
#include "reader/cipher/BlockCiphers.h"

namespace quarto {

namespace {

// Set up once: the key schedule costs more than deciphering a short record.
const TBlowfishCipher& StoreCipher() {
    static const TBlowfishCipher cipher(TextStoreFormat::Key.data(),
                                        static_cast<int>(TextStoreFormat::Key.size()));
    return cipher;
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
        throw EFormatError("«" + FStream.Path() + "», смещение " + std::to_string(offset) + ": " +
                           what);
    };
    if (offset < 0 || offset + static_cast<std::int64_t>(TextStoreFormat::LengthSize) > size)
        fail("запись лежит за пределами файла размером " + std::to_string(size) + " байт.");
    FStream.Seek(offset);
    char lengthBytes[TextStoreFormat::LengthSize];
    if (FStream.Read(lengthBytes, sizeof lengthBytes) != sizeof lengthBytes)
        fail("длину записи не удаётся прочитать.");
    const std::int32_t length = GetLE32(lengthBytes);
    if (length <= 0)
        fail("длина записи " + std::to_string(length) + " не больше нуля.");
    const std::int64_t dataStart = offset + static_cast<std::int64_t>(TextStoreFormat::LengthSize);
    if (dataStart + length > size)
        fail("запись длиной " + std::to_string(length) + " выходит за конец файла размером " +
             std::to_string(size) + " байт.");
    if (length % 8 != 0)
        fail("Ciphertext length is not a multiple of 8.");
    TMemoryStream cipherText;
    cipherText.SetSize(length);
    if (FStream.Read(cipherText.Data().data(), static_cast<std::size_t>(length)) !=
        static_cast<std::size_t>(length))
        fail("запись не удаётся прочитать.");
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
