// The QUARTO_DISCS value (ParseDiscFolders), with either separator: the entries are the
// value's runs between separators, in order, none empty and none holding the separator, so
// that the entries joined again give the value without its empty runs; and a list of any
// entries joined with the separator reads back as those entries.
#include "fuzzer_common.h"

#include "platform/DiscDrives.h"

using namespace quarto;
using namespace quarto::fuzz;

namespace {

void CheckSeparator(std::string_view value, char separator) {
    const std::vector<std::string> entries = ParseDiscFolders(value, separator);
    std::string joined;
    for (const std::string& entry : entries) {
        FUZZ_CHECK(!entry.empty());
        FUZZ_CHECK(entry.find(separator) == std::string::npos);
        if (!joined.empty())
            joined += separator;
        joined += entry;
    }
    // The value with leading, trailing and repeated separators taken out.
    std::string squeezed;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != separator)
            squeezed += value[i];
        else if (!squeezed.empty() && squeezed.back() != separator)
            squeezed += separator;
    }
    if (!squeezed.empty() && squeezed.back() == separator)
        squeezed.pop_back();
    FUZZ_CHECK(joined == squeezed);
    FUZZ_CHECK(ParseDiscFolders(joined, separator) == entries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view value = InputView(data, size);
    CheckSeparator(value, ':');
    CheckSeparator(value, ';');
    CheckSeparator(value, DiscFoldersSeparator);
    // The default is this system's separator.
    FUZZ_CHECK(ParseDiscFolders(value) == ParseDiscFolders(value, DiscFoldersSeparator));
    // Entries that are the input's lines, joined: the same entries back.
    std::vector<std::string> lines;
    for (const std::string_view line : SplitInput(data, size, 64)) {
        std::string entry;
        for (const char c : line)
            if (c != ':')
                entry += c;
        if (!entry.empty())
            lines.push_back(entry);
    }
    std::string joined;
    for (const std::string& line : lines)
        joined += line + ":";
    FUZZ_CHECK(ParseDiscFolders(":" + joined, ':') == lines);
    return 0;
}
