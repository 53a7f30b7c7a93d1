// Typed lists on top of the byte array: the list of signed 32-bit integers the search engine
// keeps its article numbers in. Indices are 0-based.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "reader/search/rsDynarr.h"

namespace quarto {

// Base of the typed lists' errors.
class EDynArrayTypeException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Index outside the list.
class EDynArrayTypeAccessError : public EDynArrayTypeException {
public:
    EDynArrayTypeAccessError()
        : EDynArrayTypeException("Dynamic Longint Array: Index out of bounds") {}
};

// Owns a byte array and keeps a pointer to its block, refreshed after every add, assign and
// clear (the block has no spare capacity and moves on every add), so that element reads and
// writes go straight through it. Only a base for the typed lists.
class TrsCustomDynarray {
public:
    std::int32_t Count() const noexcept { return FArray.Count(); }
    // Empties the list.
    void Clear() noexcept { FItems = FArray.Clear(); }

protected:
    explicit TrsCustomDynarray(std::int32_t itemSize) : FArray(itemSize) {}
    // A copy has its own block with the same items.
    TrsCustomDynarray(const TrsCustomDynarray& other);
    TrsCustomDynarray& operator=(const TrsCustomDynarray& other);
    // A move hands the block over and leaves the source empty.
    TrsCustomDynarray(TrsCustomDynarray&& other) noexcept;
    TrsCustomDynarray& operator=(TrsCustomDynarray&& other) noexcept;
    ~TrsCustomDynarray() = default;

    void AddItem(const void* item) { FItems = FArray.Add(item); }
    void AddItems(const void* items, std::int32_t count) { FItems = FArray.AddItems(items, count); }
    void AssignItems(const TrsCustomDynarray& source) { FItems = FArray.Assign(source.FArray); }
    // The block; null while the list is empty.
    void* Items() const noexcept { return FItems; }

private:
    TrsDynArray FArray;
    void* FItems = nullptr;
};

// A list of signed 32-bit integers. Copying copies the items (as Assign); moving hands the
// block over and leaves the source empty. Get and Put are one bounds test and a direct access.
class TrsDynLongint : public TrsCustomDynarray {
public:
    TrsDynLongint() : TrsCustomDynarray(sizeof(std::int32_t)) {}

    // The value at index; throws EDynArrayTypeAccessError unless 0 <= index < Count().
    std::int32_t Get(std::int32_t index) const {
        if (static_cast<std::uint32_t>(index) >= static_cast<std::uint32_t>(Count()))
            RaiseIndexError();
        return static_cast<const std::int32_t*>(Items())[index];
    }
    // Same as Get.
    std::int32_t operator[](std::int32_t index) const { return Get(index); }

    // Overwrites the value at index < Count(); index == Count() appends. Any other index throws
    // EDynArrayTypeAccessError and changes nothing.
    void Put(std::int32_t index, std::int32_t value) {
        if (static_cast<std::uint32_t>(index) < static_cast<std::uint32_t>(Count()))
            static_cast<std::int32_t*>(Items())[index] = value;
        else if (index == Count())
            Add(value);
        else
            RaiseIndexError();
    }

    // Appends value. Throws EDynArrayResources when the block cannot grow.
    void Add(std::int32_t value) { AddItem(&value); }
    // Appends count values at once.
    void AddValues(const std::int32_t* values, std::int32_t count) { AddItems(values, count); }
    // Becomes a copy of other: the same values in the same order.
    void Assign(const TrsDynLongint& other) { AssignItems(other); }

private:
    [[noreturn]] static void RaiseIndexError();
};

} // namespace quarto
