// The file layer: every read of edition data and every write of the tools and the installer
// goes through it, and it is the one place where a UTF-8 path becomes the system's native path
// (wide characters on Windows). Outside it no code opens, maps, lists or writes files itself.
//
// A TFileSystem is one way of reaching files: the system's own (SystemFileSystem()), a
// fault-injecting one in the tests, a disc image. The programs use the current one,
// FileSystem(), which is the system's unless a TFileSystemScope has put another in its place.
// Paths are UTF-8 strings spelled as this system spells them; the case-folding lookup
// (ResolvePath) turns a path as the edition data spells it into one that exists.
//
// Failures throw EStreamError (common/ByteStream.h) with a message naming the file.
#pragma once

#include "ByteStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

enum class TEntryKind { None, File, Folder, Other };

// What a path names, without following the case-folding lookup.
struct TFileInfo {
    TEntryKind Kind = TEntryKind::None;
    std::int64_t Size = 0; // bytes, for a file
    std::int64_t Time = 0; // last change, in the system's units: compare for equality only
};

// A file open for reading: its size and reads at any offset.
class TReadableFile {
public:
    virtual ~TReadableFile() = default;
    virtual const std::string& Path() const = 0;
    virtual std::int64_t Size() const = 0;
    // Reads up to count bytes at offset into buffer and returns how many were read: fewer than
    // count only at the end of the file (0 at or past it). Throws EStreamError when the read
    // fails.
    virtual std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count) = 0;
};

// A whole file in memory, read-only: mapped by the system where it can be.
class TMappedFile {
public:
    virtual ~TMappedFile() = default;
    const unsigned char* Data() const { return FData; }
    std::size_t Size() const { return FSize; }
    const std::string& Path() const { return FPath; }

protected:
    TMappedFile(std::string path) : FPath(std::move(path)) {}
    std::string FPath;
    const unsigned char* FData = nullptr;
    std::size_t FSize = 0;
};

// A file being written: created, or emptied when it exists.
class TWritableFile {
public:
    virtual ~TWritableFile() = default;
    virtual const std::string& Path() const = 0;
    // Appends bytes; throws EStreamError when they cannot be written (the disk is full, ...).
    virtual void Append(std::string_view bytes) = 0;
    // Writes out what is buffered and closes the file; throws EStreamError when that fails. A
    // file destroyed without Close is closed quietly.
    virtual void Close() = 0;
};

class TFileSystem {
public:
    virtual ~TFileSystem() = default;

    // Reading.
    // Opens an existing file; throws EStreamError naming it when it cannot.
    virtual std::unique_ptr<TReadableFile> OpenForReading(const std::string& path) = 0;
    // The whole file, mapped; throws EStreamError naming it when it cannot be opened or read.
    // Here: read into memory through OpenForReading.
    virtual std::unique_ptr<TMappedFile> Map(const std::string& path);
    // The whole file; throws EStreamError naming it when it cannot be opened or read.
    virtual std::string ReadWholeFile(const std::string& path);
    // What path names, exactly as spelled (Kind None when nothing, or when it cannot be asked).
    virtual TFileInfo Stat(const std::string& path) = 0;
    // The names of every entry of folder but "." and "..", in no particular order; nothing when
    // the folder cannot be listed.
    virtual std::optional<std::vector<std::string>> List(const std::string& folder) = 0;

    // Writing.
    // Creates path, or empties it when it exists; throws EStreamError when it cannot.
    virtual std::unique_ptr<TWritableFile> OpenForWriting(const std::string& path) = 0;
    // Writes (creating or replacing) a whole file; throws EStreamError on failure.
    virtual void WriteWholeFile(const std::string& path, std::string_view bytes);
    // Copies the file from to the file to, replacing it; throws EStreamError on failure. Here:
    // read and written through this file system in pieces.
    virtual void CopyFile(const std::string& from, const std::string& to);
    // Marks the file path as a program that can be run (for everyone who may read it); nothing
    // where the system does not mark programs. Here: nothing. Throws EStreamError when it
    // cannot.
    virtual void MakeExecutable(const std::string& path) { (void)path; }
    // Creates the folder path (its parent must exist); an existing folder is no failure.
    // Throws EStreamError when it cannot.
    virtual void CreateFolder(const std::string& path) = 0;
    // Renames from to to, replacing a file to; throws EStreamError on failure.
    virtual void Rename(const std::string& from, const std::string& to) = 0;
    // Removes a file or an empty folder; nothing there is no failure. Throws EStreamError when
    // it cannot.
    virtual void Remove(const std::string& path) = 0;
    // Removes path with everything below it; throws EStreamError when something stays.
    virtual void RemoveTree(const std::string& path);

