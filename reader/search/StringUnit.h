// Helpers over integer lists and word lists used by the search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reader/search/rsDyntyp.h"

namespace quarto {

// b when b > a, else a.
std::int32_t LargerOf(std::int32_t a, std::int32_t b);

// Replaces the contents of list with the words of text. Only the space (code 32) separates
// words: other codes 0..32 between two non-blank characters stay inside a word. Codes 0..32
// are trimmed from both ends of every word but the last. The last entry is what follows the
// last space, trimmed at the front only, and is added even when empty, so the list is never
// empty: "" and "   " give {""}, "a  b" gives {"a", "b"}, "a b " gives {"a", "b", ""}.
void SplitWords(std::string_view text, std::vector<std::string>& list);

// Sorts the items lo..hi (0-based, inclusive) of list ascending in place: quicksort with Hoare
// partitioning around the middle item. Nothing happens when hi <= lo. Every read and write goes
// through Get and Put, so a range reaching outside the list throws EDynArrayTypeAccessError.
// Callers sort a whole list with lo = 0 and hi = Count() - 1.
void SortIntegers(TrsDynLongint& list, std::int32_t lo, std::int32_t hi);

} // namespace quarto
