// Page composition and the rewriting of page sources before they are parsed (line breaks,
// search marks) in both charsets, the page of a linked text file, and the classification of the
// links of a page.
#include "fuzzer_common.h"

#include "common/AsciiText.h"
#include "common/Utf8.h"
#include "reader/core/ArticlePage.h"
#include "reader/core/PageComposer.h"
#include "reader/core/PageLinks.h"

using namespace quarto;
using namespace quarto::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Parts: the body, the search words, the page template, a link target.
    const std::vector<std::string_view> parts = SplitInput(data, size, 4);
    const std::string_view body = parts[0];
    const std::string words(parts.size() > 1 ? parts[1] : std::string_view("звезда"));
    const std::string_view templateBytes =
        parts.size() > 2 ? parts[2] : std::string_view("<HTML><HEAD><TITLE></TITLE>");

    const std::string page =
        ComposePage(templateBytes, "/fuzz/Books/Key", body, "text.bmp", ArticleTextColour);
    FUZZ_CHECK(page.size() >= templateBytes.size() + body.size());

    // The marks are only added: taken out again, they leave the page.
    for (const TPageCharset charset : {TPageCharset::Cp1251, TPageCharset::Utf8}) {
        std::string marked = page;
        MarkWords(marked, words, charset);
        FUZZ_CHECK(WithoutMarks(marked, MarkBegin, MarkEnd) ==
                   WithoutMarks(page, MarkBegin, MarkEnd));
    }
    (void)DeclaredCharset(page);

    // Line breaks: the same length, no "<br>" left.
    std::string broken = page;
    RewriteLineBreaks(broken);
    FUZZ_CHECK(broken.size() == page.size());
    FUZZ_CHECK(AsciiLowered(broken).find("<br>") == std::string::npos);

    // The whole rewriting marks once only.
    bool highlightOn = true;
    std::string rewritten = page;
    RewritePageSource(rewritten, true, words, highlightOn);
    FUZZ_CHECK(!highlightOn);
    std::string again = rewritten;
    RewritePageSource(again, true, words, highlightOn);
    FUZZ_CHECK(again == rewritten);

    // A text file's page: its text is valid UTF-8 without markup of its own.
    {
        const std::string text = PreformattedText(body);
        const std::size_t open = text.find('>') + 1;
        FUZZ_CHECK(text.starts_with("<PRE") && text.ends_with("</PRE>\n"));
        const std::string_view inner = std::string_view(text).substr(open, text.size() - open - 7);
        FUZZ_CHECK(inner.find_first_of("<>") == std::string_view::npos);
        for (std::size_t i = 0; i < inner.size();) {
            const TUtf8Char c = DecodeUtf8At(inner, i);
            FUZZ_CHECK(c.Valid);
            i += c.Length;
        }
    }

    // The same road through the file layer, the template read from the reader's folder.
    {
        TMemoryScope memory;
        memory.Files.Put(PageTemplatePath("/fuzz/app/", false), templateBytes);
        memory.Files.Put(PageTemplatePath("/fuzz/app/", true), templateBytes);
        Tbook book;
        book.BookFolder = BookFolder;
        book.BR = true;
        const TComposedPage composed = ComposeBookPage("/fuzz/app/", book, body);
        FUZZ_CHECK(composed.Source.size() >= templateBytes.size() + body.size());
        bool on = true;
        std::string source = composed.Source;
        RewriteBookPage(book, source, words, on);
        FUZZ_CHECK(!on);

        if (parts.size() > 3) {
            const TPageLink link = ClassifyLink(parts[3], book);
            FUZZ_CHECK(link.Kind == LinkKindOf(parts[3]));
            const auto [file, anchor] = SplitAnchor(link.Path);
            FUZZ_CHECK(file.size() + anchor.size() <= link.Path.size());
            (void)LiesInside(file, {BookFolder, "/fuzz/app"});
            // The files a link names: no NUL byte cuts their names short.
            const std::string named = LinkedFilePath(parts[3], "/fuzz/Books/Key/Base/");
            FUZZ_CHECK(named.find('\0') == std::string::npos);
            if (link.Kind == TLinkKind::Text || link.Kind == TLinkKind::DesktopFile)
                FUZZ_CHECK(link.Path == LinkedFilePath(parts[3], PageBaseFolder(BookFolder)));
        }
    }
    return 0;
}
