// Disc images: an ISO 9660 image (with Rock Ridge or Joliet names) read in place, by extent,
// through the file layer; never unpacked.
//
// A TDiscImage reads the image's whole directory tree when it is opened and checks every
// record against the image: each extent lies inside the image, names are single path
// components, no folder is reached twice (a loop), the tree is not deeper than a disc's can be.
// A damaged image is refused then, with an EStreamError "Образ диска «...» повреждён: ...";
// after that only the reads of file contents touch the image again.
//
// Images are mounted explicitly (TImageFileSystem::Mount, MountDiscImage): a mounted image's
// path is a read-only folder, its root, so that "/home/u/disc.iso/Books/NightSky/setup.inf"
// names a file inside the image for every caller of the file layer, with the case-folding
// lookup (ResolvePath) working inside it as everywhere else.
#pragma once

#include "FileSystem.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

class TDiscImage : public std::enable_shared_from_this<TDiscImage> {
public:
    // Opens the image file path through files; throws EStreamError naming it when it cannot be
    // read, is no ISO 9660 image or is damaged.
    static std::shared_ptr<TDiscImage> Open(const std::string& path,
                                            TFileSystem& files = FileSystem());
    // The image held by file (named by file->Path() in messages): the entry a fuzzer or a test
    // feeds bytes to through an in-memory file (MemoryFile).
    static std::shared_ptr<TDiscImage> Open(std::shared_ptr<TReadableFile> file);

    const std::string& Path() const { return FFile->Path(); }
    // Which names the tree carries: "Rock Ridge", "Joliet" or "ISO 9660".
    const std::string& NameKind() const { return FNameKind; }

    // Paths inside the image are relative to its root, "/" or "\" between components, spelled
    // exactly ("" or "/" is the root).
    TFileInfo Stat(std::string_view inner) const;
    std::optional<std::vector<std::string>> List(std::string_view inner) const;
    // Opens a file of the image; shownPath is the path its reads report (the image's path
    // joined with inner). Throws EStreamError when inner names no file.
    std::unique_ptr<TReadableFile> OpenForReading(std::string_view inner,
                                                  const std::string& shownPath) const;

    // One file or folder of the tree.
    struct TEntry {
        std::string Name;
        TEntryKind Kind = TEntryKind::None;
        std::int64_t Size = 0;
        std::int64_t Time = 0;
        // The byte ranges of the file's contents in the image, in order.
        std::vector<std::pair<std::int64_t, std::int64_t>> Extents;
        std::map<std::string, std::size_t, std::less<>> Children; // name -> entry index
    };
    const TEntry* Find(std::string_view inner) const;

    TDiscImage(std::shared_ptr<TReadableFile> file, std::string nameKind,
               std::vector<TEntry> entries)
        : FFile(std::move(file)), FNameKind(std::move(nameKind)), FEntries(std::move(entries)) {}

private:
    std::shared_ptr<TReadableFile> FFile;
    std::string FNameKind;
    std::vector<TEntry> FEntries; // [0] is the root
};

// True when path is a regular file that starts like an ISO 9660 image (a volume descriptor
// "CD001" in block 16). Asked through FileSystem().
bool IsDiscImageFile(const std::string& path);

// A file system that serves every path under a mounted image's path from the image and
// everything else from the file system below it. Writing inside an image throws EStreamError.
class TImageFileSystem final : public TFileSystem {
public:
    explicit TImageFileSystem(TFileSystem& base) : FBase(base) {}

    // Opens and mounts the image file path (already mounted: nothing is read again) and
    // returns its root, the image's absolute path. Throws EStreamError when the image cannot be
    // read or is damaged.
    std::string Mount(const std::string& path);
    // True when path is the root of a mounted image.
    bool IsMounted(const std::string& path);
    // True when path lies inside a mounted image (or is its root).
    bool Holds(const std::string& path) { return Route(path).Image != nullptr; }

    std::unique_ptr<TReadableFile> OpenForReading(const std::string& path) override;
    std::unique_ptr<TMappedFile> Map(const std::string& path) override;
    std::string ReadWholeFile(const std::string& path) override;
    TFileInfo Stat(const std::string& path) override;
    std::optional<std::vector<std::string>> List(const std::string& folder) override;
    std::unique_ptr<TWritableFile> OpenForWriting(const std::string& path) override;
    void MakeExecutable(const std::string& path) override;
    void CreateFolder(const std::string& path) override;
    void Rename(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
    std::string AbsolutePath(const std::string& path) override { return FBase.AbsolutePath(path); }
    std::string CanonicalPath(const std::string& path) override;

private:
    struct TRoute {
        const TDiscImage* Image = nullptr;
        std::string Inner;
    };
    // The image path lies in and the rest of path inside it; no image when it lies in none.
    TRoute Route(const std::string& path);
    [[noreturn]] void ReadOnly(const std::string& path);

    TFileSystem& FBase;
    std::map<std::string, std::shared_ptr<TDiscImage>, std::less<>> FImages; // by absolute path
};

// The images of this process: a TImageFileSystem over the system's files.
TImageFileSystem& DiscImages();

// Mounts the image file path in DiscImages() and returns its root. The first mount puts
// DiscImages() in place as FileSystem() for the rest of the process when no other file system
// is in place (a TFileSystemScope of a test stays in front). Throws EStreamError when the
// image cannot be read or is damaged.
std::string MountDiscImage(const std::string& path);

// The disc root a disc argument names (the installer's --disc, quarto-tool's --disc, an entry
// of QUARTO_DISCS): an image file is mounted (MountDiscImage) and its root given back; anything
// else (a folder) is given back unchanged. Throws EStreamError when an image is damaged or a
// file is no image.
std::string DiscRootPath(const std::string& discArgument);

// A path the system's own libraries can open for the file path names (the media framework
// reads files itself and cannot reach into an image): path itself for a file outside the images
// of DiscImages(); for a file inside one, a copy made once in a temporary folder that is removed
// when the program ends. Throws EStreamError when the copy cannot be made.
std::string RealFilePath(const std::string& path);

} // namespace quarto
