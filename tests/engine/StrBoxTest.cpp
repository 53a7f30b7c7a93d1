// Text helpers on code page 1251 byte strings.
#include "reader/search/StrBox.h"

#include <gtest/gtest.h>

#include <string>

namespace quarto {
namespace {

using namespace std::string_literals;

TEST(StrBoxTest, TextAfterLast) {
    const struct {
        std::string text;
        char character;
        std::string expected;
    } cases[] = {
        {"Pics/Maps/Moscow.jpg", '/', "Moscow.jpg"},
        {"../Pics/a b.htm", '/', "a b.htm"},
        {"Moscow.jpg", '/', ""},
        {"Pics/", '/', ""},
        {"/", '/', ""},
        {"/x", '/', "x"},
        {"", '/', ""},
        {"a.b.c", '.', "c"},
        {"\xC0\xFF\xC1\xFF\xC2", '\xFF', "\xC2"}, // 1251 letters around byte 255
        {"a\0b\0c"s, '\0', "c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextAfterLast(c.text, c.character), c.expected);
    }
}

TEST(StrBoxTest, CutFirstWord) {
    const struct {
        std::string text;
        std::string word;
        std::string rest;
    } cases[] = {
        {"word", "", "word"}, // no space: nothing is cut
        {"", "", ""},
        {" word", "", "word"}, // a leading space gives an empty word and is consumed
        {"  two", "", " two"}, // one space at a time
        {"one two three", "one", "two three"},
        {"one ", "one", ""},
        {"one\ttwo three", "one\ttwo", "three"}, // only the space separates
        {"\xCA\xE8\xE5\xE2 \xF0\xF3\xF1\xFC", "\xCA\xE8\xE5\xE2", "\xF0\xF3\xF1\xFC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        std::string word = "left over";
        CutFirstWord(text, word);
        EXPECT_EQ(word, c.word);
        EXPECT_EQ(text, c.rest);
    }
}

TEST(StrBoxTest, ReplaceFirst) {
    const struct {
        std::string replacement;
        std::string pattern;
        std::string text;
        std::string expected;
    } cases[] = {
        {" ", "%20", "My%20Pics%20a.jpg", "My Pics%20a.jpg"}, // the first occurrence only
        {" ", "%20", "%20", " "},
        {" ", "%20", "a%2", "a%2"}, // no occurrence
        {" ", "", "abc", "abc"},    // empty pattern
        {"x", "ab", "", ""},
        {"", "ab", "cabd", "cd"}, // empty replacement removes
        {"AB", "ab", "abab", "ABab"},
        {"x", "AB", "abab", "abab"},              // case-sensitive
        {"\xE0", "\xC0", "\xC0\xC0", "\xE0\xC0"}, // 1251 upper and lower case are other bytes
        {"b", "aa", "aaa", "ba"},                 // overlapping occurrences
        {"%20%20", "%20", "a%20b", "a%20%20b"},   // the replacement is not searched again
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReplaceFirst(c.replacement, c.pattern, c.text), c.expected);
    }
}

TEST(StrBoxTest, ReverseText) {
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"a", "a"},
        {"ab", "ba"},
        {"abc", "cba"},
        {"\xC0\xE1\xFF", "\xFF\xE1\xC0"},
        {"a\0b"s, "b\0a"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReverseText(c.text), c.expected);
    }
}

TEST(StrBoxTest, DropLastChars) {
    const struct {
        std::string text;
        std::int32_t count;
        std::string expected;
    } cases[] = {
        {"abc", 0, "abc"},
        {"abc", 1, "ab"},
        {"abc", 2, "a"},
        {"abc", 3, ""},
        {"abc", 5, ""},
        {"abc", INT32_MAX, ""},
        {"", 0, ""},
        {"", 1, ""},
        {"abc", -1, "abc"},
        {"abc", INT32_MIN, "abc"},
        {"\xC0\xC1\xC2", 1, "\xC0\xC1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " by " + std::to_string(c.count));
        EXPECT_EQ(DropLastChars(c.text, c.count), c.expected);
    }
}

} // namespace
} // namespace quarto
