#include "HtmlMarkup.h"

#include "common/AsciiText.h"

#include <algorithm>

namespace quarto {

namespace {

bool IsNameChar(char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c);
}

bool IsReferenceChar(char c) {
    return IsNameChar(c) || c == '#';
}

// The end of a character reference starting at the "&" at at, or at when none starts there.
std::size_t ReferenceEnd(std::string_view html, std::size_t at) {
    std::size_t k = at + 1;
    while (k < html.size() && IsReferenceChar(html[k]))
        ++k;
    return k > at + 1 && k < html.size() && html[k] == ';' ? k + 1 : at;
}

// Whether markup (a tag, a comment, a declaration) starts at the "<" at at.
bool StartsMarkup(std::string_view html, std::size_t at) {
    if (at + 1 >= html.size())
        return false;
    const char next = html[at + 1];
    return IsAsciiLetter(next) || next == '/' || next == '!' || next == '?';
}

// The attribute whose name begins at k (not a blank, "/" or ">"), in a tag whose bytes end at
// n: its name, then perhaps "=" and a value, quoted or running to a blank or ">". Returns where
// it ends; a quote that n comes before closes nothing (unclosed), and the value runs to n.
std::size_t ReadAttribute(std::string_view html, std::size_t k, std::size_t n,
                          THtmlAttribute& attribute, bool& unclosed) {
    attribute = THtmlAttribute();
    unclosed = false;
    attribute.Begin = k;
    ++k;
    while (k < n && !IsHtmlSpace(html[k]) && html[k] != '/' && html[k] != '>' && html[k] != '=')
        ++k;
    attribute.Name = html.substr(attribute.Begin, k - attribute.Begin);
    attribute.End = k;
    std::size_t v = k;
    while (v < n && IsHtmlSpace(html[v]))
        ++v;
    if (v >= n || html[v] != '=')
        return k;
    ++v;
    while (v < n && IsHtmlSpace(html[v]))
        ++v;
    attribute.HasValue = true;
    if (v < n && (html[v] == '"' || html[v] == '\'')) {
        attribute.Quote = html[v];
        const std::size_t close = html.substr(0, n).find(html[v], v + 1);
        unclosed = close == std::string_view::npos;
        const std::size_t valueEnd = unclosed ? n : close;
        attribute.Value = html.substr(v + 1, valueEnd - v - 1);
        k = unclosed ? n : valueEnd + 1;
    } else {
        const std::size_t valueBegin = v;
        while (v < n && !IsHtmlSpace(html[v]) && html[v] != '>')
            ++v;
        attribute.Value = html.substr(valueBegin, v - valueBegin);
        k = v;
    }
    attribute.End = k;
    return k;
}

// The end of a start tag whose attributes begin at k: after the first ">" outside a value;
// npos when the input ends first.
std::size_t StartTagEnd(std::string_view html, std::size_t k, bool& selfClosing) {
    const std::size_t n = html.size();
    selfClosing = false;
    while (k < n) {
        const char c = html[k];
        if (c == '>')
            return k + 1;
        if (IsHtmlSpace(c)) {
            ++k;
            continue;
        }
        if (c == '/') {
            selfClosing = k + 1 < n && html[k + 1] == '>';
            ++k;
            continue;
        }
        THtmlAttribute attribute;
        bool unclosed;
        k = ReadAttribute(html, k, n, attribute, unclosed);
        if (unclosed)
            return std::string_view::npos;
    }
    return std::string_view::npos;
}

} // namespace

THtmlTokenizer::THtmlTokenizer(std::string_view html, std::size_t from)
    : FHtml(html), FAt(from < html.size() ? from : html.size()) {}

std::size_t THtmlTokenizer::TextEnd(std::size_t from) const {
    const std::size_t n = FHtml.size();
    for (std::size_t k = from; k < n; ++k) {
        const char c = FHtml[k];
        if (c == '<' && StartsMarkup(FHtml, k))
            return k;
        if (c == '&' && ReferenceEnd(FHtml, k) != k)
            return k;
    }
    return n;
}

