// The plain driver of a fuzz target: runs LLVMFuzzerTestOneInput once on every file named on
// the command line and on every file of every folder named (not below it), each handed over in
// a heap block of exactly its size. Prints how many inputs ran; a finding stops the program.
#include "fuzzer_common.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

using namespace quarto;

namespace {

void RunOne(const std::string& path) {
    const std::string bytes = SystemFileSystem().ReadWholeFile(path);
    // A block of its own, so that a read past the end is not hidden by the string's spare room.
    const auto block = std::make_unique<std::uint8_t[]>(bytes.size());
    if (!bytes.empty())
        std::memcpy(block.get(), bytes.data(), bytes.size());
    LLVMFuzzerTestOneInput(block.get(), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE|FOLDER...\n", argv[0]);
        return 2;
    }
    int runs = 0;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string path = argv[i];
            const TFileInfo info = SystemFileSystem().Stat(path);
            if (info.Kind == TEntryKind::Folder) {
                // ListFolder works on FileSystem(), which is the system's here: the targets
                // put their own in place only while they run.
                for (const std::string& name : ListFolder(path)) {
                    const std::string file = JoinPath(path, name);
                    if (SystemFileSystem().Stat(file).Kind == TEntryKind::File) {
                        RunOne(file);
                        ++runs;
                    }
                }
            } else if (info.Kind == TEntryKind::File) {
                RunOne(path);
                ++runs;
            } else {
                std::fprintf(stderr, "%s: no such file or folder\n", path.c_str());
                return 2;
            }
        }
    } catch (const EStreamError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    std::printf("%s: %d inputs run\n", argv[0], runs);
    return runs > 0 ? 0 : 1;
}
