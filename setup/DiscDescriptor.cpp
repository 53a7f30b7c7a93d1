#include "DiscDescriptor.h"

#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/IniFile.h"
#include "common/TextList.h"

#include <algorithm>

namespace quarto {

namespace {

// The names of the sections text holds, found as the ini rules find them: a trimmed line
// starting with "[", the name up to "]" (or the line's end), trimmed.
std::vector<std::string> SectionNames(const std::string& text) {
    const auto trim = [](std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
            s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
            s.remove_suffix(1);
        return s;
    };
    std::vector<std::string> names;
    for (const std::string& raw : SplitTextList(text)) {
        const std::string_view line = trim(raw);
        if (line.empty() || line.front() != '[')
            continue;
        const std::size_t close = line.find(']');
        names.emplace_back(
            trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
    }
    return names;
}

} // namespace

TDiscDescriptor ReadDiscDescriptor(const std::string& sourceFolder) {
    TDiscDescriptor disc;
    const std::string path = ResolvePath(LayoutPath(sourceFolder, Layout::DiscDescriptor));
    std::string text;
    if (path.empty() || FileSystem().Stat(path).Kind == TEntryKind::None) {
        disc.State = TDescriptorState::Missing;
    } else {
        try {
            text = ReadWholeFile(path);
        } catch (const EStreamError&) {
            disc.State = TDescriptorState::Unreadable;
        }
    }
    const TIniFile ini(text);
    const std::vector<std::string> sections = SectionNames(text);
    disc.SubVersion = ini.ReadInteger("Main", "SubVersion", 0);
    disc.RequiredMB = std::max(ini.ReadInteger("Main", "Size", 700), 0);
    // A disc holds a handful of editions; an absurd count is not believed.
    const std::int32_t count = std::min(ini.ReadInteger("Main", "Count", 0), MaxDiscEditions);
    static const std::string defaultTitle = Utf8ToCp1251("Заголовок 1");
    for (std::int32_t n = 1; n <= count; ++n) {
        const std::string section = std::to_string(n);
        const bool present = std::find(sections.begin(), sections.end(), section) != sections.end();
        disc.Editions.push_back({ini.ReadString(section, "Title", defaultTitle),
                                 ini.ReadString(section, "Title2", ""),
                                 ini.ReadString(section, "RegKey", "empty"), present});
    }
    return disc;
}

std::string DiscDescriptorText(const TDiscDescriptor& disc) {
    std::string text = "[Main]\r\nSubVersion=" + std::to_string(disc.SubVersion) +
                       "\r\nSize=" + std::to_string(disc.RequiredMB) +
                       "\r\nCount=" + std::to_string(disc.Editions.size()) + "\r\n";
    for (std::size_t i = 0; i < disc.Editions.size(); ++i) {
        const TDiscEdition& e = disc.Editions[i];
        text += "[" + std::to_string(i + 1) + "]\r\nTitle=" + e.Title + "\r\nTitle2=" + e.Title2 +
                "\r\nRegKey=" + e.RegKey + "\r\n";
    }
    return text;
}

} // namespace quarto
