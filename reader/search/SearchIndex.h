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

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

namespace SearchIndexFormat {
inline constexpr const char* VocabularyFile = "Voc.txt";
inline constexpr const char* StartsFile = "Pos.rec";
inline constexpr const char* PostingsFile = "FileIndex.rec";
inline constexpr const char* PositionsFile = "InnerBase.dat";
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

class TMappedFile;

// The index of one edition.
class TSearchIndex {
public:
    // bookFolder is the edition's folder; nothing is read yet.
    explicit TSearchIndex(std::string bookFolder);
    ~TSearchIndex();
    TSearchIndex(const TSearchIndex&) = delete;
    TSearchIndex& operator=(const TSearchIndex&) = delete;

    // Reads "Voc.txt" again, replacing the vocabulary held. Throws ESearchIndexError when the
    // file is missing or cannot be read.
    void LoadVocabulary();
    std::int32_t VocabularySize() const { return static_cast<std::int32_t>(FLines.size()); }
    std::string_view VocabularyLine(std::int32_t index) const {
        return FLines[static_cast<std::size_t>(index)];
    }

    // The indices of the vocabulary lines word matches, ascending. A word ending in "*" is a
    // prefix (the rest of it, lower-cased, must begin the line byte for byte; a lone "*"
    // matches nothing); any other word is lower-cased (code page 1251) and equals a line when
    // they are the same ignoring the case of Latin letters only.
    void MatchVocabulary(std::string_view word, std::vector<std::int32_t>& out) const;

    // Opens "Pos.rec" and "FileIndex.rec" for reading postings, checking that "Pos.rec" has a
    // record for every vocabulary line. Closed by ClosePostings or the destructor.
    void OpenPostings();
    void ClosePostings();
    // Appends the article numbers of vocabulary entry index, in file order, to out. Throws
    // ESearchIndexError when the entry's start lies outside "FileIndex.rec" or an article
    // number is not below articleCount (the number of contents entries).
    void ReadPostings(std::int32_t index, std::int32_t articleCount,
                      std::vector<std::int32_t>& out);

    // Opens "InnerBase.dat" for reading article records. Closed by ClosePositions or the
    // destructor.
    void OpenPositions();
    void ClosePositions();
    // Article a's entries, in file order.
    TArticlePositions ReadArticlePositions(std::int32_t article) const;
    // The positions of the wanted words in article: slotOf maps a vocabulary index to its slot
    // (-1, or an index beyond slotOf, for words not wanted); result[slot] holds the positions of
    // the first entry of the record that carries a word of that slot (empty when none does).
    // Stops reading the record once every slot is filled.
    std::vector<std::vector<std::int32_t>>
    ReadWordPositions(std::int32_t article, const std::vector<std::int32_t>& slotOf,
                      std::size_t slots) const;

    std::string PathOf(const char* fileName) const;

private:
    std::string FFolder;
    std::string FVocabularyText;
    std::vector<std::string_view> FLines;
    std::unique_ptr<TFileStream> FStarts;
    std::unique_ptr<TFileStream> FPostings;
    std::int64_t FPostingCount = 0;
    std::unique_ptr<TMappedFile> FPositions;
};

} // namespace quarto
