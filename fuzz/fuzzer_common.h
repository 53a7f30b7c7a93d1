// What the fuzz targets share: a file system held in memory, so that a target can hand its
// input to the real entry points (which read through the file layer), the cutting of one input
// into several files, and the check that turns a broken property into a finding.
//
// Every target defines LLVMFuzzerTestOneInput. Built with clang and -fsanitize=fuzzer it is a
// libFuzzer program (scripts/fuzz); built otherwise it is linked with main.cpp, which runs it
// once on every file of its corpus (a ctest test).
#pragma once

#include "common/EditionLayout.h"
#include "common/FileSystem.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace quarto::fuzz {

// Stops the run with a message naming the property: a finding, like a crash.
[[noreturn]] void Fail(const char* file, int line, const char* what);
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::quarto::fuzz::Fail(__FILE__, __LINE__, #condition);                                  \
    } while (false)

// The files of an input that holds several are separated by this line.
inline constexpr std::string_view FileSeparator = "\n%%FILE%%\n";

// The input cut at FileSeparator into at most count parts (the last part keeps any further
// separators). An input with fewer separators has fewer parts: the files it lacks are absent.
std::vector<std::string_view> SplitInput(const std::uint8_t* data, std::size_t size,
                                         std::size_t count);
// The parts joined again: what SplitInput cuts into them.
std::string JoinInput(const std::vector<std::string>& parts);

// Field `field` (from 0, blank- or tab-separated) of every line of an authoring source's list
// (pictures.txt, audio.txt, music.txt) that is not blank, not a comment and does not start with
// skipPrefix (when given), in order; lines without that field give nothing. What the targets
// name the files after, so that an input's later parts become the files its list names.
std::vector<std::string> SourceLineFields(std::string_view text, std::size_t field,
                                          std::string_view skipPrefix = {});

// Puts parts[next], parts[next + 1], ... into folder as the files names gives, in order, each
// name that is a plain file name not there yet (the others are passed over); returns the part
// after the last one used.
class TMemoryFileSystem;
std::size_t PutNamedFiles(TMemoryFileSystem& files, const std::string& folder,
                          const std::vector<std::string>& names,
                          const std::vector<std::string_view>& parts, std::size_t next);

// source with every begin and end mark taken out.
std::string WithoutMarks(std::string source, std::string_view begin, std::string_view end);

// The input as a string view; an empty input has a null data pointer, as an empty view made
// by the engine itself may have.
inline std::string_view InputView(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::string_view()
                     : std::string_view(reinterpret_cast<const char*>(data), size);
}

// Files and folders in memory. Paths are keys as spelled ("/" separated; "." and ".." are not
// applied here, ResolvePath applies them); writing a file makes its folders. A mapped or read
// file is an exact-size heap block, so a read past its end is seen by AddressSanitizer.
class TMemoryFileSystem final : public TFileSystem {
public:
    TMemoryFileSystem();

    // Puts a file (and its folders) in place.
    void Put(const std::string& path, std::string_view bytes);
    // The bytes of a file; throws EStreamError when there is none.
    std::string Get(const std::string& path) const;
    bool Has(const std::string& path) const { return FFiles.count(path) != 0; }

    std::unique_ptr<TReadableFile> OpenForReading(const std::string& path) override;
    std::unique_ptr<TMappedFile> Map(const std::string& path) override;
    TFileInfo Stat(const std::string& path) override;
    std::optional<std::vector<std::string>> List(const std::string& folder) override;
    std::unique_ptr<TWritableFile> OpenForWriting(const std::string& path) override;
    void CreateFolder(const std::string& path) override;
    void Rename(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;

private:
    struct TBlock {
        std::unique_ptr<unsigned char[]> Bytes;
        std::size_t Size = 0;
        std::int64_t Version = 0;
    };
    void AddFolders(const std::string& path);
    std::map<std::string, TBlock> FFiles;
    std::set<std::string> FFolders;
    std::int64_t FVersion = 0;
};

// A memory file system put in place for as long as it lives.
class TMemoryScope {
public:
    TMemoryScope() : FScope(Files) {}
    TMemoryFileSystem Files;

private:
    TFileSystemScope FScope;
};

// Where the targets put an edition's files in the memory file system.
inline constexpr const char* BookFolder = "/fuzz/Books/Key";

} // namespace quarto::fuzz
