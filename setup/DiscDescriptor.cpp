#include "DiscDescriptor.h"

#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/IniFile.h"

#include <algorithm>

namespace quarto {

TDiscDescriptor ReadDiscDescriptor(const std::string& sourceFolder) {
    const TIniFile ini =
        TIniFile::Load(ResolvePath(LayoutPath(sourceFolder, Layout::DiscDescriptor)));
    TDiscDescriptor disc;
    disc.SubVersion = ini.ReadInteger("Main", "SubVersion", 0);
    disc.RequiredMB = ini.ReadInteger("Main", "Size", 700);
    // A disc holds a handful of editions; an absurd count is not believed.
    const std::int32_t count = std::min(ini.ReadInteger("Main", "Count", 0), MaxDiscEditions);
    static const std::string defaultTitle = Utf8ToCp1251("Заголовок 1");
    for (std::int32_t n = 1; n <= count; ++n) {
        const std::string section = std::to_string(n);
        disc.Editions.push_back({ini.ReadString(section, "Title", defaultTitle),
                                 ini.ReadString(section, "Title2", ""),
                                 ini.ReadString(section, "RegKey", "empty")});
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
