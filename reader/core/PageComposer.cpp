#include "PageComposer.h"

#include "common/Cp1251.h"
#include "common/PathLookup.h"
#include "common/RecordFile.h"
#include "reader/search/StringUnit.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace quarto {

std::string PageTemplatePath(const std::string& appFolder, bool utf) {
    return JoinPath(JoinPath(appFolder, "Base"), utf ? "Back_UTF.htm" : "Back.htm");
}

std::string ArticlePicturePath(const std::string& appFolder) {
    return JoinPath(JoinPath(appFolder, "Skins"), "text.bmp");
}

std::string PageBaseFolder(const std::string& bookFolder) {
    return JoinPath(JoinPath(bookFolder, "Base"), "");
}

std::string ComposePage(std::string_view templateBytes, std::string_view baseFolder,
                        std::string_view body, std::string_view picture, std::string_view colour) {
    // On POSIX the folder after "file:///" is written without its leading "/".
    if (!baseFolder.empty() && baseFolder.front() == '/')
        baseFolder.remove_prefix(1);
    std::string page;
    page.reserve(templateBytes.size() + baseFolder.size() + picture.size() + body.size() + 128);
    page += templateBytes;
    page += "<BASE HREF=\"file:///";
    page += baseFolder;
    page += "\">";
    page += "</HEAD>";
    page += "<BODY";
    page += " BGCOLOR=#E7DDD3 TEXT=\"#";
    page += colour;
    page += "\" background=\"";
    page += picture;
    page += "\"";
    page += ">";
    page += body;
    // The closing text starts one byte before the end.
    page.pop_back();
    page += "</BODY></HTML>";
    return page;
}

std::string ComposeArticlePage(const std::string& appFolder, const std::string& bookFolder,
                               bool utf, std::string_view body) {
    const std::string templatePath = PageTemplatePath(appFolder, utf);
    const std::string resolved = ResolvePath(templatePath);
    const std::string templateBytes = ReadWholeFile(resolved.empty() ? templatePath : resolved);
    return ComposePage(templateBytes, PageBaseFolder(bookFolder), body,
                       ArticlePicturePath(appFolder), ArticleTextColour);
}

TPageCharset DeclaredCharset(std::string_view source) {
    const std::string lower = LowerCase1251(source.substr(0, std::min<std::size_t>(source.size(), 16384)));
    const std::size_t bodyStart = lower.find("<body");
    const std::size_t at = lower.find("charset=");
    if (at == std::string::npos || (bodyStart != std::string::npos && at > bodyStart))
        return TPageCharset::Cp1251;
    std::size_t i = at + 8;
    while (i < lower.size() && (lower[i] == '"' || lower[i] == '\'' || lower[i] == ' '))
        ++i;
    const std::string_view value = std::string_view(lower).substr(i, 5);
    return value.substr(0, 5) == "utf-8" || value.substr(0, 4) == "utf8" ? TPageCharset::Utf8
                                                                          : TPageCharset::Cp1251;
}

void RewriteLineBreaks(std::string& source) {
    const std::size_t n = source.size();
    for (std::size_t i = 0; i + 3 < n; ++i) {
        if (source[i] == '<' && (source[i + 1] | 0x20) == 'b' && (source[i + 2] | 0x20) == 'r' &&
            source[i + 3] == '>') {
            source[i + 1] = 'Z';
            source[i + 2] = 'Z';
        }
    }
}

namespace {

bool IsReferenceChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
}

// For every byte of source, the position of the first byte at or after it that belongs to
// markup (a tag from "<" to the next ">", or a character reference "&name;"), or the size
// of the source when none does.
std::vector<std::uint32_t> NextMarkup(const std::string& source) {
    const std::size_t n = source.size();
    std::vector<bool> markup(n, false);
    for (std::size_t i = 0; i < n;) {
        if (source[i] == '<') {
            std::size_t close = source.find('>', i + 1);
            if (close == std::string::npos)
                close = n - 1;
            std::fill(markup.begin() + static_cast<std::ptrdiff_t>(i),
                      markup.begin() + static_cast<std::ptrdiff_t>(close + 1), true);
            i = close + 1;
        } else if (source[i] == '&') {
            std::size_t j = i + 1;
            while (j < n && IsReferenceChar(source[j]))
                ++j;
            if (j > i + 1 && j < n && source[j] == ';') {
                std::fill(markup.begin() + static_cast<std::ptrdiff_t>(i),
                          markup.begin() + static_cast<std::ptrdiff_t>(j + 1), true);
                i = j + 1;
            } else {
                ++i; // a lone "&" is text
            }
        } else {
            ++i;
        }
    }
    std::vector<std::uint32_t> next(n + 1);
    next[n] = static_cast<std::uint32_t>(n);
    for (std::size_t i = n; i-- > 0;)
        next[i] = markup[i] ? static_cast<std::uint32_t>(i) : next[i + 1];
    return next;
}

void MarkWord(std::string& source, const std::string& word, TPageCharset charset) {
    const std::string lower =
        charset == TPageCharset::Utf8 ? LowerCaseUtf8(source) : LowerCase1251(source);
    const std::vector<std::uint32_t> next = NextMarkup(source);
    const std::boyer_moore_horspool_searcher searcher(word.begin(), word.end());
    std::string result;
    std::size_t copied = 0; // bytes of source already in result
    auto from = lower.begin();
    while (true) {
        const auto found = std::search(from, lower.end(), searcher);
        if (found == lower.end())
            break;
        const auto pos = static_cast<std::size_t>(found - lower.begin());
        const std::size_t end = pos + word.size();
        if (next[pos] < end) { // touches markup: try one byte further
            from = found + 1;
            continue;
        }
        if (result.empty())
            result.reserve(source.size() + source.size() / 16);
        result.append(source, copied, pos - copied);
        result += MarkBegin;
        result.append(source, pos, word.size());
        result += MarkEnd;
        copied = end;
        from = lower.begin() + static_cast<std::ptrdiff_t>(end);
    }
    if (copied == 0)
        return;
    result.append(source, copied, std::string::npos);
    source = std::move(result);
}

} // namespace

void MarkWords(std::string& source, std::string_view words, TPageCharset charset) {
    std::vector<std::string> list;
    SplitWords(LowerCase1251(words), list);
    for (const std::string& word : list) {
        if (word.size() < 3)
            continue;
        MarkWord(source, charset == TPageCharset::Utf8 ? Cp1251ToUtf8(word) : word, charset);
    }
}

void RewritePageSource(std::string& source, bool br, THighlight& highlight) {
    if (br)
        RewriteLineBreaks(source);
    if (highlight.On) {
        MarkWords(source, highlight.Words, DeclaredCharset(source));
        highlight.On = false;
    }
}

} // namespace quarto
