#include "reader/cipher/BlockCiphers.h"

#include "common/FileSystem.h"
#include "common/TextList.h"

#include "ExpectError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace quarto {
namespace {

// The key the article store uses.
const std::string ArticleKey = "Lanthorne";

TBlowfishCipher MakeCipher(const std::string& key) {
    return TBlowfishCipher(key.data(), static_cast<int>(key.size()));
}

// The block of zeros enciphered with key, left half in the high 32 bits.
std::uint64_t EncipherZero(const std::string& key) {
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    MakeCipher(key).EncipherHalves(left, right);
    return (std::uint64_t{left} << 32) | right;
}

std::string RandomBytes(std::mt19937& random, std::size_t length) {
    std::string bytes(length, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string EncipherAsStream(const TBlockCipher& cipher, const std::string& plain) {
    TMemoryStream source(plain);
    TMemoryStream destination;
    cipher.EncipherStream(source, destination);
    return destination.Data();
}

std::string DecipherAsStream(const TBlockCipher& cipher, const std::string& ciphertext) {
    TMemoryStream source(ciphertext);
    TMemoryStream destination;
    cipher.DecipherStream(source, destination);
    return destination.Data();
}

// The ciphertext of one block whose deciphered bytes are all fill, but the last byte is count.
std::string BlockWithCount(const TBlowfishCipher& cipher, char fill, std::uint8_t count) {
    std::string block(8, fill);
    block[7] = static_cast<char>(count);
    cipher.EncipherBlock(block.data());
    return block;
}

// Published vectors: key, plaintext and ciphertext blocks, each 16 hex digits, the left half
// being the first 32 bits.
struct TVector {
    std::string Key;
    std::uint64_t Plain;
    std::uint64_t Cipher;
};

std::vector<TVector> ReadVectors() {
    std::vector<TVector> vectors;
    for (const std::string& line :
         SplitTextList(ReadWholeFile(std::string(QUARTO_TEST_DATA) + "/blowfish-vectors.txt"))) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string key;
        std::string plain;
        std::string cipher;
        fields >> key >> plain >> cipher;
        TVector v;
        for (std::size_t i = 0; i < key.size(); i += 2)
            v.Key.push_back(static_cast<char>(std::stoul(key.substr(i, 2), nullptr, 16)));
        v.Plain = std::stoull(plain, nullptr, 16);
        v.Cipher = std::stoull(cipher, nullptr, 16);
        vectors.push_back(v);
    }
    return vectors;
}

// The block as this system stores it: each half least significant byte first.
std::string BlockBytes(std::uint64_t block) {
    std::string bytes(8, '\0');
    const auto left = static_cast<std::uint32_t>(block >> 32);
    const auto right = static_cast<std::uint32_t>(block);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>(left >> (8 * i));
        bytes[4 + i] = static_cast<char>(right >> (8 * i));
    }
    return bytes;
}

TEST(BlowfishCipher, PublishedVectors) {
    const std::vector<TVector> vectors = ReadVectors();
    ASSERT_EQ(vectors.size(), 33u);
    for (const TVector& v : vectors) {
        SCOPED_TRACE(testing::Message() << std::hex << "plain " << v.Plain);
        const TBlowfishCipher cipher = MakeCipher(v.Key);

        std::uint32_t left = static_cast<std::uint32_t>(v.Plain >> 32);
        std::uint32_t right = static_cast<std::uint32_t>(v.Plain);
        cipher.EncipherHalves(left, right);
        EXPECT_EQ(left, static_cast<std::uint32_t>(v.Cipher >> 32));
        EXPECT_EQ(right, static_cast<std::uint32_t>(v.Cipher));
        cipher.DecipherHalves(left, right);
        EXPECT_EQ(left, static_cast<std::uint32_t>(v.Plain >> 32));
        EXPECT_EQ(right, static_cast<std::uint32_t>(v.Plain));

        std::string block = BlockBytes(v.Plain);
        cipher.EncipherBlock(block.data());
        EXPECT_EQ(block, BlockBytes(v.Cipher));
        cipher.DecipherBlock(block.data());
        EXPECT_EQ(block, BlockBytes(v.Plain));
    }
}

// A 9-byte key wraps in the middle of a word; checked against an independent implementation.
TEST(BlowfishCipher, ArticleKeyKnownAnswers) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    cipher.EncipherHalves(left, right);
    EXPECT_EQ(left, 0x773A1F95u);
    EXPECT_EQ(right, 0xC44F3BF5u);
    left = 0x01234567;
    right = 0x89ABCDEF;
    cipher.EncipherHalves(left, right);
    EXPECT_EQ(left, 0x813E05B4u);
    EXPECT_EQ(right, 0xB8F6DEA3u);

