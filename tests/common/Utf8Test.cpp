#include "common/Utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace quarto;

namespace {

std::string Encoded(char32_t code) {
    std::string out;
    AppendUtf8(out, code);
    return out;
}

} // namespace

TEST(Utf8, EncodesAtTheEdgesOfEachLength) {
    struct TCase {
        char32_t Code;
        std::string_view Bytes;
    };
    const std::vector<TCase> cases = {
        {0x0000, std::string_view("\0", 1)},
        {0x007F, "\x7F"},
        {0x0080, "\xC2\x80"},
        {0x0410, "\xD0\x90"}, // А
        {0x07FF, "\xDF\xBF"},
        {0x0800, "\xE0\xA0\x80"},
        {0x2116, "\xE2\x84\x96"},
        {0xFFFD, "\xEF\xBF\xBD"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Encoded(c.Code), c.Bytes) << std::hex << static_cast<std::uint32_t>(c.Code);
        const std::string text = "a" + std::string(c.Bytes) + "b";
        const TUtf8Char decoded = DecodeUtf8At(text, 1);
        EXPECT_TRUE(decoded.Valid) << std::hex << static_cast<std::uint32_t>(c.Code);
        EXPECT_EQ(decoded.Code, c.Code);
        EXPECT_EQ(decoded.Length, c.Bytes.size());
    }
}

TEST(Utf8, EveryCodePointRoundTrips) {
    for (char32_t code = 0; code <= 0x10FFFF; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF)
            continue;
        const std::string bytes = Encoded(code);
        const TUtf8Char decoded = DecodeUtf8At(bytes, 0);
        ASSERT_TRUE(decoded.Valid && decoded.Code == code && decoded.Length == bytes.size())
            << std::hex << static_cast<std::uint32_t>(code);
    }
}

TEST(Utf8, MalformedSequencesGiveOneReplacementByte) {
    const std::vector<std::string_view> cases = {
        "\x80", // a continuation byte alone
        "\xBF\x80",
        "\xC0\x80",         // overlong NUL
        "\xC1\xBF",         // overlong U+007F
        "\xE0\x9F\xBF",     // overlong U+07FF
        "\xF0\x8F\xBF\xBF", // overlong U+FFFF
        "\xED\xA0\x80",     // a surrogate
        "\xED\xBF\xBF",
        "\xF4\x90\x80\x80", // past U+10FFFF
        "\xF5\x80\x80\x80",
        "\xF8\x88\x80\x80\x80",
        "\xFE",
        "\xFF",
        "\xD0", // cut short at the end
        "\xE2\x84",
        "\xF0\x90\x80",
        "\xD0\x41", // a continuation byte missing ("A" after the lead byte)
        "\xE2\x84\x41",
        "\xD0\xD0\x90", // a lead byte where a continuation byte should be
    };
    for (const std::string_view bytes : cases) {
        const TUtf8Char decoded = DecodeUtf8At(bytes, 0);
        EXPECT_FALSE(decoded.Valid) << ::testing::PrintToString(std::string(bytes));
        EXPECT_EQ(decoded.Code, U'\xFFFD');
        EXPECT_EQ(decoded.Length, 1u);
    }
}
