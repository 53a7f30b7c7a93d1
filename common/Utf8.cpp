#include "Utf8.h"

namespace quarto {

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

TUtf8Char DecodeUtf8At(std::string_view text, std::size_t at) {
    const TUtf8Char malformed{0xFFFD, 1, false};
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return {lead, 1, true};
    std::size_t length = 0;
    char32_t code = 0, least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return malformed;
    }
    if (at + length > text.size())
        return malformed;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80)
            return malformed;
        code = (code << 6) | (byte(at + k) & 0x3F);
    }
    // Overlong forms (E0 80.., F0 80..), surrogates and code points past U+10FFFF (F4 90..).
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return malformed;
    return {code, length, true};
}

} // namespace quarto
