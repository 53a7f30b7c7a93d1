// A growable array of fixed-size items kept in one heap block of exactly count x item size
// bytes: there is no spare capacity, so every add reallocates the block and may move it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace quarto {

// Base of the byte array's errors.
class EDynArrayException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Item size at creation outside 1..TrsDynArray::MaxItemSize.
class EDynArrayCreateError : public EDynArrayException {
public:
    EDynArrayCreateError() : EDynArrayException("Dynamic Array: Invalid Item Size") {}
};

// The block could not be obtained while adding; the array is unchanged.
class EDynArrayResources : public EDynArrayException {
public:
    EDynArrayResources() : EDynArrayException("Dynamic Array: Out of resources during Add.") {}
};

// Add on an array whose item size is not above 0.
class EDynArrayAddError : public EDynArrayException {
public:
    EDynArrayAddError() : EDynArrayException("Dynamic Array: Unable to add element.") {}
};

// Assign between arrays of different item sizes; the target is unchanged.
class EDynArrayAssignError : public EDynArrayException {
public:
    EDynArrayAssignError()
        : EDynArrayException("Dynamic Array: Arrays not compatible for Assign.") {}
};

// Items of ItemSize() bytes, back to back in one block of exactly ByteSize() bytes.
// The block exists only while Count() > 0 (Data() is null otherwise). Not copyable (use
// Assign); a move hands the block over and leaves the source empty with its item size.
class TrsDynArray {
public:
    static constexpr std::int32_t MaxItemSize = 65519;

    // Throws EDynArrayCreateError unless 1 <= itemSize <= MaxItemSize.
    explicit TrsDynArray(std::int32_t itemSize);
    TrsDynArray(const TrsDynArray&) = delete;
    TrsDynArray& operator=(const TrsDynArray&) = delete;
    TrsDynArray(TrsDynArray&& other) noexcept;
    // Takes over the other array's block, count and item size.
    TrsDynArray& operator=(TrsDynArray&& other) noexcept;
    ~TrsDynArray() = default;

    std::int32_t Count() const noexcept { return FCount; }
    std::int32_t ItemSize() const noexcept { return FItemSize; }
    // Always Count() x ItemSize().
    std::int32_t ByteSize() const noexcept { return FByteSize; }
    void* Data() noexcept { return FBlock.get(); }
    const void* Data() const noexcept { return FBlock.get(); }

    // Appends a copy of the ItemSize() bytes at item (which may point into this array's own
    // block) and returns the block, which may have moved. Throws EDynArrayResources when the
    // larger block cannot be obtained, leaving the array as it was.
    void* Add(const void* item);
    // Appends count items from items (not from this array's own block) in one reallocation
    // and returns the block. Throws EDynArrayResources as Add does.
    void* AddItems(const void* items, std::int32_t count);
    // Makes this array a copy of source and returns the new block (null when source is empty).
    // Throws EDynArrayAssignError when the item sizes differ and std::bad_alloc when the copy's
    // block cannot be obtained; either way the array is left as it was.
    void* Assign(const TrsDynArray& source);
    // Frees the block and empties the array; always returns null, the block's new address.
    void* Clear() noexcept;

private:
    struct TFreeBlock {
        void operator()(std::byte* block) const noexcept { std::free(block); }
    };

    std::unique_ptr<std::byte, TFreeBlock> FBlock;
    std::int32_t FItemSize;
    std::int32_t FCount = 0;
    std::int32_t FByteSize = 0;
};

} // namespace quarto
