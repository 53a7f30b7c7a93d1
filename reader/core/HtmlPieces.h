// Cutting a large page into pieces for the view to import one after another. Qt's HTML import
// builds a node for every element and text run of the whole page before the first character reaches
// the document, which for a page of some megabytes costs several times the page's size at once.
// Imported piece by piece, only one piece's nodes exist at a time.
//
// A page is cut only where a piece can be parsed on its own: before a paragraph, heading,
// division or preformatted block, at a line end inside a preformatted block, or after a blank
// in running text, and never inside a tag, a table, a list, a comment, a script or the head
// (tags and comments end where THtmlTokenizer ends them). Each piece after the first opens again
// the elements that are open where it begins (the body, font and style elements, a preformatted
// block), so its text keeps the look it has in the whole page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

struct THtmlPiece {
    enum TKind {
        First,        // the beginning of the page, head included
        Block,        // starts with a block of its own
        Preformatted, // continues a preformatted block at a line end
        Text,         // continues running text after a blank
    };
    TKind Kind = First;
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::string Reopen; // the opening tags of the elements open at Begin
};

// Cuts the markup html (bytes in code page 1251 or UTF-8: the cuts fall only at ASCII
// characters) into pieces of at least about pieceBytes each, the first one of about
// firstBytes; a page shorter than that is one piece.
std::vector<THtmlPiece> SplitHtml(std::string_view html, std::size_t firstBytes,
                                  std::size_t pieceBytes);

// The markup of a piece: the tags it opens again, then its part of html.
std::string PieceMarkup(std::string_view html, const THtmlPiece& piece);

} // namespace quarto
