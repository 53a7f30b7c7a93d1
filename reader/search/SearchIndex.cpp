#include "SearchIndex.h"

#include "common/AsciiText.h"
#include "common/Cp1251.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"

#include <algorithm>
#include <cstring>

namespace quarto {

namespace {

using namespace SearchIndexFormat;

// FNV-1a over the bytes with Latin letters folded to small ones.
std::uint32_t HashAsciiCase(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(AsciiLower(c));
        hash *= 16777619u;
    }
    return hash;
}

ESearchIndexError Damaged(const std::string& path, const std::string& what) {
    return ESearchIndexError("Файл словарного индекса «" + path + "» повреждён: " + what + ".");
}

} // namespace

TSearchIndex::TSearchIndex(std::string bookFolder) : FFolder(std::move(bookFolder)) {}

TSearchIndex::~TSearchIndex() = default;

std::string TSearchIndex::PathOf(const char* fileName) const {
    return ResolvedOrGiven(LayoutPath(FFolder, fileName));
}

std::string_view TSearchIndex::VocabularyLine(std::int32_t index) const {
    return FLines[static_cast<std::size_t>(index)];
}

void TSearchIndex::LoadVocabulary() {
    const std::string path = PathOf(VocabularyFile);
    if (!FileExists(path)) {
        FLines.clear();
        FVocabularyStamp = {};
        throw ESearchIndexError("Файл словарного индекса «" + path + "» не найден.");
    }
    const TFileStamp stamp = StampOf(path);
    if (stamp.IsFile && stamp == FVocabularyStamp)
        return;
    FLines.clear();
    FBuckets.clear();
    FVocabularyStamp = {};
    try {
        FVocabularyText = ReadWholeFile(path);
    } catch (const std::exception& e) {
        throw ESearchIndexError("Файл словарного индекса «" + path +
                                "» не удаётся прочитать: " + e.what());
    }
    // The text-list rules (CR LF, lone CR or LF; a NUL ends the text; no empty last line), cut
    // into views of the one buffer: a vocabulary has hundreds of thousands of lines.
    const char* text = FVocabularyText.data();
    std::size_t size = FVocabularyText.size();
    if (const void* nul = std::memchr(text, '\0', size))
        size = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    std::size_t start = 0;
    while (start < size) {
        std::size_t end = start;
        while (end < size && text[end] != '\r' && text[end] != '\n')
            ++end;
        FLines.emplace_back(text + start, end - start);
        if (end + 1 < size && text[end] == '\r' && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    BuildLookup();
    // The other files belong to this vocabulary: they are looked at again.
    FStarts.reset();
    FPostings.reset();
    FPositions.reset();
    FVocabularyStamp = stamp;
}

void TSearchIndex::BuildLookup() {
    std::size_t buckets = 16;
    while (buckets < FLines.size() * 2)
        buckets <<= 1;
    FBuckets.assign(buckets, 0);
    const std::size_t mask = buckets - 1;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        std::size_t b = HashAsciiCase(FLines[i]) & mask;
        while (FBuckets[b] != 0)
            b = (b + 1) & mask;
        FBuckets[b] = static_cast<std::uint32_t>(i + 1);
    }
}

void TSearchIndex::MatchVocabulary(std::string_view word, std::vector<std::int32_t>& out) const {
    out.clear();
    const bool prefix = !word.empty() && word.back() == '*';
    if (prefix)
        word.remove_suffix(1);
    const std::string lower = LowerCase1251(word);
    if (prefix) {
        if (lower.empty())
            return;
        const std::int32_t count = VocabularySize();
        for (std::int32_t i = 0; i < count; ++i) {
            const std::string_view line = FLines[static_cast<std::size_t>(i)];
            if (line.size() >= lower.size() &&
                std::memcmp(line.data(), lower.data(), lower.size()) == 0)
                out.push_back(i);
        }
        return;
    }
    if (FBuckets.empty())
        return;
    const std::size_t mask = FBuckets.size() - 1;
    for (std::size_t b = HashAsciiCase(lower) & mask; FBuckets[b] != 0; b = (b + 1) & mask) {
        const std::uint32_t line = FBuckets[b] - 1;
        if (EqualsIgnoringAsciiCase(FLines[line], lower))
            out.push_back(static_cast<std::int32_t>(line));
    }
    std::sort(out.begin(), out.end());
}

std::unique_ptr<TMappedFile> TSearchIndex::Map(const char* fileName, TFileStamp& stamp) const {
    const std::string path = PathOf(fileName);
    if (!FileExists(path))
        throw ESearchIndexError("Файл словарного индекса «" + path + "» не найден.");
    stamp = StampOf(path);
    try {
        return FileSystem().Map(path);
    } catch (const std::exception& e) {
        throw ESearchIndexError("Файл словарного индекса «" + path +
                                "» не удаётся прочитать: " + e.what());
    }
}

void TSearchIndex::OpenPostings() {
    if (!FStarts || StampOf(FStarts->Path()) != FStartsStamp)
        FStarts = Map(StartsFile, FStartsStamp);
    if (!FPostings || StampOf(FPostings->Path()) != FPostingsStamp)
        FPostings = Map(PostingsFile, FPostingsStamp);
    const std::int64_t starts = static_cast<std::int64_t>(FStarts->Size() / StartSize);
    if (starts < VocabularySize())
        throw Damaged(FStarts->Path(), "в нём " + std::to_string(starts) + " записей на " +
                                           std::to_string(VocabularySize()) + " строк словаря");
}

void TSearchIndex::ReadPostings(std::int32_t index, std::int32_t articleCount,
                                std::vector<std::int32_t>& out) const {
    if (!FStarts || !FPostings)
        throw ESearchIndexError("Словарный индекс не открыт.");
    if (index < 0 || index >= VocabularySize() ||
        static_cast<std::size_t>(index) >= FStarts->Size() / StartSize)
        throw ESearchIndexError("Номер строки словаря " + std::to_string(index) + " вне словаря.");
    const std::int64_t count = static_cast<std::int64_t>(FPostings->Size() / PostingSize);
    const unsigned char* starts = FStarts->Data();
    const std::int64_t start = GetLE32(starts + static_cast<std::size_t>(index) * StartSize);
    std::int64_t end = count; // one past the last
    if (index + 1 < VocabularySize())
        end = GetLE32(starts + static_cast<std::size_t>(index + 1) * StartSize);
    if (end <= start)
        return;
    if (start < 0 || start > count)
        throw Damaged(FStarts->Path(), "слово " + std::to_string(index) + " начинается с " +
                                           std::to_string(start) + ", вне " +
                                           std::to_string(count) + " номеров статей");
    if (end > count)
        throw Damaged(FStarts->Path(), "слово " + std::to_string(index) + " кончается на " +
                                           std::to_string(end) + ", за " + std::to_string(count) +
                                           " номерами статей");
    const unsigned char* values = FPostings->Data() + static_cast<std::size_t>(start) * PostingSize;
    const auto n = static_cast<std::size_t>(end - start);
    out.reserve(out.size() + n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t article = GetLE16(values + i * PostingSize);
        if (article >= articleCount)
            throw ESearchIndexError("Файл словарного индекса «" + FPostings->Path() +
                                    "» называет статью " + std::to_string(article) +
                                    ", которой нет в содержании (в книге " +
                                    std::to_string(articleCount) + ").");
        out.push_back(article);
    }
}

void TSearchIndex::OpenPositions() {
    if (!FPositions || StampOf(FPositions->Path()) != FPositionsStamp)
        FPositions = Map(PositionsFile, FPositionsStamp);
}

namespace {

// Reads an article record of "InnerBase.dat" entry by entry, checking every count and offset.
class TRecordReader {
public:
    TRecordReader(const TMappedFile& file, std::int32_t article) : FFile(file), FArticle(article) {
        if (article < 0)
            Fail("статья " + std::to_string(article) + " — не номер статьи");
        const std::size_t slot = (static_cast<std::size_t>(article) + 1) * 4;
        if (slot + 4 > file.Size())
            Fail("в нём нет смещения записи статьи " + std::to_string(article));
        const std::int64_t offset = GetLE32(file.Data() + slot);
        if (offset < 0 || static_cast<std::uint64_t>(offset) + 4 > file.Size())
            Fail("запись статьи " + std::to_string(article) + " по смещению " +
                 std::to_string(offset) + " лежит за пределами файла");
        FPos = static_cast<std::size_t>(offset);
        const std::int32_t entries = Next();
        if (entries < 0 || static_cast<std::uint64_t>(entries) * 8 > file.Size() - FPos)
            Fail("запись статьи " + std::to_string(article) + " заявляет " +
                 std::to_string(entries) + " слов");
        FLeft = entries;
    }
    // The next entry's values (vocabulary index, positions...), or false after the last.
    bool NextEntry(const unsigned char*& values, std::int32_t& count) {
        if (FLeft == 0)
            return false;
        --FLeft;
        const std::size_t at = FPos;
        count = Next();
        if (count <= 0 || static_cast<std::uint64_t>(count) * 4 > FFile.Size() - FPos)
            Fail("слово статьи " + std::to_string(FArticle) + " по смещению " + std::to_string(at) +
                 " заявляет " + std::to_string(count) + " чисел");
        values = FFile.Data() + FPos;
        FPos += static_cast<std::size_t>(count) * 4;
        return true;
    }

private:
    std::int32_t Next() {
        if (FPos + 4 > FFile.Size())
            Fail("запись статьи " + std::to_string(FArticle) + " выходит за конец файла");
        const std::int32_t value = GetLE32(FFile.Data() + FPos);
        FPos += 4;
        return value;
    }
    [[noreturn]] void Fail(const std::string& what) const { throw Damaged(FFile.Path(), what); }

    const TMappedFile& FFile;
    std::int32_t FArticle;
    std::size_t FPos = 0;
    std::int32_t FLeft = 0;
};

} // namespace

TArticlePositions TSearchIndex::ReadArticlePositions(std::int32_t article) const {
    if (!FPositions)
        throw ESearchIndexError("Позиции слов не открыты.");
    TArticlePositions result;
    TRecordReader reader(*FPositions, article);
    const unsigned char* values = nullptr;
    std::int32_t count = 0;
    while (reader.NextEntry(values, count)) {
        std::vector<std::int32_t>& entry = result.emplace_back(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i)
            entry[static_cast<std::size_t>(i)] = GetLE32(values + static_cast<std::size_t>(i) * 4);
    }
    return result;
}

std::vector<std::vector<std::int32_t>>
TSearchIndex::ReadWordPositions(std::int32_t article,
                                const std::vector<std::pair<std::int32_t, std::int32_t>>& wanted,
                                std::size_t slots) const {
    if (!FPositions)
        throw ESearchIndexError("Позиции слов не открыты.");
    std::vector<std::vector<std::int32_t>> result(slots);
    std::vector<bool> found(slots, false);
    std::size_t missing = slots;
    TRecordReader reader(*FPositions, article);
    const unsigned char* values = nullptr;
    std::int32_t count = 0;
    const bool few = wanted.size() <= 8;
    while (missing > 0 && reader.NextEntry(values, count)) {
        const std::int32_t vocabulary = GetLE32(values);
        std::int32_t slot = -1;
        if (few) {
            for (const auto& [index, s] : wanted)
                if (index == vocabulary) {
                    slot = s;
                    break;
                }
        } else {
            const auto it = std::lower_bound(wanted.begin(), wanted.end(),
                                             std::make_pair(vocabulary, INT32_MIN));
            if (it != wanted.end() && it->first == vocabulary)
                slot = it->second;
        }
        if (slot < 0 || static_cast<std::size_t>(slot) >= slots ||
            found[static_cast<std::size_t>(slot)])
            continue;
        found[static_cast<std::size_t>(slot)] = true;
        --missing;
        std::vector<std::int32_t>& positions = result[static_cast<std::size_t>(slot)];
        positions.resize(static_cast<std::size_t>(count - 1));
        for (std::int32_t i = 1; i < count; ++i)
            positions[static_cast<std::size_t>(i - 1)] =
                GetLE32(values + static_cast<std::size_t>(i) * 4);
    }
    return result;
}

} // namespace quarto
