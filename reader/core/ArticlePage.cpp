#include "ArticlePage.h"

#include "ArticleStore.h"
#include "PageComposer.h"

namespace quarto {

TComposedPage ComposeBookPage(const std::string& appFolder, const Tbook& book,
                              std::string_view body, std::string_view picture,
                              std::string_view colour) {
    TComposedPage page;
    const std::string templateBytes = ReadPageTemplate(appFolder, book.UTF);
    page.BaseFolder = PageBaseFolder(book.BookFolder);
    page.Source = ComposePage(templateBytes, page.BaseFolder, body, picture, colour);
    return page;
}

TComposedPage ComposeBookPage(const std::string& appFolder, const Tbook& book,
                              std::string_view body) {
    return ComposeBookPage(appFolder, book, body, ArticlePicturePath(appFolder), ArticleTextColour);
}

TComposedPage ComposeTextFilePage(const std::string& appFolder, std::string_view bytes,
                                  const std::string& baseFolder) {
    TComposedPage page;
    page.BaseFolder = baseFolder;
    page.Source =
        ComposePage(ReadPageTemplate(appFolder, true), page.BaseFolder, PreformattedText(bytes),
                    ArticlePicturePath(appFolder), ArticleTextColour);
    return page;
}

void RewriteBookPage(const Tbook& book, std::string& source, const std::string& highlightWords,
                     bool& highlightOn) {
    RewritePageSource(source, book.BR, highlightWords, highlightOn);
}

std::string ArticlePage(const std::string& appFolder, const Tbook& book,
                        const std::vector<TContentsRec>& list, int article,
                        const std::string& highlightWords, bool highlightOn) {
    const std::string body = ReadArticle(book.BookFolder, list, article);
    std::string page = ComposeBookPage(appFolder, book, body).Source;
    RewriteBookPage(book, page, highlightWords, highlightOn);
    return page;
}

} // namespace quarto
