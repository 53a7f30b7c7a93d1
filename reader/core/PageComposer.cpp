#include "PageComposer.h"

#include "common/Cp1251.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"
#include "common/Utf8.h"
#include "reader/core/HtmlMarkup.h"
#include "reader/search/StringUnit.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace quarto {

std::string ComposePage(std::string_view templateBytes, std::string_view baseFolder,
                        std::string_view body, std::string_view picture, std::string_view colour) {
    // On POSIX the folder after "file:///" is written without its leading "/".
    if (!baseFolder.empty() && baseFolder.front() == '/')
        baseFolder.remove_prefix(1);
    std::string page;
    // Room for the search marks that may be inserted before the page is parsed.
    page.reserve(templateBytes.size() + baseFolder.size() + picture.size() + body.size() +
                 body.size() / 4 + 128);
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

std::string ReadPageTemplate(const std::string& appFolder, bool utf) {
    return ReadWholeFile(ResolvedOrGiven(PageTemplatePath(appFolder, utf)));
}

std::string ComposeArticlePage(const std::string& appFolder, const std::string& bookFolder,
                               bool utf, std::string_view body) {
    return ComposePage(ReadPageTemplate(appFolder, utf), PageBaseFolder(bookFolder), body,
                       ArticlePicturePath(appFolder), ArticleTextColour);
}

namespace {

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const TUtf8Char c = DecodeUtf8At(text, i);
        if (!c.Valid)
            return false;
        i += c.Length;
    }
    return true;
}

} // namespace

std::string PreformattedText(std::string_view bytes) {
    std::string_view text = bytes;
    std::string converted;
    if (IsUtf8(text)) {
        if (text.substr(0, 3) == "\xEF\xBB\xBF")
            text.remove_prefix(3);
    } else {
        converted = Cp1251ToUtf8(text);
        text = converted;
    }
    // Kept as written, long lines broken at the view's edge.
    std::string body = "<PRE STYLE=\"white-space: pre-wrap\">";
    body.reserve(text.size() + text.size() / 8 + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '&':
            body += "&amp;";
            break;
        case '<':
            body += "&lt;";
            break;
        case '>':
            body += "&gt;";
            break;
        case '\r':
            if (i + 1 == text.size() || text[i + 1] != '\n')
                body += '\n';
            break;
        default:
            if (static_cast<unsigned char>(c) >= 32 || c == '\t' || c == '\n')
                body += c;
            break;
        }
    }
    body += "</PRE>\n";
    return body;
}

TPageCharset DeclaredCharset(std::string_view source) {
    const std::string lower =
        LowerCase1251(source.substr(0, std::min<std::size_t>(source.size(), 16384)));
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

// Marks word (lower case) in source. hay is what is searched: the source itself for code page
// 1251, whose bytes table lower-cases one by one, or a lower-cased copy for UTF-8 (with an
// identity table). found is a scratch list kept between words.
void MarkWord(std::string& source, const std::string& hay, const char* table,
              const std::string& word, std::vector<std::size_t>& found) {
    const std::size_t n = source.size();
    const std::size_t m = word.size();
    const char first = word[0];
    found.clear();
    // Occurrences lie in the page's text: each within one text token.
    THtmlTokenizer tokens(source);
    THtmlToken token;
    while (tokens.Next(token)) {
        if (token.Kind != THtmlTokenKind::Text)
            continue;
        std::size_t i = token.Begin;
        while (i + m <= token.End) {
            if (table[static_cast<unsigned char>(hay[i])] != first) {
                ++i;
                continue;
            }
            std::size_t k = 1;
            while (k < m && table[static_cast<unsigned char>(hay[i + k])] == word[k])
                ++k;
            if (k < m) {
                ++i;
                continue;
            }
            found.push_back(i);
            i += m;
        }
    }
    if (found.empty())
        return;
    // Insert the marks in place, from the last occurrence back to the first, so that every
    // byte moves once.
    const std::size_t grow = found.size() * (MarkBegin.size() + MarkEnd.size());
    source.resize(n + grow);
    char* data = source.data();
    std::size_t srcEnd = n;
    std::size_t dstEnd = n + grow;
    for (std::size_t j = found.size(); j-- > 0;) {
        const std::size_t pos = found[j];
        const std::size_t tail = srcEnd - (pos + m);
        dstEnd -= tail;
        std::memmove(data + dstEnd, data + pos + m, tail);
        dstEnd -= MarkEnd.size();
        std::memcpy(data + dstEnd, MarkEnd.data(), MarkEnd.size());
        dstEnd -= m;
        std::memmove(data + dstEnd, data + pos, m);
        dstEnd -= MarkBegin.size();
        std::memcpy(data + dstEnd, MarkBegin.data(), MarkBegin.size());
        srcEnd = pos;
    }
}

const char* IdentityTable() {
    static const auto table = [] {
        std::array<char, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[static_cast<std::size_t>(b)] = static_cast<char>(b);
        return t;
    }();
    return table.data();
}

} // namespace

void MarkWords(std::string& source, std::string_view words, TPageCharset charset) {
    std::vector<std::string> list;
    SplitWords(LowerCase1251(words), list);
    std::string lower;
    std::vector<std::size_t> found;
    for (std::string& word : list) {
        // A prefix searched as "word*" is marked wherever its letters stand, as any word is.
        if (!word.empty() && word.back() == '*')
            word.pop_back();
        if (word.size() < 3)
            continue;
        if (charset == TPageCharset::Utf8) {
            lower = LowerCaseUtf8(source);
            MarkWord(source, lower, IdentityTable(), Cp1251ToUtf8(word), found);
        } else {
            MarkWord(source, source, LowerCaseTable1251(), word, found);
        }
    }
}

void RewritePageSource(std::string& source, bool br, const std::string& highlightWords,
                       bool& highlightOn) {
    if (br)
        RewriteLineBreaks(source);
    if (highlightOn) {
        MarkWords(source, highlightWords, DeclaredCharset(source));
        highlightOn = false;
    }
}

} // namespace quarto
