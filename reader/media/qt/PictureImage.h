// Device-independent pictures as Qt images, for drawing and the clipboard.
#pragma once

#include "common/BmpFile.h"
#include "common/JpegCodec.h"

#include <QColor>
#include <QImage>
#include <QList>

#include <cstring>
#include <limits>
#include <string_view>

namespace quarto {

// The palette of an 8-bit picture as a colour table (entries it lacks are black).
inline QList<QRgb> PictureColourTable(const TDibPicture& picture) {
    QList<QRgb> table(256, qRgb(0, 0, 0));
    for (std::size_t i = 0; i < 256 && i * 3 + 2 < picture.Palette.size(); ++i)
        table[static_cast<qsizetype>(i)] =
            qRgb(picture.Palette[i * 3], picture.Palette[i * 3 + 1], picture.Palette[i * 3 + 2]);
    return table;
}

// An image that reads the picture's pixels in place (RGB888, or Indexed8 with the palette): it
// must not outlive the picture nor a change of its pixels. Null for an empty or invalid one.
inline QImage PictureImageView(const TDibPicture& picture) {
    if (picture.Width <= 0 || picture.Height <= 0 || !picture.Valid())
        return {};
    const bool indexed = picture.BitsPerPixel == 8;
    QImage image(picture.Pixels.data(), picture.Width, picture.Height,
                 static_cast<qsizetype>(picture.Width) * picture.PixelBytes(),
                 indexed ? QImage::Format_Indexed8 : QImage::Format_RGB888);
    if (indexed)
        image.setColorTable(PictureColourTable(picture));
    return image;
}

// The picture as an image of its own (a copy of the pixels).
inline QImage PictureImage(const TDibPicture& picture) {
    return PictureImageView(picture).copy();
}

// The picture a file holds: JPEG through the reader's own decoder, the other kinds (PNG, GIF,
// BMP of any depth) through Qt's image readers, as a 24-bit picture. Throws EPictureError when
// the bytes do not decode or the picture is larger than MaxPicturePixels.
inline TDibPicture DecodePicture(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xD8')
        return DecodeJpeg(bytes);
    QImage image;
    if (bytes.size() <= static_cast<std::size_t>(std::numeric_limits<int>::max()))
        image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                           static_cast<int>(bytes.size()));
    if (image.isNull())
        throw EPictureError("Рисунок повреждён или не распознан.");
    if (static_cast<std::int64_t>(image.width()) * image.height() > MaxPicturePixels)
        throw EPictureError("Рисунок слишком велик.");
    image = image.convertToFormat(QImage::Format_RGB888);
    TDibPicture picture;
    picture.Width = image.width();
    picture.Height = image.height();
    const std::size_t row = static_cast<std::size_t>(picture.Width) * 3;
    picture.Pixels.resize(row * static_cast<std::size_t>(picture.Height));
    for (int y = 0; y < picture.Height; ++y)
        std::memcpy(picture.Pixels.data() + row * static_cast<std::size_t>(y),
                    image.constScanLine(y), row);
    return picture;
}

} // namespace quarto