bool THtmlTokenizer::Next(THtmlToken& token) {
    const std::string_view html = FHtml;
    const std::size_t n = html.size();
    const std::size_t at = FAt;
    if (at >= n)
        return false;
    token = THtmlToken();
    token.Begin = at;
    const std::size_t rawEnd = FRawEnd;
    FRawEnd = std::string_view::npos;
    if (rawEnd != std::string_view::npos && rawEnd > at) {
        token.End = FAt = rawEnd;
        return true;
    }
    const char c = html[at];
    if (c == '&') {
        const std::size_t end = ReferenceEnd(html, at);
        if (end != at) {
            token.Kind = THtmlTokenKind::Reference;
            token.Name = html.substr(at + 1, end - at - 2);
            token.End = FAt = end;
            return true;
        }
    } else if (c == '<' && StartsMarkup(html, at)) {
        const char next = html[at + 1];
        if (html.substr(at, 4) == "<!--") {
            token.Kind = THtmlTokenKind::Comment;
            const std::size_t close = html.find("-->", at + 4);
            token.Unterminated = close == std::string_view::npos;
            token.End = FAt = token.Unterminated ? n : close + 3;
            return true;
        }
        const bool closing = next == '/';
        const std::size_t nameBegin = at + (closing ? 2 : 1);
        if (nameBegin < n && IsAsciiLetter(html[nameBegin])) {
            std::size_t k = nameBegin;
            while (k < n && IsNameChar(html[k]))
                ++k;
            token.Name = html.substr(nameBegin, k - nameBegin);
            std::size_t end;
            if (closing) {
                token.Kind = THtmlTokenKind::EndTag;
                std::size_t after = k;
                while (after < n && IsCSpace(html[after]))
                    ++after;
                if (after < n && html[after] == '<') {
                    token.Unterminated = true; // the ">" was lost before the next tag
                    token.End = FAt = after;
                    return true;
                }
                const std::size_t gt = html.find('>', k);
                end = gt == std::string_view::npos ? gt : gt + 1;
            } else {
                token.Kind = THtmlTokenKind::StartTag;
                end = StartTagEnd(html, k, token.SelfClosing);
            }
            token.Unterminated = end == std::string_view::npos;
            token.End = FAt = token.Unterminated ? n : end;
            return true;
        }
        token.Kind = THtmlTokenKind::Declaration;
        const std::size_t gt = html.find('>', at + 1);
        token.Unterminated = gt == std::string_view::npos;
        token.End = FAt = token.Unterminated ? n : gt + 1;
        return true;
    }
    // Text: a "<" or "&" that starts no markup belongs to it.
    token.Kind = THtmlTokenKind::Text;
    token.End = FAt = TextEnd(at + 1);
    return true;
}

std::size_t THtmlTokenizer::SkipRawText(std::string_view name) {
    const std::size_t n = FHtml.size();
    for (std::size_t at = FHtml.find('<', FAt); at != std::string_view::npos;
         at = FHtml.find('<', at + 1))
        if (at + 2 + name.size() <= n && FHtml[at + 1] == '/' &&
            EqualsIgnoringAsciiCase(FHtml.substr(at + 2, name.size()), name)) {
            return FRawEnd = at;
        }
    return FRawEnd = n;
}

THtmlAttributes::THtmlAttributes(std::string_view html, const THtmlToken& tag)
    : FHtml(html), FAt(tag.Begin + 1 + tag.Name.size()), FEnd(tag.End) {
    if (tag.Kind != THtmlTokenKind::StartTag)
        FAt = FEnd;
}

bool THtmlAttributes::Next(THtmlAttribute& attribute) {
    std::size_t k = FAt;
    while (k < FEnd && (IsHtmlSpace(FHtml[k]) || FHtml[k] == '/'))
        ++k;
    if (k >= FEnd || FHtml[k] == '>') {
        FAt = FEnd;
        return false;
    }
    bool unclosed;
    FAt = ReadAttribute(FHtml, k, FEnd, attribute, unclosed);
    return true;
}

