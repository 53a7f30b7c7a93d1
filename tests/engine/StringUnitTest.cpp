// LargerOf, SplitWords and SortIntegers.
#include "reader/search/StringUnit.h"

#include "ExpectError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace quarto {
namespace {

TrsDynLongint ListOf(const std::vector<std::int32_t>& values) {
    TrsDynLongint list;
    for (auto v : values)
        list.Add(v);
    return list;
}

std::vector<std::int32_t> Values(const TrsDynLongint& list) {
    std::vector<std::int32_t> values;
    for (std::int32_t i = 0; i < list.Count(); ++i)
        values.push_back(list.Get(i));
    return values;
}

TEST(StringUnitTest, LargerOf) {
    const struct {
        std::int32_t a, b, expected;
    } cases[] = {
        {-1, -5, -1},
        {-5, -1, -1},
        {3, 3, 3},
        {0, 1, 1},
        {1, 0, 1},
        {INT32_MIN, INT32_MAX, INT32_MAX},
        {INT32_MAX, INT32_MIN, INT32_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LargerOf(c.a, c.b), c.expected) << c.a << ", " << c.b;
}

TEST(StringUnitTest, SplitWords) {
    using Words = std::vector<std::string>;
    const struct {
        std::string text;
        Words expected;
    } cases[] = {
        {"", {""}},
        {"   ", {""}},
        {"\t\r\n", {""}},
        {"word", {"word"}},
        {"one  two", {"one", "two"}},
        {"one  two ", {"one", "two", ""}},
        {"  one two", {"one", "two"}},
        {"one two three", {"one", "two", "three"}},
        // Only the space separates; codes 0..32 are trimmed at the ends of the words that
        // a space closes, and at the front of the rest.
        {"one\ttwo three", {"one\ttwo", "three"}},
        {"one\t two", {"one", "two"}},
        {"one \t\x01two", {"one", "two"}},
        {"one two\t", {"one", "two\t"}},
        {"\x7F \xC0\xE1", {"\x7F", "\xC0\xE1"}}, // 127 and the 1251 letters are not blanks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Words list = {"left", "over"};
        SplitWords(c.text, list);
        EXPECT_EQ(list, c.expected);
    }
}

TEST(StringUnitTest, SortIntegersSortsWholeLists) {
    const std::vector<std::int32_t> cases[] = {
        {},
        {5},
        {3, 1, 2, 1},
        {1, 2},
        {2, 1},
        {1, 2, 3, 4, 5, 6, 7},
        {7, 6, 5, 4, 3, 2, 1},
        {4, 4, 4, 4, 4},
        {0, -1, INT32_MAX, INT32_MIN, -1, 1, INT32_MIN},
        {2, 1, 2, 1, 2, 1, 2, 1, 2},
    };
    for (const auto& values : cases) {
        TrsDynLongint list = ListOf(values);
        SortIntegers(list, 0, list.Count() - 1);
        auto expected = values;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Values(list), expected);
    }
}

TEST(StringUnitTest, SortIntegersMatchesStdSortOnLargeLists) {
    std::mt19937 random(20240501);
    for (std::int32_t range : {3, 1000, INT32_MAX}) {
        std::uniform_int_distribution<std::int32_t> value(-range, range);
        std::vector<std::int32_t> values(5000);
        for (auto& v : values)
            v = value(random);
        TrsDynLongint list = ListOf(values);
        SortIntegers(list, 0, list.Count() - 1);
        std::sort(values.begin(), values.end());
        EXPECT_EQ(Values(list), values) << range;
    }
}

TEST(StringUnitTest, SortIntegersSortsOnlyTheRange) {
    const struct {
        std::int32_t lo, hi;
        std::vector<std::int32_t> expected;
    } cases[] = {
        {1, 4, {9, 1, 5, 7, 8, 0}}, {0, 0, {9, 8, 7, 5, 1, 0}}, // a single item
        {3, 2, {9, 8, 7, 5, 1, 0}},                             // lo above hi
        {5, 0, {9, 8, 7, 5, 1, 0}}, {4, 5, {9, 8, 7, 5, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.lo) + ".." + std::to_string(c.hi));
        TrsDynLongint list = ListOf({9, 8, 7, 5, 1, 0});
        SortIntegers(list, c.lo, c.hi);
        EXPECT_EQ(Values(list), c.expected);
    }
}

TEST(StringUnitTest, SortIntegersReadsThroughTheBoundsCheck) {
    for (auto range : {std::pair{0, 3}, std::pair{-1, 2}}) {
        TrsDynLongint list = ListOf({3, 2, 1});
        test::ExpectThrowMessage<EDynArrayTypeAccessError>(
            [&] { SortIntegers(list, range.first, range.second); },
            "Dynamic Longint Array: Index out of bounds");
    }
}

} // namespace
} // namespace quarto
