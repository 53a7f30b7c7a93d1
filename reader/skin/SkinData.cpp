#include "SkinData.h"

#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/IniFile.h"

#include <cstdio>
#include <iterator>

namespace quarto {

TSkinData ReadSkinData(const std::string& folder) {
    const TIniFile ini = TIniFile::Load(ResolvePath(LayoutPath(folder, Layout::SkinData)));
    TSkinData d;
    d.X1 = ini.ReadInteger("Main", "X1", 0);
    d.Y1 = ini.ReadInteger("Main", "Y1", 0);
    d.W1 = ini.ReadInteger("Main", "W1", 0);
    d.H1 = ini.ReadInteger("Main", "H1", 0);
    d.X2 = ini.ReadInteger("Main", "X2", 0);
    d.Y2 = ini.ReadInteger("Main", "Y2", 0);
    d.W2 = ini.ReadInteger("Main", "W2", 0);
    d.H2 = ini.ReadInteger("Main", "H2", 0);
    d.TreeColor = static_cast<std::uint32_t>(ini.ReadInteger("Main", "Tree_Color", 0));
    return d;
}

std::string SkinDataText(const TSkinData& d) {
    const auto line = [](const char* key, long long value) {
        return std::string(key) + "=" + std::to_string(value) + "\r\n";
    };
    char color[16];
    std::snprintf(color, sizeof color, "$%08X", d.TreeColor);
    return "[Main]\r\n" + line("X1", d.X1) + line("Y1", d.Y1) + line("W1", d.W1) +
           line("H1", d.H1) + line("X2", d.X2) + line("Y2", d.Y2) + line("W2", d.W2) +
           line("H2", d.H2) + "Tree_Color=" + color + "\r\n";
}

namespace {
// In the order a press tests them.
constexpr TSkinRegionInfo Regions[] = {
    {TSkinRegion::Move, 255, 255, 255, 0, "", 0, 0},
    {TSkinRegion::Exit, 255, 255, 0, 1, "Выход", -40, 15},
    {TSkinRegion::Minimise, 0, 128, 128, -1, "", 0, 0},
    {TSkinRegion::Settings, 128, 0, 0, 2, "Настройки", -10, 15},
    {TSkinRegion::Print, 0, 0, 255, 4, "Печатать", -10, 15},
    {TSkinRegion::Copy, 255, 0, 255, 3, "Копировать в буфер", -10, 15},
    {TSkinRegion::Previous, 255, 0, 0, 6, "Предыдущая статья", -10, 15},
    {TSkinRegion::Next, 0, 255, 0, 5, "Следующая статья", -10, 15},
    {TSkinRegion::About, 0, 128, 0, 7, "О продукте", -10, 15},
};
} // namespace

const TSkinRegionInfo* SkinRegions(std::size_t& count) {
    count = std::size(Regions);
    return Regions;
}

const TSkinRegionInfo* SkinRegionOf(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    for (const TSkinRegionInfo& info : Regions)
        if (info.R == r && info.G == g && info.B == b)
            return &info;
    return nullptr;
}

} // namespace quarto
