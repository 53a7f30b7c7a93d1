#include "StrBox.h"

#include <utility>

namespace quarto {

std::string TextAfterLast(std::string_view text, char character) {
    const auto last = text.rfind(character);
    if (last == std::string_view::npos)
        return {};
    return std::string(text.substr(last + 1));
}

void CutFirstWord(std::string& text, std::string& word) {
    const auto space = text.find(' ');
    if (space == std::string::npos) {
        word.clear();
        return;
    }
    // space is the 0-based index of the space: the word is the characters before it.
    std::string first = text.substr(0, space);
    text.erase(0, space + 1);
    word = std::move(first);
}

std::string ReplaceFirst(std::string_view replacement, std::string_view pattern,
                         std::string_view text) {
    const auto at = pattern.empty() ? std::string_view::npos : text.find(pattern);
    if (at == std::string_view::npos)
        return std::string(text);
    std::string result;
    result.reserve(text.size() - pattern.size() + replacement.size());
    result.append(text.substr(0, at));
    result.append(replacement);
    result.append(text.substr(at + pattern.size()));
    return result;
}

std::string ReverseText(std::string_view text) {
    return std::string(text.rbegin(), text.rend());
}

std::string DropLastChars(std::string_view text, std::int32_t count) {
    if (count <= 0)
        return std::string(text);
    const auto dropped = static_cast<std::size_t>(count);
    if (dropped >= text.size())
        return {};
    return std::string(text.substr(0, text.size() - dropped));
}

} // namespace quarto
