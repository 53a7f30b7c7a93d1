// Reading an article: its contents entry and every deeper entry after it, deciphered from
// the text store, joined and wrapped for display.
#pragma once

#include "ContentsFile.h"
#include "TextStore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarto {

struct TArticlePart {
    std::int32_t DataOffset = 0;
    std::int32_t Kind = 0;
    std::uint8_t Level = 0;
};

// Entry article and the entries after it whose level is greater than its own, up to the
// first entry at its level or above. article must be a valid index.
std::vector<TArticlePart> CollectArticleParts(const std::vector<TContentsRec>& list, int article);

// Wraps the joined plain texts as the last part asks: plain text below the top level in
// "<PRE>" ... "</PRE>", HTML and top-level plain text as they are, any other kind empty.
std::string WrapBody(const std::string& plain, const TArticlePart& lastPart);

// The article's body: each part deciphered and appended in order, the last four bytes of the
// joined text blanked with spaces after each part, then wrapped by the last part.
std::string ReadArticleBody(TTextStore& store, const std::vector<TArticlePart>& parts);

// Opens bookFolder's text store and reads article of list.
// Throws ETextStoreOpenError when the store cannot be opened, EFormatError when it is damaged.
std::string ReadArticle(const std::string& bookFolder, const std::vector<TContentsRec>& list,
                        int article);

} // namespace quarto
