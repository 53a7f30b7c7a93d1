// Code page 1251 text: conversion to and from UTF-8 and the code page's case mapping.
// Inside the engine text is kept as the files hold it (1251 bytes); conversion happens
// only at the boundary to the window system and the command line.
#pragma once

#include <string>
#include <string_view>

namespace quarto {

// UTF-8 for one 1251 byte, and the whole text. Every byte has a character (0x98, which the
// code page leaves unassigned, becomes U+0098), so the conversion is lossless.
std::string Cp1251ToUtf8(std::string_view text);

// 1251 bytes for UTF-8 text. Returns false, leaving out partly filled, when the text is not
// valid UTF-8 or holds a character the code page lacks.
bool TryUtf8ToCp1251(std::string_view text, std::string& out);
// The same, but each malformed sequence or missing character becomes the replacement byte.
std::string Utf8ToCp1251(std::string_view text, char replacement = '?');

// The code page's case mapping: Latin a-z/A-Z, Cyrillic а-я/А-Я and ё/Ё; every other byte
// stays as it is, so the length never changes.
char UpperCase1251(char c);
char LowerCase1251(char c);
std::string UpperCase1251(std::string_view text);
std::string LowerCase1251(std::string_view text);
// The lower-case mapping as a table of 256 bytes.
const char* LowerCaseTable1251();
// Equal when equal after lower-casing with the mapping above.
bool SameText1251(std::string_view a, std::string_view b);

// Lower-cases Latin A-Z, Cyrillic А-Я and Ё in UTF-8 text. These keep their byte length in
// UTF-8, so a byte position in the result is the same position in the input; any other
// byte (other scripts, malformed sequences) is left alone.
std::string LowerCaseUtf8(std::string_view text);
void LowerCaseUtf8InPlace(std::string& text);

} // namespace quarto
