// Text helpers on single-byte (code page 1251) strings. They never fail and return new strings,
// leaving their inputs alone unless said otherwise. Only the byte values matter: no case
// folding, no locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarto {

// The part of text after the last occurrence of character; empty when the character does not
// occur or is the last one. TextAfterLast("Pics/Map.jpg", '/') is "Map.jpg".
std::string TextAfterLast(std::string_view text, char character);

// Cuts the first word off text. Without a space (code 32) in text: word is empty and text is
// unchanged. Otherwise word becomes everything before the first space (empty when text starts
// with one) and text everything after it: the space itself is consumed.
void CutFirstWord(std::string& text, std::string& word);

// text with the first occurrence of pattern (byte-exact, case-sensitive) replaced by
// replacement; text unchanged when pattern is empty or does not occur. Note the order:
// replacement first, text last.
std::string ReplaceFirst(std::string_view replacement, std::string_view pattern,
                         std::string_view text);

// The characters of text in reverse order.
std::string ReverseText(std::string_view text);

// text without its last count characters: empty when count >= the length, the whole text when
// count <= 0.
std::string DropLastChars(std::string_view text, std::int32_t count);

} // namespace quarto
