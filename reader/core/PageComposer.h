// Article pages: the page the reader composes around an article body, and the rewriting
// applied to every page source before the view parses it (line breaks, search marks).
#pragma once

#include "common/EditionLayout.h"

#include <string>
#include <string_view>

namespace quarto {

// Background picture and text colour of article pages.
inline constexpr std::string_view ArticleTextColour = "000000";
// Marks put around each occurrence of a search word.
inline constexpr std::string_view MarkBegin = "<FONT color=\"RED\"><U>";
inline constexpr std::string_view MarkEnd = "</U></FONT>";

// The page, byte for byte: the template, the head text
//   <BASE HREF="file:///BASE"></HEAD><BODY BGCOLOR=#E7DDD3 TEXT="#COLOUR" background="PICTURE">
// (BASE is baseFolder without a leading "/"), the body, and "</BODY></HTML>" written over the
// last byte before it (the body's last byte, or the ">" ending the head for an empty body).
std::string ComposePage(std::string_view templateBytes, std::string_view baseFolder,
                        std::string_view body, std::string_view picture, std::string_view colour);

// The bytes of the page template of appFolder (UTF-8 template for utf); throws EStreamError
// naming the file when it cannot be read.
std::string ReadPageTemplate(const std::string& appFolder, bool utf);
// Composes an article page of an edition with its template from appFolder;
// throws EStreamError when the template cannot be read.
std::string ComposeArticlePage(const std::string& appFolder, const std::string& bookFolder,
                               bool utf, std::string_view body);

// The body of a page showing a text file: a PRE element whose lines break at the view's edge
// (white-space: pre-wrap) holding the text as UTF-8, and a line feed (the byte ComposePage
// writes over). bytes are read as UTF-8 when they are valid UTF-8 (a
// byte-order mark left out), else as code page 1251; every character stands for itself ("&",
// "<" and ">" written as references, so that nothing of the text is read as markup); line ends
// CR LF and CR become LF, and the control characters other than tab and LF are left out.
std::string PreformattedText(std::string_view bytes);

enum class TPageCharset { Cp1251, Utf8 };
// The charset a page declares in a "charset=" of its head; code page 1251 when none is
// declared or the declared one is not UTF-8.
TPageCharset DeclaredCharset(std::string_view source);

// Makes every "<br>" (any letter case, exactly these four characters) a tag named ZZ, which
// the view ignores, so that the page loses its forced line breaks.
void RewriteLineBreaks(std::string& source);

// Marks each search word of words (1251, separated by spaces; words shorter than three
// characters are skipped; a trailing "*" of a prefix is dropped first) in source: every occurrence,
// ignoring letter case, that lies entirely in one text token of the page (outside tags,
// comments and character references, as THtmlTokenizer reads them), taken from left to right
// without overlapping, is put between MarkBegin and MarkEnd
// with its own letter case. Words are marked one after another; the marks are tags, so they are
// never marked again. The source is in charset; UTF-8 sources are matched character for character
// too.
void MarkWords(std::string& source, std::string_view words, TPageCharset charset);

// The rewriting of a page source before it is parsed: the line breaks when br is on, then,
// when highlightOn is set, the marks of highlightWords (1251, separated by spaces), after
// which highlightOn is cleared: only the first page parsed after a search is marked.
void RewritePageSource(std::string& source, bool br, const std::string& highlightWords,
                       bool& highlightOn);

} // namespace quarto
