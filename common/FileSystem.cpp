#include "FileSystem.h"

#include "AsciiText.h"

#include "Cp1251.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace quarto {

namespace {

TFileSystem* Current = nullptr;

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Names compare ignoring the case of Latin and Cyrillic letters (names on disk are UTF-8).
bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && LowerCaseUtf8(a) == LowerCaseUtf8(b);
}

// A file read whole into memory, for file systems that cannot map.
class TBufferedMap final : public TMappedFile {
public:
    TBufferedMap(std::string path, std::string bytes)
        : TMappedFile(std::move(path)), FBytes(std::move(bytes)) {
        FData = reinterpret_cast<const unsigned char*>(FBytes.data());
        FSize = FBytes.size();
    }

private:
    std::string FBytes;
};

} // namespace

std::string SystemErrorText(int error) {
    switch (error) {
    case ENOENT:
        return "нет такого файла или папки";
    case EACCES:
    case EPERM:
        return "нет доступа";
    case ENOSPC:
        return "на диске нет места";
    case EIO:
        return "ошибка чтения или записи";
    case EISDIR:
        return "это папка";
    case ENOTDIR:
        return "часть пути — не папка";
    case EROFS:
        return "диск только для чтения";
    case ENOTEMPTY:
    case EEXIST:
        return "папка не пуста или уже существует";
    case ENAMETOOLONG:
        return "слишком длинное имя";
    default:
        return std::generic_category().message(error);
    }
}

std::unique_ptr<TMappedFile> TFileSystem::Map(const std::string& path) {
    return std::make_unique<TBufferedMap>(path, ReadWholeFile(path));
}

std::string TFileSystem::ReadWholeFile(const std::string& path) {
    const std::unique_ptr<TReadableFile> file = OpenForReading(path);
    const std::int64_t size = file->Size();
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(size > 0 ? size : 0));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t n =
            file->ReadAt(static_cast<std::int64_t>(done), bytes.data() + done, bytes.size() - done);
        if (n == 0)
            break;
        done += n;
    }
    // A file that shrank while it was read is what it is now; one that grew is read on.
    bytes.resize(done);
    char more[65536];
    for (std::size_t n;
         (n = file->ReadAt(static_cast<std::int64_t>(bytes.size()), more, sizeof more)) > 0;)
        bytes.append(more, n);
    return bytes;
}

void TFileSystem::WriteWholeFile(const std::string& path, std::string_view bytes) {
    const std::unique_ptr<TWritableFile> file = OpenForWriting(path);
    file->Append(bytes);
    file->Close();
}

void TFileSystem::CopyFile(const std::string& from, const std::string& to) {
    const std::unique_ptr<TReadableFile> in = OpenForReading(from);
    const std::unique_ptr<TWritableFile> out = OpenForWriting(to);
    std::string buffer(1 << 20, '\0');
    std::int64_t offset = 0;
    for (std::size_t n; (n = in->ReadAt(offset, buffer.data(), buffer.size())) > 0;) {
        out->Append(std::string_view(buffer.data(), n));
        offset += static_cast<std::int64_t>(n);
    }
    out->Close();
}

void TFileSystem::RemoveTree(const std::string& path) {
    const TFileInfo info = Stat(path);
    if (info.Kind == TEntryKind::Folder) {
        const auto names = List(path);
        if (!names)
            throw EStreamError("Не удаётся прочитать папку «" + path + "».");
        for (const std::string& name : *names)
            RemoveTree(JoinPath(path, name));
    }
    if (info.Kind != TEntryKind::None)
        Remove(path);
}

std::string TFileSystem::AbsolutePath(const std::string& path) {
    return path;
}

std::string TFileSystem::CanonicalPath(const std::string& path) {
    return AbsolutePath(path);
}

TFileSystem& FileSystem() {
    return Current ? *Current : SystemFileSystem();
}

TFileSystemScope::TFileSystemScope(TFileSystem& fileSystem) : FPrevious(Current) {
    Current = &fileSystem;
}

TFileSystemScope::~TFileSystemScope() {
    Current = FPrevious;
}

