// JPEG decoding: damaged data gives EPictureError, never an abort; what decodes is a valid
// picture that encodes again.
#include "fuzzer_common.h"

#include "common/JpegCodec.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TDibPicture picture;
    try {
        picture = DecodeJpeg(InputView(data, size));
    } catch (const EPictureError&) {
        return 0;
    }
    FUZZ_CHECK(picture.Valid());
    FUZZ_CHECK(picture.BitsPerPixel == 24 || picture.Palette == GreyPalette());
    // Small pictures only: the encoder's time is not what is tested here.
    if (static_cast<std::int64_t>(picture.Width) * picture.Height <= 64 * 64) {
        const TDibPicture again = DecodeJpeg(EncodeJpeg(picture));
        FUZZ_CHECK(again.Width == picture.Width && again.Height == picture.Height &&
                   again.BitsPerPixel == picture.BitsPerPixel);
    }
    return 0;
}
