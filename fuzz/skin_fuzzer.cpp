// The skin as the reader reads it, its standard C++ part: the skin folder's data.inf found
// ignoring letter case (ReadSkinData), the reader folder's Skins/text.bmp, the thumbnail
// grid's background, found and decoded as the grid does (ResolvePath, DecodeBmp), and the
// mask's command colours (SkinRegionOf) over that picture's pixels. The face and the mask
// pictures themselves are read by Qt's image reader (reader/skin/qt/SkinFace.cpp), which
// the bmp target's DecodeBmp does not stand for; they are not fuzzed here.
//
// Properties: data.inf under a name of any letter case reads as under its own name; the
// background is an EPictureError with a message or a valid 24- or 8-bit picture; a command
// area found for a colour has exactly that colour, and every colour of the table finds its
// own area.
//
// Part 1: data.inf; part 2: Skins/text.bmp; part 3 (optional): the spelling of "data.inf" and
// "Skins/text.bmp" on disc, one per line.
#include "fuzzer_common.h"

#include "common/BmpFile.h"
#include "reader/skin/SkinData.h"

using namespace quarto;
using namespace quarto::fuzz;

namespace {

// name with the letters of spelling's case where spelling, read ignoring case, matches it.
std::string Respelled(const std::string& name, std::string_view spelling) {
    if (spelling.size() != name.size())
        return name;
    std::string out = name;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char lower = static_cast<char>(
            spelling[i] >= 'A' && spelling[i] <= 'Z' ? spelling[i] - 'A' + 'a' : spelling[i]);
        if (lower != name[i])
            return name;
        out[i] = spelling[i];
    }
    return out;
}

void CheckRegion(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    if (const TSkinRegionInfo* info = SkinRegionOf(r, g, b))
        FUZZ_CHECK(info->R == r && info->G == g && info->B == b &&
                   info->Region != TSkinRegion::None);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = SplitInput(data, size, 3);
    std::string_view dataName, pictureName;
    if (parts.size() > 2) {
        const std::string_view names = parts[2];
        const std::size_t end = names.find('\n');
        dataName = names.substr(0, end);
        if (end != std::string_view::npos)
            pictureName = names.substr(end + 1);
    }
    TMemoryScope memory;
    const std::string app = "/fuzz/app/";
    const std::string skin = std::string(BookFolder) + "/Skins/1"; // an edition's skin
    const std::string reference = "/fuzz/reference";
    memory.Files.Put(JoinPath(reference, Layout::SkinData), parts[0]);
    memory.Files.Put(JoinPath(skin, Respelled(Layout::SkinData, dataName)), parts[0]);
    FUZZ_CHECK(ReadSkinData(skin) == ReadSkinData(reference));

    if (parts.size() > 1)
        memory.Files.Put(app + Respelled("skins", pictureName.substr(0, 5)) + "/" +
                             Respelled("text.bmp", pictureName.substr(std::min<std::size_t>(
                                                       6, pictureName.size()))),
                         parts[1]);
    const std::string path = ResolvePath(ArticlePicturePath(app));
    FUZZ_CHECK(path.empty() == (parts.size() < 2));
    if (path.empty())
        return 0;
    TDibPicture picture;
    try {
        picture = DecodeBmp(FileSystem().ReadWholeFile(path));
    } catch (const EPictureError& e) {
        FUZZ_CHECK(*e.what() != '\0');
        return 0;
    }
    FUZZ_CHECK(picture.Valid());
    FUZZ_CHECK(picture.BitsPerPixel == 24 || picture.BitsPerPixel == 8);
    // The picture's colours as a mask's (the first rows of a large one).
    const int rows = std::min(picture.Height, 4096 / std::max(picture.Width, 1) + 1);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < picture.Width && x < 4096; ++x) {
            std::uint8_t rgb[3];
            picture.ColourAt(x, y, rgb);
            CheckRegion(rgb[0], rgb[1], rgb[2]);
        }
    std::size_t count = 0;
    const TSkinRegionInfo* table = SkinRegions(count);
    for (std::size_t i = 0; i < count; ++i)
        FUZZ_CHECK(SkinRegionOf(table[i].R, table[i].G, table[i].B) == &table[i]);
    return 0;
}
