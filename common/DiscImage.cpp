#include "DiscImage.h"

#include <cdio/iso9660.h>
#include <cdio/memory.h>
extern "C" {
#include <cdio/utf8.h> // declares without C linkage
}

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <set>

namespace quarto {

namespace {

constexpr std::int64_t Block = ISO_BLOCKSIZE;
// The volume descriptors are read from block 16 on until the terminator, at most these many.
constexpr int MaxDescriptors = 64;
// Deeper than any disc's tree (ISO 9660 allows 8 levels; Rock Ridge relocates deeper ones).
constexpr int MaxDepth = 64;
// A folder's records; a bigger one is taken for damage.
constexpr std::int64_t MaxFolderBytes = 16 << 20;
// Rock Ridge continuation areas followed for one record.
constexpr int MaxContinuations = 16;
constexpr std::size_t RecordHeader = offsetof(iso9660_dir_t, filename) + 1; // 33 bytes

[[noreturn]] void Damaged(const std::string& image, const std::string& what) {
    throw EStreamError("Образ диска «" + image + "» повреждён: " + what + ".");
}

// A both-byte-order number: its little-endian half, as the kernel reads it (some mastering
// programs wrote the other half wrong). Every use is checked against the image.
std::uint32_t Both32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t Both16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// The name a record's bytes spell in the tree's kind of names, as UTF-8.
std::string JolietName(const unsigned char* p, std::size_t size) {
    cdio_utf8_t* utf8 = nullptr;
    std::string name;
    if (size % 2 == 0 &&
        cdio_charset_to_utf8(reinterpret_cast<const char*>(p), size, &utf8, "UCS-2BE") && utf8) {
        name = utf8;
    }
    cdio_free(utf8);
    return name;
}

// "NAME.EXT;1" -> "NAME.EXT", "NAME.;1" -> "NAME".
std::string WithoutVersion(std::string name) {
    const std::size_t semicolon = name.rfind(';');
    if (semicolon != std::string::npos)
        name.erase(semicolon);
    if (!name.empty() && name.back() == '.' && name.find('.') == name.size() - 1)
        name.pop_back();
    return name;
}

std::int64_t RecordTime(const iso9660_dtime_t& t) {
    // Distinct per second; only compared for equality.
    return ((((static_cast<std::int64_t>(t.dt_year) * 13 + t.dt_month) * 32 + t.dt_day) * 24 +
             t.dt_hour) *
                60 +
            t.dt_minute) *
               60 +
           t.dt_second;
}

struct TFolderToRead {
    std::size_t Entry;
    std::int64_t Offset;
    std::int64_t Size;
    int Depth;
    std::string Path; // inside the image, for messages
};

class TImageReader {
public:
    explicit TImageReader(std::shared_ptr<TReadableFile> file)
        : FFile(std::move(file)), FImage(FFile->Path()), FImageSize(FFile->Size()) {}

