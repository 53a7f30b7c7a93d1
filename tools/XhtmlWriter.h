// The pages of an edition as well-formed XHTML for the exports: the tolerant HTML the editions
// were written in (upper-case tags, unquoted attributes, paragraphs and list items left open,
// font and centre elements, named character references) becomes markup an XML reader and an
// EPUB checker accept. Elements XHTML lacks become their nearest modern form (font and centre
// become spans and divisions with a style; alignment, widths and colours become styles), what
// has no place is dropped with its text kept, and the nesting is mended: a block closes the
// paragraph before it, inline formatting open across a block is opened again inside it, list
// items and table cells get the list or row they need.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quarto {

struct TXhtmlRewrite {
    // The target of a link as written in the page → the target to write, or nothing to drop
    // the link and keep its text. Without a function links are kept as written.
    std::function<std::optional<std::string>(std::string_view href)> Link;
    // The source of a picture as written → the source to write, or nothing to drop the picture
    // (its alternative text stays). Without a function pictures are dropped.
    std::function<std::optional<std::string>(std::string_view src)> Image;
};

// The body of a page (UTF-8; a whole document's head is skipped) as XHTML body content, in
// UTF-8. Bytes that are not UTF-8 become U+FFFD; characters XML cannot hold are dropped.
std::string ToXhtmlBody(std::string_view html, const TXhtmlRewrite& rewrite = {});

// An anchor name of a page as an identifier XML accepts (a letter first, then letters, digits,
// "-", "_" and "."; others become "_"): the same for the anchor and the links to it.
std::string AnchorIdOf(std::string_view name);

// text with "&", "<", ">" and '"' escaped for XML.
std::string XmlEscape(std::string_view text);
// XmlEscape undone: "&amp;", "&lt;", "&gt;" and "&quot;" made characters again.
std::string XmlUnescape(std::string_view text);
// text with every byte sequence that is not UTF-8 made U+FFFD and the characters XML 1.0 does
// not allow removed.
std::string XmlSafeUtf8(std::string_view text);

} // namespace quarto
