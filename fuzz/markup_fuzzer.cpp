// The page markup: the tokenizer, the rewriting before the view parses a page, the piece
// splitter and the search marks. Parts: the page, the search words.
#include "fuzzer_common.h"

#include "common/AsciiText.h"
#include "reader/core/HtmlMarkup.h"
#include "reader/core/HtmlPieces.h"
#include "reader/core/PageComposer.h"

using namespace quarto;
using namespace quarto::fuzz;

namespace {

// The tokens cover the page one after another; a tag's attributes lie inside it. With rawText,
// the content of a script, a style, a title or a text area is read as text up to its end tag,
// as the piece splitter reads it; without, as the rewriting before the view parses reads it.
// Returns whether a body tag names a "text" anywhere (the rewriting's one known exception to
// idempotence).
bool CheckTokens(std::string_view html, std::vector<bool>& inside, bool rawText) {
    bool bodyText = false;
    inside.assign(html.size() + 1, false);
    THtmlTokenizer tokens(html);
    THtmlToken token;
    std::size_t at = 0;
    while (tokens.Next(token)) {
        FUZZ_CHECK(token.Begin == at && token.End > token.Begin && token.End <= html.size());
        if (token.Kind != THtmlTokenKind::Text && token.Kind != THtmlTokenKind::Reference)
            for (std::size_t k = token.Begin + 1; k < token.End; ++k)
                inside[k] = true;
        if (token.Kind == THtmlTokenKind::StartTag) {
            FUZZ_CHECK(!token.Name.empty());
            THtmlAttributes attributes(html, token);
            THtmlAttribute attribute;
            std::size_t after = token.Begin + 1 + token.Name.size();
            while (attributes.Next(attribute)) {
                FUZZ_CHECK(attribute.Begin >= after && attribute.End > attribute.Begin &&
                           attribute.End <= token.End && !attribute.Name.empty());
                after = attribute.End;
            }
            if (EqualsIgnoringAsciiCase(token.Name, "body") &&
                AsciiLowered(html.substr(token.Begin, token.End - token.Begin)).find("text") !=
                    std::string::npos)
                bodyText = true;
            // The content of a script, a style, a title or a text area is text up to its end
            // tag, as HTML reads it: a "<!--" or a "<" there begins nothing.
            for (const std::string_view raw : {"script", "style", "title", "textarea"})
                if (rawText && EqualsIgnoringAsciiCase(token.Name, raw) &&
                    token.End < html.size()) {
                    tokens.SkipRawText(raw);
                    break;
                }
        }
        at = token.End;
    }
    FUZZ_CHECK(at == html.size());
    return bodyText;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = SplitInput(data, size, 2);
    const std::string_view page = parts[0];
    const std::string words(parts.size() > 1 ? parts[1] : std::string_view("star звезда"));

    std::vector<bool> inside;
    const bool bodyText = CheckTokens(page, inside, false);

    // Rewriting a rewritten page changes nothing, but for the body's TEXT: a second "text="
    // in the body tag, or a quote the first rewriting took away, is rewritten again.
    const std::string forQt = RewriteForQt(page);
    CheckTokens(forQt, inside, false);
    if (!bodyText)
        FUZZ_CHECK(RewriteForQt(forQt) == forQt);

    // The pieces join back to the page, with only blanks between them, and never begin inside
    // a tag or a comment.
    for (const std::string_view html : {std::string_view(forQt), page}) {
        CheckTokens(html, inside, true);
        const std::vector<THtmlPiece> pieces = SplitHtml(html, 16, 16);
        FUZZ_CHECK(!pieces.empty() && pieces.front().Begin == 0 &&
                   pieces.back().End == html.size());
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            FUZZ_CHECK(pieces[i].Begin <= pieces[i].End);
            if (i == 0)
                continue;
            FUZZ_CHECK(pieces[i - 1].End <= pieces[i].Begin && !inside[pieces[i].Begin]);
            for (std::size_t k = pieces[i - 1].End; k < pieces[i].Begin; ++k)
                FUZZ_CHECK(IsLineSpace(html[k]));
            (void)PieceMarkup(html, pieces[i]);
        }
    }

    // Taking the marks out of a marked page gives the page.
    for (const TPageCharset charset : {TPageCharset::Cp1251, TPageCharset::Utf8}) {
        std::string marked(page);
        MarkWords(marked, words, charset);
        FUZZ_CHECK(WithoutMarks(marked, MarkBegin, MarkEnd) ==
                   WithoutMarks(std::string(page), MarkBegin, MarkEnd));
    }
    return 0;
}
