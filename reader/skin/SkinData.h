// Skins: the picture face of the main window, its mask of command colours and "data.inf",
// which places the two panes and colours the contents tree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarto {

// "data.inf", section "Main": every key an integer, 0 when missing or unreadable.
struct TSkinData {
    int X1 = 0, Y1 = 0, W1 = 0, H1 = 0; // left pane (Panel2)
    int X2 = 0, Y2 = 0, W2 = 0, H2 = 0; // right pane (Panel1)
    std::uint32_t TreeColor = 0;        // 0x00BBGGRR

    bool operator==(const TSkinData&) const = default;
};

// The built-in skin's layout (800 x 600 face).
inline constexpr int BuiltinSkinWidth = 800;
inline constexpr int BuiltinSkinHeight = 600;
inline constexpr TSkinData BuiltinSkinData = {
    0, 80, 169, 233, 520, 336, 249, 193, (140u << 16) | (165u << 8) | 168u};

// Reads folder + "data.inf" (name matched ignoring case).
TSkinData ReadSkinData(const std::string& folder);
// The ini text of a skin's data.inf.
std::string SkinDataText(const TSkinData& data);

// The command areas of the mask, by exact colour.
enum class TSkinRegion {
    None,     // any colour not listed: inert
    Move,     // white: drag the window (region 0)
    Exit,     // 1
    Settings, // 2
    Copy,     // 3
    Print,    // 4
    Next,     // 5
    Previous, // 6
    About,    // 7
    Minimise, // teal, no region number
};

struct TSkinRegionInfo {
    TSkinRegion Region;
    std::uint8_t R, G, B;
    int Number;            // HintRegion number; 0 for Move, -1 where there is none
    std::string_view Hint; // hint text, UTF-8; empty for none
    int HintDx, HintDy;    // hint position relative to the mouse
};

// The table of every command colour, in the order the press tests them.
const TSkinRegionInfo* SkinRegions(std::size_t& count);
// The region of a mask pixel; None for any other colour.
const TSkinRegionInfo* SkinRegionOf(std::uint8_t r, std::uint8_t g, std::uint8_t b);

} // namespace quarto
