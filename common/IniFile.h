// Ini files: sections in square brackets, then lines "key=value". One set of reading rules
// serves every ini file of the system (edition descriptors, skin data, disc descriptors):
// - section and key names are matched ignoring letter case; the first matching key of the
//   first matching section counts;
// - a value is the text after the first "=", blanks trimmed, one enclosing pair of single or
//   double quotes removed, cut to its first 2047 characters;
// - a missing file, section or key gives the default;
// - integers: longer than two characters and starting "0x"/"0X" is hexadecimal, "$" starts
//   hexadecimal, anything else is decimal with an optional sign; a value that does not read
//   as a 32-bit integer gives the default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

class TIniFile {
public:
    static constexpr std::size_t MaxValueLength = 2047;

    TIniFile() = default;
    // Parses ini text (1251 bytes).
    explicit TIniFile(std::string_view text);
    // Reads a file; a file that does not exist or cannot be read gives an empty ini.
    static TIniFile Load(const std::string& path);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    // The raw value, or nothing when the section or key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

private:
    struct TEntry {
        std::string Key;
        std::string Value;
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };
    std::vector<TSection> FSections;
};

// Reads an integer by the rules above; nothing when the text is not one.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

} // namespace quarto
