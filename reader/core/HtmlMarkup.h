// Page markup read byte by byte: one tokenizer for every part that looks at a page's tags
// before the view parses it (the rewriting for the view, the piece splitter, the search
// marking). Pages are bytes in code page 1251 or UTF-8; only ASCII characters decide anything,
// so the other bytes are text or values as they stand. Tokens are byte ranges of the page:
// nothing is copied.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quarto {

enum class THtmlTokenKind {
    Text,        // a run of text, up to the next markup (a "<" or "&" starting none is text)
    StartTag,    // "<" and an ASCII letter
    EndTag,      // "</" and an ASCII letter
    Comment,     // "<!--" up to the first "-->" after it
    Declaration, // "<!...>", "<?...>", and "</" followed by no letter
    Reference,   // "&", ASCII letters, digits or "#", and ";"
};

struct THtmlToken {
    THtmlTokenKind Kind = THtmlTokenKind::Text;
    std::size_t Begin = 0;
    std::size_t End = 0;       // one past the token's last byte
    std::string_view Name;     // a tag's name as written (its ASCII letters and digits)
    bool SelfClosing = false;  // a start tag ending in "/>"
    bool Unterminated = false; // the input ends before the token's end (no ">", no "-->")
};

// The tokens of html from the start (or from), one after another. Where tags end:
// - a start tag at the first ">" that stands outside an attribute value (values in quotes may
//   hold ">"), as the view reads it;
// - an end tag at the first ">", or before a "<" that follows its name and blanks (the ">" was
//   lost: "</PRE</BODY>");
// - a comment after the first "-->" that follows "<!--" ("<!---->" is whole, "<!-->" is not);
//   a declaration at the first ">";
// - each at the end of the input when nothing ends it there (Unterminated).
class THtmlTokenizer {
public:
    explicit THtmlTokenizer(std::string_view html, std::size_t from = 0);

    // The next token; false at the end of the input.
    bool Next(THtmlToken& token);
    // Where the next token begins.
    std::size_t Position() const { return FAt; }
    // Takes what follows as one text token up to the next "</name" (ASCII case ignored; the
    // end of the input when there is none): the content of a script, a style or a title.
    // Returns where that text ends.
    std::size_t SkipRawText(std::string_view name);

private:
    std::size_t TextEnd(std::size_t from) const;

    std::string_view FHtml;
    std::size_t FAt = 0;
    std::size_t FRawEnd = std::string_view::npos; // the end of raw text taken next
};

struct THtmlAttribute {
    std::string_view Name;
    std::string_view Value; // without its quotes; empty without a value
    std::size_t Begin = 0;  // the name's first byte
    std::size_t End = 0;    // one past the value (its closing quote included)
    bool HasValue = false;
    char Quote = '\0'; // '"' or '\'' for a quoted value
};

// The attributes of a start tag token of html, one after another. Blanks and "/" separate
// them; a name runs to a blank, "/", ">" or "="; a value follows "=" (blanks around it are
// allowed) and is quoted with '"' or '\'' or runs to a blank or ">".
class THtmlAttributes {
public:
    THtmlAttributes(std::string_view html, const THtmlToken& tag);
    bool Next(THtmlAttribute& attribute);

private:
    std::string_view FHtml;
    std::size_t FAt;
    std::size_t FEnd;
};

// A start tag token's attribute named name (ASCII case ignored); false when it has none.
bool FindAttribute(std::string_view html, const THtmlToken& tag, std::string_view name,
                   THtmlAttribute& attribute);

// What the page markup needs before the view's parser reads it, in one pass: a "<" that starts
// no tag (one not followed by a letter, "/", "!" or "?": "a < b", "x<3") becomes "&lt;"; a
// closing tag that lost its ">" right before the next tag ("</PRE</BODY>") is closed; the
// body's TEXT colour, which the view does not read, becomes its style (the first "text=" of
// the body tag before its first ">", as a word: <BODY TEXT="#000080"> is
// <BODY style="color:#000080">). Comments and everything else stay byte for byte.
std::string RewriteForQt(std::string_view html);

} // namespace quarto
