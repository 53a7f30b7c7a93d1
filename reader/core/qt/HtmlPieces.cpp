#include "HtmlPieces.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <array>

namespace quarto {

namespace {

bool IsLetter(char c) {
    const char u = static_cast<char>(c | 0x20);
    return u >= 'a' && u <= 'z';
}

bool IsNameChar(char c) {
    return IsLetter(c) || (c >= '0' && c <= '9');
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (std::string_view n : names)
        if (name == n)
            return true;
    return false;
}

std::string Lowered(std::string_view name) {
    std::string lowered(name);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c | 0x20);
    return lowered;
}

// The position of needle in text at or after from, ignoring the letter case of ASCII.
std::size_t FindIgnoringCase(std::string_view text, std::string_view needle, std::size_t from) {
    for (std::size_t at = text.find('<', from); at != std::string_view::npos;
         at = text.find('<', at + 1))
        if (at + needle.size() <= text.size() &&
            Lowered(text.substr(at, needle.size())) == needle)
            return at;
    return std::string_view::npos;
}

// Elements a piece opens again when it begins inside them.
bool IsCarried(std::string_view name) {
    return OneOf(name, {"body", "font", "b", "i", "u", "em", "strong", "span", "sup", "sub", "big",
                        "small", "tt", "s", "strike", "code", "pre", "div", "center",
                        "blockquote", "a", "nobr"});
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
    return OneOf(name, {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "pre", "center",
                        "blockquote"});
}

// The body opened again with its style only: its colours and background picture belong to the
// document, which the first piece has set.
std::string ReopenedBody(std::string_view tag) {
    static const QRegularExpression style(
        QStringLiteral("\\bstyle\\s*=\\s*(\"[^\"]*\"|'[^']*'|[^\\s>]+)"),
        QRegularExpression::CaseInsensitiveOption);
    // Latin-1 keeps every byte as it is.
    const QRegularExpressionMatch m =
        style.match(QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size())));
    return m.hasMatch() ? "<body " + m.captured(0).toLatin1().toStdString() + ">" : "<body>";
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
        std::size_t i = 0;
        while (i < n) {
            std::size_t lt = FHtml.find('<', i);
            if (lt == std::string_view::npos)
                lt = n;
            if (FUncuttable == 0 && lt > FTarget) {
                if (IsOpen("pre"))
                    CutInPreformatted(std::max(i, FTarget), lt);
                else
                    CutInText(std::max(i, FTarget), lt);
            }
            if (lt >= n)
                break;
            i = Tag(lt);
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
            if (IsBlank(FHtml[k]) && !IsBlank(FHtml[k + 1])) {
                Cut(k + 1, k + 1, THtmlPiece::Text);
                k = std::max(k, FTarget - 1);
            }
    }

    // Handles the markup that starts at lt; returns where the text after it begins.
    std::size_t Tag(std::size_t lt) {
        const std::size_t n = FHtml.size();
        if (FHtml.substr(lt, 4) == "<!--") {
            const std::size_t close = FHtml.find("-->", lt + 4);
            return close == std::string_view::npos ? n : close + 3;
        }
        const std::size_t gt = FHtml.find('>', lt + 1);
        const std::size_t end = gt == std::string_view::npos ? n : gt + 1;
        const bool closing = lt + 1 < n && FHtml[lt + 1] == '/';
        std::size_t k = lt + (closing ? 2 : 1);
        if (k >= n || !IsLetter(FHtml[k]))
            return end; // "<!DOCTYPE", "<?...", or text Qt shows as it is
        const std::size_t nameBegin = k;
        while (k < n && IsNameChar(FHtml[k]))
            ++k;
        const std::string name = Lowered(FHtml.substr(nameBegin, k - nameBegin));
        if (closing) {
            Close(name);
            return end;
        }
        if (FUncuttable == 0 && !IsOpen("pre") && StartsBlock(name) && lt > FTarget) {
            // Blanks between a closed block and this one show in neither block; in a
            // paragraph left open they end its text.
            std::size_t at = lt;
            if (!IsOpen("p")) {
                while (at > FPieces.back().Begin && IsBlank(FHtml[at - 1]))
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
        if (IsRawText(name) && end < n) {
            const std::size_t close = FindIgnoringCase(FHtml, "</" + name, end);
            return close == std::string_view::npos ? n : close;
        }
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

void AppendHtmlPiece(QTextDocument& doc, const QString& markup, THtmlPiece::TKind kind) {
    QTextDocument part;
    part.setDefaultStyleSheet(doc.defaultStyleSheet());
    part.setHtml(markup);
    if (part.isEmpty())
        return;
    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::End);
    if (kind == THtmlPiece::Text) {
        cursor.insertFragment(QTextDocumentFragment(&part));
        return;
    }
    // The piece's first block keeps the format it has in the piece: it goes into a block of
    // that format at the end of the document (the empty last block a line end in preformatted
    // text leaves there, or a new one), since a fragment's first block takes the format of the
    // block it is inserted in.
    const QTextBlock first = part.begin();
    QTextBlockFormat format = first.blockFormat();
    if (kind == THtmlPiece::Preformatted)
        format.setTopMargin(0); // the block goes on
    if (cursor.block().length() > 1) {
        cursor.insertBlock(format, first.charFormat());
    } else {
        cursor.setBlockFormat(format);
        cursor.setBlockCharFormat(first.charFormat());
    }
    cursor.insertFragment(QTextDocumentFragment(&part));
}

} // namespace quarto
