#include "rsDynarr.h"

#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <utility>

namespace quarto {

TrsDynArray::TrsDynArray(std::int32_t itemSize) : FItemSize(itemSize) {
    if (itemSize < 1 || itemSize > MaxItemSize)
        throw EDynArrayCreateError();
}

TrsDynArray::TrsDynArray(TrsDynArray&& other) noexcept
    : FBlock(std::move(other.FBlock)), FItemSize(other.FItemSize),
      FCount(std::exchange(other.FCount, 0)), FByteSize(std::exchange(other.FByteSize, 0)) {}

TrsDynArray& TrsDynArray::operator=(TrsDynArray&& other) noexcept {
    if (this != &other) {
        FBlock = std::move(other.FBlock);
        FItemSize = other.FItemSize;
        FCount = std::exchange(other.FCount, 0);
        FByteSize = std::exchange(other.FByteSize, 0);
    }
    return *this;
}

void* TrsDynArray::AddItems(const void* items, std::int32_t count) {
    if (count <= 0)
        return FBlock.get();
    if (FItemSize <= 0)
        throw EDynArrayAddError();
    if (count > (std::numeric_limits<std::int32_t>::max() - FByteSize) / FItemSize)
        throw EDynArrayResources();
    const auto oldSize = static_cast<std::size_t>(FByteSize);
    const auto added = static_cast<std::size_t>(count) * static_cast<std::size_t>(FItemSize);
    void* grown =
        FCount == 0 ? std::malloc(oldSize + added) : std::realloc(FBlock.get(), oldSize + added);
    if (grown == nullptr)
        throw EDynArrayResources();
    (void)FBlock.release();
    FBlock.reset(static_cast<std::byte*>(grown));
    std::memcpy(FBlock.get() + oldSize, items, added);
    FCount += count;
    FByteSize += static_cast<std::int32_t>(added);
    return FBlock.get();
}

void* TrsDynArray::Add(const void* item) {
    // The item size is checked at creation; this only guards against a damaged object.
    if (FItemSize <= 0)
        throw EDynArrayAddError();
    // The byte size is a signed 32-bit number: a block beyond it cannot be had either.
    if (FByteSize > std::numeric_limits<std::int32_t>::max() - FItemSize)
        throw EDynArrayResources();

    const auto oldSize = static_cast<std::size_t>(FByteSize);
    const auto newSize = oldSize + static_cast<std::size_t>(FItemSize);
    auto* source = static_cast<const std::byte*>(item);
    std::byte* block = FBlock.get();

    // An item taken from this array's own block would be left behind when the block moves:
    // remember where it sits and copy it from the block's new place.
    const bool inBlock = FCount > 0 && !std::less<const std::byte*>()(source, block) &&
                         std::less<const std::byte*>()(source, block + oldSize);
    const std::size_t sourceOffset = inBlock ? static_cast<std::size_t>(source - block) : 0;

    // realloc leaves the old block in place when it fails, so nothing has changed yet.
    void* grown = FCount == 0 ? std::malloc(newSize) : std::realloc(block, newSize);
    if (grown == nullptr)
        throw EDynArrayResources();
    (void)FBlock.release();
    FBlock.reset(static_cast<std::byte*>(grown));
    block = FBlock.get();

    std::memcpy(block + oldSize, inBlock ? block + sourceOffset : source,
                static_cast<std::size_t>(FItemSize));
    ++FCount;
    FByteSize += FItemSize;
    return block;
}

void* TrsDynArray::Assign(const TrsDynArray& source) {
    if (source.FItemSize != FItemSize)
        throw EDynArrayAssignError();
    if (&source == this)
        return Data();

    // The copy is made first, so a failed allocation leaves this array as it was.
    std::unique_ptr<std::byte, TFreeBlock> copy;
    if (source.FCount > 0) {
        const auto size = static_cast<std::size_t>(source.FByteSize);
        copy.reset(static_cast<std::byte*>(std::malloc(size)));
        if (!copy)
            throw std::bad_alloc();
        std::memcpy(copy.get(), source.FBlock.get(), size);
    }
    FBlock = std::move(copy);
    FCount = source.FCount;
    FByteSize = source.FByteSize;
    return Data();
}

void* TrsDynArray::Clear() noexcept {
    if (FCount > 0) {
        FBlock.reset();
        FCount = 0;
        FByteSize = 0;
    }
    return nullptr;
}

} // namespace quarto
