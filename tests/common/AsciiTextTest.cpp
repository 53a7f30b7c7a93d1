#include "common/AsciiText.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quarto;

TEST(AsciiText, CaseTouchesOnlyAsciiLetters) {
    // Every byte: only A-Z and a-z change; the 1251 letters (А = 0xC0, а = 0xE0) and UTF-8
    // sequences stay as they are.
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const bool upper = b >= 'A' && b <= 'Z', lower = b >= 'a' && b <= 'z';
        EXPECT_EQ(AsciiLower(c), upper ? static_cast<char>(b + 32) : c) << b;
        EXPECT_EQ(AsciiUpper(c), lower ? static_cast<char>(b - 32) : c) << b;
    }
    EXPECT_EQ(AsciiLowered("Pic/STAR.JPG \xC0\xDF \xD0\x90"), "pic/star.jpg \xC0\xDF \xD0\x90");
}

TEST(AsciiText, ComparisonsIgnoringCase) {
    struct TCase {
        std::string_view Text, Other;
        bool Equal, Starts, Ends;
    };
    const std::vector<TCase> cases = {
        {"SETUP.INF", "setup.inf", true, true, true},
        {"Disc.ISO", ".iso", false, false, true},
        {"quarto-Book.desktop", "QUARTO-", false, true, false},
        {"", "", true, true, true},
        {"ab", "abc", false, false, false},
        {"\xC0", "\xE0", false, false, false}, // А and а in 1251: not ASCII letters
        {"a@", "A`", false, false, false},     // '@' and '`' are 32 apart but not letters
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.Text, c.Other), c.Equal) << c.Text << " " << c.Other;
        EXPECT_EQ(StartsIgnoringAsciiCase(c.Text, c.Other), c.Starts) << c.Text << " " << c.Other;
        EXPECT_EQ(EndsIgnoringAsciiCase(c.Text, c.Other), c.Ends) << c.Text << " " << c.Other;
    }
}

TEST(AsciiText, EachBlankPredicateHasItsOwnSet) {
    struct TCase {
        char C;
        bool SpaceOrTab, Line, Html, CSpace, BlankOrControl;
    };
    const std::vector<TCase> cases = {
        {' ', true, true, true, true, true},         {'\t', true, true, true, true, true},
        {'\r', false, true, true, true, true},       {'\n', false, true, true, true, true},
        {'\f', false, false, true, true, true},      {'\v', false, false, false, true, true},
        {'\0', false, false, false, false, true},    {'\x1F', false, false, false, false, true},
        {'!', false, false, false, false, false},    {'\x7F', false, false, false, false, false},
        {'\xA0', false, false, false, false, false}, // the 1251 no-break space is a character
    };
    for (const TCase& c : cases) {
        const int code = static_cast<unsigned char>(c.C);
        EXPECT_EQ(IsSpaceOrTab(c.C), c.SpaceOrTab) << code;
        EXPECT_EQ(IsLineSpace(c.C), c.Line) << code;
        EXPECT_EQ(IsHtmlSpace(c.C), c.Html) << code;
        EXPECT_EQ(IsCSpace(c.C), c.CSpace) << code;
        EXPECT_EQ(IsBlankOrControl(c.C), c.BlankOrControl) << code;
    }
    EXPECT_EQ(TrimmedBy(" \t\r a b \n\x01", IsBlankOrControl), "a b");
    EXPECT_EQ(TrimmedBy(" \t\r a b \n", IsSpaceOrTab), "\r a b \n");
    EXPECT_EQ(TrimmedBy(" \r\n ", IsLineSpace), "");
}

TEST(AsciiText, FileNameAndExtension) {
    struct TCase {
        std::string_view Path, Name, Extension;
    };
    const std::vector<TCase> cases = {
        {"Pic/STAR.JPG", "STAR.JPG", ".jpg"},
        {"Books\\Key\\Base\\About.Htm", "About.Htm", ".htm"},
        {"a.tar.GZ", "a.tar.GZ", ".gz"},
        {"dir.d/name", "name", ""},
        {".jpg", ".jpg", ""}, // a name, not an extension
        {"name.", "name.", "."},
        {"folder/", "", ""},
        {"", "", ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(FileNameIn(c.Path), c.Name) << c.Path;
        EXPECT_EQ(ExtensionOf(c.Path), c.Extension) << c.Path;
    }
}
