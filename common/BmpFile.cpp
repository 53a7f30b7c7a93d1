#include "BmpFile.h"

#include "RecordFile.h"

#include <algorithm>

namespace quarto {

namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;

[[noreturn]] void Damaged(const std::string& what) {
    throw EPictureError("Рисунок BMP повреждён: " + what + ".");
}

std::string Header(int width, int height, int bits, std::uint32_t paletteBytes,
                   std::uint32_t imageSize) {
    const std::uint32_t pixelsAt = FileHeaderSize + InfoHeaderSize + paletteBytes;
    std::string out;
    out.reserve(pixelsAt + imageSize);
    out += "BM";
    AppendLE32(out, pixelsAt + imageSize); // file size
    AppendLE32(out, 0);                    // reserved
    AppendLE32(out, pixelsAt);             // offset of the pixels
    AppendLE32(out, InfoHeaderSize);
    AppendLE32(out, static_cast<std::uint32_t>(width));
    AppendLE32(out, static_cast<std::uint32_t>(height));
    AppendLE16(out, 1); // planes
    AppendLE16(out, static_cast<std::uint16_t>(bits));
    AppendLE32(out, 0); // no compression
    AppendLE32(out, imageSize);
    AppendLE32(out, 2835); // 72 dpi
    AppendLE32(out, 2835);
    AppendLE32(out, bits == 8 ? 256 : 0); // colours used
    AppendLE32(out, 0);
    return out;
}

} // namespace

void TDibPicture::ColourAt(int x, int y, std::uint8_t rgb[3]) const {
    const std::size_t i =
        static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x);
    if (BitsPerPixel == 24) {
        std::copy_n(&Pixels[i * 3], 3, rgb);
        return;
    }
    const std::size_t p = static_cast<std::size_t>(Pixels[i]) * 3;
    for (int c = 0; c < 3; ++c)
        rgb[c] = p + 2 < Palette.size() ? Palette[p + static_cast<std::size_t>(c)] : 0;
}

bool TDibPicture::Valid() const {
    if (Width <= 0 || Height <= 0 || (BitsPerPixel != 24 && BitsPerPixel != 8))
        return false;
    if (static_cast<std::int64_t>(Width) * Height > MaxPicturePixels)
        return false;
    if (BitsPerPixel == 8 && Palette.size() != 256 * 3)
        return false;
    return Pixels.size() == static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height) *
                                static_cast<std::size_t>(PixelBytes());
}

TDibPicture BlankPicture(int width, int height) {
    TDibPicture picture;
    picture.Width = width;
    picture.Height = height;
    picture.Pixels.assign(static_cast<std::size_t>(std::max(width, 0)) *
                              static_cast<std::size_t>(std::max(height, 0)) * 3,
                          0);
    return picture;
}

std::vector<std::uint8_t> GreyPalette() {
    std::vector<std::uint8_t> palette(256 * 3);
    for (std::size_t i = 0; i < 256; ++i)
        palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = static_cast<std::uint8_t>(i);
    return palette;
}

std::string EncodeBmp24(const TRgbPicture& picture) {
    TDibPicture dib;
    dib.Width = picture.Width;
    dib.Height = picture.Height;
    dib.Pixels = picture.Pixels;
    if (dib.Width <= 0 || dib.Height <= 0) {
        // An empty picture: headers only, as before.
        return Header(picture.Width, picture.Height, 24, 0, 0);
    }
    return EncodeBmp(dib);
}

std::string EncodeBmp(const TDibPicture& picture) {
    if (!picture.Valid())
        throw EPictureError("Рисунок нельзя записать в BMP: неверные размеры или палитра.");
    const int bytes = picture.PixelBytes();
    const std::uint32_t rowSize =
        (static_cast<std::uint32_t>(picture.Width) * static_cast<std::uint32_t>(bytes) + 3) & ~3u;
    const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(picture.Height);
    const std::uint32_t paletteBytes = picture.BitsPerPixel == 8 ? 256 * 4 : 0;
    std::string out =
        Header(picture.Width, picture.Height, picture.BitsPerPixel, paletteBytes, imageSize);
    if (picture.BitsPerPixel == 8)
        for (std::size_t i = 0; i < 256; ++i) {
            out += static_cast<char>(picture.Palette[i * 3 + 2]);
            out += static_cast<char>(picture.Palette[i * 3 + 1]);
            out += static_cast<char>(picture.Palette[i * 3]);
            out += '\0';
        }
    const std::size_t width = static_cast<std::size_t>(picture.Width);
    for (int y = picture.Height - 1; y >= 0; --y) {
        const std::uint8_t* row =
            &picture.Pixels[static_cast<std::size_t>(y) * width * static_cast<std::size_t>(bytes)];
        if (bytes == 1) {
            out.append(reinterpret_cast<const char*>(row), width);
        } else {
            for (std::size_t x = 0; x < width; ++x) {
                out += static_cast<char>(row[x * 3 + 2]);
                out += static_cast<char>(row[x * 3 + 1]);
                out += static_cast<char>(row[x * 3]);
            }
        }
        out.append(rowSize - width * static_cast<std::size_t>(bytes), '\0');
    }
    return out;
}

