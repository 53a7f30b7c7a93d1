// The block cipher of the text store: enciphering any text, the empty one included, deciphers
// to it again, the text and stream forms agree on everything but the pad, and any ciphertext either
// deciphers or throws EBlockCipherError.
#include "fuzzer_common.h"

#include "reader/cipher/BlockCiphers.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Part 1: the key; part 2: the text (the whole input is the text under the store's key when
    // there is one part).
    const std::vector<std::string_view> parts = SplitInput(data, size, 2);
    const std::string_view key = parts.size() > 1 ? parts[0] : std::string_view("Lanthorne");
    // An empty part has a null data pointer, as an empty view may have.
    const std::string_view text = parts.size() > 1 ? parts[1] : parts[0];
    const std::string_view plain = text.empty() ? std::string_view() : text;

    std::unique_ptr<TBlowfishCipher> cipher;
    try {
        cipher = std::make_unique<TBlowfishCipher>(key.data(), static_cast<int>(key.size()));
    } catch (const EBlockCipherError&) {
        FUZZ_CHECK(key.size() < TBlowfishCipher::ClassMinKeyLength);
        return 0;
    }

    const std::string enciphered = cipher->EncipherText(plain);
    FUZZ_CHECK(static_cast<std::int64_t>(enciphered.size()) ==
               cipher->CipheredLength(static_cast<std::int64_t>(plain.size())));
    FUZZ_CHECK(cipher->DecipherText(enciphered) == plain);

    TMemoryStream source{std::string(plain)};
    TMemoryStream streamed;
    cipher->EncipherStream(source, streamed);
    // The forms differ at most in the pad bytes ahead of the count.
    const std::size_t whole = plain.size() / 8 * 8;
    FUZZ_CHECK(streamed.Data().size() == enciphered.size());
    FUZZ_CHECK(streamed.Data().compare(0, whole, enciphered, 0, whole) == 0);
    FUZZ_CHECK(cipher->DecipherText(streamed.Data()) == plain);

    // The text taken as ciphertext.
    std::string deciphered;
    try {
        deciphered = cipher->DecipherText(plain);
    } catch (const EBlockCipherError&) {
        return 0;
    }
    FUZZ_CHECK(deciphered.size() < plain.size() && deciphered.size() + 8 >= plain.size());
    TMemoryStream cipherStream{std::string(plain)};
    TMemoryStream plainStream;
    cipher->DecipherStream(cipherStream, plainStream);
    FUZZ_CHECK(plainStream.Data() == deciphered);
    return 0;
}