    std::shared_ptr<TDiscImage> Read() {
        if (FImageSize < (ISO_PVD_SECTOR + 1) * Block)
            throw EStreamError("Файл «" + FImage + "» — не образ диска ISO 9660: он слишком мал.");
        std::string primary, joliet;
        for (int i = 0; i < MaxDescriptors; ++i) {
            const std::int64_t at = (ISO_PVD_SECTOR + i) * Block;
            if (at + Block > FImageSize)
                Damaged(FImage, "описатели тома не завершены");
            std::string descriptor = Bytes(at, Block);
            const auto* d = reinterpret_cast<const unsigned char*>(descriptor.data());
            if (std::memcmp(d + 1, ISO_STANDARD_ID, 5) != 0) {
                if (i == 0)
                    throw EStreamError("Файл «" + FImage + "» — не образ диска ISO 9660.");
                Damaged(FImage, "описатель тома " + std::to_string(i + 1) + " неверен");
            }
            if (d[0] == ISO_VD_END)
                break;
            if (d[0] == ISO_VD_PRIMARY && primary.empty())
                primary = std::move(descriptor);
            else if (d[0] == ISO_VD_SUPPLEMENTARY && joliet.empty() && d[88] == '%' &&
                     d[89] == '/' && (d[90] == '@' || d[90] == 'C' || d[90] == 'E'))
                joliet = std::move(descriptor);
        }
        if (primary.empty())
            Damaged(FImage, "нет основного описателя тома");
        const auto* pvd = reinterpret_cast<const unsigned char*>(primary.data());
        if (Both16(pvd + 128) != Block)
            Damaged(FImage,
                    "размер блока " + std::to_string(Both16(pvd + 128)) + " не поддерживается");

        // Rock Ridge names when the primary tree has them (they keep case and length), else
        // the Joliet tree's, else the plain names.
        const unsigned char* root = pvd + 156;
        FRockRidge = HasRockRidge(root);
        const unsigned char* chosen = root;
        std::string kind = "ISO 9660";
        if (FRockRidge) {
            kind = "Rock Ridge";
        } else if (!joliet.empty()) {
            FJoliet = true;
            chosen = reinterpret_cast<const unsigned char*>(joliet.data()) + 156;
            kind = "Joliet";
        }
        ReadTree(chosen);
        return std::make_shared<TDiscImage>(FFile, kind, std::move(FEntries));
    }

private:
    std::string Bytes(std::int64_t offset, std::int64_t size) {
        std::string bytes(static_cast<std::size_t>(size), '\0');
        std::size_t done = 0;
        while (done < bytes.size()) {
            const std::size_t n = FFile->ReadAt(offset + static_cast<std::int64_t>(done),
                                                bytes.data() + done, bytes.size() - done);
            if (n == 0)
                Damaged(FImage, "он обрывается на байте " +
                                    std::to_string(offset + static_cast<std::int64_t>(done)));
            done += n;
        }
        return bytes;
    }

    // The byte offset of extent block lba with size bytes, checked against the image.
    std::int64_t ExtentOffset(std::uint32_t lba, std::int64_t size, const std::string& what) {
        const std::int64_t offset = static_cast<std::int64_t>(lba) * Block;
        if (lba == std::uint32_t(-1) || size < 0 || offset > FImageSize ||
            size > FImageSize - offset)
            Damaged(FImage, what + " лежит за концом образа (блок " + std::to_string(lba) + ", " +
                                std::to_string(size) + " байт, а в образе " +
                                std::to_string(FImageSize) + ")");
        return offset;
    }

    // The root's "." record carries the SUSP "SP" entry of a Rock Ridge tree.
    bool HasRockRidge(const unsigned char* rootRecord) {
        const std::uint32_t lba = Both32(rootRecord + 2);
        const std::uint32_t size = Both32(rootRecord + 10);
        if (size == std::uint32_t(-1) || size < RecordHeader)
            Damaged(FImage, "запись корневой папки неверна");
        const std::int64_t offset = ExtentOffset(lba, size, "корневая папка");
        const std::string first = Bytes(offset, std::min<std::int64_t>(size, 255));
        const auto* r = reinterpret_cast<const unsigned char*>(first.data());
        const std::size_t length = r[0];
        if (length < RecordHeader + 1 || length > first.size())
            return false;
        const std::size_t use = RecordHeader + r[32] + (r[32] % 2 == 0 ? 1 : 0);
        return use + 7 <= length && r[use] == 'S' && r[use + 1] == 'P' && r[use + 4] == 0xBE &&
               r[use + 5] == 0xEF;
    }

    void ReadTree(const unsigned char* rootRecord) {
        TDiscImage::TEntry root;
        root.Kind = TEntryKind::Folder;
        root.Time = RecordTime(reinterpret_cast<const iso9660_dir_t*>(rootRecord)->recording_time);
        FEntries.push_back(std::move(root));
        const std::uint32_t size = Both32(rootRecord + 10);
        if (size == std::uint32_t(-1))
            Damaged(FImage, "запись корневой папки неверна");
        std::vector<TFolderToRead> pending{
            {0, ExtentOffset(Both32(rootRecord + 2), size, "корневая папка"), size, 0, ""}};
        std::set<std::int64_t> seen{pending.back().Offset};
        while (!pending.empty()) {
            TFolderToRead folder = std::move(pending.back());
            pending.pop_back();
            ReadFolder(folder, pending, seen);
        }
    }

