#include "Cp1251.h"

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

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 when malformed.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t len;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
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
        char32_t cp;
        const std::size_t len = DecodeUtf8(text, i, cp);
        if (len == 0)
            return false;
        const int b = ByteOf(cp);
        if (b < 0)
            return false;
        out += static_cast<char>(b);
        i += len;
    }
    return true;
}

std::string Utf8ToCp1251(std::string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp;
        const std::size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            out += replacement;
            ++i;
            continue;
        }
        const int b = ByteOf(cp);
        out += b < 0 ? replacement : static_cast<char>(b);
        i += len;
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

void LowerCase1251InPlace(std::string& text) {
    for (char& c : text)
        c = CaseTables.Lower[static_cast<unsigned char>(c)];
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
