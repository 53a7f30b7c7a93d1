#include "Cp1251.h"

#include "Utf8.h"

#include <array>
#include <cstdint>

namespace quarto {
namespace {

// Unicode code points of the bytes 0x80..0xFF.
constexpr std::array<char16_t, 128> HighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

int ByteOf(char32_t cp) {
    if (cp < 0x80)
        return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return static_cast<int>(cp - 0x0410 + 0xC0);
    for (std::size_t i = 0; i < HighHalf.size(); ++i)
        if (HighHalf[i] == cp)
            return static_cast<int>(0x80 + i);
    return -1;
}

} // namespace

std::string Cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b >= 0xC0)
            AppendUtf8(out, 0x0410 + (b - 0xC0));
        else
            AppendUtf8(out, HighHalf[b - 0x80]);
    }
    return out;
}

bool TryUtf8ToCp1251(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const TUtf8Char c = DecodeUtf8At(text, i);
        if (!c.Valid)
            return false;
        const int b = ByteOf(c.Code);
        if (b < 0)
            return false;
        out += static_cast<char>(b);
        i += c.Length;
    }
    return true;
}

std::string Utf8ToCp1251(std::string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const TUtf8Char c = DecodeUtf8At(text, i);
        if (!c.Valid) {
            out += replacement;
            ++i;
            continue;
        }
        const int b = ByteOf(c.Code);
        out += b < 0 ? replacement : static_cast<char>(b);
        i += c.Length;
    }
    return out;
}

char UpperCase1251(char c) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || b >= 0xE0)
        return static_cast<char>(b - 0x20);
    if (b == 0xB8)
        return static_cast<char>(0xA8);
    return c;
}

char LowerCase1251(char c) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF))
        return static_cast<char>(b + 0x20);
    if (b == 0xA8)
        return static_cast<char>(0xB8);
    return c;
}

namespace {
struct TCaseTables {
    char Upper[256];
    char Lower[256];
    TCaseTables() {
        for (int b = 0; b < 256; ++b) {
            Upper[b] = UpperCase1251(static_cast<char>(b));
            Lower[b] = LowerCase1251(static_cast<char>(b));
        }
    }
};
const TCaseTables CaseTables;

std::string MapBytes(std::string_view text, const char (&table)[256]) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = table[static_cast<unsigned char>(text[i])];
    return out;
}
} // namespace

std::string UpperCase1251(std::string_view text) {
    return MapBytes(text, CaseTables.Upper);
}

std::string LowerCase1251(std::string_view text) {
    return MapBytes(text, CaseTables.Lower);
}

const char* LowerCaseTable1251() {
    return CaseTables.Lower;
}

bool SameText1251(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerCase1251(a[i]) != LowerCase1251(b[i]))
            return false;
    return true;
}

std::string LowerCaseUtf8(std::string_view text) {
    std::string out(text);
    LowerCaseUtf8InPlace(out);
    return out;
}

void LowerCaseUtf8InPlace(std::string& out) {
    const std::size_t n = out.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (b >= 'A' && b <= 'Z') {
            out[i] = static_cast<char>(b + 0x20);
        } else if ((b == 0xD0) && i + 1 < n) {
            const auto c = static_cast<unsigned char>(out[i + 1]);
            if (c >= 0x90 && c <= 0x9F) { // А..П -> а..п (D0 B0..D0 BF)
                out[i + 1] = static_cast<char>(c + 0x20);
                ++i;
            } else if (c >= 0xA0 && c <= 0xAF) { // Р..Я -> р..я (D1 80..D1 8F)
                out[i] = static_cast<char>(0xD1);
                out[i + 1] = static_cast<char>(c - 0x20);
                ++i;
            } else if (c == 0x81) { // Ё -> ё (D1 91)
                out[i] = static_cast<char>(0xD1);
                out[i + 1] = static_cast<char>(0x91);
                ++i;
            }
        }
    }
}

} // namespace quarto
