// Device-independent pictures in memory and BMP files: writing 24- and 8-bit bitmaps, reading
// uncompressed 24- and 8-bit ones.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// A picture that cannot be read or written: damaged or unsupported data, absurd sizes. The
// message is Russian and says what is wrong.
class EPictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest picture the codecs accept, in pixels.
inline constexpr std::int64_t MaxPicturePixels = 100'000'000;

// A picture as rows of RGB triples, top row first.
struct TRgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels; // Width * Height * 3 bytes: R, G, B

    TRgbPicture() = default;
    TRgbPicture(int width, int height)
        : Width(width), Height(height), Pixels(Size(width, height)) {}
    void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* p = &Pixels[(static_cast<std::size_t>(y) * Width + x) * 3];
        p[0] = r, p[1] = g, p[2] = b;
    }

private:
    static std::size_t Size(int w, int h) {
        return w > 0 && h > 0 ? static_cast<std::size_t>(w) * h * 3 : 0;
    }
};

// A decoded picture: 24 bits per pixel (RGB triples) or 8 (indices into a 256-entry palette).
// Rows top first, without padding.
struct TDibPicture {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 24;             // 24 or 8
    std::vector<std::uint8_t> Pixels;  // Width * Height * (BitsPerPixel / 8) bytes
    std::vector<std::uint8_t> Palette; // 8 bits only: 256 * 3 bytes, R, G, B

    // Bytes per pixel: 3 or 1.
    int PixelBytes() const { return BitsPerPixel / 8; }
    // R, G, B of pixel (x, y), through the palette for 8 bits (0 for an index the palette
    // lacks). x and y must lie inside the picture.
    void ColourAt(int x, int y, std::uint8_t rgb[3]) const;
    // True when the sizes, the pixel count and the palette agree with each other.
    bool Valid() const;
};

// A 24-bit picture with every pixel black.
TDibPicture BlankPicture(int width, int height);
// The 8-bit picture's 256 greys palette (index i is grey i).
std::vector<std::uint8_t> GreyPalette();

// The BMP file bytes: BITMAPFILEHEADER, BITMAPINFOHEADER, bottom-up BGR rows padded to 4.
std::string EncodeBmp24(const TRgbPicture& picture);
// The BMP file bytes of a 24-bit picture, or of an 8-bit one with its 256-entry palette;
// throws EPictureError when the picture is not Valid().
std::string EncodeBmp(const TDibPicture& picture);
// Reads an uncompressed 24- or 8-bit BMP file (rows bottom-up or top-down). An 8-bit picture
// gets a 256-entry palette (entries the file lacks are black). Throws EPictureError saying what
// is wrong with damaged, truncated, compressed or other-depth files and absurd sizes.
TDibPicture DecodeBmp(std::string_view bytes);

} // namespace quarto