    const std::string ciphertext =
        "\xDB\x63\xC1\x0D\x0F\xE6\x82\x2C\xA3\x33\x31\xA9\x6D\xD3\x48\x7C";
    EXPECT_EQ(cipher.EncipherText("Quarto reader"), ciphertext);
    EXPECT_EQ(DecipherAsStream(cipher, ciphertext), "Quarto reader");
}

// Key set-up keeps the last schedule made; a cipher built again with the same key, or after
// another key, must come out the same as a first one.
TEST(BlowfishCipher, KeySetupRepeatedAndAlternating) {
    const std::uint64_t articleKeyAnswer = 0x773A1F95C44F3BF5u;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(EncipherZero(ArticleKey), articleKeyAnswer);
        EXPECT_EQ(EncipherZero(ArticleKey), articleKeyAnswer);
        EXPECT_NE(EncipherZero(ArticleKey + "L"), articleKeyAnswer);
        EXPECT_NE(EncipherZero(ArticleKey.substr(0, 8)), articleKeyAnswer);
    }
}

TEST(BlowfishCipher, ClassValues) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    EXPECT_EQ(cipher.MinKeyLength(), 8);
    EXPECT_EQ(cipher.MaxKeyLength(), 56);
    EXPECT_EQ(cipher.BlockSize(), 8);
    EXPECT_EQ(cipher.CipheredLength(0), 8);
    EXPECT_EQ(cipher.CipheredLength(7), 8);
    EXPECT_EQ(cipher.CipheredLength(8), 16);
    EXPECT_EQ(cipher.CipheredLength(4095), 4096);
    EXPECT_EQ(cipher.CipheredLength(4096), 4104);
}

TEST(BlowfishCipher, KeyLengths) {
    test::ExpectThrowMessage<EBlockCipherError>([] { MakeCipher("1234567"); },
                                                "Key must be at least 8 bytes long.");
    test::ExpectThrowMessage<EBlockCipherError>([] { TBlowfishCipher(nullptr, 0); },
                                                "Key must be at least 8 bytes long.");
    EXPECT_NO_THROW(MakeCipher("12345678"));

    // The key repeats cyclically and only its first 72 bytes (18 words) matter.
    std::mt19937 random(7);
    const std::string long1 = RandomBytes(random, 100);
    std::string long2 = long1;
    long2[72] ^= 1;
    long2[99] ^= 1;
    std::string long3 = long1;
    long3[71] ^= 1;
    EXPECT_EQ(EncipherZero(long1), EncipherZero(long2));
    EXPECT_EQ(EncipherZero(long1), EncipherZero(long1.substr(0, 72)));
    EXPECT_NE(EncipherZero(long1), EncipherZero(long3));
    std::string repeated;
    for (int i = 0; i < 8; ++i)
        repeated += ArticleKey;
    EXPECT_EQ(EncipherZero(ArticleKey), EncipherZero(repeated));
}

TEST(BlowfishCipher, EmptyStreamIsOnePadBlock) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    std::string block = EncipherAsStream(cipher, "");
    ASSERT_EQ(block.size(), 8u);
    EXPECT_EQ(DecipherAsStream(cipher, block), "");
    EXPECT_EQ(cipher.DecipherText(block), "");
    cipher.DecipherBlock(block.data());
    EXPECT_EQ(block[7], 8);
}

// An empty text may come without any data (a null pointer): it is still one pad block.
TEST(BlowfishCipher, EmptyTextWithoutDataIsOnePadBlock) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    const std::string block = cipher.EncipherText(std::string_view());
    ASSERT_EQ(block.size(), 8u);
    EXPECT_EQ(block, EncipherAsStream(cipher, ""));
    EXPECT_EQ(cipher.DecipherText(block), "");
}