    void ReadFolder(const TFolderToRead& folder, std::vector<TFolderToRead>& pending,
                    std::set<std::int64_t>& seen) {
        const std::string shown = folder.Path.empty() ? "/" : folder.Path;
        if (folder.Size > MaxFolderBytes)
            Damaged(FImage, "папка «" + shown + "» слишком велика");
        const std::string bytes = Bytes(folder.Offset, folder.Size);
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t size = bytes.size();
        std::size_t at = 0;
        std::size_t continued = std::size_t(-1); // the file whose next extent may follow
        while (at < size) {
            const std::size_t length = b[at];
            if (length == 0) { // the rest of this block is padding
                at = (at / Block + 1) * Block;
                continue;
            }
            const std::string where = "запись папки «" + shown + "» на смещении " +
                                      std::to_string(folder.Offset + static_cast<std::int64_t>(at));
            if (length < RecordHeader || length > size - at ||
                (at % Block) + length > static_cast<std::size_t>(Block))
                Damaged(FImage, where + " неверной длины " + std::to_string(length));
            const unsigned char* r = b + at;
            at += length;
            const std::size_t nameLength = r[32];
            if (RecordHeader + nameLength > length)
                Damaged(FImage, where + ": имя длиннее записи");
            const unsigned char* rawName = r + RecordHeader;
            if (nameLength == 1 && (rawName[0] == 0 || rawName[0] == 1))
                continue; // "." and ".."
            std::uint8_t flags = r[25];
            TRecordName named = Name(r, length, nameLength, where);
            if (named.Relocated)
                continue; // reached through the child link that stands in its old place
            std::string name = std::move(named.Name);
            if (name.empty() || name == "." || name == ".." ||
                name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos)
                Damaged(FImage, where + ": недопустимое имя «" + name + "»");
            std::uint32_t extentSize = Both32(r + 10);
            if (extentSize == std::uint32_t(-1))
                Damaged(FImage, where + ": неверный размер");
            std::uint32_t lba = Both32(r + 2);
            std::uint32_t attributeBlocks = r[1];
            if (named.ChildLink) {
                // A folder moved elsewhere for depth: its "." record tells its size.
                lba = *named.ChildLink;
                attributeBlocks = 0;
                const std::string first = Bytes(ExtentOffset(lba, Block, where + ": ссылка"), 34);
                extentSize = Both32(reinterpret_cast<const unsigned char*>(first.data()) + 10);
                if (extentSize == std::uint32_t(-1))
                    Damaged(FImage, where + ": ссылка на папку неверна");
                flags = ISO_DIRECTORY;
            }
            if (lba == std::uint32_t(-1) || lba > std::uint32_t(-1) - attributeBlocks)
                Damaged(FImage, where + ": неверный блок");
            const std::string path = folder.Path + "/" + name;
            const std::int64_t offset =
                ExtentOffset(lba + attributeBlocks, extentSize, "«" + path + "»");

            TDiscImage::TEntry& parent = FEntries[folder.Entry];
            if (!(flags & ISO_DIRECTORY) && continued != std::size_t(-1) &&
                FEntries[continued].Name == name) {
                TDiscImage::TEntry& file = FEntries[continued];
                file.Extents.emplace_back(offset, extentSize);
                file.Size += extentSize;
                if (!(flags & ISO_MULTIEXTENT))
                    continued = std::size_t(-1);
                continue;
            }
            continued = std::size_t(-1);
            if (parent.Children.count(name))
                continue; // the same name twice: the first counts
            TDiscImage::TEntry entry;
            entry.Name = name;
            entry.Time = RecordTime(reinterpret_cast<const iso9660_dir_t*>(r)->recording_time);
            const std::size_t index = FEntries.size();
            if (flags & ISO_DIRECTORY) {
                entry.Kind = TEntryKind::Folder;
                if (folder.Depth + 1 > MaxDepth)
                    Damaged(FImage, "папка «" + path + "» вложена слишком глубоко");
                if (!seen.insert(offset).second)
                    Damaged(FImage, "папка «" + path + "» ссылается на папку выше или уже " +
                                        "прочитанную (петля)");
                pending.push_back({index, offset, extentSize, folder.Depth + 1, path});
            } else {
                entry.Kind = TEntryKind::File;
                entry.Size = extentSize;
                entry.Extents.emplace_back(offset, extentSize);
                if (flags & ISO_MULTIEXTENT)
                    continued = index;
            }
            FEntries.push_back(std::move(entry));
            FEntries[folder.Entry].Children.emplace(name, index);
        }
    }

