#include "SearchIndex.h"

#include "common/Cp1251.h"
#include "common/MappedFile.h"
#include "common/PathLookup.h"
#include "common/RecordFile.h"

#include <cstring>

namespace quarto {

namespace {

using namespace SearchIndexFormat;

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

std::int32_t ReadInt32(TFileStream& file, std::int64_t position) {
    unsigned char bytes[4];
    file.Seek(position);
    if (file.Read(bytes, 4) != 4)
        throw EStreamError("Read past the end of file \"" + file.Path() + "\".");
    return GetLE32(bytes);
}

} // namespace

TSearchIndex::TSearchIndex(std::string bookFolder) : FFolder(std::move(bookFolder)) {}

TSearchIndex::~TSearchIndex() = default;

std::string TSearchIndex::PathOf(const char* fileName) const {
    const std::string path = JoinPath(FFolder, fileName);
    const std::string resolved = ResolvePath(path);
    return resolved.empty() ? path : resolved;
}

void TSearchIndex::LoadVocabulary() {
    const std::string path = PathOf(VocabularyFile);
    FLines.clear();
    FVocabularyText.clear();
    if (!FileExists(path))
        throw ESearchIndexError("The word index file \"" + path + "\" is missing.");
    try {
        FVocabularyText = ReadWholeFile(path);
    } catch (const std::exception& e) {
        throw ESearchIndexError("The word index file \"" + path + "\" cannot be read: " + e.what());
    }
    // Lines end at CR LF, a lone CR or a lone LF; a NUL ends the text; a break at the very end
    // adds no empty line.
    std::string_view text(FVocabularyText);
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    FLines.reserve(text.size() / 8 + 1);
    std::size_t start = 0;
    const std::size_t size = text.size();
    while (start < size) {
        std::size_t end = start;
        while (end < size && text[end] != '\r' && text[end] != '\n')
            ++end;
        FLines.push_back(text.substr(start, end - start));
        if (end < size && text[end] == '\r' && end + 1 < size && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

void TSearchIndex::MatchVocabulary(std::string_view word, std::vector<std::int32_t>& out) const {
    out.clear();
    const bool prefix = !word.empty() && word.back() == '*';
    if (prefix)
        word.remove_suffix(1);
    const std::string lower = LowerCase1251(word);
    const std::int32_t count = VocabularySize();
    if (prefix) {
        if (lower.empty())
            return;
        for (std::int32_t i = 0; i < count; ++i) {
            const std::string_view line = FLines[static_cast<std::size_t>(i)];
            if (line.size() >= lower.size() &&
                std::memcmp(line.data(), lower.data(), lower.size()) == 0)
                out.push_back(i);
        }
        return;
    }
    for (std::int32_t i = 0; i < count; ++i)
        if (SameAsciiCase(FLines[static_cast<std::size_t>(i)], lower))
            out.push_back(i);
}

void TSearchIndex::OpenPostings() {
    ClosePostings();
    const auto open = [this](const char* name) {
        const std::string path = PathOf(name);
        if (!FileExists(path))
            throw ESearchIndexError("The word index file \"" + path + "\" is missing.");
        return std::make_unique<TFileStream>(path, TFileStream::TMode::Read);
    };
    FStarts = open(StartsFile);
    FPostings = open(PostingsFile);
    FPostingCount = FPostings->Size() / static_cast<std::int64_t>(PostingSize);
    const std::int64_t starts = FStarts->Size() / static_cast<std::int64_t>(StartSize);
    if (starts < VocabularySize()) {
        const std::string path = FStarts->Path();
        ClosePostings();
        throw ESearchIndexError("The word index file \"" + path + "\" is damaged: it has " +
                                std::to_string(starts) + " records for " +
                                std::to_string(VocabularySize()) + " vocabulary lines.");
    }
}

void TSearchIndex::ClosePostings() {
    FStarts.reset();
    FPostings.reset();
    FPostingCount = 0;
}

void TSearchIndex::ReadPostings(std::int32_t index, std::int32_t articleCount,
                                std::vector<std::int32_t>& out) {
    if (!FStarts || !FPostings)
        throw ESearchIndexError("The word index is not open.");
    if (index < 0 || index >= VocabularySize())
        throw ESearchIndexError("Vocabulary index " + std::to_string(index) + " is out of range.");
    const auto damaged = [this](const std::string& what) {
        return ESearchIndexError("The word index file \"" + FStarts->Path() +
                                 "\" is damaged: " + what + ".");
    };
    const std::int64_t start = ReadInt32(*FStarts, static_cast<std::int64_t>(index) * 4);
    std::int64_t end = FPostingCount; // one past the last
    if (index + 1 < VocabularySize())
        end = ReadInt32(*FStarts, static_cast<std::int64_t>(index + 1) * 4);
    if (end <= start)
        return;
    if (start < 0 || start > FPostingCount)
        throw damaged("entry " + std::to_string(index) + " starts at " + std::to_string(start) +
                      ", outside the " + std::to_string(FPostingCount) + " article numbers");
    if (end > FPostingCount)
        throw damaged("entry " + std::to_string(index) + " ends at " + std::to_string(end) +
                      ", beyond the " + std::to_string(FPostingCount) + " article numbers");
    const std::size_t n = static_cast<std::size_t>(end - start);
    std::string bytes(n * PostingSize, '\0');
    FPostings->Seek(start * static_cast<std::int64_t>(PostingSize));
    if (FPostings->Read(bytes.data(), bytes.size()) != bytes.size())
        throw EStreamError("Read past the end of file \"" + FPostings->Path() + "\".");
    out.reserve(out.size() + n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t article = GetLE16(bytes.data() + i * PostingSize);
        if (article >= articleCount)
            throw ESearchIndexError("The word index file \"" + FPostings->Path() +
                                    "\" names article " + std::to_string(article) +
                                    ", which has no contents entry (the edition has " +
                                    std::to_string(articleCount) + ").");
        out.push_back(article);
    }
}

void TSearchIndex::OpenPositions() {
    ClosePositions();
    const std::string path = PathOf(PositionsFile);
    if (!FileExists(path))
        throw ESearchIndexError("The word index file \"" + path + "\" is missing.");
    FPositions = std::make_unique<TMappedFile>(path);
}

void TSearchIndex::ClosePositions() {
    FPositions.reset();
}

namespace {

// Reads an article record of "InnerBase.dat" entry by entry, checking every count and offset.
class TRecordReader {
public:
    TRecordReader(const TMappedFile& file, std::int32_t article) : FFile(file), FArticle(article) {
        if (article < 0)
            Fail("article " + std::to_string(article) + " is not an article number");
        const std::size_t slot = (static_cast<std::size_t>(article) + 1) * 4;
        if (slot + 4 > file.Size())
            Fail("it has no record offset for article " + std::to_string(article));
        const std::int64_t offset = GetLE32(file.Data() + slot);
        if (offset < 0 || static_cast<std::uint64_t>(offset) + 4 > file.Size())
            Fail("the record of article " + std::to_string(article) + " at offset " +
                 std::to_string(offset) + " lies outside the file");
        FPos = static_cast<std::size_t>(offset);
        const std::int32_t entries = Next();
        if (entries < 0 || static_cast<std::uint64_t>(entries) * 8 > file.Size() - FPos)
            Fail("the record of article " + std::to_string(article) + " claims " +
                 std::to_string(entries) + " entries");
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
            Fail("an entry of article " + std::to_string(FArticle) + " at offset " +
                 std::to_string(at) + " claims " + std::to_string(count) + " values");
        values = FFile.Data() + FPos;
        FPos += static_cast<std::size_t>(count) * 4;
        return true;
    }

private:
    std::int32_t Next() {
        if (FPos + 4 > FFile.Size())
            Fail("the record of article " + std::to_string(FArticle) + " runs past the end");
        const std::int32_t value = GetLE32(FFile.Data() + FPos);
        FPos += 4;
        return value;
    }
    [[noreturn]] void Fail(const std::string& what) const {
        throw ESearchIndexError("The word index file \"" + FFile.Path() + "\" is damaged: " + what +
                                ".");
    }

    const TMappedFile& FFile;
    std::int32_t FArticle;
    std::size_t FPos = 0;
    std::int32_t FLeft = 0;
};

} // namespace

TArticlePositions TSearchIndex::ReadArticlePositions(std::int32_t article) const {
    if (!FPositions)
        throw ESearchIndexError("The word positions are not open.");
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
TSearchIndex::ReadWordPositions(std::int32_t article, const std::vector<std::int32_t>& slotOf,
                                std::size_t slots) const {
    if (!FPositions)
        throw ESearchIndexError("The word positions are not open.");
    std::vector<std::vector<std::int32_t>> result(slots);
    std::vector<bool> found(slots, false);
    std::size_t missing = slots;
    TRecordReader reader(*FPositions, article);
    const unsigned char* values = nullptr;
    std::int32_t count = 0;
    while (missing > 0 && reader.NextEntry(values, count)) {
        const std::int32_t vocabulary = GetLE32(values);
        if (vocabulary < 0 || static_cast<std::size_t>(vocabulary) >= slotOf.size())
            continue;
        const std::int32_t slot = slotOf[static_cast<std::size_t>(vocabulary)];
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