std::string ResolvePath(std::string_view path) {
    if (path.empty())
        return {};
    TFileSystem& files = FileSystem();
    // The path found so far, spelled as the file system spells it.
    std::string current;
    std::string root;
    std::size_t i = 0;
    if (PathSeparator == '\\' && path.size() >= 2 && path[1] == ':') {
        root = std::string(path.substr(0, 2)) + "\\";
        i = 2;
    } else if (IsSeparator(path[0])) {
        root = std::string(1, PathSeparator);
    }
    const bool relative = root.empty();
    current = relative ? std::string(".") : root;
    while (i < path.size()) {
        while (i < path.size() && IsSeparator(path[i]))
            ++i;
        std::size_t end = i;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        const std::string_view name = path.substr(i, end - i);
        i = end;
        if (name.empty() || name == ".")
            continue;
        if (name == "..") {
            if (current == ".")
                current = "..";
            else if (FileNameOf(current) == "..")
                current = JoinPath(current, "..");
            else if (current != root)
                current = ParentOf(current).size() < root.size() ? root : ParentOf(current);
            continue;
        }
        const std::string exact = JoinPath(current, name);
        if (files.Stat(exact).Kind != TEntryKind::None) {
            current = exact;
            continue;
        }
        const auto names = files.List(current);
        const std::string* match = nullptr;
        if (names)
            for (const std::string& candidate : *names)
                if (SameName(candidate, name)) {
                    match = &candidate;
                    break;
                }
        if (!match)
            return {};
        current = JoinPath(current, *match);
    }
    if (relative && current.size() > 2 && current[0] == '.' && current[1] == PathSeparator)
        current.erase(0, 2);
    return current;
}

std::string ResolvedOrGiven(std::string_view path) {
    std::string resolved = ResolvePath(path);
    return resolved.empty() ? std::string(path) : resolved;
}

bool FileExists(std::string_view path) {
    const std::string p = ResolvePath(path);
    return !p.empty() && FileSystem().Stat(p).Kind == TEntryKind::File;
}

TFileStamp StampOf(const std::string& path) {
    const TFileInfo info = FileSystem().Stat(path);
    if (info.Kind != TEntryKind::File)
        return {};
    return {true, info.Size, info.Time};
}

bool FolderExists(std::string_view path) {
    const std::string p = ResolvePath(path);
    return !p.empty() && FileSystem().Stat(p).Kind == TEntryKind::Folder;
}

namespace {

class TMemoryFile final : public TReadableFile {
public:
    TMemoryFile(std::string path, std::string bytes)
        : FPath(std::move(path)), FBytes(std::move(bytes)) {}
    const std::string& Path() const override { return FPath; }
    std::int64_t Size() const override { return static_cast<std::int64_t>(FBytes.size()); }
    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count) override {
        if (offset < 0)
            throw EStreamError("«" + FPath + "»: чтение до начала файла");
        if (static_cast<std::uint64_t>(offset) >= FBytes.size())
            return 0;
        const std::size_t n = std::min(count, FBytes.size() - static_cast<std::size_t>(offset));
        std::memcpy(buffer, FBytes.data() + offset, n);
        return n;
    }

private:
    std::string FPath;
    std::string FBytes;
};

} // namespace

std::unique_ptr<TReadableFile> MemoryFile(std::string path, std::string bytes) {
    return std::make_unique<TMemoryFile>(std::move(path), std::move(bytes));
}

std::string JoinPath(std::string_view a, std::string_view b) {
    std::string out(a);
    if (!out.empty() && !IsSeparator(out.back()))
        out += PathSeparator;
    out += b;
    return out;
}

std::string FileNameOf(std::string_view path) {
    return std::string(FileNameIn(path));
}

std::string ParentOf(std::string_view path) {
    const std::size_t at = path.find_last_of("/\\");
    if (at == std::string_view::npos)
        return {};
    if (at == 0)
        return std::string(path.substr(0, 1)); // the root
    return std::string(path.substr(0, at));
}

std::vector<std::string> ListFolder(std::string_view folder) {
    std::vector<std::string> names;
    const std::string resolved = ResolvePath(folder);
    if (resolved.empty())
        return names;
    auto listed = FileSystem().List(resolved);
    if (!listed)
        return names;
    for (std::string& name : *listed)
        if (!name.empty() && name[0] != '.')
            names.push_back(std::move(name));
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadWholeFile(const std::string& path) {
    return FileSystem().ReadWholeFile(path);
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
    FileSystem().WriteWholeFile(path, bytes);
}

void ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    TFileSystem& files = FileSystem();
    const std::string temporary = path + ".new";
    try {
        files.WriteWholeFile(temporary, bytes);
        files.Rename(temporary, path);
    } catch (const EStreamError&) {
        try {
            files.Remove(temporary);
        } catch (const EStreamError&) {
        }
        throw;
    }
}

void CreateFolders(const std::string& path) {
    TFileSystem& files = FileSystem();
    if (path.empty() || files.Stat(path).Kind == TEntryKind::Folder)
        return;
    const std::string parent = ParentOf(path);
    if (!parent.empty() && parent != path)
        CreateFolders(parent);
    if (!FileNameOf(path).empty())
        files.CreateFolder(path);
}

std::int64_t TreeBytes(const std::string& path) {
    TFileSystem& files = FileSystem();
    const TFileInfo info = files.Stat(path);
    if (info.Kind == TEntryKind::File)
        return info.Size;
    std::int64_t total = 0;
    if (info.Kind == TEntryKind::Folder)
        if (const auto names = files.List(path))
            for (const std::string& name : *names)
                total += TreeBytes(JoinPath(path, name));
    return total;
}

} // namespace quarto
