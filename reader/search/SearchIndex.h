// The word index of an edition, four files in its folder:
//
//   "Voc.txt"        the vocabulary: code page 1251 text, one entry per line (CR LF, lone CR or
//                    LF), the entry index is the 0-based line number; lines are lower case
//   "Pos.rec"        int32 little-endian per vocabulary line: the index, in "FileIndex.rec"
//                    records, of the entry's first article number; the entry's articles run
//                    to the next entry's start - 1 (the last entry's to the end of the file)
//   "FileIndex.rec"  uint16 little-endian article numbers, grouped by vocabulary entry
//   "InnerBase.dat"  int32 little-endian: bytes 0..3 not read; at 4 * (a + 1) the offset of
//                    article a's record; a record is E, then E entries of n followed by n
//                    values: a vocabulary index and the n - 1 word positions of that word in
//                    the article (positions count words: neighbours differ by 1)
//
// An article number is the number of a contents entry. Every count, start and offset read
// from the files is checked before it is used: damaged or inconsistent files throw
// ESearchIndexError naming the file.
#pragma once

#include "common/ByteStream.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quarto {

namespace SearchIndexFormat {
inline constexpr const char* VocabularyFile = Layout::VocabularyFile;
inline constexpr const char* StartsFile = Layout::StartsFile;
inline constexpr const char* PostingsFile = Layout::PostingsFile;
inline constexpr const char* PositionsFile = Layout::PositionsFile;
inline constexpr std::size_t StartSize = 4;
inline constexpr std::size_t PostingSize = 2;
inline constexpr std::int32_t MaxArticles = 65536; // article numbers are 16-bit
} // namespace SearchIndexFormat

// An index file that is missing, damaged or does not agree with the others; the message names
// the file and says what is wrong.
class ESearchIndexError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The entries of one article record: each is [vocabulary index, positions...].
using TArticlePositions = std::vector<std::vector<std::int32_t>>;

// The index of one edition. The reader keeps one for the edition shown: the vocabulary and the
// mapped files stay loaded between searches and are read again only when the files change.
class TSearchIndex {
public:
    // bookFolder is the edition's folder; nothing is read yet.
    explicit TSearchIndex(std::string bookFolder);
    ~TSearchIndex();
    TSearchIndex(const TSearchIndex&) = delete;
    TSearchIndex& operator=(const TSearchIndex&) = delete;

    const std::string& BookFolder() const { return FFolder; }

    // Makes the vocabulary that of "Voc.txt" as it is now: read again when the file changed
    // since it was last read (or was never read). Throws ESearchIndexError when the file is
    // missing or cannot be read.
    void LoadVocabulary();
    std::int32_t VocabularySize() const { return static_cast<std::int32_t>(FLines.size()); }
    std::string_view VocabularyLine(std::int32_t index) const;

    // The indices of the vocabulary lines word matches, ascending. A word ending in "*" is a
    // prefix (the rest of it, lower-cased, must begin the line byte for byte; a lone "*"
    // matches nothing); any other word is lower-cased (code page 1251) and equals a line when
    // they are the same ignoring the case of Latin letters only.
    void MatchVocabulary(std::string_view word, std::vector<std::int32_t>& out) const;

    // Makes "Pos.rec" and "FileIndex.rec" ready for reading postings, checking that "Pos.rec"
    // has a record for every vocabulary line. They stay open until the files change or the
    // index is destroyed.
    void OpenPostings();
    // Appends the article numbers of vocabulary entry index, in file order, to out. Throws
    // ESearchIndexError when the entry's start lies outside "FileIndex.rec" or an article
    // number is not below articleCount (the number of contents entries).
    void ReadPostings(std::int32_t index, std::int32_t articleCount,
                      std::vector<std::int32_t>& out) const;

    // Makes "InnerBase.dat" ready for reading article records.
    void OpenPositions();
    // Article a's entries, in file order.
    TArticlePositions ReadArticlePositions(std::int32_t article) const;
    // The positions of the wanted words in article: wanted lists (vocabulary index, slot) pairs
    // sorted by vocabulary index; result[slot] holds the positions of the first entry of the
    // record that carries a word of that slot (empty when none does). Stops reading the record
    // once every slot is filled.
    std::vector<std::vector<std::int32_t>>
    ReadWordPositions(std::int32_t article,
                      const std::vector<std::pair<std::int32_t, std::int32_t>>& wanted,
                      std::size_t slots) const;

    std::string PathOf(const char* fileName) const;

private:
    std::unique_ptr<TMappedFile> Map(const char* fileName, TFileStamp& stamp) const;
    void BuildLookup();

    std::string FFolder;
    TFileStamp FVocabularyStamp;
    std::string FVocabularyText;
    std::vector<std::string_view> FLines;
    std::vector<std::uint32_t> FBuckets; // exact lookup: line index + 1 by hash, 0 empty
    std::unique_ptr<TMappedFile> FStarts, FPostings, FPositions;
    TFileStamp FStartsStamp, FPostingsStamp, FPositionsStamp;
};

} // namespace quarto
