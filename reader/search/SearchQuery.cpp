#include "SearchQuery.h"

#include "common/Cp1251.h"
#include "reader/search/StringUnit.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <iterator>

namespace quarto {

namespace {

std::vector<std::string> Convert(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    out.reserve(utf8.size());
    for (const char* word : utf8)
        out.push_back(Utf8ToCp1251(word));
    return out;
}

bool IsRussianLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 192 || u == 168 || u == 184;
}

// Codes 0..32 trimmed from both ends.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    SplitWords(Trim(text), words);
    return words;
}

// A set of 16-bit article numbers, for uniting many article lists at once.
class TArticleSet {
public:
    void Add(std::int32_t article) {
        if (article >= 0 && article < SearchIndexFormat::MaxArticles)
            FBits[static_cast<std::size_t>(article) >> 6] |= std::uint64_t{1} << (article & 63);
    }
    // The members, ascending.
    std::vector<std::int32_t> Members() const {
        std::vector<std::int32_t> out;
        for (std::size_t word = 0; word < FBits.size(); ++word)
            for (std::uint64_t bits = FBits[word]; bits != 0; bits &= bits - 1)
                out.push_back(static_cast<std::int32_t>(
                    word * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
        return out;
    }

private:
    std::vector<std::uint64_t> FBits =
        std::vector<std::uint64_t>(SearchIndexFormat::MaxArticles / 64);
};

// True when some value of a and some value of b (both ascending) are at most 1 apart.
bool HaveNeighbours(const std::vector<std::int32_t>& a, const std::vector<std::int32_t>& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const std::int64_t d = static_cast<std::int64_t>(a[i]) - b[j];
        if (d >= -1 && d <= 1)
            return true;
        if (d < 0)
            ++i;
        else
            ++j;
    }
    return false;
}

// Keeps the hits (ascending) in which each consecutive pair of words has occurrences at most
// one position apart; matches[k] are word k's vocabulary entries.
void KeepAdjacent(TSearchIndex& index, const std::vector<std::vector<std::int32_t>>& matches,
                  std::vector<std::int32_t>& hits) {
    if (matches.size() < 2 || hits.empty())
        return;
    index.OpenPositions();
    // Each distinct vocabulary entry of the words gets a slot; word k gathers its slots.
    std::vector<std::pair<std::int32_t, std::int32_t>> wanted; // (vocabulary index, slot)
    for (const std::vector<std::int32_t>& m : matches)
        for (const std::int32_t v : m)
            wanted.emplace_back(v, 0);
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    for (std::size_t i = 0; i < wanted.size(); ++i)
        wanted[i].second = static_cast<std::int32_t>(i);
    std::vector<std::vector<std::int32_t>> slotsOfWord(matches.size());
    for (std::size_t k = 0; k < matches.size(); ++k)
        for (const std::int32_t v : matches[k])
            slotsOfWord[k].push_back(
                std::lower_bound(wanted.begin(), wanted.end(), std::make_pair(v, 0))->second);

    std::vector<std::int32_t> kept;
    std::vector<std::int32_t> previous, current;
    for (const std::int32_t article : hits) {
        const std::vector<std::vector<std::int32_t>> positions =
            index.ReadWordPositions(article, wanted, wanted.size());
        bool passes = true;
        for (std::size_t k = 0; k < matches.size() && passes; ++k) {
            current.clear();
            for (const std::int32_t slot : slotsOfWord[k]) {
                const std::vector<std::int32_t>& p = positions[static_cast<std::size_t>(slot)];
                current.insert(current.end(), p.begin(), p.end());
            }
            if (slotsOfWord[k].size() > 1)
                std::sort(current.begin(), current.end());
            if (k >= 1 && !HaveNeighbours(previous, current))
                passes = false;
            std::swap(previous, current);
        }
        if (passes)
            kept.push_back(article);
    }
    hits = std::move(kept);
}

} // namespace

const std::vector<std::string>& StopWords() {
    static const std::vector<std::string> words = Convert({
        "a",        "an",       "am",      "as",       "at",      "and",     "are",     "be",
        "being",    "been",     "but",     "by",       "can",     "could",   "do",      "doing",
        "done",     "does",     "did",     "for",      "from",    "had",     "have",    "has",
        "he",       "here",     "how",     "in",       "is",      "it",      "its",     "may",
        "not",      "of",       "on",      "or",       "saw",     "see",     "seen",    "she",
        "so",       "that",     "the",     "them",     "then",    "there",   "these",   "they",
        "this",     "those",    "to",      "too",      "very",    "was",     "we",      "where",
        "when",     "which",    "with",    "you",      "без",     "близ",    "во",      "гг",
        "да",       "до",       "де",      "для",      "др",      "его",     "ее",      "ей",
        "ему",      "еще",      "же",      "за",       "затем",   "из",      "их",      "или",
        "как",      "когда",    "который", "которого", "которая", "которые", "которым", "которых",
        "которыми", "которому", "которое", "которой",  "котором", "которую", "ли",      "между",
        "на",       "над",      "но",      "не",       "об",      "от",      "он",      "она",
        "оно",      "то",       "по",      "под",      "перед",   "пред",    "при",     "свой",
        "свое",     "свои",     "своя",    "про",      "ради",    "что",     "через",   "чем",
        "чей",      "чего",     "сквозь",  "меж",      "кроме",   "среди",   "этот",    "тот",
        "та",       "со",       "также",   "того",
    });
    return words;
}

