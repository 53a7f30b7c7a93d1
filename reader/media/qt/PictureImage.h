// Device-independent pictures as Qt images, for drawing and the clipboard.
#pragma once

#include "common/BmpFile.h"

#include <QColor>
#include <QImage>
#include <QList>

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

} // namespace quarto