    struct TRecordName {
        std::string Name;
        std::optional<std::uint32_t> ChildLink; // Rock Ridge CL: the folder's block
        bool Relocated = false;                 // Rock Ridge RE: a folder moved for depth
    };

    // The record's name: Rock Ridge's NM when the tree has them, the Joliet name, or the plain
    // one without its version; with Rock Ridge also whether the record stands for a relocated
    // folder or is that folder.
    TRecordName Name(const unsigned char* r, std::size_t length, std::size_t nameLength,
                     const std::string& where) {
        TRecordName named;
        const unsigned char* rawName = r + RecordHeader;
        if (FJoliet) {
            std::string name = JolietName(rawName, nameLength);
            if (name.empty())
                Damaged(FImage, where + ": имя Joliet неверно");
            named.Name = WithoutVersion(std::move(name));
            return named;
        }
        std::string plain =
            WithoutVersion(std::string(reinterpret_cast<const char*>(rawName), nameLength));
        if (!FRockRidge) {
            named.Name = std::move(plain);
            return named;
        }
        std::string area(reinterpret_cast<const char*>(r), length);
        std::size_t use = RecordHeader + nameLength + (nameLength % 2 == 0 ? 1 : 0);
        std::string alternate;
        bool haveName = false;
        for (int hops = 0; use < area.size();) {
            const auto* u = reinterpret_cast<const unsigned char*>(area.data());
            std::optional<std::pair<std::int64_t, std::int64_t>> next;
            while (use + 4 <= area.size()) {
                const std::size_t entryLength = u[use + 2];
                if (entryLength < 4 || entryLength > area.size() - use)
                    Damaged(FImage, where + ": запись Rock Ridge неверной длины");
                const unsigned char* e = u + use;
                if (e[0] == 'N' && e[1] == 'M' && entryLength >= 5) {
                    if (!(e[4] & 0x06)) { // not "." or ".."
                        alternate.append(reinterpret_cast<const char*>(e + 5), entryLength - 5);
                        haveName = true;
                    }
                } else if (e[0] == 'C' && e[1] == 'L' && entryLength >= 12) {
                    named.ChildLink = Both32(e + 4);
                    if (*named.ChildLink == std::uint32_t(-1))
                        Damaged(FImage, where + ": ссылка на папку неверна");
                } else if (e[0] == 'R' && e[1] == 'E') {
                    named.Relocated = true;
                } else if (e[0] == 'C' && e[1] == 'E' && entryLength >= 28) {
                    const std::uint32_t lba = Both32(e + 4), offset = Both32(e + 12),
                                        size = Both32(e + 20);
                    if (lba == std::uint32_t(-1) || offset == std::uint32_t(-1) ||
                        size == std::uint32_t(-1) || offset >= Block || size > Block - offset)
                        Damaged(FImage, where + ": продолжение Rock Ridge неверно");
                    next.emplace(ExtentOffset(lba, offset + size, where + ": продолжение") + offset,
                                 size);
                } else if (e[0] == 'S' && e[1] == 'T') {
                    break;
                }
                use += entryLength;
            }
            if (!next)
                break;
            if (++hops > MaxContinuations)
                Damaged(FImage, where + ": слишком много продолжений Rock Ridge");
            area = Bytes(next->first, next->second);
            use = 0;
        }
        named.Name = haveName ? alternate : plain;
        return named;
    }

