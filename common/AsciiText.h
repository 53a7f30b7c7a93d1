// ASCII letter case, the blanks of each kind of text, and the extension of a file name: the
// small byte helpers every part uses. Only ASCII is touched: the other bytes of 1251 or UTF-8
// text stay as they are (1251 case mapping is in Cp1251.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline void AsciiLowerInPlace(std::string& text) {
    for (char& c : text)
        c = AsciiLower(c);
}

inline std::string AsciiLowered(std::string_view text) {
    std::string lowered(text);
    AsciiLowerInPlace(lowered);
    return lowered;
}

// a and b equal but for the case of ASCII letters.
constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

// text begins with prefix, ignoring the case of ASCII letters.
constexpr bool StartsIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// text ends with suffix, ignoring the case of ASCII letters.
constexpr bool EndsIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

constexpr bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// The blanks, by the text they separate:
// within a line of an ini file, a list or the mount table: space and tab;
constexpr bool IsSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

// between the words of a typed text or a field that may span lines: space, tab, CR and LF;
constexpr bool IsLineSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// in HTML markup, HTML's white space: space, tab, LF, FF and CR;
constexpr bool IsHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// C's white space (std::isspace in the C locale): HTML's and the vertical tab;
constexpr bool IsCSpace(char c) {
    return IsHtmlSpace(c) || c == '\v';
}

// anything up to the space: blanks and control characters, as the search's words are cut.
constexpr bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

inline std::string_view TrimmedBy(std::string_view text, bool (*blank)(char)) {
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The fields of a line: its runs of bytes between blanks (those blank says are), in order.
inline std::vector<std::string_view> FieldsOf(std::string_view line, bool (*blank)(char)) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && blank(line[i]))
            ++i;
        std::size_t end = i;
        while (end < line.size() && !blank(line[end]))
            ++end;
        if (end > i)
            fields.push_back(line.substr(i, end - i));
        i = end;
    }
    return fields;
}

// The file name in path: what follows its last "/" or "\".
constexpr std::string_view FileNameIn(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The extension of the file name in path, from its last "." on, ASCII letters lowered: ".jpg"
// for "Pic/STAR.JPG"; "" for a name without a dot and for one whose only dot is its first
// character (".jpg" is a name, as std::filesystem reads it).
inline std::string ExtensionOf(std::string_view path) {
    const std::string_view name = FileNameIn(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return AsciiLowered(name.substr(dot));
}

} // namespace quarto
