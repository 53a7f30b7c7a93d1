// The road of one article, the same for the window, quarto-tool and the exports: the body read
// from the text store (ReadArticle), the page composed around it on the reader's template
// (ComposeBookPage), and the rewriting of the page source before it is parsed
// (RewriteBookPage). The window runs the last step from its view's parse-begin event, which it
// raises for every page it loads; ArticlePage runs all three.
#pragma once

#include "BookCatalogue.h"
#include "ContentsFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// A composed page and the folder its relative references resolve against.
struct TComposedPage {
    std::string Source;
    std::string BaseFolder;
};

// The page of body for book, on the template of appFolder (ending with a separator), with the
// background picture and text colour given; throws EStreamError when the template cannot be
// read.
TComposedPage ComposeBookPage(const std::string& appFolder, const Tbook& book,
                              std::string_view body, std::string_view picture,
                              std::string_view colour);
// ... with the article background and text colour.
TComposedPage ComposeBookPage(const std::string& appFolder, const Tbook& book,
                              std::string_view body);

// The page of a text file that a page of the edition links, bytes as the file holds them:
// PreformattedText on the reader's UTF-8 template (whatever the edition's charset, so that
// every character of the text is kept), with the article background, its relative references
// resolving against baseFolder. Throws EStreamError when the template cannot be read.
TComposedPage ComposeTextFilePage(const std::string& appFolder, std::string_view bytes,
                                  const std::string& baseFolder);

// The rewriting of any page of book before it is parsed: its line breaks (option BR) and, once
// after a search, the marks of highlightWords (highlightOn is cleared then).
void RewriteBookPage(const Tbook& book, std::string& source, const std::string& highlightWords,
                     bool& highlightOn);

// The page of article as the view parses it: read, composed and rewritten, with the words
// marked when highlightOn. Throws std::out_of_range when article is not in list,
// ETextStoreOpenError when the text store cannot be opened, EFormatError when it is damaged,
// EStreamError when the template cannot be read.
std::string ArticlePage(const std::string& appFolder, const Tbook& book,
                        const std::vector<TContentsRec>& list, int article,
                        const std::string& highlightWords = {}, bool highlightOn = false);

} // namespace quarto
