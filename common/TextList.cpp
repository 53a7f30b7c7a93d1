#include "TextList.h"

#include "RecordFile.h"

namespace quarto {

std::vector<std::string> SplitTextList(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> ReadTextList(const std::string& path) {
    return SplitTextList(ReadWholeFile(path));
}

} // namespace quarto
