// How sound and clip files are handed to the media framework (RouteOf) and the decoding of
// ADPCM WAV files: any bytes give a route inside the file, and a decoded sound is a whole PCM
// WAV file.
#include "fuzzer_common.h"

#include "common/RecordFile.h"
#include "platform/AdpcmWave.h"
#include "platform/MediaRoute.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = InputView(data, size);
    for (const std::uint64_t fileSize : {std::uint64_t{size}, std::uint64_t{size} * 3 + 1}) {
        const TMediaRoute route = RouteOf(input, fileSize);
        if (!route.Repair)
            continue;
        FUZZ_CHECK(route.Begin <= route.End && route.End <= fileSize);
        for (const TMediaPatch& patch : route.Patches)
            FUZZ_CHECK(patch.Offset >= route.Begin &&
                       patch.Offset + patch.Bytes.size() <= route.End);
    }
    if (const std::optional<std::string> pcm = DecodeAdpcmWave(input)) {
        FUZZ_CHECK(pcm->size() >= 44 && pcm->compare(0, 4, "RIFF") == 0);
        FUZZ_CHECK(GetLE32uAt(*pcm, 40) == pcm->size() - 44 &&
                   GetLE32uAt(*pcm, 4) == pcm->size() - 8);
        const std::uint32_t channels = static_cast<unsigned char>((*pcm)[22]);
        FUZZ_CHECK(channels > 0 && (pcm->size() - 44) % (2 * channels) == 0);
    }
    return 0;
}
