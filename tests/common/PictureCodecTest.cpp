// BMP and JPEG pictures: round trips, grayscale, resizing, and damaged data that is an error,
// never a crash.
#include "common/BmpFile.h"
#include "common/JpegCodec.h"
#include "common/RecordFile.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace quarto;

namespace {

// A 24-bit picture: a left half of one colour and a right half of another.
TDibPicture TwoColours(int width, int height) {
    TDibPicture picture = BlankPicture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &picture.Pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            if (x < width / 2)
                p[0] = 200, p[1] = 100, p[2] = 50;
            else
                p[0] = 20, p[1] = 60, p[2] = 220;
        }
    return picture;
}

// An 8-bit picture with a palette of its own.
TDibPicture Indexed(int width, int height) {
    TDibPicture picture;
    picture.Width = width;
    picture.Height = height;
    picture.BitsPerPixel = 8;
    picture.Palette.assign(256 * 3, 0);
    picture.Palette[3] = 255, picture.Palette[4] = 128, picture.Palette[5] = 0; // index 1
    picture.Palette[6] = 0, picture.Palette[7] = 0, picture.Palette[8] = 255;   // index 2
    for (int i = 0; i < width * height; ++i)
        picture.Pixels.push_back(static_cast<std::uint8_t>(i % 3));
    return picture;
}

void ExpectNear(const TDibPicture& picture, int x, int y, int r, int g, int b, int tolerance) {
    std::uint8_t rgb[3];
    picture.ColourAt(x, y, rgb);
    EXPECT_LE(std::abs(rgb[0] - r), tolerance) << x << "," << y;
    EXPECT_LE(std::abs(rgb[1] - g), tolerance) << x << "," << y;
    EXPECT_LE(std::abs(rgb[2] - b), tolerance) << x << "," << y;
}

TEST(Bmp, RoundTripsAt24And8Bits) {
    for (const TDibPicture& picture : {TwoColours(7, 5), Indexed(5, 3)}) {
        const std::string bytes = EncodeBmp(picture);
        const TDibPicture back = DecodeBmp(bytes);
        EXPECT_EQ(back.Width, picture.Width);
        EXPECT_EQ(back.Height, picture.Height);
        EXPECT_EQ(back.BitsPerPixel, picture.BitsPerPixel);
        EXPECT_EQ(back.Pixels, picture.Pixels);
        EXPECT_EQ(back.Palette, picture.Palette);
    }
    // A top-down file (negative height) reads the same.
    std::string bytes = EncodeBmp(TwoColours(4, 2));
    const TDibPicture bottomUp = DecodeBmp(bytes);
    PutLE32(&bytes[22], static_cast<std::uint32_t>(-2));
    const TDibPicture topDown = DecodeBmp(bytes);
    EXPECT_EQ(topDown.Pixels.size(), bottomUp.Pixels.size());
    // EncodeBmp24 still writes what it wrote.
    TRgbPicture rgb(3, 2);
    rgb.Set(0, 0, 1, 2, 3);
    const TDibPicture fromRgb = DecodeBmp(EncodeBmp24(rgb));
    EXPECT_EQ(fromRgb.Pixels, rgb.Pixels);
}

TEST(Bmp, DamagedFilesAreErrors) {
    const std::string good = EncodeBmp(TwoColours(8, 8));
    const std::string indexed = EncodeBmp(Indexed(4, 4));
    const auto with = [](std::string bytes, std::size_t at, std::uint32_t value, int size) {
        char field[4];
        if (size == 4)
            PutLE32(field, value);
        else
            PutLE16(field, static_cast<std::uint16_t>(value));
        bytes.replace(at, static_cast<std::size_t>(size), field, static_cast<std::size_t>(size));
        return bytes;
    };
    const struct {
        const char* What;
        std::string Bytes;
    } cases[] = {
        {"empty", ""},
        {"not BMP", "GIF89a" + good.substr(6)},
        {"header cut", good.substr(0, 40)},
        {"pixels cut", good.substr(0, good.size() - 1)},
        {"palette cut", indexed.substr(0, 60)},
        {"16 bits", with(good, 28, 16, 2)},
        {"compressed", with(good, 30, 1, 4)},
        {"zero width", with(good, 18, 0, 4)},
        {"huge", with(with(good, 18, 100000, 4), 22, 100000, 4)},
        {"pixels offset past the end", with(good, 10, 0xFFFFFFF0u, 4)},
        {"info header too long", with(good, 14, 0x7FFFFFFF, 4)},
    };
    for (const auto& c : cases)
        EXPECT_THROW(DecodeBmp(c.Bytes), EPictureError) << c.What;
}