bool FindAttribute(std::string_view html, const THtmlToken& tag, std::string_view name,
                   THtmlAttribute& attribute) {
    THtmlAttributes attributes(html, tag);
    while (attributes.Next(attribute))
        if (EqualsIgnoringAsciiCase(attribute.Name, name))
            return true;
    return false;
}

namespace {

// The page rewriting's reading of a body tag keeps the rules it has always had, those of a
// regular expression over the tag read as Latin-1 with Unicode properties: its words are
// letters, digits and "_" of Latin-1, its blanks C's and NEL and the no-break space.
bool IsWordByte(unsigned char b) {
    if (b < 0x80)
        return IsNameChar(static_cast<char>(b)) || b == '_';
    return b == 0xAA || b == 0xB2 || b == 0xB3 || b == 0xB5 || b == 0xB9 || b == 0xBA ||
           (b >= 0xBC && b <= 0xBE) || (b >= 0xC0 && b != 0xD7 && b != 0xF7);
}

bool IsWordAt(std::string_view text, std::size_t at) {
    return at < text.size() && IsWordByte(static_cast<unsigned char>(text[at]));
}

bool IsPatternSpace(char c) {
    return IsCSpace(c) || c == '\x85' || c == '\xA0';
}

// tag (a start tag "<body...", up to its end) with its first TEXT colour as its style.
std::string BodyTextAsStyle(std::string_view tag) {
    // "<body" must end as a word, "text" begin as one, before the tag's first ">".
    if (IsWordAt(tag, 5))
        return std::string(tag);
    const std::size_t limit = std::min(tag.find('>'), tag.size());
    for (std::size_t p = 6; p + 4 <= limit; ++p) {
        if (IsWordAt(tag, p - 1) || !EqualsIgnoringAsciiCase(tag.substr(p, 4), "text"))
            continue;
        std::size_t k = p + 4;
        while (k < tag.size() && IsPatternSpace(tag[k]))
            ++k;
        if (k >= tag.size() || tag[k] != '=')
            continue;
        ++k;
        while (k < tag.size() && IsPatternSpace(tag[k]))
            ++k;
        if (k < tag.size() && (tag[k] == '"' || tag[k] == '\''))
            ++k;
        const std::size_t valueBegin = k;
        if (k < tag.size() && tag[k] == '#')
            ++k;
        const std::size_t digits = k;
        while (k < tag.size() && IsNameChar(tag[k]))
            ++k;
        if (k == digits)
            continue;
        const std::size_t valueEnd = k;
        if (k < tag.size() && (tag[k] == '"' || tag[k] == '\''))
            ++k;
        std::string out(tag.substr(0, p));
        out += "style=\"color:";
        out += tag.substr(valueBegin, valueEnd - valueBegin);
        out += '"';
        out += tag.substr(k);
        return out;
    }
    return std::string(tag);
}

} // namespace

std::string RewriteForQt(std::string_view html) {
    const std::size_t n = html.size();
    std::string out;
    out.reserve(n + n / 32 + 64);
    THtmlTokenizer tokens(html);
    THtmlToken token;
    while (tokens.Next(token)) {
        const std::string_view bytes = html.substr(token.Begin, token.End - token.Begin);
        switch (token.Kind) {
        case THtmlTokenKind::Text:
            for (const char c : bytes)
                if (c == '<')
                    out += "&lt;";
                else
                    out += c;
            break;
        case THtmlTokenKind::EndTag:
            if (token.Unterminated && token.End < n) {
                out.append(bytes.substr(0, 2 + token.Name.size()));
                out.push_back('>');
            } else {
                out.append(bytes);
            }
            break;
        case THtmlTokenKind::StartTag:
            if (bytes.size() > 5 && EqualsIgnoringAsciiCase(token.Name, "body"))
                out.append(BodyTextAsStyle(bytes));
            else
                out.append(bytes);
            break;
        default:
            out.append(bytes);
        }
    }
    return out;
}

} // namespace quarto