    std::shared_ptr<TReadableFile> FFile;
    std::string FImage;
    std::int64_t FImageSize;
    bool FRockRidge = false;
    bool FJoliet = false;
    std::vector<TDiscImage::TEntry> FEntries;
};

class TImageFile final : public TReadableFile {
public:
    TImageFile(std::shared_ptr<const TDiscImage> image, std::shared_ptr<TReadableFile> file,
               const TDiscImage::TEntry& entry, std::string path)
        : FImage(std::move(image)), FFile(std::move(file)), FEntry(entry), FPath(std::move(path)) {}

    const std::string& Path() const override { return FPath; }
    std::int64_t Size() const override { return FEntry.Size; }

    std::size_t ReadAt(std::int64_t offset, void* buffer, std::size_t count) override {
        if (offset < 0)
            throw EStreamError("Файл «" + FPath + "»: чтение до его начала.");
        auto* out = static_cast<char*>(buffer);
        std::size_t done = 0;
        std::int64_t start = 0; // of the current extent within the file
        for (const auto& [at, size] : FEntry.Extents) {
            if (done == count)
                break;
            const std::int64_t position = offset + static_cast<std::int64_t>(done);
            if (position < start + size) {
                const std::int64_t within = position - start;
                const std::size_t want = static_cast<std::size_t>(
                    std::min<std::int64_t>(size - within, static_cast<std::int64_t>(count - done)));
                std::size_t got = 0;
                while (got < want) {
                    const std::size_t n = FFile->ReadAt(
                        at + within + static_cast<std::int64_t>(got), out + done + got, want - got);
                    if (n == 0)
                        Damaged(FFile->Path(), "файл «" + FPath + "» обрывается");
                    got += n;
                }
                done += want;
            }
            start += size;
        }
        return done;
    }

private:
    std::shared_ptr<const TDiscImage> FImage; // keeps FEntry alive
    std::shared_ptr<TReadableFile> FFile;
    const TDiscImage::TEntry& FEntry;
    std::string FPath;
};

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

} // namespace

std::shared_ptr<TDiscImage> TDiscImage::Open(const std::string& path, TFileSystem& files) {
    return Open(std::shared_ptr<TReadableFile>(files.OpenForReading(path)));
}

std::shared_ptr<TDiscImage> TDiscImage::Open(std::shared_ptr<TReadableFile> file) {
    return TImageReader(std::move(file)).Read();
}

const TDiscImage::TEntry* TDiscImage::Find(std::string_view inner) const {
    const TEntry* entry = &FEntries[0];
    std::size_t i = 0;
    while (i < inner.size()) {
        while (i < inner.size() && IsSeparator(inner[i]))
            ++i;
        std::size_t end = i;
        while (end < inner.size() && !IsSeparator(inner[end]))
            ++end;
        const std::string_view name = inner.substr(i, end - i);
        i = end;
        if (name.empty() || name == ".")
            continue;
        const auto child = entry->Children.find(name);
        if (child == entry->Children.end())
            return nullptr;
        entry = &FEntries[child->second];
    }
    return entry;
}

TFileInfo TDiscImage::Stat(std::string_view inner) const {
    const TEntry* entry = Find(inner);
    if (!entry)
        return {};
    return {entry->Kind, entry->Size, entry->Time};
}

std::optional<std::vector<std::string>> TDiscImage::List(std::string_view inner) const {
    const TEntry* entry = Find(inner);
    if (!entry || entry->Kind != TEntryKind::Folder)
        return std::nullopt;
    std::vector<std::string> names;
    names.reserve(entry->Children.size());
    for (const auto& child : entry->Children)
        names.push_back(child.first);
    return names;
}

std::unique_ptr<TReadableFile> TDiscImage::OpenForReading(std::string_view inner,
                                                          const std::string& shownPath) const {
    const TEntry* entry = Find(inner);
    if (!entry)
        throw EStreamError("Не удаётся открыть файл «" + shownPath +
                           "»: нет такого файла в образе диска.");
    if (entry->Kind != TEntryKind::File)
        throw EStreamError("Не удаётся открыть файл «" + shownPath + "»: это папка.");
    return std::make_unique<TImageFile>(shared_from_this(), FFile, *entry, shownPath);
}

bool IsDiscImageFile(const std::string& path) {
    TFileSystem& files = FileSystem();
    const TFileInfo info = files.Stat(path);
    if (info.Kind != TEntryKind::File || info.Size < (ISO_PVD_SECTOR + 1) * Block)
        return false;
    try {
        const auto file = files.OpenForReading(path);
        char id[5];
        return file->ReadAt(ISO_PVD_SECTOR * Block + 1, id, sizeof id) == sizeof id &&
               std::memcmp(id, ISO_STANDARD_ID, sizeof id) == 0;
    } catch (const EStreamError&) {
        return false;
    }
}

// TImageFileSystem

std::string TImageFileSystem::Mount(const std::string& path) {
    std::string root = FBase.AbsolutePath(path);
    while (root.size() > 1 && IsSeparator(root.back()))
        root.pop_back();
    if (FImages.count(root))
        return root;
    FImages.emplace(root, TDiscImage::Open(root, FBase));
    return root;
}

bool TImageFileSystem::IsMounted(const std::string& path) {
    const TRoute route = Route(path);
    return route.Image && route.Inner.empty();
}

TImageFileSystem::TRoute TImageFileSystem::Route(const std::string& path) {
    if (FImages.empty())
        return {};
    auto match = [&](const std::string& p) -> TRoute {
        for (const auto& [root, image] : FImages)
            if (p.compare(0, root.size(), root) == 0 &&
                (p.size() == root.size() || IsSeparator(p[root.size()]))) {
                std::size_t inner = root.size();
                while (inner < p.size() && IsSeparator(p[inner]))
                    ++inner;
                return {image.get(), p.substr(inner)};
            }
        return {};
    };
    // Absolute as the mounted roots are spelled: from the root of a drive on Windows (where
    // "/" is a separator too).
    const bool absolute =
        PathSeparator == '\\'
            ? path.size() > 2 && path[1] == ':' && IsSeparator(path[2]) &&
                  path.find('/') == std::string::npos
            : !path.empty() && IsSeparator(path[0]);
    TRoute route = match(path);
    if (!route.Image &&
        (!absolute || path.find("..") != std::string::npos ||
         path.find("/.") != std::string::npos || path.find("\\.") != std::string::npos))
        route = match(FBase.AbsolutePath(path));
    return route;
}

std::unique_ptr<TReadableFile> TImageFileSystem::OpenForReading(const std::string& path) {
    const TRoute route = Route(path);
    return route.Image ? route.Image->OpenForReading(route.Inner, path)
                       : FBase.OpenForReading(path);
}

std::unique_ptr<TMappedFile> TImageFileSystem::Map(const std::string& path) {
    return Route(path).Image ? TFileSystem::Map(path) : FBase.Map(path);
}

std::string TImageFileSystem::ReadWholeFile(const std::string& path) {
    return Route(path).Image ? TFileSystem::ReadWholeFile(path) : FBase.ReadWholeFile(path);
}

TFileInfo TImageFileSystem::Stat(const std::string& path) {
    const TRoute route = Route(path);
    return route.Image ? route.Image->Stat(route.Inner) : FBase.Stat(path);
}

std::optional<std::vector<std::string>> TImageFileSystem::List(const std::string& folder) {
    const TRoute route = Route(folder);
    return route.Image ? route.Image->List(route.Inner) : FBase.List(folder);
}

void TImageFileSystem::ReadOnly(const std::string& path) {
    throw EStreamError("Не удаётся записать «" + path + "»: образ диска только для чтения.");
}

std::unique_ptr<TWritableFile> TImageFileSystem::OpenForWriting(const std::string& path) {
    if (Route(path).Image)
        ReadOnly(path);
    return FBase.OpenForWriting(path);
}

void TImageFileSystem::MakeExecutable(const std::string& path) {
    if (Route(path).Image)
        ReadOnly(path);
    FBase.MakeExecutable(path);
}

void TImageFileSystem::CreateFolder(const std::string& path) {
    const TRoute route = Route(path);
    if (route.Image) {
        if (route.Image->Stat(route.Inner).Kind == TEntryKind::Folder)
            return; // an existing folder is no failure
        ReadOnly(path);
    }
    FBase.CreateFolder(path);
}

void TImageFileSystem::Rename(const std::string& from, const std::string& to) {
    if (Route(from).Image)
        ReadOnly(from);
    if (Route(to).Image)
        ReadOnly(to);
    FBase.Rename(from, to);
}

void TImageFileSystem::Remove(const std::string& path) {
    const TRoute route = Route(path);
    if (route.Image) {
        if (route.Image->Stat(route.Inner).Kind != TEntryKind::None)
            ReadOnly(path);
        return;
    }
    FBase.Remove(path);
}

std::string TImageFileSystem::CanonicalPath(const std::string& path) {
    const TRoute route = Route(path);
    if (!route.Image)
        return FBase.CanonicalPath(path);
    const std::string image = FBase.CanonicalPath(route.Image->Path());
    return route.Inner.empty() ? image : JoinPath(image, route.Inner);
}

TImageFileSystem& DiscImages() {
    static TImageFileSystem images(SystemFileSystem());
    return images;
}

std::string MountDiscImage(const std::string& path) {
    TImageFileSystem& images = DiscImages();
    const std::string root = images.Mount(path);
    static std::optional<TFileSystemScope> inPlace;
    if (!inPlace && &FileSystem() == &SystemFileSystem())
        inPlace.emplace(images);
    return root;
}

std::string DiscRootPath(const std::string& discArgument) {
    if (DiscImages().IsMounted(discArgument))
        return MountDiscImage(discArgument);
    // A file is read as an image, and named when it is none; a folder is the disc itself.
    return FileSystem().Stat(discArgument).Kind == TEntryKind::File ? MountDiscImage(discArgument)
                                                                    : discArgument;
}

namespace {

// The copies of files inside images, in a folder of the system's temporary folder removed at
// exit.
class TMediaCache {
public:
    std::string CopyOf(const std::string& path) {
        const auto known = FCopies.find(path);
        if (known != FCopies.end())
            return known->second;
        // A folder per copy keeps the file's own name, whose extension tells its kind.
        const std::string copy = JoinPath(FFolder.NewFolder(), FileNameOf(path));
        const std::unique_ptr<TReadableFile> in = DiscImages().OpenForReading(path);
        const std::unique_ptr<TWritableFile> out = SystemFileSystem().OpenForWriting(copy);
        std::string buffer(1 << 20, '\0');
        std::int64_t offset = 0;
        for (std::size_t n; (n = in->ReadAt(offset, buffer.data(), buffer.size())) > 0;) {
            out->Append(std::string_view(buffer.data(), n));
            offset += static_cast<std::int64_t>(n);
        }
        out->Close();
        FCopies.emplace(path, copy);
        return copy;
    }

private:
    TRunFolder FFolder{"quarto-media"};
    std::map<std::string, std::string> FCopies; // path inside an image -> copy
};

} // namespace

std::string RealFilePath(const std::string& path) {
    TImageFileSystem& images = DiscImages();
    if (path.empty() || !images.Holds(path))
        return path;
    static TMediaCache cache;
    return cache.CopyOf(path);
}

} // namespace quarto
