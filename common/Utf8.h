// UTF-8: one code point written, one read back with its length and whether it was well formed.
// The 1251 conversions (Cp1251.h) and the exports' XHTML writer both go through these.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quarto {

// Appends the UTF-8 sequence of code (a Unicode code point: at most 0x10FFFF) to out.
void AppendUtf8(std::string& out, char32_t code);

// One character of UTF-8 text.
struct TUtf8Char {
    char32_t Code = 0;      // U+FFFD when not Valid
    std::size_t Length = 1; // bytes taken, 1 when not Valid
    bool Valid = false;
};

// The character whose sequence starts at text[at] (at < text.size()). Well formed is the
// shortest sequence of a code point up to U+10FFFF that is not a surrogate; any other byte
// (a stray continuation byte, an overlong or cut sequence) gives U+FFFD, length 1, not Valid.
TUtf8Char DecodeUtf8At(std::string_view text, std::size_t at);

} // namespace quarto
