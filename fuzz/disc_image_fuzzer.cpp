// Disc images: an ISO 9660 image read from bytes. Damage is refused with the file layer's
// error; what is accepted names only entries inside the image, and every file reads back to
// exactly its size.
#include "fuzzer_common.h"

#include "common/DiscImage.h"

#include <functional>

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::shared_ptr<TDiscImage> image;
    try {
        image = TDiscImage::Open(MemoryFile("fuzz.iso", std::string(InputView(data, size))));
    } catch (const EStreamError&) {
        return 0;
    }
    std::size_t entries = 0;
    std::string buffer(4096, '\0');
    const std::function<void(const std::string&, int)> walk = [&](const std::string& folder,
                                                                  int depth) {
        FUZZ_CHECK(depth <= 64);
        const auto names = image->List(folder);
        FUZZ_CHECK(names.has_value());
        for (const std::string& name : *names) {
            FUZZ_CHECK(!name.empty() && name != "." && name != ".." &&
                       name.find_first_of("/\\") == std::string::npos);
            FUZZ_CHECK(++entries < 1000000);
            const std::string inner = folder.empty() ? name : folder + "/" + name;
            const TFileInfo info = image->Stat(inner);
            FUZZ_CHECK(info.Kind != TEntryKind::None);
            if (info.Kind == TEntryKind::Folder) {
                walk(inner, depth + 1);
                continue;
            }
            try {
                const auto file = image->OpenForReading(inner, "fuzz.iso/" + inner);
                FUZZ_CHECK(file->Size() == info.Size);
                std::int64_t read = 0;
                for (std::size_t n; (n = file->ReadAt(read, buffer.data(), buffer.size())) > 0;)
                    read += static_cast<std::int64_t>(n);
                FUZZ_CHECK(read == info.Size);
            } catch (const EStreamError&) {
            }
        }
    };
    walk("", 0);
    return 0;
}