TEST(BlowfishCipher, CiphertextLengths) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    for (const auto& [plainLength, cipherLength] :
         {std::pair<std::size_t, std::size_t>{1, 8}, {7, 8}, {8, 16}, {4095, 4096}, {4096, 4104}}) {
        const std::string plain(plainLength, 'a');
        EXPECT_EQ(EncipherAsStream(cipher, plain).size(), cipherLength) << plainLength;
        EXPECT_EQ(cipher.EncipherText(plain).size(), cipherLength) << plainLength;
    }
}

// One whole chunk and nothing after it: the pad is taken off the chunk's own write.
TEST(BlowfishCipher, DecipherOneWholeChunk) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    std::mt19937 random(11);
    for (std::size_t plainLength = 4088; plainLength < 4096; ++plainLength) {
        const std::string plain = RandomBytes(random, plainLength);
        const std::string ciphertext = EncipherAsStream(cipher, plain);
        ASSERT_EQ(ciphertext.size(), 4096u);
        EXPECT_EQ(DecipherAsStream(cipher, ciphertext), plain);
        EXPECT_EQ(cipher.DecipherText(ciphertext), plain);
    }
}

TEST(BlowfishCipher, DecipherStreamRejectsLengths) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    const std::string twoBlocks = EncipherAsStream(cipher, "0123456789");
    for (const std::string& ciphertext :
         {std::string(), std::string(12, 'x'), twoBlocks + "abcd"}) {
        TMemoryStream source(ciphertext);
        TMemoryStream destination("kept");
        destination.Seek(4);
        test::ExpectThrowMessage<EBlockCipherError>(
            [&] { cipher.DecipherStream(source, destination); },
            "Ciphertext length is not a multiple of 8.");
        EXPECT_EQ(destination.Data(), "kept");
        EXPECT_EQ(destination.Position(), 4);
        EXPECT_EQ(source.Position(), 0);
    }
    // What counts is the length from the source's position.
    TMemoryStream source(twoBlocks + "abcd");
    source.Seek(8);
    TMemoryStream destination;
    test::ExpectThrowMessage<EBlockCipherError>([&] { cipher.DecipherStream(source, destination); },
                                                "Ciphertext length is not a multiple of 8.");
}

TEST(BlowfishCipher, DecipherTextRejectsLengths) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    for (const std::string& ciphertext : {std::string(), std::string(12, 'x'), std::string(1, 'x')})
        test::ExpectThrowMessage<EBlockCipherError>([&] { cipher.DecipherText(ciphertext); },
                                                    "Ciphertext is not a multiple of 8 bytes.");
}

TEST(BlowfishCipher, DecipherStreamStartsAtSourcePosition) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    const std::string ciphertext = EncipherAsStream(cipher, "0123456789");
    ASSERT_EQ(ciphertext.size(), 16u);
    TMemoryStream source(std::string(8, '\x55') + ciphertext);
    source.Seek(8);
    TMemoryStream destination;
    cipher.DecipherStream(source, destination);
    EXPECT_EQ(destination.Data(), "0123456789");
    EXPECT_EQ(source.Position(), 24);
}

TEST(BlowfishCipher, DecipherStreamAppends) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    TMemoryStream first(EncipherAsStream(cipher, "first article"));
    TMemoryStream second(EncipherAsStream(cipher, std::string(5000, 's')));
    TMemoryStream destination;
    cipher.DecipherStream(first, destination);
    cipher.DecipherStream(second, destination);
    EXPECT_EQ(destination.Data(), "first article" + std::string(5000, 's'));
    EXPECT_EQ(destination.Position(), 13 + 5000);
}

TEST(BlowfishCipher, EncipherStreamAppendsFromSourcePosition) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    TMemoryStream source("skip" + std::string(20, 'p'));
    source.Seek(4);
    TMemoryStream destination("head");
    destination.Seek(4);
    cipher.EncipherStream(source, destination);
    ASSERT_EQ(destination.Size(), 4 + 24);
    EXPECT_EQ(destination.Data().substr(0, 4), "head");
    EXPECT_EQ(cipher.DecipherText(destination.Data().substr(4)), std::string(20, 'p'));
}