TDibPicture DecodeBmp(std::string_view bytes) {
    if (bytes.size() < FileHeaderSize + InfoHeaderSize || bytes.substr(0, 2) != "BM")
        Damaged("нет заголовка BMP");
    const char* p = bytes.data();
    const std::uint32_t pixelsAt = GetLE32u(p + 10);
    const std::uint32_t infoSize = GetLE32u(p + 14);
    if (infoSize < InfoHeaderSize || infoSize > bytes.size() - FileHeaderSize)
        Damaged("размер заголовка " + std::to_string(infoSize));
    const std::int32_t width = GetLE32(p + 18);
    const std::int32_t rawHeight = GetLE32(p + 22);
    const int bits = GetLE16(p + 28);
    const std::uint32_t compression = GetLE32u(p + 30);
    std::uint32_t colours = GetLE32u(p + 46);
    if (bits != 24 && bits != 8)
        throw EPictureError("Рисунок BMP с " + std::to_string(bits) +
                            " битами на точку не поддерживается (только 24 и 8).");
    if (compression != 0)
        throw EPictureError("Сжатый рисунок BMP не поддерживается.");
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        Damaged("размеры " + std::to_string(width) + " × " + std::to_string(rawHeight));
    const std::int64_t height = rawHeight < 0 ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (static_cast<std::int64_t>(width) * height > MaxPicturePixels)
        throw EPictureError("Рисунок BMP слишком велик: " + std::to_string(width) + " × " +
                            std::to_string(height) + " точек.");
    TDibPicture picture;
    picture.Width = width;
    picture.Height = static_cast<int>(height);
    picture.BitsPerPixel = bits;
    const std::size_t bytesPerPixel = static_cast<std::size_t>(bits / 8);
    if (bits == 8) {
        if (colours == 0 || colours > 256)
            colours = 256;
        const std::size_t paletteAt = FileHeaderSize + infoSize;
        if (paletteAt + static_cast<std::size_t>(colours) * 4 > bytes.size())
            Damaged("палитра выходит за конец файла");
        picture.Palette.assign(256 * 3, 0);
        for (std::size_t i = 0; i < colours; ++i) {
            const char* entry = p + paletteAt + i * 4;
            picture.Palette[i * 3] = static_cast<std::uint8_t>(entry[2]);
            picture.Palette[i * 3 + 1] = static_cast<std::uint8_t>(entry[1]);
            picture.Palette[i * 3 + 2] = static_cast<std::uint8_t>(entry[0]);
        }
    }
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t h = static_cast<std::size_t>(height);
    const std::size_t rowSize = (w * bytesPerPixel + 3) & ~static_cast<std::size_t>(3);
    if (pixelsAt > bytes.size() || (bytes.size() - pixelsAt) / rowSize < h)
        Damaged("точки рисунка выходят за конец файла (смещение " + std::to_string(pixelsAt) +
                ", нужно " + std::to_string(rowSize * h) + " байт)");
    picture.Pixels.resize(w * h * bytesPerPixel);
    for (std::size_t row = 0; row < h; ++row) {
        const std::size_t fileRow = rawHeight < 0 ? row : h - 1 - row;
        const auto* from = reinterpret_cast<const std::uint8_t*>(p + pixelsAt + fileRow * rowSize);
        std::uint8_t* to = &picture.Pixels[row * w * bytesPerPixel];
        if (bits == 8) {
            std::copy_n(from, w, to);
        } else {
            for (std::size_t x = 0; x < w; ++x) {
                to[x * 3] = from[x * 3 + 2];
                to[x * 3 + 1] = from[x * 3 + 1];
                to[x * 3 + 2] = from[x * 3];
            }
        }
    }
    return picture;
}

} // namespace quarto
