#include "FaultFileSystem.h"

#include <algorithm>

namespace quarto::test {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// A file whose reads go through the faults of its file system.
class TFaultyFile final : public TReadableFile {
public:
    TFaultyFile(std::unique_ptr<TReadableFile> file, const TFaultFileSystem& owner)
        : FFile(std::move(file)), FOwner(owner) {}
    const std::string& Path() const override { return FFile->Path(); }
    std::int64_t Size() const override { return FFile->Size(); }
    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count) override {
        std::size_t allowed = count;
        for (const auto& fault : FOwner.ReadFaults()) {
            if (!PathMatches(Path(), fault.File))
                continue;
            const std::int64_t end = offset + static_cast<std::int64_t>(count);
            if (fault.Short) {
                const std::int64_t left = std::max<std::int64_t>(0, fault.Offset - offset);
                allowed = std::min<std::size_t>(allowed, static_cast<std::size_t>(left));
            } else if (offset <= fault.Offset && fault.Offset < end) {
                throw EStreamError("Не удаётся прочитать файл «" + Path() +
                                   "»: ошибка чтения или записи.");
            }
        }
        return allowed == 0 ? 0 : FFile->ReadAt(offset, buffer, allowed);
    }

private:
    std::unique_ptr<TReadableFile> FFile;
    const TFaultFileSystem& FOwner;
};

class TCountedFile final : public TWritableFile {
public:
    TCountedFile(std::unique_ptr<TWritableFile> file, TFaultFileSystem& owner)
        : FFile(std::move(file)), FOwner(owner) {}
    const std::string& Path() const override { return FFile->Path(); }
    void Append(std::string_view bytes) override {
        FOwner.Written(Path(), bytes.size());
        FFile->Append(bytes);
    }
    void Close() override { FFile->Close(); }

private:
    std::unique_ptr<TWritableFile> FFile;
    TFaultFileSystem& FOwner;
};

bool Listed(const std::vector<std::string>& rules, const std::string& path) {
    return std::any_of(rules.begin(), rules.end(),
                       [&](const std::string& rule) { return PathMatches(path, rule); });
}

} // namespace

bool PathMatches(const std::string& path, const std::string& rule) {
    std::string p = path;
    std::string r = rule;
    while (p.size() > 1 && IsSeparator(p.back()))
        p.pop_back();
    while (r.size() > 1 && IsSeparator(r.back()))
        r.pop_back();
    for (char& c : p)
        if (c == '\\')
            c = '/';
    for (char& c : r)
        if (c == '\\')
            c = '/';
    if (r.empty() || r.size() > p.size())
        return false;
    if (p.compare(p.size() - r.size(), r.size(), r) != 0)
        return false;
    return p.size() == r.size() || r.front() == '/' || p[p.size() - r.size() - 1] == '/';
}

void TFaultFileSystem::FailReadAt(const std::string& file, std::int64_t offset) {
    FReadFaults.push_back({file, offset, false});
}

void TFaultFileSystem::ShortReadAt(const std::string& file, std::int64_t offset) {
    FReadFaults.push_back({file, offset, true});
}

void TFaultFileSystem::FailOpen(const std::string& file) {
    FUnopenable.push_back(file);
}

void TFaultFileSystem::NoSpaceAfter(std::int64_t bytes) {
    FSpace = bytes;
}

void TFaultFileSystem::FailListing(const std::string& folder) {
    FUnlistable.push_back(folder);
}

void TFaultFileSystem::FailRename(const std::string& to) {
    FUnrenamable.push_back(to);
}

void TFaultFileSystem::Written(const std::string& path, std::size_t bytes) {
    const auto n = static_cast<std::int64_t>(bytes);
    if (FSpace >= 0 && n > FSpace) {
        FWritten += FSpace;
        FSpace = 0;
        throw EDiskFullError("Не удаётся записать файл «" + path + "»: на диске нет места.");
    }
    if (FSpace >= 0)
        FSpace -= n;
    FWritten += n;
}

std::unique_ptr<TReadableFile> TFaultFileSystem::OpenForReading(const std::string& path) {
    if (Listed(FUnopenable, path))
        throw EStreamError("Не удаётся открыть файл «" + path + "»: нет доступа.");
    return std::make_unique<TFaultyFile>(FBase.OpenForReading(path), *this);
}

std::optional<std::vector<std::string>> TFaultFileSystem::List(const std::string& folder) {
    if (Listed(FUnlistable, folder))
        return std::nullopt;
    return FBase.List(folder);
}

std::unique_ptr<TWritableFile> TFaultFileSystem::OpenForWriting(const std::string& path) {
    return std::make_unique<TCountedFile>(FBase.OpenForWriting(path), *this);
}

void TFaultFileSystem::Rename(const std::string& from, const std::string& to) {
    if (Listed(FUnrenamable, to) ||
        std::find(FUnrenamable.begin(), FUnrenamable.end(), "/") != FUnrenamable.end())
        throw EStreamError("Не удаётся переименовать «" + from + "» в «" + to + "»: нет доступа.");
    FBase.Rename(from, to);
}

} // namespace quarto::test
