// PNG reading for the authoring sources (ReadPng, libpng): what reads is a valid 24-bit
// picture, and written out as PNG again reads as the same picture; damaged data is an
// EPictureError with a message.
#include "fuzzer_common.h"

#include "common/BmpFile.h"
#include "tools/PictureWriter.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TDibPicture picture;
    try {
        picture = ReadPng(InputView(data, size));
    } catch (const EPictureError& e) {
        FUZZ_CHECK(*e.what() != '\0');
        return 0;
    }
    FUZZ_CHECK(picture.Valid());
    FUZZ_CHECK(picture.BitsPerPixel == 24 && picture.Width > 0 && picture.Height > 0);
    const TDibPicture again = ReadPng(EncodePng(picture));
    FUZZ_CHECK(again.Width == picture.Width && again.Height == picture.Height &&
               again.BitsPerPixel == 24 && again.Pixels == picture.Pixels);
    return 0;
}
