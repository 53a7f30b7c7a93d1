// JPEG pictures (libjpeg-turbo) and the resizing the thumbnails need.
#pragma once

#include "BmpFile.h"

#include <string>
#include <string_view>

namespace quarto {

// Decodes a JPEG file image: a colour picture (YCbCr, RGB, CMYK) becomes 24-bit RGB, a
// grayscale one 8-bit with the grey palette. Throws EPictureError with a Russian message for
// damaged or truncated data and for pictures of more than MaxPicturePixels pixels; never
// aborts the program.
TDibPicture DecodeJpeg(std::string_view bytes);

// Encodes a picture as a baseline JPEG file image at quality 1..100 (8-bit pictures with the
// grey palette as grayscale, other 8-bit ones through their palette as colour). Throws
// EPictureError when the picture is not Valid().
std::string EncodeJpeg(const TDibPicture& picture, int quality = 85);

// The picture resized to width × height (each at least 1) by bilinear interpolation between
// pixel centres; the result is always 24-bit (an 8-bit picture is read through its palette).
// Throws EPictureError when the picture is not Valid() or the size is not positive or absurd.
TDibPicture ScaleBilinear(const TDibPicture& picture, int width, int height);

// The size of a picture of width × height fitted into a box of box × box keeping its aspect,
// never enlarged, each side at least 1.
void FitInto(int width, int height, int box, int& fitWidth, int& fitHeight);

} // namespace quarto
