// The ini reading rules (edition descriptors, skin data, disc descriptors) and their integers.
#include "fuzzer_common.h"

#include "common/IniFile.h"
#include "common/TextList.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = InputView(data, size);
    const TIniFile ini(text);
    // The keys the system reads, and every "section" / "key" the text names itself.
    std::vector<std::pair<std::string, std::string>> keys = {
        {"Main", "Title"}, {"Main", "RegKey"}, {"Options", "UTF"}, {"Main", "X1"}, {"1", "Title"}};
    std::string section;
    for (const std::string& line : SplitTextList(text)) {
        if (!line.empty() && line[0] == '[' && line.find(']') != std::string::npos)
            section = line.substr(1, line.find(']') - 1);
        else if (const std::size_t eq = line.find('='); eq != std::string::npos && keys.size() < 64)
            keys.emplace_back(section, line.substr(0, eq));
    }
    for (const auto& [s, k] : keys) {
        const std::optional<std::string> raw = ini.Find(s, k);
        const std::string value = ini.ReadString(s, k, "default");
        FUZZ_CHECK(value.size() <= TIniFile::MaxValueLength);
        FUZZ_CHECK(raw ? value == *raw : value == "default");
        const std::int32_t number = ini.ReadInteger(s, k, -7);
        const std::optional<std::int32_t> parsed = raw ? ParseIniInteger(*raw) : std::nullopt;
        FUZZ_CHECK(number == (parsed ? *parsed : -7));
    }
    // An integer read back from its decimal spelling is the same integer.
    if (const std::optional<std::int32_t> n = ParseIniInteger(text)) {
        FUZZ_CHECK(ParseIniInteger(std::to_string(*n)) == n);
    }
    return 0;
}
