#include "JpegCodec.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

namespace quarto {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. It jumps back to
// the setjmp of the function that called into the library; only the library's C frames lie
// between the two, so no C++ destructor is skipped. The functions holding the setjmp keep no
// objects with destructors of their own.
struct TJpegErrors {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->Message);
    std::longjmp(errors->Jump, 1);
}

extern "C" void JpegEmitMessage(j_common_ptr info, int level) {
    // Warnings (level -1) are quiet, except data that ends early: the library would fill the
    // rest with grey, and a picture cut short is damaged.
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        JpegErrorExit(info);
}

void InitErrors(TJpegErrors& errors) {
    jpeg_std_error(&errors.Manager);
    errors.Manager.error_exit = JpegErrorExit;
    errors.Manager.emit_message = JpegEmitMessage;
    errors.Message[0] = '\0';
}

enum class TDecodeResult { Done, LibraryError, TooLarge, Unsupported };

// Runs the decoder into picture. picture's vectors are sized here, outside any jump.
TDecodeResult RunDecoder(jpeg_decompress_struct& info, TJpegErrors& errors,
                         const unsigned char* data, unsigned long size, TDibPicture& picture) {
    if (setjmp(errors.Jump))
        return TDecodeResult::LibraryError;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (static_cast<std::int64_t>(info.image_width) * info.image_height > MaxPicturePixels)
        return TDecodeResult::TooLarge;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        break;
    default:
        info.out_color_space = JCS_RGB;
        break;
    }
    jpeg_start_decompress(&info);
    const int components = info.output_components;
    if (components != 1 && components != 3 && components != 4)
        return TDecodeResult::Unsupported;
    picture.Width = static_cast<int>(info.output_width);
    picture.Height = static_cast<int>(info.output_height);
    const std::size_t stride =
        static_cast<std::size_t>(info.output_width) * static_cast<std::size_t>(components);
    picture.Pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &picture.Pixels[stride * info.output_scanline];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    picture.BitsPerPixel = components * 8;
    return TDecodeResult::Done;
}

struct TEncodeTarget {
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
};

bool RunEncoder(jpeg_compress_struct& info, TJpegErrors& errors, const TDibPicture& picture,
                bool grey, const std::vector<std::uint8_t>& rows, int quality,
                TEncodeTarget& target) {
    if (setjmp(errors.Jump))
        return false;
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &target.Buffer, &target.Size);
    info.image_width = static_cast<JDIMENSION>(picture.Width);
    info.image_height = static_cast<JDIMENSION>(picture.Height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride =
        static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(grey ? 1 : 3);
    while (info.next_scanline < info.image_height) {
        auto row = const_cast<JSAMPROW>(&rows[stride * info.next_scanline]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

bool HasGreyPalette(const TDibPicture& picture) {
    return picture.BitsPerPixel == 8 && picture.Palette == GreyPalette();
}

// The picture as RGB triples.
std::vector<std::uint8_t> RgbPixels(const TDibPicture& picture) {
    if (picture.BitsPerPixel == 24)
        return picture.Pixels;
    std::vector<std::uint8_t> rgb(picture.Pixels.size() * 3);
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i)
        std::copy_n(&picture.Palette[static_cast<std::size_t>(picture.Pixels[i]) * 3], 3,
                    &rgb[i * 3]);
    return rgb;
}

} // namespace

TDibPicture DecodeJpeg(std::string_view bytes) {
    if (bytes.empty())
        throw EPictureError("Рисунок JPEG повреждён: данных нет.");
    TDibPicture picture;
    jpeg_decompress_struct info{};
    TJpegErrors errors{};
    InitErrors(errors);
    info.err = &errors.Manager;
    const TDecodeResult result =
        RunDecoder(info, errors, reinterpret_cast<const unsigned char*>(bytes.data()),
                   static_cast<unsigned long>(bytes.size()), picture);
    const JDIMENSION width = info.image_width, height = info.image_height;
    jpeg_destroy_decompress(&info);
    switch (result) {
    case TDecodeResult::Done:
        break;
    case TDecodeResult::LibraryError:
        throw EPictureError(std::string("Рисунок JPEG повреждён: ") + errors.Message + ".");
    case TDecodeResult::TooLarge:
        throw EPictureError("Рисунок JPEG слишком велик: " + std::to_string(width) + " × " +
                            std::to_string(height) + " точек.");
    case TDecodeResult::Unsupported:
        throw EPictureError("Рисунок JPEG с таким числом цветовых составляющих не поддерживается.");
    }
    if (picture.BitsPerPixel == 8) {
        picture.Palette = GreyPalette();
    } else if (picture.BitsPerPixel == 32) {
        // CMYK as Adobe writes it (inverted): each colour is its ink times the black.
        const std::size_t count = picture.Pixels.size() / 4;
        std::vector<std::uint8_t> rgb(count * 3);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* cmyk = &picture.Pixels[i * 4];
            for (int c = 0; c < 3; ++c)
                rgb[i * 3 + static_cast<std::size_t>(c)] =
                    static_cast<std::uint8_t>(cmyk[c] * cmyk[3] / 255);
        }
        picture.Pixels = std::move(rgb);
        picture.BitsPerPixel = 24;
    }
    return picture;
}