TEST(BlowfishCipher, RoundTrips) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    std::mt19937 random(2024);
    std::vector<std::size_t> lengths = {0, 1, 7, 8, 9, 4095, 4096, 4097, 8191, 8192, 8200};
    for (int i = 0; i < 40; ++i)
        lengths.push_back(random() % 20000);
    for (const std::size_t length : lengths) {
        SCOPED_TRACE(length);
        const std::string plain = RandomBytes(random, length);
        const std::string viaStream = EncipherAsStream(cipher, plain);
        const std::string viaText = cipher.EncipherText(plain);
        ASSERT_EQ(static_cast<std::int64_t>(viaStream.size()), cipher.CipheredLength(length));
        ASSERT_EQ(viaText.size(), viaStream.size());
        // The forms differ at most in the pad bytes ahead of the count.
        const std::size_t whole = length / 8 * 8;
        EXPECT_EQ(viaText.substr(0, whole), viaStream.substr(0, whole));
        std::string finalBlock = viaText.substr(whole);
        cipher.DecipherBlock(finalBlock.data());
        EXPECT_EQ(finalBlock,
                  plain.substr(whole) + std::string(8 - length % 8, char(8 - length % 8)));

        EXPECT_EQ(DecipherAsStream(cipher, viaStream), plain);
        EXPECT_EQ(DecipherAsStream(cipher, viaText), plain);
        EXPECT_EQ(cipher.DecipherText(viaStream), plain);
        EXPECT_EQ(cipher.DecipherText(viaText), plain);
    }
}

// A pad count outside 1..8 comes from a wrong key or damaged data: an error, and the final
// write is not made.
TEST(BlowfishCipher, InvalidPadCount) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    for (const std::uint8_t count : {0, 9, 255}) {
        SCOPED_TRACE(int{count});
        const std::string message =
            "Invalid pad count " + std::to_string(count) + " in the final block.";
        const std::string leading =
            cipher.EncipherText(std::string(7, 'a')) + cipher.EncipherText(std::string(7, 'b'));
        const std::string shortText = leading + BlockWithCount(cipher, 'c', count);
        test::ExpectThrowMessage<EBlockCipherError>([&] { cipher.DecipherText(shortText); },
                                                    message);
        {
            TMemoryStream source(shortText);
            TMemoryStream destination;
            test::ExpectThrowMessage<EBlockCipherError>(
                [&] { cipher.DecipherStream(source, destination); }, message);
            EXPECT_EQ(destination.Size(), 0);
        }
        // Whole chunks ahead of the final one are already written.
        const std::string firstChunk = EncipherAsStream(cipher, std::string(4095, 'd'));
        TMemoryStream source(firstChunk + BlockWithCount(cipher, 'e', count));
        TMemoryStream destination;
        test::ExpectThrowMessage<EBlockCipherError>(
            [&] { cipher.DecipherStream(source, destination); }, message);
        EXPECT_EQ(destination.Size(), 4096);
    }
}

// A source that delivers less than the size it reports.
class TShortStream final : public TStream {
public:
    explicit TShortStream(std::string data) : FInner(std::move(data)) {}
    std::int64_t Size() const override { return FInner.Size() + 8; }
    std::int64_t Position() const override { return FInner.Position(); }
    void Seek(std::int64_t position) override { FInner.Seek(position); }
    std::size_t Read(void* buffer, std::size_t count) override {
        return FInner.Read(buffer, count);
    }
    void Write(const void* buffer, std::size_t count) override { FInner.Write(buffer, count); }

private:
    TMemoryStream FInner;
};

TEST(BlowfishCipher, SourceEndingEarly) {
    const TBlowfishCipher cipher = MakeCipher(ArticleKey);
    TShortStream source(cipher.EncipherText("text"));
    TMemoryStream destination;
    test::ExpectThrowMessage<EBlockCipherError>(
        [&] { cipher.DecipherStream(source, destination); },
        "Ciphertext ends 8 bytes before the end the stream reported.");
    EXPECT_EQ(destination.Size(), 0);
}

} // namespace
} // namespace quarto
