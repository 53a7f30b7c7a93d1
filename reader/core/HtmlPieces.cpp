#include "HtmlPieces.h"

#include "common/AsciiText.h"
#include "reader/core/HtmlMarkup.h"

#include <algorithm>

namespace quarto {

namespace {

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (std::string_view n : names)
        if (name == n)
            return true;
    return false;
}

// Elements a piece opens again when it begins inside them.
bool IsCarried(std::string_view name) {
    return OneOf(name, {"body", "font", "b",      "i",          "u",  "em",  "strong", "span",
                        "sup",  "sub",  "big",    "small",      "tt", "s",   "strike", "code",
                        "pre",  "div",  "center", "blockquote", "a",  "nobr"});
}

// Elements inside which the page is never cut.
bool IsUncuttable(std::string_view name) {
    return OneOf(name, {"head", "title", "style", "script", "table", "ul", "ol", "dl", "menu",
                        "dir", "select", "textarea", "object", "map", "iframe"});
}

// Elements whose content is text up to their closing tag.
bool IsRawText(std::string_view name) {
    return OneOf(name, {"script", "style", "title", "textarea"});
}

// Elements that begin a block of their own, before which a cut may fall.
bool StartsBlock(std::string_view name) {
    return OneOf(name,
                 {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "pre", "center", "blockquote"});
}

// The body opened again with its style only: its colours and background picture belong to the
// document, which the first piece has set.
std::string ReopenedBody(std::string_view tag) {
    const THtmlToken token = [&] {
        THtmlToken t;
        THtmlTokenizer(tag).Next(t);
        return t;
    }();
    THtmlAttribute style;
    if (!FindAttribute(tag, token, "style", style) || !style.HasValue)
        return "<body>";
    return "<body " + std::string(tag.substr(style.Begin, style.End - style.Begin)) + ">";
}

struct TOpenElement {
    std::string Name;
    std::string Tag;
};

class TSplitter {
public:
    TSplitter(std::string_view html, std::size_t firstBytes, std::size_t pieceBytes)
        : FHtml(html), FPieceBytes(pieceBytes) {
        FPieces.push_back({THtmlPiece::First, 0, html.size(), std::string()});
        FTarget = firstBytes;
    }

    std::vector<THtmlPiece> Run() {
        const std::size_t n = FHtml.size();
        THtmlTokenizer tokens(FHtml);
        THtmlToken token;
        std::size_t i = 0; // where the text after the last markup begins
        for (;;) {
            // Text and character references run on up to the next markup.
            bool more;
            do
                more = tokens.Next(token);
            while (more &&
                   (token.Kind == THtmlTokenKind::Text || token.Kind == THtmlTokenKind::Reference));
            const std::size_t lt = more ? token.Begin : n;
            if (FUncuttable == 0 && lt > FTarget) {
                if (IsOpen("pre"))
                    CutInPreformatted(std::max(i, FTarget), lt);
                else
                    CutInText(std::max(i, FTarget), lt);
            }
            if (!more)
                break;
            i = Tag(token, tokens);
        }
        return std::move(FPieces);
    }

private:
    bool IsOpen(std::string_view name) const {
        for (const TOpenElement& e : FOpen)
            if (e.Name == name)
                return true;
        return false;
    }

    // Ends the piece at end and begins the next one at begin (after blanks that show in
    // neither).
    void Cut(std::size_t end, std::size_t begin, THtmlPiece::TKind kind) {
        if (end <= FPieces.back().Begin || begin >= FHtml.size())
            return;
        FPieces.back().End = end;
        std::string reopen;
        // A paragraph goes on only in running text; a block begins a new one.
        for (const TOpenElement& e : FOpen)
            if (e.Name == "body")
                reopen += ReopenedBody(e.Tag);
            else if (kind == THtmlPiece::Text || e.Name != "p")
                reopen += e.Tag;
        FPieces.push_back({kind, begin, FHtml.size(), std::move(reopen)});
        FTarget = begin + FPieceBytes;
    }

    // Cuts after line ends in [from, to) of preformatted text, one piece's length apart.
    void CutInPreformatted(std::size_t from, std::size_t to) {
        while (from < to) {
            const std::size_t nl = FHtml.find('\n', from);
            if (nl == std::string_view::npos || nl + 1 >= to)
                return;
            // Not before an empty line: Qt drops a line end right after an opening tag.
            const char next = FHtml[nl + 1];
            if (next != '\n' && next != '\r')
                Cut(nl + 1, nl + 1, THtmlPiece::Preformatted);
            from = std::max(nl + 1, FTarget);
        }
    }

    // Cuts after blanks in [from, to) of running text, one piece's length apart: the text
    // after the cut goes on in the same block.
    void CutInText(std::size_t from, std::size_t to) {
        for (std::size_t k = from; k + 1 < to; ++k)
            if (IsLineSpace(FHtml[k]) && !IsLineSpace(FHtml[k + 1])) {
                Cut(k + 1, k + 1, THtmlPiece::Text);
                k = std::max(k, FTarget - 1);
            }
    }

    // Handles the markup token; returns where the text after it begins.
    std::size_t Tag(const THtmlToken& token, THtmlTokenizer& tokens) {
        const std::size_t lt = token.Begin;
        const std::size_t end = token.End;
        if (token.Kind != THtmlTokenKind::StartTag && token.Kind != THtmlTokenKind::EndTag)
            return end; // a comment, "<!DOCTYPE", "<?..."
        const std::string name = AsciiLowered(token.Name);
        if (token.Kind == THtmlTokenKind::EndTag) {
            Close(name);
            return end;
        }
        if (FUncuttable == 0 && !IsOpen("pre") && StartsBlock(name) && lt > FTarget) {
            // Blanks between a closed block and this one show in neither block; in a
            // paragraph left open they end its text.
            std::size_t at = lt;
            if (!IsOpen("p")) {
                while (at > FPieces.back().Begin && IsLineSpace(FHtml[at - 1]))
                    --at;
                if (at > 0 && FHtml[at - 1] != '>')
                    at = lt;
            }
            Cut(at, lt, THtmlPiece::Block);
        }
        // A block closes the paragraph open before it.
        if (StartsBlock(name) || IsUncuttable(name))
            std::erase_if(FOpen, [](const TOpenElement& e) { return e.Name == "p"; });
        if (IsCarried(name) || name == "p")
            FOpen.push_back({name, std::string(FHtml.substr(lt, end - lt))});
        else if (IsUncuttable(name))
            ++FUncuttable;
        if (IsRawText(name) && end < FHtml.size())
            return tokens.SkipRawText(name);
        return end;
    }

    void Close(const std::string& name) {
        if (IsUncuttable(name)) {
            if (FUncuttable > 0)
                --FUncuttable;
            return;
        }
        for (auto it = FOpen.rbegin(); it != FOpen.rend(); ++it)
            if (it->Name == name) {
                FOpen.erase(std::next(it).base());
                return;
            }
    }

    const std::string_view FHtml;
    const std::size_t FPieceBytes;
    std::size_t FTarget = 0;
    std::vector<TOpenElement> FOpen;
    int FUncuttable = 0;
    std::vector<THtmlPiece> FPieces;
};

} // namespace

std::vector<THtmlPiece> SplitHtml(std::string_view html, std::size_t firstBytes,
                                  std::size_t pieceBytes) {
    return TSplitter(html, firstBytes, pieceBytes).Run();
}

std::string PieceMarkup(std::string_view html, const THtmlPiece& piece) {
    std::string markup = piece.Reopen;
    markup += html.substr(piece.Begin, piece.End - piece.Begin);
    return markup;
}

} // namespace quarto