bool IsStopWord(std::string_view word) {
    for (const std::string& stop : StopWords())
        if (SameText1251(word, stop))
            return true;
    return false;
}

bool IsAndOperator(std::string_view word) {
    static const std::string op = Utf8ToCp1251("И");
    return SameText1251(word, op);
}

bool IsOrOperator(std::string_view word) {
    static const std::string op = Utf8ToCp1251("ИЛИ");
    return SameText1251(word, op);
}

bool IsShortRussianWord(std::string_view word) {
    return !word.empty() && word.size() <= 2 && IsRussianLetter(word.front());
}

std::string NormalizeQuery(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == ',' || c == '.' || c == ':' || c == ';')
            c = ' ';
        else if (c == '-')
            c = '"';
    }
    return out;
}

std::string QueryWords(std::string_view query) {
    std::string out;
    for (const std::string& word : Words(query)) {
        if (IsAndOperator(word) || IsOrOperator(word) || IsStopWord(word))
            continue;
        out += ' ';
        out += word;
    }
    return std::string(Trim(out));
}

void SortUnique(TrsDynLongint& list) {
    if (list.Count() == 0)
        return;
    SortIntegers(list, 0, list.Count() - 1);
    std::vector<std::int32_t> kept;
    kept.reserve(static_cast<std::size_t>(list.Count()));
    for (std::int32_t i = 0; i < list.Count(); ++i)
        if (i == 0 || list[i] != list[i - 1])
            kept.push_back(list[i]);
    TrsDynLongint result;
    result.AddValues(kept.data(), static_cast<std::int32_t>(kept.size()));
    list.Assign(result);
}

void UniteInto(TrsDynLongint& target, const TrsDynLongint& other) {
    std::vector<std::int32_t> values;
    values.reserve(static_cast<std::size_t>(other.Count()));
    for (std::int32_t i = 0; i < other.Count(); ++i)
        values.push_back(other[i]);
    target.AddValues(values.data(), static_cast<std::int32_t>(values.size()));
    SortUnique(target);
}

void IntersectInto(TrsDynLongint& target, TrsDynLongint& other) {
    SortUnique(target);
    SortUnique(other);
    std::vector<std::int32_t> both;
    std::int32_t i = 0, j = 0;
    while (i < target.Count() && j < other.Count()) {
        if (target[i] < other[j])
            ++i;
        else if (other[j] < target[i])
            ++j;
        else {
            both.push_back(target[i]);
            ++i;
            ++j;
        }
    }
    TrsDynLongint result;
    result.AddValues(both.data(), static_cast<std::int32_t>(both.size()));
    target.Assign(result);
}

std::vector<std::int32_t> EvaluateQuery(TSearchIndex& index, std::string_view query, bool adjacent,
                                        std::int32_t articleCount) {
    const std::vector<std::string> words = Words(query);
    std::vector<std::int32_t> result;                     // ascending, no repeats
    std::vector<std::vector<std::int32_t>> matchesOfWord; // of each searched word, in order
    enum class TOp { And, Or } op = TOp::Or;
    bool takeDefault = true;
    index.OpenPostings();
    std::vector<std::int32_t> postings;
    for (const std::string& word : words) {
        if (IsAndOperator(word)) {
            op = TOp::And;
            takeDefault = false;
            continue;
        }
        if (IsOrOperator(word)) {
            op = TOp::Or;
            takeDefault = false;
            continue;
        }
        if (word.empty() || IsStopWord(word) || IsShortRussianWord(word))
            continue;
        // The articles of every vocabulary entry the word matches, united.
        std::vector<std::int32_t>& matches = matchesOfWord.emplace_back();
        index.MatchVocabulary(word, matches);
        TArticleSet set;
        for (const std::int32_t m : matches) {
            postings.clear();
            index.ReadPostings(m, articleCount, postings);
            for (const std::int32_t a : postings)
                set.Add(a);
        }
        const std::vector<std::int32_t> articles = set.Members();
        if (takeDefault)
            op = TOp::And;
        takeDefault = true; // an explicit operator applies to the next word only
        if (matchesOfWord.size() == 1)
            op = TOp::Or;
        std::vector<std::int32_t> combined;
        if (op == TOp::Or)
            std::set_union(result.begin(), result.end(), articles.begin(), articles.end(),
                           std::back_inserter(combined));
        else
            std::set_intersection(result.begin(), result.end(), articles.begin(), articles.end(),
                                  std::back_inserter(combined));
        result = std::move(combined);
    }
    if (adjacent && matchesOfWord.size() > 1)
        KeepAdjacent(index, matchesOfWord, result);
    return result;
}

void FilterAdjacent(TSearchIndex& index, std::string_view query, std::vector<std::int32_t>& hits) {
    std::vector<std::string> words = Words(QueryWords(query));
    std::erase_if(words, [](const std::string& w) { return w.empty() || IsShortRussianWord(w); });
    std::vector<std::vector<std::int32_t>> matches(words.size());
    for (std::size_t k = 0; k < words.size(); ++k)
        index.MatchVocabulary(words[k], matches[k]);
    KeepAdjacent(index, matches, hits);
}

std::vector<std::int32_t> SearchEdition(const std::string& bookFolder, std::string_view query,
                                        bool adjacent, std::int32_t articleCount) {
    TSearchIndex index(bookFolder);
    index.LoadVocabulary();
    return EvaluateQuery(index, query, adjacent, articleCount);
}

} // namespace quarto
