#include "BmpFile.h"

#include "RecordFile.h"

namespace quarto {

std::string EncodeBmp24(const TRgbPicture& picture) {
    const std::uint32_t rowSize = (static_cast<std::uint32_t>(picture.Width) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(picture.Height);
    std::string out;
    out.reserve(54 + imageSize);
    out += "BM";
    AppendLE32(out, 54 + imageSize); // file size
    AppendLE32(out, 0);              // reserved
    AppendLE32(out, 54);             // offset of the pixels
    AppendLE32(out, 40);             // info header size
    AppendLE32(out, static_cast<std::uint32_t>(picture.Width));
    AppendLE32(out, static_cast<std::uint32_t>(picture.Height));
    AppendLE16(out, 1);  // planes
    AppendLE16(out, 24); // bits per pixel
    AppendLE32(out, 0);  // no compression
    AppendLE32(out, imageSize);
    AppendLE32(out, 2835); // 72 dpi
    AppendLE32(out, 2835);
    AppendLE32(out, 0);
    AppendLE32(out, 0);
    for (int y = picture.Height - 1; y >= 0; --y) {
        std::size_t written = 0;
        for (int x = 0; x < picture.Width; ++x) {
            const std::uint8_t* p =
                &picture.Pixels[(static_cast<std::size_t>(y) * picture.Width + x) * 3];
            out += static_cast<char>(p[2]);
            out += static_cast<char>(p[1]);
            out += static_cast<char>(p[0]);
            written += 3;
        }
        out.append(rowSize - written, '\0');
    }
    return out;
}

} // namespace quarto
