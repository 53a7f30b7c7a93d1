// A file system that fails where a test says: a read that fails or comes back short at a
// chosen file and offset, a file that cannot be opened, writes that fail with "no space" after
// a number of bytes, a folder that cannot be listed, a rename that fails. Everything else goes
// to the file system underneath (the system's). Put it in place with a TFileSystemScope.
//
// A rule names a file or folder by its path, or by its last components ("cData.dat",
// "Books/Key"): it matches every path that ends with them.
#pragma once

#include "common/FileSystem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarto::test {

class TFaultFileSystem final : public TFileSystem {
public:
    explicit TFaultFileSystem(TFileSystem& base = SystemFileSystem()) : FBase(base) {}

    // A read of the file that covers offset fails (EStreamError "... ошибка чтения или записи").
    void FailReadAt(const std::string& file, std::int64_t offset);
    // The file ends at offset for every read, though its size says more.
    void ShortReadAt(const std::string& file, std::int64_t offset);
    // Opening the file for reading fails.
    void FailOpen(const std::string& file);
    // Once this many more bytes have been written (to any file), writes fail: "на диске нет
    // места".
    void NoSpaceAfter(std::int64_t bytes);
    // Listing the folder fails.
    void FailListing(const std::string& folder);
    // Renaming onto the path fails ("/": every rename).
    void FailRename(const std::string& to);

    // Bytes written through this file system so far.
    std::int64_t BytesWritten() const { return FWritten; }

    std::unique_ptr<TReadableFile> OpenForReading(const std::string& path) override;
    TFileInfo Stat(const std::string& path) override { return FBase.Stat(path); }
    std::optional<std::vector<std::string>> List(const std::string& folder) override;
    std::unique_ptr<TWritableFile> OpenForWriting(const std::string& path) override;
    void CreateFolder(const std::string& path) override { FBase.CreateFolder(path); }
    void MakeExecutable(const std::string& path) override { FBase.MakeExecutable(path); }
    void Rename(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override { FBase.Remove(path); }
    std::string AbsolutePath(const std::string& path) override { return FBase.AbsolutePath(path); }
    std::string CanonicalPath(const std::string& path) override {
        return FBase.CanonicalPath(path);
    }

    // Used by the files this file system opens.
    struct TReadFault {
        std::string File;
        std::int64_t Offset = 0;
        bool Short = false;
    };
    const std::vector<TReadFault>& ReadFaults() const { return FReadFaults; }
    // Counts written bytes; throws when the space is used up.
    void Written(const std::string& path, std::size_t bytes);

private:
    TFileSystem& FBase;
    std::vector<TReadFault> FReadFaults;
    std::vector<std::string> FUnopenable, FUnlistable, FUnrenamable;
    std::int64_t FWritten = 0;
    std::int64_t FSpace = -1; // bytes that may still be written; -1 for no limit
};

// True when path ends with the components of rule (or is rule).
bool PathMatches(const std::string& path, const std::string& rule);

} // namespace quarto::test