std::string EncodeJpeg(const TDibPicture& picture, int quality) {
    if (!picture.Valid())
        throw EPictureError("Рисунок нельзя записать в JPEG: неверные размеры или палитра.");
    const bool grey = HasGreyPalette(picture);
    const std::vector<std::uint8_t> rows = grey ? picture.Pixels : RgbPixels(picture);
    jpeg_compress_struct info{};
    TJpegErrors errors{};
    InitErrors(errors);
    info.err = &errors.Manager;
    TEncodeTarget target;
    const bool done =
        RunEncoder(info, errors, picture, grey, rows, std::clamp(quality, 1, 100), target);
    jpeg_destroy_compress(&info);
    std::string out;
    if (done && target.Buffer)
        out.assign(reinterpret_cast<const char*>(target.Buffer), target.Size);
    std::free(target.Buffer);
    if (!done)
        throw EPictureError(std::string("Рисунок нельзя записать в JPEG: ") + errors.Message + ".");
    return out;
}

TDibPicture ScaleBilinear(const TDibPicture& picture, int width, int height) {
    if (!picture.Valid())
        throw EPictureError("Рисунок нельзя масштабировать: неверные размеры или палитра.");
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > MaxPicturePixels)
        throw EPictureError("Рисунок нельзя масштабировать до " + std::to_string(width) + " × " +
                            std::to_string(height) + " точек.");
    const std::vector<std::uint8_t> rgb = RgbPixels(picture);
    TDibPicture out = BlankPicture(width, height);
    const std::size_t sw = static_cast<std::size_t>(picture.Width);
    const auto sample = [&](std::size_t x, std::size_t y, int c) {
        return static_cast<double>(rgb[(y * sw + x) * 3 + static_cast<std::size_t>(c)]);
    };
    const double sx = static_cast<double>(picture.Width) / width;
    const double sy = static_cast<double>(picture.Height) / height;
    for (int y = 0; y < height; ++y) {
        const double fy = std::clamp((y + 0.5) * sy - 0.5, 0.0, picture.Height - 1.0);
        const auto y0 = static_cast<std::size_t>(fy);
        const std::size_t y1 = std::min(y0 + 1, static_cast<std::size_t>(picture.Height - 1));
        const double wy = fy - static_cast<double>(y0);
        for (int x = 0; x < width; ++x) {
            const double fx = std::clamp((x + 0.5) * sx - 0.5, 0.0, picture.Width - 1.0);
            const auto x0 = static_cast<std::size_t>(fx);
            const std::size_t x1 = std::min(x0 + 1, sw - 1);
            const double wx = fx - static_cast<double>(x0);
            std::uint8_t* to = &out.Pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            for (int c = 0; c < 3; ++c) {
                const double top = sample(x0, y0, c) * (1 - wx) + sample(x1, y0, c) * wx;
                const double bottom = sample(x0, y1, c) * (1 - wx) + sample(x1, y1, c) * wx;
                to[c] = static_cast<std::uint8_t>(std::lround(top * (1 - wy) + bottom * wy));
            }
        }
    }
    return out;
}

void FitInto(int width, int height, int box, int& fitWidth, int& fitHeight) {
    fitWidth = std::max(width, 1);
    fitHeight = std::max(height, 1);
    if (fitWidth <= box && fitHeight <= box)
        return;
    const double scale =
        std::min(static_cast<double>(box) / fitWidth, static_cast<double>(box) / fitHeight);
    fitWidth = std::clamp(static_cast<int>(std::lround(fitWidth * scale)), 1, box);
    fitHeight = std::clamp(static_cast<int>(std::lround(fitHeight * scale)), 1, box);
}

} // namespace quarto
