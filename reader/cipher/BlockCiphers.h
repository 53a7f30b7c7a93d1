// Block ciphers for the enciphered article texts: a root that frames whole streams and byte
// strings into padded blocks, a layer for ciphers with 64-bit blocks, and Blowfish.
//
// Blocks are enciphered one by one (electronic codebook: no chaining, no initialisation vector).
// Framing: the ciphertext is the plaintext followed by 1..BlockSize() pad bytes, so n plaintext
// bytes always give CipheredLength(n) bytes; the last byte of the final block holds the pad count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/ByteStream.h"

namespace quarto {

// A key that is too short, or ciphertext that cannot be deciphered (wrong length, a pad count
// outside 1..BlockSize() after deciphering, a source that ends before its reported size).
class EBlockCipherError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TBlockCipher {
public:
    virtual ~TBlockCipher() = default;

    // Ciphertext length for plainLength bytes: (plainLength div BlockSize() + 1) * BlockSize().
    std::int64_t CipheredLength(std::int64_t plainLength) const;

    // Enciphers the source from its position until a read delivers fewer bytes than asked, and
    // writes the ciphertext at the destination's position. Only the count byte of the pad is
    // part of the format; the pad bytes ahead of it are written as the count too.
    void EncipherStream(TStream& source, TStream& destination) const;
    // Deciphers everything from the source's position to its end and writes the plaintext at
    // the destination's position, so repeated calls append. Throws EBlockCipherError, writing
    // nothing, when that length is 0 or not a multiple of BlockSize(); throws EBlockCipherError
    // when the deciphered pad count is outside 1..BlockSize() (wrong key or damaged data), the
    // last write (the final chunk of up to 512 blocks) then not being made. Stream errors pass
    // through unchanged.
    void DecipherStream(TStream& source, TStream& destination) const;

    // One block of BlockSize() bytes, in place.
    virtual void EncipherBlock(void* block) const = 0;
    virtual void DecipherBlock(void* block) const = 0;

    // Key lengths in bytes and the block size of the class; they need no particular key.
    virtual int MinKeyLength() const = 0;
    // Reported, not enforced. Unless a class says otherwise, MinKeyLength().
    virtual int MaxKeyLength() const;
    virtual int BlockSize() const = 0;

protected:
    // Throws EBlockCipherError when keyLength is below minKeyLength, which the class being built
    // passes up (a base constructor cannot ask the virtual MinKeyLength() of a derived class).
    TBlockCipher(int keyLength, int minKeyLength);
    TBlockCipher(const TBlockCipher&) = default;
    TBlockCipher& operator=(const TBlockCipher&) = default;

    // count consecutive blocks in place. The stream and text forms go through these, so a
    // class can keep its per-block work inline; by default they call EncipherBlock/DecipherBlock.
    virtual void EncipherBlocks(std::uint8_t* blocks, std::size_t count) const;
    virtual void DecipherBlocks(std::uint8_t* blocks, std::size_t count) const;
};

// A cipher with 8-byte blocks made of two 32-bit halves: left = bytes 0..3, right = bytes 4..7,
// each stored least significant byte first.
class T64BitBlockCipher : public TBlockCipher {
public:
    static constexpr int ClassBlockSize = 8;

    int BlockSize() const override { return ClassBlockSize; }

    // The halves as numbers, in place.
    virtual void EncipherHalves(std::uint32_t& left, std::uint32_t& right) const = 0;
    virtual void DecipherHalves(std::uint32_t& left, std::uint32_t& right) const = 0;

    // The byte-string forms of the stream framing; every pad byte holds the pad count.
    std::string EncipherText(std::string_view plain) const;
    // Throws EBlockCipherError when the length is 0 or not a multiple of 8, or when the
    // deciphered pad count is outside 1..8.
    std::string DecipherText(std::string_view cipher) const;

protected:
    using TBlockCipher::TBlockCipher;
};

// Blowfish: 16 rounds, the published initial tables and key schedule.
class TBlowfishCipher final : public T64BitBlockCipher {
public:
    static constexpr int ClassMinKeyLength = 8;
    static constexpr int ClassMaxKeyLength = 56;

    // Reads keyLength key bytes (only the first 72 matter; they are used cyclically) and sets
    // up the tables. Throws EBlockCipherError when keyLength is below 8.
    TBlowfishCipher(const void* key, int keyLength);

    void EncipherBlock(void* block) const override;
    void DecipherBlock(void* block) const override;
    int MinKeyLength() const override { return ClassMinKeyLength; }
    int MaxKeyLength() const override { return ClassMaxKeyLength; }
    void EncipherHalves(std::uint32_t& left, std::uint32_t& right) const override;
    void DecipherHalves(std::uint32_t& left, std::uint32_t& right) const override;

protected:
    void EncipherBlocks(std::uint8_t* blocks, std::size_t count) const override;
    void DecipherBlocks(std::uint8_t* blocks, std::size_t count) const override;

private:
    // The published key schedule: the initial tables, the key folded into PArray, then 521
    // encipherments of a chained block replacing PArray and the S-boxes in order.
    void ScheduleKey(const std::uint8_t* key, int keyLength);

    std::uint32_t SBox[4][256];
    std::uint32_t PArray[18];
};

} // namespace quarto
