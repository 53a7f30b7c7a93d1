// Evaluating a search query over an edition's index: the words typed, joined by the operator
// words "И" (and, the default) and "ИЛИ" (or), common words ignored, a trailing "*" for a
// prefix, and, when asked, only articles in which consecutive words stand side by side.
// Texts are code page 1251.
#pragma once

#include "reader/search/SearchIndex.h"
#include "reader/search/rsDyntyp.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// The 132 common words that are never searched, English then Russian (1251).
const std::vector<std::string>& StopWords();
// True when word equals a stop word ignoring letter case (1251 mapping).
bool IsStopWord(std::string_view word);
// The operator words, recognised ignoring letter case.
bool IsAndOperator(std::string_view word);
bool IsOrOperator(std::string_view word);
// True for a word of one or two characters beginning with a Cyrillic letter: never searched.
bool IsShortRussianWord(std::string_view word);

// "," "." ":" ";" become spaces, "-" a double quote; nothing else changes.
std::string NormalizeQuery(std::string_view text);
// The query's words without operators and stop words, in query order, joined by single
// spaces; the words keep their typed form (case, a trailing "*", short Russian words).
std::string QueryWords(std::string_view query);

// The list algebra of the search on integer lists.
// Sorts ascending and drops repeats.
void SortUnique(TrsDynLongint& list);
// target := target united with other, ascending, no repeats.
void UniteInto(TrsDynLongint& target, const TrsDynLongint& other);
// target := the values in both, ascending, no repeats (other is sorted and made unique too).
void IntersectInto(TrsDynLongint& target, TrsDynLongint& other);

// Evaluates query (already normalised) over index, whose vocabulary is loaded: the article
// numbers that satisfy it, ascending, no repeats. adjacent asks for the filter that keeps only
// articles in which each pair of consecutive searched words stands side by side (applied when
// at least two words were searched). articleCount is the number of contents entries: an
// article number at or above it is a damaged index. Throws ESearchIndexError.
std::vector<std::int32_t> EvaluateQuery(TSearchIndex& index, std::string_view query, bool adjacent,
                                        std::int32_t articleCount);
// Narrows hits (ascending) to the articles in which each consecutive pair of the query's
// searched words has occurrences at most one position apart.
void FilterAdjacent(TSearchIndex& index, std::string_view query, std::vector<std::int32_t>& hits);

// Searches the edition in bookFolder as the reader does: loads the vocabulary, evaluates.
std::vector<std::int32_t> SearchEdition(const std::string& bookFolder, std::string_view query,
                                        bool adjacent, std::int32_t articleCount);

} // namespace quarto