    // Paths.
    // path made absolute against the current folder, "." and ".." applied, separators this
    // system's. Here: the path itself.
    virtual std::string AbsolutePath(const std::string& path);
    // AbsolutePath with the links of its existing part followed: the one spelling of a
    // folder, for telling whether two paths name the same place. Here: AbsolutePath.
    virtual std::string CanonicalPath(const std::string& path);
};

// The system's own files.
TFileSystem& SystemFileSystem();
// The file system the programs use now: the system's, unless a scope has put another in place.
TFileSystem& FileSystem();

// Puts another file system in place for as long as it lives (tests, disc images).
class TFileSystemScope {
public:
    explicit TFileSystemScope(TFileSystem& fileSystem);
    ~TFileSystemScope();
    TFileSystemScope(const TFileSystemScope&) = delete;
    TFileSystemScope& operator=(const TFileSystemScope&) = delete;

private:
    TFileSystem* FPrevious;
};

// A read-only file over bytes in memory, named path (tests, fuzz targets, disc images given as
// bytes). A read before its start throws EStreamError.
std::unique_ptr<TReadableFile> MemoryFile(std::string path, std::string bytes);

// The platform's separator.
#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

// The functions below work on FileSystem().

// The existing file or folder that path names, with each component matched ignoring letter
// case (an exact match is preferred) and "/" and "\" both accepted as separators; "." and
// ".." are applied as they come. Empty when nothing matches. A component that exists as
// spelled keeps its spelling: on Windows, whose names ignore letter case, that is every
// component that exists (as Windows programs name files).
std::string ResolvePath(std::string_view path);
// ResolvePath(path), or path itself when nothing matches (so that a message names it).
std::string ResolvedOrGiven(std::string_view path);
// True when ResolvePath finds a regular file (FileExists) or a folder (FolderExists).
bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

// What a file was when it was read, to tell whether it has changed since: whether a file (not a
// folder) is there, its size and its time of change. Two stamps of a path that is not a file
// are equal.
struct TFileStamp {
    bool IsFile = false;
    std::int64_t Size = 0;
    std::int64_t Time = 0;
    bool operator==(const TFileStamp&) const = default;
};
// The stamp of the file at path as spelled (not looked up ignoring case).
TFileStamp StampOf(const std::string& path);

// A folder of this run's own in the system's temporary folder (the working folder when there
// is none), named prefix, "-" and a random number: made when a place in it is first asked for,
// removed with all it holds when the object goes. For copies of files the system's own
// libraries are to read.
class TRunFolder {
public:
    explicit TRunFolder(std::string prefix) : FPrefix(std::move(prefix)) {}
    ~TRunFolder();
    TRunFolder(const TRunFolder&) = delete;
    TRunFolder& operator=(const TRunFolder&) = delete;
    // A new empty folder inside it, for one file kept under its own name. Throws EStreamError
    // when it cannot be made.
    std::string NewFolder();

private:
    std::string FPrefix;
    std::string FFolder; // "" until made
    unsigned FCount = 0;
};

// a + separator + b, without doubling a separator at the end of a.
std::string JoinPath(std::string_view a, std::string_view b);
// The last component of path (after the last "/" or "\"); path itself when it has none.
std::string FileNameOf(std::string_view path);
// path without its last component and the separator before it; "" when there is none.
std::string ParentOf(std::string_view path);

// Names of the entries of a folder (looked up ignoring case), sorted by name (byte order);
// hidden entries (names starting with ".") are left out. Empty when the folder cannot be
// listed.
std::vector<std::string> ListFolder(std::string_view folder);

// The whole file as spelled; throws EStreamError naming it when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// Writes (creating or replacing) a file; throws EStreamError on failure.
void WriteWholeFile(const std::string& path, std::string_view bytes);
// Writes a file under a temporary name beside it, then renames it over path, so that path is
// either the old file or the whole new one; throws EStreamError on failure.
void ReplaceWholeFile(const std::string& path, std::string_view bytes);
// Creates every missing folder of path; throws EStreamError when one cannot be made.
void CreateFolders(const std::string& path);
// The reason of a failed system call, in Russian for the usual ones (no file, no access, no
// space, ...), else the system's own text.
std::string SystemErrorText(int error);
// The user's home folder as the system names it (HOME here, USERPROFILE on Windows); empty
// when it is not known.
std::string HomeFolder();
// The path of the program running, made absolute (argv0 when the system cannot tell).
std::string RunningProgramPath(const char* argv0);
// The size of a file, or of every file below a folder; 0 for nothing.
std::int64_t TreeBytes(const std::string& path);

} // namespace quarto
