#include "fuzzer_common.h"

#include "common/AsciiText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quarto::fuzz {

namespace {

bool IsSourceBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

void Fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    std::abort();
}

std::vector<std::string_view> SplitInput(const std::uint8_t* data, std::size_t size,
                                         std::size_t count) {
    std::vector<std::string_view> parts;
    std::string_view rest = InputView(data, size);
    if (count == 0)
        return parts;
    while (parts.size() + 1 < count) {
        const std::size_t at = rest.find(FileSeparator);
        if (at == std::string_view::npos)
            break;
        parts.push_back(rest.substr(0, at));
        rest.remove_prefix(at + FileSeparator.size());
    }
    parts.push_back(rest);
    return parts;
}

std::string JoinInput(const std::vector<std::string>& parts) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += FileSeparator;
        out += parts[i];
    }
    return out;
}

std::vector<std::string> SourceLineFields(std::string_view text, std::size_t field,
                                          std::string_view skipPrefix) {
    std::vector<std::string> found;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.remove_prefix(3);
        const std::vector<std::string_view> fields = FieldsOf(line, IsSourceBlank);
        if (fields.empty() || fields[0][0] == '#' ||
            (!skipPrefix.empty() && fields[0].rfind(skipPrefix, 0) == 0))
            continue;
        if (field < fields.size())
            found.emplace_back(fields[field]);
    }
    return found;
}

namespace {

// A read of a block that belongs to the file system (the file stays while it is open).
class TExactMap final : public TMappedFile {
public:
    TExactMap(std::string path, const unsigned char* bytes, std::size_t size)
        : TMappedFile(std::move(path)), FBlock(std::make_unique<unsigned char[]>(size)) {
        if (size > 0)
            std::memcpy(FBlock.get(), bytes, size);
        FData = FBlock.get();
        FSize = size;
    }

private:
    std::unique_ptr<unsigned char[]> FBlock;
};

class TMemoryWritable final : public TWritableFile {
public:
    TMemoryWritable(TMemoryFileSystem& files, std::string path)
        : FFiles(files), FPath(std::move(path)) {
        FFiles.Put(FPath, {});
    }
    ~TMemoryWritable() override {
        if (!FClosed)
            FFiles.Put(FPath, FBytes);
    }
    const std::string& Path() const override { return FPath; }
    void Append(std::string_view bytes) override { FBytes.append(bytes); }
    void Close() override {
        FFiles.Put(FPath, FBytes);
        FClosed = true;
    }

private:
    TMemoryFileSystem& FFiles;
    std::string FPath;
    std::string FBytes;
    bool FClosed = false;
};

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

} // namespace

TMemoryFileSystem::TMemoryFileSystem() {
    FFolders.insert("/");
}

void TMemoryFileSystem::AddFolders(const std::string& path) {
    for (std::size_t i = 1; i < path.size(); ++i)
        if (IsSeparator(path[i]))
            FFolders.insert(path.substr(0, i));
}

void TMemoryFileSystem::Put(const std::string& path, std::string_view bytes) {
    AddFolders(path);
    TBlock block;
    block.Bytes = std::make_unique<unsigned char[]>(bytes.size());
    if (!bytes.empty())
        std::memcpy(block.Bytes.get(), bytes.data(), bytes.size());
    block.Size = bytes.size();
    block.Version = ++FVersion;
    FFiles[path] = std::move(block);
}

std::string TMemoryFileSystem::Get(const std::string& path) const {
    const auto found = FFiles.find(path);
    if (found == FFiles.end())
        throw EStreamError("«" + path + "»: нет такого файла или папки");
    return std::string(reinterpret_cast<const char*>(found->second.Bytes.get()),
                       found->second.Size);
}

std::unique_ptr<TReadableFile> TMemoryFileSystem::OpenForReading(const std::string& path) {
    return MemoryFile(path, Get(path));
}

std::unique_ptr<TMappedFile> TMemoryFileSystem::Map(const std::string& path) {
    const auto found = FFiles.find(path);
    if (found == FFiles.end())
        throw EStreamError("«" + path + "»: нет такого файла или папки");
    return std::make_unique<TExactMap>(path, found->second.Bytes.get(), found->second.Size);
}

TFileInfo TMemoryFileSystem::Stat(const std::string& path) {
    TFileInfo info;
    if (const auto found = FFiles.find(path); found != FFiles.end()) {
        info.Kind = TEntryKind::File;
        info.Size = static_cast<std::int64_t>(found->second.Size);
        info.Time = found->second.Version;
    } else if (FFolders.count(path) != 0) {
        info.Kind = TEntryKind::Folder;
    }
    return info;
}

std::optional<std::vector<std::string>> TMemoryFileSystem::List(const std::string& folder) {
    if (FFolders.count(folder) == 0)
        return std::nullopt;
    const std::string prefix = folder == "/" ? folder : folder + "/";
    std::set<std::string> names;
    const auto collect = [&](const std::string& path) {
        if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
            return;
        const std::string rest = path.substr(prefix.size());
        if (rest.find_first_of("/\\") == std::string::npos)
            names.insert(rest);
    };
    for (const auto& file : FFiles)
        collect(file.first);
    for (const std::string& path : FFolders)
        collect(path);
    return std::vector<std::string>(names.begin(), names.end());
}

std::unique_ptr<TWritableFile> TMemoryFileSystem::OpenForWriting(const std::string& path) {
    if (FFolders.count(path) != 0)
        throw EStreamError("«" + path + "»: это папка");
    return std::make_unique<TMemoryWritable>(*this, path);
}

void TMemoryFileSystem::CreateFolder(const std::string& path) {
    if (FFiles.count(path) != 0)
        throw EStreamError("«" + path + "»: папка не пуста или уже существует");
    AddFolders(path + "/");
}

void TMemoryFileSystem::Rename(const std::string& from, const std::string& to) {
    const auto found = FFiles.find(from);
    if (found == FFiles.end())
        throw EStreamError("«" + from + "»: нет такого файла или папки");
    TBlock block = std::move(found->second);
    FFiles.erase(found);
    AddFolders(to);
    FFiles[to] = std::move(block);
}

void TMemoryFileSystem::Remove(const std::string& path) {
    FFiles.erase(path);
    FFolders.erase(path);
}

std::size_t PutNamedFiles(TMemoryFileSystem& files, const std::string& folder,
                          const std::vector<std::string>& names,
                          const std::vector<std::string_view>& parts, std::size_t next) {
    for (const std::string& name : names) {
        if (next >= parts.size())
            break;
        const std::string path = JoinPath(folder, name);
        if (name.find_first_of("/\\:") != std::string::npos || name == "." || name == ".." ||
            files.Stat(path).Kind != TEntryKind::None)
            continue;
        files.Put(path, parts[next++]);
    }
    return next;
}

std::string WithoutMarks(std::string source, std::string_view begin, std::string_view end) {
    for (const std::string_view mark : {begin, end})
        for (std::size_t at; (at = source.find(mark)) != std::string::npos;)
            source.erase(at, mark.size());
    return source;
}

} // namespace quarto::fuzz
