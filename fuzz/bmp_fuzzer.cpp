// BMP reading: what reads is a valid picture, and written out again reads as the same picture.
#include "fuzzer_common.h"

#include "common/BmpFile.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TDibPicture picture;
    try {
        picture = DecodeBmp(InputView(data, size));
    } catch (const EPictureError&) {
        return 0;
    }
    FUZZ_CHECK(picture.Valid());
    const TDibPicture again = DecodeBmp(EncodeBmp(picture));
    FUZZ_CHECK(again.Width == picture.Width && again.Height == picture.Height &&
               again.BitsPerPixel == picture.BitsPerPixel && again.Pixels == picture.Pixels &&
               again.Palette == picture.Palette);
    return 0;
}
