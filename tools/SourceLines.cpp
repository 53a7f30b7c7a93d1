#include "SourceLines.h"

#include "EditionWriter.h"

#include "common/Cp1251.h"
#include "common/FileSystem.h"

#include <algorithm>
#include <sstream>

namespace quarto {

void TSourceLine::Fail(const std::string& what) const {
    throw EEditionSourceError(FileName + ", line " + std::to_string(Number) + ": " + what);
}

std::string TSourceLine::To1251(const std::string& utf8) const {
    std::string out;
    if (!TryUtf8ToCp1251(utf8, out))
        Fail("not UTF-8, or a character code page 1251 lacks.");
    return out;
}

std::string TSourceFields::Next() {
    const std::size_t start = FLine.find_first_not_of(SourceBlanks, FPos);
    if (start == std::string::npos) {
        FPos = FLine.size();
        return {};
    }
    FPos = std::min(FLine.find_first_of(SourceBlanks, start), FLine.size());
    return FLine.substr(start, FPos - start);
}

std::string TSourceFields::Rest() const {
    const std::size_t start = FLine.find_first_not_of(SourceBlanks, FPos);
    if (start == std::string::npos)
        return {};
    return FLine.substr(start, FLine.find_last_not_of(SourceBlanks) + 1 - start);
}

std::string ReadSourceFile(const std::string& path) {
    try {
        return ReadWholeFile(path);
    } catch (const std::exception& e) {
        throw EEditionSourceError(e.what());
    }
}

void ForEachSourceLine(const std::string& text, const std::string& fileName,
                       const std::function<void(const TSourceLine&)>& each) {
    std::istringstream lines(text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t first = line.find_first_not_of(SourceBlanks);
        if (first == std::string::npos || line[first] == '#')
            continue;
        const TSourceLine sourceLine{line, first, number, fileName};
        // The edition's own lists end a line at a NUL byte: what followed it would be lost.
        if (line.find('\0') != std::string::npos)
            sourceLine.Fail("a NUL byte, which no line of a list may hold.");
        each(sourceLine);
    }
}

} // namespace quarto
