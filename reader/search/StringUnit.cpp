#include "StringUnit.h"

#include "common/AsciiText.h"

namespace quarto {

namespace {

std::string_view TrimFront(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view TrimBack(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::int32_t LargerOf(std::int32_t a, std::int32_t b) {
    return b > a ? b : a;
}

void SplitWords(std::string_view text, std::vector<std::string>& list) {
    list.clear();
    // Works as cutting one word at a time off the front of a copy of the text, with rest as
    // a view of what is left, so long texts are not copied again for every word.
    std::string_view rest = text;
    for (;;) {
        rest = TrimFront(rest);
        const auto space = rest.find(' ');
        // After the trim the rest starts with a non-blank, so a space found here always ends a
        // non-empty word; without a space the cut gives an empty word and the loop ends.
        if (space == std::string_view::npos)
            break;
        list.emplace_back(TrimBack(rest.substr(0, space)));
        rest.remove_prefix(space + 1);
    }
    list.emplace_back(rest);
}

void SortIntegers(TrsDynLongint& list, std::int32_t lo, std::int32_t hi) {
    // The two parts left by a partition are disjoint, so the order in which they are sorted
    // does not change the result: the smaller part is sorted by recursion and the larger one
    // by the next turn of the loop, which keeps the stack depth within log2 of the range.
    while (hi > lo) {
        std::int32_t i = lo;
        std::int32_t j = hi;
        // The middle with the sum taken in 64 bits; / truncates toward zero.
        const std::int32_t pivot =
            list.Get(static_cast<std::int32_t>((static_cast<std::int64_t>(lo) + hi) / 2));
        do {
            while (list.Get(i) < pivot)
                ++i;
            while (list.Get(j) > pivot)
                --j;
            if (i <= j) {
                const std::int32_t value = list.Get(i);
                list.Put(i, list.Get(j));
                list.Put(j, value);
                ++i;
                --j;
            }
        } while (i <= j);

        if (j - lo < hi - i) {
            SortIntegers(list, lo, j);
            lo = i;
        } else {
            SortIntegers(list, i, hi);
            hi = j;
        }
    }
}

} // namespace quarto
