#include "common/Cp1251.h"

#include <gtest/gtest.h>

using namespace quarto;

TEST(Cp1251, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::string back;
    ASSERT_TRUE(TryUtf8ToCp1251(Cp1251ToUtf8(all), back));
    EXPECT_EQ(back, all);
}

TEST(Cp1251, KnownCharacters) {
    struct Case {
        unsigned char byte;
        const char* utf8;
    } cases[] = {{0xC0, "А"}, {0xFF, "я"}, {0xA8, "Ё"},        {0xB8, "ё"},
                 {0xB9, "№"}, {0x97, "—"}, {0xAB, "«"},        {0xBB, "»"},
                 {0x85, "…"}, {0x88, "€"}, {0xA0, "\xC2\xA0"}, {0xB0, "°"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1251ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8) << int(c.byte);
        EXPECT_EQ(Utf8ToCp1251(c.utf8), std::string(1, static_cast<char>(c.byte))) << c.utf8;
    }
}

TEST(Cp1251, ForeignOrMalformedTextIsRefusedOrReplaced) {
    std::string out;
    EXPECT_FALSE(TryUtf8ToCp1251("ab★", out));          // no such character in the code page
    EXPECT_FALSE(TryUtf8ToCp1251("a\xD0", out));        // truncated sequence
    EXPECT_FALSE(TryUtf8ToCp1251("\xC0\xAF", out));     // overlong form
    EXPECT_FALSE(TryUtf8ToCp1251("\xED\xA0\x80", out)); // surrogate
    EXPECT_EQ(Utf8ToCp1251("x★y\xFF"), "x?y?");
}

TEST(Cp1251, CaseMappingCoversLatinCyrillicAndYo) {
    const std::string lower = Utf8ToCp1251("abcxyz абвгдеёжзийклмнопрстуфхцчшщъыьэюя 09-№ђ");
    const std::string upper = Utf8ToCp1251("ABCXYZ АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ 09-№ђ");
    EXPECT_EQ(UpperCase1251(lower), upper);
    EXPECT_EQ(LowerCase1251(upper), lower);
    EXPECT_TRUE(SameText1251(Utf8ToCp1251("Ёлка"), Utf8ToCp1251("ёЛКА")));
    EXPECT_FALSE(SameText1251("abc", "abd"));
    EXPECT_FALSE(SameText1251("abc", "ab"));
}

TEST(Cp1251, Utf8LowerCaseKeepsByteLength) {
    const std::string text = "ЁЛКА Прямо ЯЩИК Zebra ☃ Ђ";
    const std::string lower = LowerCaseUtf8(text);
    EXPECT_EQ(lower, "ёлка прямо ящик zebra ☃ Ђ");
    EXPECT_EQ(lower.size(), text.size());
    EXPECT_EQ(LowerCaseUtf8("\xD0"), "\xD0"); // a lone lead byte stays
}
