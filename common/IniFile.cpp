#include "IniFile.h"

#include "AsciiText.h"
#include "FileSystem.h"

#include "Cp1251.h"
#include "TextList.h"

#include <iterator>

namespace quarto {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::int32_t> ParseHex(std::string_view digits) {
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t v = 0;
    for (char c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(v);
}

} // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseHex(text.substr(2));
    if (!text.empty() && text[0] == '$')
        return ParseHex(text.substr(1));
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

TIniFile::TIniFile(std::string_view text) {
    TSection* current = nullptr;
    for (const std::string& rawLine : SplitTextList(text)) {
        const std::string_view line = TrimmedBy(rawLine, IsSpaceOrTab);
        if (!line.empty() && line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name = TrimmedBy(
                line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1),
                IsSpaceOrTab);
            FSections.push_back({std::string(name), {}});
            current = &FSections.back();
            continue;
        }
        const std::size_t eq = line.find('=');
        if (current == nullptr || eq == std::string_view::npos)
            continue;
        std::string_view value = TrimmedBy(line.substr(eq + 1), IsSpaceOrTab);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (value.size() > MaxValueLength)
            value = value.substr(0, MaxValueLength);
        current->Entries.push_back(
            {std::string(TrimmedBy(line.substr(0, eq), IsSpaceOrTab)), std::string(value)});
    }
}

TIniFile TIniFile::Load(const std::string& path) {
    if (path.empty() || FileSystem().Stat(path).Kind != TEntryKind::File)
        return TIniFile();
    try {
        return TIniFile(ReadWholeFile(path));
    } catch (const EStreamError&) {
        return TIniFile();
    }
}

std::optional<std::string> TIniFile::Find(std::string_view section, std::string_view key) const {
    for (const TSection& s : FSections) {
        if (!SameText1251(s.Name, section))
            continue;
        for (const TEntry& e : s.Entries)
            if (SameText1251(e.Key, key))
                return e.Value;
        return std::nullopt; // only the first section of that name counts
    }
    return std::nullopt;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    auto v = Find(section, key);
    return v ? *v : std::string(defaultValue);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t defaultValue) const {
    const auto v = Find(section, key);
    if (!v)
        return defaultValue;
    return ParseIniInteger(*v).value_or(defaultValue);
}

} // namespace quarto