TEST(Jpeg, RoundTripKeepsSizeAndColour) {
    const TDibPicture picture = TwoColours(64, 48);
    const TDibPicture back = DecodeJpeg(EncodeJpeg(picture, 90));
    EXPECT_EQ(back.Width, 64);
    EXPECT_EQ(back.Height, 48);
    EXPECT_EQ(back.BitsPerPixel, 24);
    ExpectNear(back, 10, 10, 200, 100, 50, 8);
    ExpectNear(back, 54, 40, 20, 60, 220, 8);
    // An 8-bit picture with a colour palette is written in colour.
    const TDibPicture indexed = DecodeJpeg(EncodeJpeg(Indexed(30, 30), 95));
    EXPECT_EQ(indexed.BitsPerPixel, 24);
}

TEST(Jpeg, GrayscaleDecodesToEightBitsWithAGreyPalette) {
    TDibPicture grey;
    grey.Width = 16;
    grey.Height = 16;
    grey.BitsPerPixel = 8;
    grey.Palette = GreyPalette();
    grey.Pixels.assign(256, 0);
    for (std::size_t i = 128; i < 256; ++i)
        grey.Pixels[i] = 230; // bottom half light
    const TDibPicture back = DecodeJpeg(EncodeJpeg(grey, 95));
    EXPECT_EQ(back.BitsPerPixel, 8);
    EXPECT_EQ(back.Palette, GreyPalette());
    ExpectNear(back, 3, 2, 0, 0, 0, 6);
    ExpectNear(back, 3, 13, 230, 230, 230, 6);
}

TEST(Jpeg, DamagedDataIsAnErrorNotACrash) {
    const std::string good = EncodeJpeg(TwoColours(32, 32));
    std::string badPrecision = good;
    badPrecision[good.find("\xFF\xC0") + 4] = '\x03'; // 3-bit samples
    const std::string cases[] = {"",
                                 "not a jpeg at all",
                                 good.substr(0, 2),
                                 good.substr(0, good.size() / 2),
                                 good.substr(0, 200),
                                 badPrecision};
    for (const std::string& bytes : cases) {
        try {
            DecodeJpeg(bytes);
            ADD_FAILURE() << "no error for " << bytes.size() << " bytes";
        } catch (const EPictureError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Рисунок JPEG", 0), 0u) << e.what();
        }
    }
    // A frame header announcing 60000 × 60000 pixels.
    std::string huge = good;
    const std::size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = '\xEA', huge[sof + 6] = '\x60'; // height
    huge[sof + 7] = '\xEA', huge[sof + 8] = '\x60'; // width
    EXPECT_THROW(DecodeJpeg(huge), EPictureError);
}

TEST(Scale, BilinearResizesThroughThePalette) {
    const TDibPicture small = ScaleBilinear(TwoColours(100, 50), 10, 5);
    EXPECT_EQ(small.Width, 10);
    EXPECT_EQ(small.Height, 5);
    ExpectNear(small, 1, 1, 200, 100, 50, 0);
    ExpectNear(small, 8, 3, 20, 60, 220, 0);
    const TDibPicture fromIndexed = ScaleBilinear(Indexed(1, 1), 3, 2);
    EXPECT_EQ(fromIndexed.BitsPerPixel, 24);
    ExpectNear(fromIndexed, 2, 1, 0, 0, 0, 0);
    EXPECT_THROW(ScaleBilinear(small, 0, 5), EPictureError);
    int w = 0, h = 0;
    FitInto(1000, 10, 150, w, h);
    EXPECT_EQ(w, 150);
    EXPECT_EQ(h, 2);
    FitInto(10, 1000, 150, w, h);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 150);
}

} // namespace
