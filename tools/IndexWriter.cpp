#include "IndexWriter.h"

#include "common/AsciiText.h"
#include "common/Cp1251.h"
#include "common/RecordFile.h"
#include "reader/search/SearchIndex.h"

#include <algorithm>
#include <stdexcept>

namespace quarto {

namespace {

// Latin letters, digits and the 1251 Cyrillic letters (А..я, Ё, ё).
bool IsWordCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return IsAsciiDigit(c) || IsAsciiLetter(c) || u >= 192 || u == 168 || u == 184;
}

bool IsReferenceCharacter(char c) {
    return c == '#' || IsAsciiDigit(c) || IsAsciiLetter(c);
}

} // namespace

std::vector<std::string> IndexWords(std::string_view text) {
    std::vector<std::string> words;
    const char* lower = LowerCaseTable1251();
    std::string word;
    const auto endWord = [&] {
        if (!word.empty())
            words.push_back(std::move(word));
        word.clear();
    };
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        if (IsWordCharacter(c)) {
            word += lower[static_cast<unsigned char>(c)];
            ++i;
            continue;
        }
        if (c == '-' && !word.empty() && i + 1 < n && IsWordCharacter(text[i + 1])) {
            word += '"';
            ++i;
            continue;
        }
        endWord();
        if (c == '<') {
            // A tag, up to its ">"; a "<" that closes nothing is an ordinary character.
            const std::size_t close = text.find('>', i + 1);
            i = close == std::string_view::npos ? i + 1 : close + 1;
            continue;
        }
        if (c == '&') {
            std::size_t j = i + 1;
            while (j < n && j - i <= 32 && IsReferenceCharacter(text[j]))
                ++j;
            i = j < n && text[j] == ';' && j > i + 1 ? j + 1 : i + 1;
            continue;
        }
        ++i;
    }
    endWord();
    return words;
}

void TSearchIndexWriter::AddArticle(std::string_view text) {
    if (FArticles.size() >= static_cast<std::size_t>(SearchIndexFormat::MaxArticles))
        throw std::runtime_error("The word index can hold at most " +
                                 std::to_string(SearchIndexFormat::MaxArticles) + " articles.");
    std::vector<std::uint32_t>& ids = FArticles.emplace_back();
    for (std::string& word : IndexWords(text)) {
        const auto [it, added] = FIds.try_emplace(word, static_cast<std::uint32_t>(FWords.size()));
        if (added)
            FWords.push_back(std::move(word));
        ids.push_back(it->second);
    }
}

void TSearchIndexWriter::Write(const std::string& out) const {
    using namespace SearchIndexFormat;
    // The vocabulary in byte order; final index of every id.
    std::vector<std::uint32_t> order(FWords.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return FWords[a] < FWords[b]; });
    std::vector<std::int32_t> indexOf(FWords.size());
    std::string vocabulary;
    for (std::size_t i = 0; i < order.size(); ++i) {
        indexOf[order[i]] = static_cast<std::int32_t>(i);
        vocabulary += FWords[order[i]];
        vocabulary += "\r\n";
    }

    // Article records and the articles of every word.
    std::vector<std::vector<std::uint16_t>> postings(FWords.size());
    std::string positions(4 * (FArticles.size() + 1), '\0');
    PutLE32(positions.data(), static_cast<std::uint32_t>(FArticles.size()));
    std::vector<std::pair<std::int32_t, std::int32_t>> occurrences; // (word, position)
    for (std::size_t a = 0; a < FArticles.size(); ++a) {
        if (positions.size() > 0x7FFFFFFFu)
            throw std::runtime_error("The word positions would pass 2 GB.");
        PutLE32(positions.data() + 4 * (a + 1), static_cast<std::uint32_t>(positions.size()));
        occurrences.clear();
        const std::vector<std::uint32_t>& ids = FArticles[a];
        for (std::size_t p = 0; p < ids.size(); ++p)
            occurrences.emplace_back(indexOf[ids[p]], static_cast<std::int32_t>(p));
        std::sort(occurrences.begin(), occurrences.end());
        std::size_t entries = 0;
        const std::size_t countAt = positions.size();
        AppendLE32(positions, 0);
        for (std::size_t i = 0; i < occurrences.size();) {
            const std::int32_t word = occurrences[i].first;
            std::size_t j = i;
            while (j < occurrences.size() && occurrences[j].first == word)
                ++j;
            AppendLE32(positions, static_cast<std::uint32_t>(j - i + 1));
            AppendLE32(positions, static_cast<std::uint32_t>(word));
            for (std::size_t k = i; k < j; ++k)
                AppendLE32(positions, static_cast<std::uint32_t>(occurrences[k].second));
            postings[static_cast<std::size_t>(word)].push_back(static_cast<std::uint16_t>(a));
            ++entries;
            i = j;
        }
        PutLE32(positions.data() + countAt, static_cast<std::uint32_t>(entries));
    }

    std::string starts;
    std::string articles;
    for (const std::vector<std::uint16_t>& list : postings) {
        AppendLE32(starts, static_cast<std::uint32_t>(articles.size() / PostingSize));
        for (const std::uint16_t a : list)
            AppendLE16(articles, a);
    }
    WriteWholeFile(LayoutPath(out, VocabularyFile), vocabulary);
    WriteWholeFile(LayoutPath(out, StartsFile), starts);
    WriteWholeFile(LayoutPath(out, PostingsFile), articles);
    WriteWholeFile(LayoutPath(out, PositionsFile), positions);
}

} // namespace quarto
