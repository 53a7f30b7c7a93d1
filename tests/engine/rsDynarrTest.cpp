// The byte array (rsDynarr) and the integer list on top of it (rsDyntyp).
#include "reader/search/rsDynarr.h"

#include "common/FileSystem.h"
#include "reader/search/rsDyntyp.h"

#include "ExpectError.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__linux__)
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace quarto {
namespace {

std::vector<std::int32_t> Values(const TrsDynLongint& list) {
    std::vector<std::int32_t> values;
    for (std::int32_t i = 0; i < list.Count(); ++i)
        values.push_back(list.Get(i));
    return values;
}

TrsDynLongint ListOf(const std::vector<std::int32_t>& values) {
    TrsDynLongint list;
    for (auto v : values)
        list.Add(v);
    return list;
}

std::vector<std::int32_t> Ints(const TrsDynArray& array) {
    std::vector<std::int32_t> values(static_cast<std::size_t>(array.Count()));
    if (!values.empty())
        std::memcpy(values.data(), array.Data(), static_cast<std::size_t>(array.ByteSize()));
    return values;
}

void AddInt(TrsDynArray& array, std::int32_t value) {
    array.Add(&value);
}

// ---- exceptions ----------------------------------------------------------------------------

TEST(DynArrayErrorsTest, ClassesCarryTheirTextsAndBases) {
    static_assert(std::is_base_of_v<std::runtime_error, EDynArrayException>);
    static_assert(std::is_base_of_v<EDynArrayException, EDynArrayCreateError>);
    static_assert(std::is_base_of_v<EDynArrayException, EDynArrayResources>);
    static_assert(std::is_base_of_v<EDynArrayException, EDynArrayAddError>);
    static_assert(std::is_base_of_v<EDynArrayException, EDynArrayAssignError>);
    static_assert(std::is_base_of_v<std::runtime_error, EDynArrayTypeException>);
    static_assert(std::is_base_of_v<EDynArrayTypeException, EDynArrayTypeAccessError>);
    static_assert(!std::is_base_of_v<EDynArrayException, EDynArrayTypeException>);
    static_assert(!std::is_base_of_v<EDynArrayTypeException, EDynArrayException>);

    EXPECT_STREQ(EDynArrayCreateError().what(), "Dynamic Array: Invalid Item Size");
    EXPECT_STREQ(EDynArrayResources().what(), "Dynamic Array: Out of resources during Add.");
    EXPECT_STREQ(EDynArrayAddError().what(), "Dynamic Array: Unable to add element.");
    EXPECT_STREQ(EDynArrayAssignError().what(), "Dynamic Array: Arrays not compatible for Assign.");
    EXPECT_STREQ(EDynArrayTypeAccessError().what(), "Dynamic Longint Array: Index out of bounds");
}

// ---- TrsDynArray ---------------------------------------------------------------------------

TEST(TrsDynArrayTest, AcceptsItemSizesFrom1To65519) {
    for (std::int32_t size : {1, 4, 8, 65519}) {
        SCOPED_TRACE(size);
        TrsDynArray array(size);
        EXPECT_EQ(array.ItemSize(), size);
        EXPECT_EQ(array.Count(), 0);
        EXPECT_EQ(array.ByteSize(), 0);
        EXPECT_EQ(array.Data(), nullptr);
    }
}

TEST(TrsDynArrayTest, RejectsOtherItemSizes) {
    for (std::int32_t size : {0, -1, -4, 65520, 65535, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(size);
        test::ExpectThrowMessage<EDynArrayCreateError>([&] { TrsDynArray array(size); },
                                                       "Dynamic Array: Invalid Item Size");
    }
}

TEST(TrsDynArrayTest, AddCopiesTheItemIntoAnExactBlock) {
    TrsDynArray array(3);
    const char items[] = "abcdefghi";
    for (int n = 1; n <= 3; ++n) {
        void* block = array.Add(items + 3 * (n - 1));
        EXPECT_EQ(block, array.Data());
        EXPECT_EQ(array.Count(), n);
        EXPECT_EQ(array.ByteSize(), 3 * n);
    }
    EXPECT_EQ(std::string(static_cast<const char*>(array.Data()), 9), "abcdefghi");
}

TEST(TrsDynArrayTest, AddKeepsItemsOfTheLargestSize) {
    TrsDynArray array(TrsDynArray::MaxItemSize);
    std::vector<unsigned char> item(TrsDynArray::MaxItemSize);
    for (int n = 0; n < 3; ++n) {
        item.front() = static_cast<unsigned char>(n);
        item.back() = static_cast<unsigned char>(0xF0 + n);
        array.Add(item.data());
    }
    ASSERT_EQ(array.ByteSize(), 3 * TrsDynArray::MaxItemSize);
    const auto* bytes = static_cast<const unsigned char*>(array.Data());
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(bytes[n * TrsDynArray::MaxItemSize], n);
        EXPECT_EQ(bytes[(n + 1) * TrsDynArray::MaxItemSize - 1], 0xF0 + n);
    }
}

// The block moves on most adds; an item taken from the block itself must still be copied.
TEST(TrsDynArrayTest, AddAcceptsAnItemFromItsOwnBlock) {
    TrsDynArray array(4);
    AddInt(array, 7);
    AddInt(array, 8);
    for (int n = 0; n < 50; ++n)
        array.Add(static_cast<const std::int32_t*>(array.Data()) + (n % 2));
    const auto values = Ints(array);
    ASSERT_EQ(values.size(), 52u);
    for (std::size_t k = 0; k < values.size(); ++k)
        EXPECT_EQ(values[k], k % 2 == 0 ? 7 : 8) << k;
}

TEST(TrsDynArrayTest, ClearEmptiesAndAlwaysReturnsNull) {
    TrsDynArray array(4);
    EXPECT_EQ(array.Clear(), nullptr);
    EXPECT_EQ(array.Count(), 0);
    AddInt(array, 1);
    AddInt(array, 2);
    EXPECT_EQ(array.Clear(), nullptr);
    EXPECT_EQ(array.Count(), 0);
    EXPECT_EQ(array.ByteSize(), 0);
    EXPECT_EQ(array.Data(), nullptr);
    AddInt(array, 3);
    EXPECT_EQ(Ints(array), std::vector<std::int32_t>{3});
}

TEST(TrsDynArrayTest, AssignCopiesIntoItsOwnBlock) {
    TrsDynArray source(4);
    for (std::int32_t v : {5, -6, 7})
        AddInt(source, v);
    TrsDynArray target(4);
    AddInt(target, 99);

    void* block = target.Assign(source);
    EXPECT_EQ(block, target.Data());
    EXPECT_NE(target.Data(), source.Data());
    EXPECT_EQ(target.Count(), 3);
    EXPECT_EQ(target.ByteSize(), 12);
    EXPECT_EQ(Ints(target), (std::vector<std::int32_t>{5, -6, 7}));

    AddInt(source, 8);
    EXPECT_EQ(target.Count(), 3);

    EXPECT_EQ(target.Assign(target), target.Data());
    EXPECT_EQ(Ints(target), (std::vector<std::int32_t>{5, -6, 7}));
}

TEST(TrsDynArrayTest, AssignFromAnEmptyArrayEmpties) {
    TrsDynArray source(4);
    TrsDynArray target(4);
    AddInt(target, 1);
    EXPECT_EQ(target.Assign(source), nullptr);
    EXPECT_EQ(target.Count(), 0);
    EXPECT_EQ(target.ByteSize(), 0);
    EXPECT_EQ(target.Data(), nullptr);
}

TEST(TrsDynArrayTest, AssignBetweenItemSizesFailsAndChangesNothing) {
    TrsDynArray source(8);
    const std::int64_t wide = 1;
    source.Add(&wide);
    TrsDynArray target(4);
    AddInt(target, 42);
    const void* block = target.Data();

    test::ExpectThrowMessage<EDynArrayAssignError>(
        [&] { target.Assign(source); }, "Dynamic Array: Arrays not compatible for Assign.");
    EXPECT_EQ(target.ItemSize(), 4);
    EXPECT_EQ(target.Data(), block);
    EXPECT_EQ(Ints(target), std::vector<std::int32_t>{42});
}

TEST(TrsDynArrayTest, MoveHandsTheBlockOver) {
    TrsDynArray source(4);
    AddInt(source, 1);
    AddInt(source, 2);
    const void* block = source.Data();

    TrsDynArray moved(std::move(source));
    EXPECT_EQ(moved.Data(), block);
    EXPECT_EQ(Ints(moved), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(source.Count(), 0);
    EXPECT_EQ(source.ByteSize(), 0);
    EXPECT_EQ(source.Data(), nullptr);

    TrsDynArray target(8);
    target = std::move(moved);
    EXPECT_EQ(target.ItemSize(), 4);
    EXPECT_EQ(Ints(target), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(moved.Count(), 0);
    AddInt(moved, 3); // a moved-from array is still usable
    EXPECT_EQ(Ints(moved), std::vector<std::int32_t>{3});
}

// Sanitizer allocators abort on exhausted memory instead of failing the allocation.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUARTO_ALLOCATOR_ABORTS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||                         \
    __has_feature(memory_sanitizer)
#define QUARTO_ALLOCATOR_ABORTS 1
#endif
#endif

// Caps the process's address space a little above what it uses now, so that the block cannot
// grow far, and checks that the failing add leaves the array exactly as it was.
TEST(TrsDynArrayTest, AddThatCannotGetTheBlockFailsAndChangesNothing) {
#if !defined(__linux__) || defined(QUARTO_ALLOCATOR_ABORTS)
    GTEST_SKIP() << "needs an address space limit the allocator honours";
#else
    constexpr std::int32_t itemSize = TrsDynArray::MaxItemSize;
    constexpr rlim_t headroom = 16u << 20;
    std::vector<unsigned char> item(itemSize, 0x5A);
    TrsDynArray array(itemSize);

    unsigned long pages = 0;
    ASSERT_EQ(std::sscanf(ReadWholeFile("/proc/self/statm").c_str(), "%lu", &pages), 1);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
    rlimit capped = saved;
    capped.rlim_cur =
        static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
    if (saved.rlim_cur != RLIM_INFINITY && saved.rlim_cur < capped.rlim_cur)
        GTEST_SKIP() << "the address space is already limited";
    ASSERT_EQ(setrlimit(RLIMIT_AS, &capped), 0);
    struct TRestoreLimit {
        const rlimit& Saved;
        ~TRestoreLimit() { setrlimit(RLIMIT_AS, &Saved); }
    } restore{saved};

    // Nothing below allocates until the limit is lifted again, except the failing add.
    bool failed = false;
    char message[80] = {};
    std::int32_t countBefore = 0;
    std::int32_t byteSizeBefore = 0;
    const void* blockBefore = nullptr;
    for (std::int32_t n = 0; n < 4 * static_cast<std::int32_t>(headroom / itemSize); ++n) {
        countBefore = array.Count();
        byteSizeBefore = array.ByteSize();
        blockBefore = array.Data();
        item.front() = static_cast<unsigned char>(n);
        try {
            array.Add(item.data());
        } catch (const EDynArrayResources& e) {
            std::strncpy(message, e.what(), sizeof message - 1);
            failed = true;
            break;
        }
    }
    setrlimit(RLIMIT_AS, &saved);

    ASSERT_TRUE(failed) << "the block kept growing past the limit";
    EXPECT_STREQ(message, "Dynamic Array: Out of resources during Add.");
    EXPECT_GT(countBefore, 0);
    EXPECT_EQ(array.Count(), countBefore);
    EXPECT_EQ(array.ByteSize(), byteSizeBefore);
    ASSERT_EQ(array.Data(), blockBefore);
    const auto* bytes = static_cast<const unsigned char*>(array.Data());
    for (std::int32_t n = 0; n < array.Count(); ++n) {
        ASSERT_EQ(bytes[static_cast<std::size_t>(n) * itemSize], static_cast<unsigned char>(n));
        ASSERT_EQ(bytes[static_cast<std::size_t>(n + 1) * itemSize - 1], 0x5A);
    }
    item.front() = 0;
    array.Add(item.data());
    EXPECT_EQ(array.Count(), countBefore + 1);
#endif
}

// ---- TrsDynLongint -------------------------------------------------------------------------

TEST(TrsDynLongintTest, AddAndGetKeepOrderAcrossManyMoves) {
    TrsDynLongint list;
    EXPECT_EQ(list.Count(), 0);
    for (std::int32_t v = 0; v < 2000; ++v)
        list.Add(v * 3 - 1000);
    ASSERT_EQ(list.Count(), 2000);
    for (std::int32_t i = 0; i < 2000; ++i) {
        ASSERT_EQ(list.Get(i), i * 3 - 1000);
        ASSERT_EQ(list[i], i * 3 - 1000);
    }
}

TEST(TrsDynLongintTest, GetOutsideTheListFails) {
    const TrsDynLongint empty;
    const TrsDynLongint three = ListOf({1, 2, 3});
    const struct {
        const TrsDynLongint* list;
        std::int32_t index;
    } cases[] = {{&empty, 0},  {&empty, -1},        {&three, 3},
                 {&three, -1}, {&three, INT32_MIN}, {&three, INT32_MAX}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        test::ExpectThrowMessage<EDynArrayTypeAccessError>(
            [&] { (void)c.list->Get(c.index); }, "Dynamic Longint Array: Index out of bounds");
        test::ExpectThrowMessage<EDynArrayTypeAccessError>(
            [&] { (void)(*c.list)[c.index]; }, "Dynamic Longint Array: Index out of bounds");
    }
}

TEST(TrsDynLongintTest, PutOverwritesOrAppendsAtCount) {
    TrsDynLongint list;
    list.Put(0, 10); // count 0: appends
    list.Put(1, 20);
    list.Put(0, -10);
    list.Put(2, INT32_MIN);
    list.Put(1, INT32_MAX);
    EXPECT_EQ(Values(list), (std::vector<std::int32_t>{-10, INT32_MAX, INT32_MIN}));
}

TEST(TrsDynLongintTest, PutBeyondCountFailsAndChangesNothing) {
    TrsDynLongint list = ListOf({4, 5});
    for (std::int32_t index : {3, 4, -1, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(index);
        test::ExpectThrowMessage<EDynArrayTypeAccessError>(
            [&] { list.Put(index, 9); }, "Dynamic Longint Array: Index out of bounds");
        EXPECT_EQ(Values(list), (std::vector<std::int32_t>{4, 5}));
    }
    TrsDynLongint empty;
    test::ExpectThrowMessage<EDynArrayTypeAccessError>(
        [&] { empty.Put(1, 9); }, "Dynamic Longint Array: Index out of bounds");
    EXPECT_EQ(empty.Count(), 0);
}

TEST(TrsDynLongintTest, ClearEmptiesAndTheListStaysUsable) {
    TrsDynLongint list = ListOf({1, 2, 3});
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    test::ExpectThrowMessage<EDynArrayTypeAccessError>(
        [&] { (void)list.Get(0); }, "Dynamic Longint Array: Index out of bounds");
    list.Clear();
    list.Add(7);
    EXPECT_EQ(Values(list), std::vector<std::int32_t>{7});
}

TEST(TrsDynLongintTest, AssignCopiesValuesAndOrder) {
    const TrsDynLongint source = ListOf({3, -1, 2});
    const std::vector<std::int32_t> targets[] = {{}, {9}, {9, 8, 7, 6, 5}};
    for (const auto& before : targets) {
        TrsDynLongint target = ListOf(before);
        target.Assign(source);
        EXPECT_EQ(Values(target), (std::vector<std::int32_t>{3, -1, 2}));
        target.Put(0, 100); // the copy has its own block
        target.Add(4);
        EXPECT_EQ(Values(source), (std::vector<std::int32_t>{3, -1, 2}));
    }

    TrsDynLongint target = ListOf({1, 2});
    target.Assign(TrsDynLongint());
    EXPECT_EQ(target.Count(), 0);
    test::ExpectThrowMessage<EDynArrayTypeAccessError>(
        [&] { (void)target.Get(0); }, "Dynamic Longint Array: Index out of bounds");
    target.Add(5);
    EXPECT_EQ(Values(target), std::vector<std::int32_t>{5});

    target.Assign(target);
    EXPECT_EQ(Values(target), std::vector<std::int32_t>{5});
}

TEST(TrsDynLongintTest, CopiesAreIndependentAndMovesEmptyTheSource) {
    TrsDynLongint source = ListOf({1, 2, 3});
    TrsDynLongint copy(source);
    TrsDynLongint assigned = ListOf({9});
    assigned = source;
    source.Put(0, 0);
    EXPECT_EQ(Values(copy), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(Values(assigned), (std::vector<std::int32_t>{1, 2, 3}));

    TrsDynLongint moved(std::move(copy));
    EXPECT_EQ(Values(moved), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(copy.Count(), 0);
    copy.Add(4);
    EXPECT_EQ(Values(copy), std::vector<std::int32_t>{4});

    assigned = std::move(moved);
    EXPECT_EQ(Values(assigned), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(moved.Count(), 0);
    test::ExpectThrowMessage<EDynArrayTypeAccessError>(
        [&] { (void)moved.Get(0); }, "Dynamic Longint Array: Index out of bounds");
}

} // namespace
} // namespace quarto
