// Writing 24-bit device-independent bitmaps (BMP files).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarto {

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

// The BMP file bytes: BITMAPFILEHEADER, BITMAPINFOHEADER, bottom-up BGR rows padded to 4.
std::string EncodeBmp24(const TRgbPicture& picture);

} // namespace quarto
