#include "XhtmlWriter.h"

#include "common/AsciiText.h"
#include "common/Utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>
#include <unordered_map>
#include <vector>

namespace quarto {

namespace {

// --- Characters ---------------------------------------------------------------------------

bool XmlAllows(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Windows-1252's letters in 128..159, as browsers read numeric references there.
constexpr std::array<std::uint16_t, 32> Windows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

const std::unordered_map<std::string, std::uint32_t>& NamedReferences() {
    static const auto table = [] {
        std::unordered_map<std::string, std::uint32_t> t = {
            {"quot", 34},      {"amp", 38},       {"apos", 39},      {"lt", 60},
            {"gt", 62},        {"OElig", 338},    {"oelig", 339},    {"Scaron", 352},
            {"scaron", 353},   {"Yuml", 376},     {"fnof", 402},     {"circ", 710},
            {"tilde", 732},    {"ensp", 8194},    {"emsp", 8195},    {"thinsp", 8201},
            {"zwnj", 8204},    {"zwj", 8205},     {"lrm", 8206},     {"rlm", 8207},
            {"ndash", 8211},   {"mdash", 8212},   {"lsquo", 8216},   {"rsquo", 8217},
            {"sbquo", 8218},   {"ldquo", 8220},   {"rdquo", 8221},   {"bdquo", 8222},
            {"dagger", 8224},  {"Dagger", 8225},  {"bull", 8226},    {"hellip", 8230},
            {"permil", 8240},  {"prime", 8242},   {"Prime", 8243},   {"lsaquo", 8249},
            {"rsaquo", 8250},  {"oline", 8254},   {"frasl", 8260},   {"euro", 8364},
            {"trade", 8482},   {"larr", 8592},    {"uarr", 8593},    {"rarr", 8594},
            {"darr", 8595},    {"harr", 8596},    {"lArr", 8656},    {"rArr", 8658},
            {"hArr", 8660},    {"forall", 8704},  {"part", 8706},    {"exist", 8707},
            {"empty", 8709},   {"nabla", 8711},   {"isin", 8712},    {"notin", 8713},
            {"prod", 8719},    {"sum", 8721},     {"minus", 8722},   {"radic", 8730},
            {"prop", 8733},    {"infin", 8734},   {"ang", 8736},     {"and", 8743},
            {"or", 8744},      {"cap", 8745},     {"cup", 8746},     {"int", 8747},
            {"there4", 8756},  {"sim", 8764},     {"cong", 8773},    {"asymp", 8776},
            {"ne", 8800},      {"equiv", 8801},   {"le", 8804},      {"ge", 8805},
            {"sub", 8834},     {"sup", 8835},     {"deg", 176},      {"loz", 9674},
            {"spades", 9824},  {"clubs", 9827},   {"hearts", 9829},  {"diams", 9830},
            {"thetasym", 977}, {"upsih", 978},    {"piv", 982},      {"sdot", 8901}};
        // Latin-1, 160..255, in order.
        const char* const latin1[] = {
            "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
            "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
            "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
            "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
            "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
            "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
            "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
            "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
            "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
            "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
            "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
            "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
        for (std::uint32_t k = 0; k < 96; ++k)
            t.emplace(latin1[k], 160 + k);
        // Greek, as the astronomers' pages name their stars.
        const char* const greekUpper[] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta",
                                          "Eta",   "Theta", "Iota", "Kappa", "Lambda",  "Mu",
                                          "Nu",    "Xi",   "Omicron", "Pi", "Rho"};
        for (std::uint32_t k = 0; k < 17; ++k)
            t.emplace(greekUpper[k], 913 + k);
        const char* const greekUpper2[] = {"Sigma", "Tau", "Upsilon", "Phi", "Chi", "Psi", "Omega"};
        for (std::uint32_t k = 0; k < 7; ++k)
            t.emplace(greekUpper2[k], 931 + k);
        const char* const greekLower[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta",
                                          "eta",   "theta", "iota", "kappa", "lambda",  "mu",
                                          "nu",    "xi",   "omicron", "pi", "rho", "sigmaf",
                                          "sigma", "tau",  "upsilon", "phi", "chi", "psi",
                                          "omega"};
        for (std::uint32_t k = 0; k < 25; ++k)
            t.emplace(greekLower[k], 945 + k);
        return t;
    }();
    return table;
}

// A character reference at text[i] ("&..."): its character and length, or nothing when it is
// not one (the "&" is then text).
std::optional<std::pair<std::uint32_t, std::size_t>> ReferenceAt(std::string_view text,
                                                                 std::size_t i) {
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '#') {
        ++j;
        const bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
        if (hex)
            ++j;
        const std::size_t digits = j;
        std::uint64_t code = 0;
        while (j < text.size() && j - digits < 8 &&
               (hex ? std::isxdigit(static_cast<unsigned char>(text[j]))
                    : std::isdigit(static_cast<unsigned char>(text[j])))) {
            const char c = AsciiLower(text[j]);
            code = code * (hex ? 16 : 10) + static_cast<std::uint64_t>(c <= '9' ? c - '0' : c - 'a' + 10);
            ++j;
        }
        if (j == digits)
            return std::nullopt;
        if (j < text.size() && text[j] == ';')
            ++j;
        if (code >= 128 && code < 160 && Windows1252High[code - 128] != 0)
            code = Windows1252High[code - 128];
        return std::pair{static_cast<std::uint32_t>(std::min<std::uint64_t>(code, 0xFFFFFFFF)),
                         j - i};
    }
    while (j < text.size() && j - i <= 10 && std::isalnum(static_cast<unsigned char>(text[j])))
        ++j;
    if (j == i + 1 || j >= text.size() || text[j] != ';')
        return std::nullopt;
    std::string name(text.substr(i + 1, j - i - 1));
    const auto& table = NamedReferences();
    auto found = table.find(name);
    if (found == table.end()) {
        found = table.find(AsciiLowered(name));
    }
    if (found == table.end())
        return std::nullopt;
    return std::pair{found->second, j + 1 - i};
}

// Text (UTF-8, with character references) as XML character data.
void AppendText(std::string& out, std::string_view text, bool keepLineEnds = true) {
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '&') {
            if (const auto reference = ReferenceAt(text, i)) {
                const std::uint32_t code = reference->first;
                if (code == '&')
                    out += "&amp;";
                else if (code == '<')
                    out += "&lt;";
                else if (code == '>')
                    out += "&gt;";
                else if (code == '"')
                    out += "&quot;";
                else if (XmlAllows(code) && code != 0xD)
                    AppendUtf8(out, code);
                i += reference->second;
                continue;
            }
            out += "&amp;";
            ++i;
            continue;
        }
        if (c == '<') {
            out += "&lt;";
            ++i;
            continue;
        }
        if (c == '>') {
            out += "&gt;";
            ++i;
            continue;
        }
        if (c == '"') {
            out += "&quot;";
            ++i;
            continue;
        }
        const auto [code, length, valid] = DecodeUtf8At(text, i);
        if (code == '\r' || (!keepLineEnds && code == '\n'))
            out += code == '\n' ? " " : "";
        else if (XmlAllows(code))
            AppendUtf8(out, code);
        i += length;
    }
}

// The text of an attribute value, references decoded, as plain UTF-8.
std::string DecodedText(std::string_view text) {
    std::string escaped;
    AppendText(escaped, text, false);
    // The caller escapes once more when writing.
    return XmlUnescape(escaped);
}

std::string Trimmed(std::string_view text) {
    return std::string(TrimmedBy(text, IsLineSpace));
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() <= 6 &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// --- Tokens -------------------------------------------------------------------------------

struct TAttribute {
    std::string Name; // lower case
    std::string Value;
};

struct TTag {
    std::string Name; // lower case
    bool End = false;
    std::vector<TAttribute> Attributes;

    const std::string* Get(std::string_view name) const {
        for (const TAttribute& a : Attributes)
            if (a.Name == name)
                return &a.Value;
        return nullptr;
    }
};

// Reads the tag at text[i] ("<" then a letter, or "</" then a letter); i ends after it.
// Nothing when the page ends inside it.
std::optional<TTag> ReadTag(std::string_view text, std::size_t& i) {
    TTag tag;
    std::size_t j = i + 1;
    if (text[j] == '/') {
        tag.End = true;
        ++j;
    }
    const std::size_t name = j;
    while (j < text.size() && (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '-' ||
                               text[j] == ':' || text[j] == '_'))
        ++j;
    tag.Name = AsciiLowered(text.substr(name, j - name));
    for (;;) {
        while (j < text.size() && (IsHtmlSpace(text[j]) || text[j] == '/'))
            ++j;
        if (j >= text.size())
            return std::nullopt;
        if (text[j] == '>') {
            i = j + 1;
            return tag;
        }
        const std::size_t at = j;
        while (j < text.size() && !IsHtmlSpace(text[j]) && text[j] != '=' && text[j] != '>' &&
               (text[j] != '/' || j == at))
            ++j;
        TAttribute attribute{AsciiLowered(text.substr(at, j - at)), {}};
        while (j < text.size() && IsHtmlSpace(text[j]))
            ++j;
        if (j < text.size() && text[j] == '=') {
            ++j;
            while (j < text.size() && IsHtmlSpace(text[j]))
                ++j;
            if (j < text.size() && (text[j] == '"' || text[j] == '\'')) {
                const char quote = text[j];
                const std::size_t end = text.find(quote, j + 1);
                const std::size_t stop = end == std::string_view::npos ? text.find('>', j + 1) : end;
                if (stop == std::string_view::npos)
                    return std::nullopt;
                attribute.Value = DecodedText(text.substr(j + 1, stop - j - 1));
                j = end == std::string_view::npos ? stop : stop + 1;
            } else {
                const std::size_t start = j;
                while (j < text.size() && !IsHtmlSpace(text[j]) && text[j] != '>')
                    ++j;
                attribute.Value = DecodedText(text.substr(start, j - start));
            }
        }
        if (!attribute.Name.empty() && tag.Attributes.size() < 64 && !tag.Get(attribute.Name))
            tag.Attributes.push_back(std::move(attribute));
    }
}

// --- Elements -----------------------------------------------------------------------------

enum class TCategory {
    Inline,       // phrasing content holding phrasing content
    Void,         // an empty phrasing element (br, img)
    Rule,         // hr: an empty block
    Phrasing,     // a block holding phrasing content only: p, headings, pre, dt
    Flow,         // a block holding anything: div, blockquote, li, dd, td, th, caption
    List,         // ul, ol: list items only
    Definitions,  // dl: dt and dd only
    Table,        // caption, row groups and rows
    RowGroup,     // thead, tbody, tfoot: rows
    Row,          // tr: cells
};

struct TElement {
    const char* Out;
    TCategory Category;
};

const std::unordered_map<std::string, TElement>& Elements() {
    static const std::unordered_map<std::string, TElement> table = {
        {"a", {"a", TCategory::Inline}},
        {"b", {"b", TCategory::Inline}},
        {"i", {"i", TCategory::Inline}},
        {"u", {"u", TCategory::Inline}},
        {"em", {"em", TCategory::Inline}},
        {"strong", {"strong", TCategory::Inline}},
        {"sub", {"sub", TCategory::Inline}},
        {"sup", {"sup", TCategory::Inline}},
        {"small", {"small", TCategory::Inline}},
        {"big", {"span", TCategory::Inline}},
        {"tt", {"code", TCategory::Inline}},
        {"code", {"code", TCategory::Inline}},
        {"kbd", {"kbd", TCategory::Inline}},
        {"samp", {"samp", TCategory::Inline}},
        {"var", {"var", TCategory::Inline}},
        {"cite", {"cite", TCategory::Inline}},
        {"dfn", {"dfn", TCategory::Inline}},
        {"abbr", {"abbr", TCategory::Inline}},
        {"acronym", {"abbr", TCategory::Inline}},
        {"q", {"q", TCategory::Inline}},
        {"s", {"s", TCategory::Inline}},
        {"strike", {"s", TCategory::Inline}},
        {"del", {"s", TCategory::Inline}},
        {"ins", {"u", TCategory::Inline}},
        {"span", {"span", TCategory::Inline}},
        {"font", {"span", TCategory::Inline}},
        {"nobr", {"span", TCategory::Inline}},
        {"br", {"br", TCategory::Void}},
        {"img", {"img", TCategory::Void}},
        {"hr", {"hr", TCategory::Rule}},
        {"p", {"p", TCategory::Phrasing}},
        {"h1", {"h1", TCategory::Phrasing}},
        {"h2", {"h2", TCategory::Phrasing}},
        {"h3", {"h3", TCategory::Phrasing}},
        {"h4", {"h4", TCategory::Phrasing}},
        {"h5", {"h5", TCategory::Phrasing}},
        {"h6", {"h6", TCategory::Phrasing}},
        {"pre", {"pre", TCategory::Phrasing}},
        {"xmp", {"pre", TCategory::Phrasing}},
        {"listing", {"pre", TCategory::Phrasing}},
        {"dt", {"dt", TCategory::Phrasing}},
        {"div", {"div", TCategory::Flow}},
        {"center", {"div", TCategory::Flow}},
        {"address", {"div", TCategory::Flow}},
        {"blockquote", {"blockquote", TCategory::Flow}},
        {"li", {"li", TCategory::Flow}},
        {"dd", {"dd", TCategory::Flow}},
        {"td", {"td", TCategory::Flow}},
        {"th", {"th", TCategory::Flow}},
        {"caption", {"caption", TCategory::Flow}},
        {"ul", {"ul", TCategory::List}},
        {"ol", {"ol", TCategory::List}},
        {"dir", {"ul", TCategory::List}},
        {"menu", {"ul", TCategory::List}},
        {"dl", {"dl", TCategory::Definitions}},
        {"table", {"table", TCategory::Table}},
        {"thead", {"thead", TCategory::RowGroup}},
        {"tbody", {"tbody", TCategory::RowGroup}},
        {"tfoot", {"tfoot", TCategory::RowGroup}},
        {"tr", {"tr", TCategory::Row}},
    };
    return table;
}

bool HoldsPhrasing(TCategory c) {
    return c == TCategory::Inline || c == TCategory::Phrasing || c == TCategory::Flow;
}

// An open element.
struct TOpen {
    std::string Source; // the tag name it was opened by ("" when implied)
    std::string Out;
    TCategory Category;
    std::string Attributes; // as written, for opening it again
};

class TConverter {
public:
    explicit TConverter(const TXhtmlRewrite& rewrite) : FRewrite(rewrite) {}

    std::string Run(std::string_view html) {
        std::size_t i = 0;
        std::size_t text = 0;
        const auto flush = [&](std::size_t end) {
            if (end > text)
                Text(html.substr(text, end - text));
        };
        while (i < html.size()) {
            const std::size_t lt = html.find('<', i);
            if (lt == std::string_view::npos || lt + 1 >= html.size())
                break;
            const char next = html[lt + 1];
            if (html.compare(lt, 4, "<!--") == 0) {
                flush(lt);
                const std::size_t end = html.find("-->", lt + 4);
                i = text = end == std::string_view::npos ? html.size() : end + 3;
                continue;
            }
            if (next == '!' || next == '?') {
                flush(lt);
                const std::size_t end = html.find('>', lt);
                i = text = end == std::string_view::npos ? html.size() : end + 1;
                continue;
            }
            const bool end = next == '/';
            const char first = end && lt + 2 < html.size() ? html[lt + 2] : next;
            if (!std::isalpha(static_cast<unsigned char>(first))) {
                i = lt + 1; // a "<" of the text
                continue;
            }
            flush(lt);
            std::size_t after = lt;
            const std::optional<TTag> tag = ReadTag(html, after);
            if (!tag) {
                i = text = html.size();
                break;
            }
            i = text = after;
            if (!tag->End && (tag->Name == "script" || tag->Name == "style" ||
                              tag->Name == "title" || tag->Name == "textarea")) {
                // Their text is not the page's: skipped up to their end tag.
                const std::string close = "</" + tag->Name;
                std::size_t at = i;
                for (;;) {
                    at = html.find("</", at);
                    if (at == std::string_view::npos ||
                        AsciiLowered(html.substr(at, close.size())) == close)
                        break;
                    at += 2;
                }
                const std::size_t gt = at == std::string_view::npos ? at : html.find('>', at);
                i = text = gt == std::string_view::npos ? html.size() : gt + 1;
                continue;
            }
            if (tag->Name == "head") {
                if (!tag->End) {
                    // A whole document: its head holds nothing to show.
                    std::size_t at = i;
                    for (;;) {
                        at = html.find('<', at);
                        if (at == std::string_view::npos)
                            break;
                        const std::string_view rest = html.substr(at, 6);
                        if (AsciiLowered(rest) == "</head" ||
                            AsciiLowered(rest.substr(0, 5)) == "<body")
                            break;
                        ++at;
                    }
                    i = text = at == std::string_view::npos ? html.size() : at;
                }
                continue;
            }
            Tag(*tag);
        }
        flush(html.size());
        while (!FStack.empty())
            Pop();
        return std::move(FOut);
    }

private:
    TCategory Top() const { return FStack.empty() ? TCategory::Flow : FStack.back().Category; }

    void Push(TOpen open) {
        FOut += '<' + open.Out + open.Attributes + '>';
        FStack.push_back(std::move(open));
    }
    void Pop() {
        FOut += "</" + FStack.back().Out + '>';
        FStack.pop_back();
    }
    void Implied(const char* out, TCategory category) { Push({"", out, category, ""}); }

    // Makes room for content of category c (element out, or text when out is empty): closes
    // what cannot hold it, opens the list, row or cell it needs.
    void MakeRoomFor(TCategory c, std::string_view out) {
        const bool phrasing = c == TCategory::Inline || c == TCategory::Void;
        for (int guard = 0; guard < 64; ++guard) {
            const TCategory top = Top();
            if (out == "li") {
                if (top == TCategory::List)
                    return;
                if (top == TCategory::Flow) {
                    Implied("ul", TCategory::List);
                    return;
                }
            } else if (out == "dt" || out == "dd") {
                if (top == TCategory::Definitions)
                    return;
                if (top == TCategory::Flow) {
                    Implied("dl", TCategory::Definitions);
                    return;
                }
            } else if (c == TCategory::RowGroup || out == "caption") {
                if (top == TCategory::Table)
                    return;
                if (top == TCategory::Flow) {
                    Implied("table", TCategory::Table);
                    return;
                }
            } else if (c == TCategory::Row) {
                if (top == TCategory::Table || top == TCategory::RowGroup)
                    return;
                if (top == TCategory::Flow) {
                    Implied("table", TCategory::Table);
                    return;
                }
            } else if (out == "td" || out == "th") {
                if (top == TCategory::Row)
                    return;
                if (top == TCategory::Table || top == TCategory::RowGroup) {
                    Implied("tr", TCategory::Row);
                    continue;
                }
                if (top == TCategory::Flow) {
                    Implied("table", TCategory::Table);
                    continue;
                }
            } else if (phrasing) {
                if (HoldsPhrasing(top))
                    return;
            } else if (top == TCategory::Flow) {
                return; // a block in a block that holds anything
            }
            // What the top cannot hold.
            switch (top) {
            case TCategory::List:
                Implied("li", TCategory::Flow);
                continue;
            case TCategory::Definitions:
                Implied("dd", TCategory::Flow);
                continue;
            case TCategory::Table:
            case TCategory::RowGroup:
                Implied("tr", TCategory::Row);
                continue;
            case TCategory::Row:
                Implied("td", TCategory::Flow);
                continue;
            default:
                break;
            }
            if (FStack.empty())
                return;
            Remember(FStack.back());
            Pop();
        }
    }

    void Remember(const TOpen& open) {
        if (open.Category == TCategory::Inline && open.Out != "a" && FReopen.size() < MaxReopen)
            FReopen.push_back(open);
    }

    // Closes the open element of one of names (sources or outputs) nearest the top, with
    // everything above it, unless a boundary comes first.
    void CloseOpen(std::initializer_list<std::string_view> names,
                   std::initializer_list<std::string_view> boundaries) {
        for (std::size_t k = FStack.size(); k-- > 0;) {
            const std::string& out = FStack[k].Out;
            if (std::find(names.begin(), names.end(), out) != names.end()) {
                while (FStack.size() > k)
                    Pop();
                return;
            }
            if (std::find(boundaries.begin(), boundaries.end(), out) != boundaries.end())
                return;
        }
    }

    void ReopenFormatting() {
        if (FReopen.empty() || !HoldsPhrasing(Top()) || Top() == TCategory::Inline)
            return;
        std::vector<TOpen> again = std::move(FReopen);
        FReopen.clear();
        for (auto it = again.rbegin(); it != again.rend(); ++it) {
            // Opened again without its identifier, which stays with the first.
            TOpen open = *it;
            if (const std::size_t id = open.Attributes.find(" id=\""); id != std::string::npos)
                open.Attributes.erase(id, open.Attributes.find('"', id + 5) + 1 - id);
            Push(std::move(open));
        }
    }

    void Text(std::string_view text) {
        const bool blank = std::all_of(text.begin(), text.end(), IsHtmlSpace);
        const TCategory top = Top();
        if (blank && !HoldsPhrasing(top))
            return;
        if (!blank) {
            MakeRoomFor(TCategory::Inline, "");
            ReopenFormatting();
        }
        const bool pre = std::any_of(FStack.begin(), FStack.end(),
                                     [](const TOpen& o) { return o.Out == "pre"; });
        AppendText(FOut, text, pre);
    }

    void Tag(const TTag& tag) {
        const auto& elements = Elements();
        const auto found = elements.find(tag.Name);
        if (found == elements.end())
            return; // not shown: its content stays
        const TElement& element = found->second;
        if (tag.End) {
            End(tag.Name, element);
            return;
        }
        const std::string out = element.Out;
        // The ends the tags of old pages leave to the reader.
        if (out == "li")
            CloseOpen({"li"}, {"ul", "ol", "table", "td", "th"});
        else if (out == "dt" || out == "dd")
            CloseOpen({"dt", "dd"}, {"dl", "table", "td", "th"});
        else if (out == "td" || out == "th")
            CloseOpen({"td", "th"}, {"tr", "table"});
        else if (out == "tr")
            CloseOpen({"tr"}, {"table"});
        else if (element.Category == TCategory::RowGroup)
            CloseOpen({"thead", "tbody", "tfoot"}, {"table"});
        else if (out == "a")
            CloseOpen({"a"}, {"td", "th", "li", "div", "blockquote", "table"});

        if (element.Category == TCategory::Void) {
            if (out == "br" && !HoldsPhrasing(Top()))
                return; // a break between rows or items means nothing
            std::string attributes;
            if (out == "img") {
                const std::string* src = tag.Get("src");
                std::optional<std::string> target;
                if (src && FRewrite.Image)
                    target = FRewrite.Image(Trimmed(*src));
                if (!target) {
                    if (const std::string* alt = tag.Get("alt"); alt && !Trimmed(*alt).empty())
                        Text(XmlEscape(Trimmed(*alt)));
                    return;
                }
                const std::string* alt = tag.Get("alt");
                attributes = " src=\"" + XmlEscape(*target) + "\" alt=\"" +
                             XmlEscape(alt ? Trimmed(*alt) : std::string()) + '"';
                for (const char* size : {"width", "height"})
                    if (const std::string* v = tag.Get(size); v && AllDigits(Trimmed(*v)))
                        attributes += std::string(" ") + size + "=\"" + Trimmed(*v) + '"';
            }
            MakeRoomFor(TCategory::Void, out);
            ReopenFormatting();
            FOut += '<' + out + attributes + "/>";
            return;
        }
        if (element.Category == TCategory::Rule) {
            MakeRoomFor(TCategory::Rule, out);
            FOut += "<hr/>";
            return;
        }
        if (FStack.size() >= MaxDepth)
            return; // nesting no page needs: the content stays, the element goes
        std::string attributes = Attributes(tag, out);
        MakeRoomFor(element.Category, out);
        Push({tag.Name, out, element.Category, attributes});
        ReopenFormatting();
    }

    void End(const std::string& name, const TElement& element) {
        if (element.Category == TCategory::Void) {
            if (name == "br") // "</BR>" is read as a break
                Tag(TTag{"br", false, {}});
            return;
        }
        FReopen.erase(std::remove_if(FReopen.begin(), FReopen.end(),
                                     [&](const TOpen& o) { return o.Source == name; }),
                      FReopen.end());
        const bool tablePart = element.Category == TCategory::Table ||
                               element.Category == TCategory::RowGroup ||
                               element.Category == TCategory::Row || name == "td" ||
                               name == "th" || name == "caption";
        for (std::size_t k = FStack.size(); k-- > 0;) {
            if (FStack[k].Source == name) {
                while (FStack.size() > k + 1) {
                    Remember(FStack.back());
                    Pop();
                }
                Pop();
                return;
            }
            // An end tag does not reach out of a table it is not part of.
            if (!tablePart && (FStack[k].Out == "table" || FStack[k].Out == "td" ||
                               FStack[k].Out == "th"))
                return;
        }
    }

    std::string Attributes(const TTag& tag, const std::string& out) {
        std::string attributes;
        std::string style;
        const auto get = [&](const char* name) -> std::optional<std::string> {
            if (const std::string* v = tag.Get(name))
                return Trimmed(*v);
            return std::nullopt;
        };
        if (out == "a") {
            if (const auto href = get("href")) {
                std::optional<std::string> target = *href;
                if (FRewrite.Link)
                    target = FRewrite.Link(*href);
                if (target)
                    attributes += " href=\"" + XmlEscape(*target) + '"';
            }
            if (const auto name = get("name"); name && !name->empty())
                AddId(attributes, *name);
        }
        if (const auto id = get("id"); id && !id->empty() && attributes.find(" id=") == std::string::npos)
            AddId(attributes, *id);
        if (const auto align = get("align")) {
            const std::string a = AsciiLowered(*align);
            if (out == "table") {
                if (a == "center")
                    style += "margin-left:auto;margin-right:auto;";
            } else if (a == "left" || a == "right" || a == "center" || a == "justify") {
                style += "text-align:" + a + ';';
            }
        }
        if (tag.Name == "center")
            style += "text-align:center;";
        if (const auto valign = get("valign")) {
            const std::string v = AsciiLowered(*valign);
            if (v == "top" || v == "middle" || v == "bottom" || v == "baseline")
                style += "vertical-align:" + v + ';';
        }
        if (const auto width = get("width"); width && out != "pre") {
            const std::string w = *width;
            if (AllDigits(w))
                style += "width:" + w + "px;";
            else if (w.size() > 1 && w.back() == '%' && AllDigits(w.substr(0, w.size() - 1)))
                style += "width:" + w + ';';
        }
        if (const auto colour = get("bgcolor"))
            if (const std::string c = Colour(*colour); !c.empty())
                style += "background-color:" + c + ';';
        if (tag.Name == "font") {
            if (const auto colour = get("color"))
                if (const std::string c = Colour(*colour); !c.empty())
                    style += "color:" + c + ';';
            if (const auto size = get("size"))
                if (const std::string s = FontSize(*size); !s.empty())
                    style += "font-size:" + s + ';';
            if (const auto face = get("face")) {
                std::string f;
                for (const char c : *face)
                    if (std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == ',' ||
                        c == '-')
                        f += c;
                if (!Trimmed(f).empty())
                    style += "font-family:" + Trimmed(f) + ';';
            }
        }
        if (tag.Name == "big")
            style += "font-size:larger;";
        if (tag.Name == "nobr" || ((out == "td" || out == "th") && tag.Get("nowrap")))
            style += "white-space:nowrap;";
        if (out == "td" || out == "th")
            for (const char* span : {"colspan", "rowspan"})
                if (const auto v = get(span); v && AllDigits(*v) && std::stoi(*v) > 0)
                    attributes += std::string(" ") + span + "=\"" + *v + '"';
        if (out == "table")
            if (const auto border = get("border"); border && (border->empty() || (AllDigits(*border) && std::stoi(*border) > 0)))
                attributes += " class=\"bordered\"";
        if (out == "ol") {
            if (const auto start = get("start"); start && AllDigits(*start))
                attributes += " start=\"" + *start + '"';
            if (const auto type = get("type"); type && type->size() == 1 && std::strchr("1aAiI", (*type)[0]))
                attributes += " type=\"" + *type + '"';
        }
        if (const auto title = get("title"); title && !title->empty() && out != "html")
            attributes += " title=\"" + XmlEscape(*title) + '"';
        if (!style.empty())
            attributes += " style=\"" + XmlEscape(style) + '"';
        return attributes;
    }

    void AddId(std::string& attributes, const std::string& name) {
        const std::string id = AnchorIdOf(name);
        if (FIds.insert(id).second)
            attributes += " id=\"" + XmlEscape(id) + '"';
    }

    static std::string Colour(const std::string& value) {
        std::string v = value;
        if (!v.empty() && v[0] == '#')
            v.erase(0, 1);
        const bool hex = (v.size() == 3 || v.size() == 6) &&
                         std::all_of(v.begin(), v.end(), [](char c) {
                             return std::isxdigit(static_cast<unsigned char>(c));
                         });
        if (hex)
            return '#' + v;
        const bool name = !v.empty() && v.size() <= 20 &&
                          std::all_of(v.begin(), v.end(), [](char c) {
                              return std::isalpha(static_cast<unsigned char>(c));
                          });
        return name ? AsciiLowered(v) : std::string();
    }

    static std::string FontSize(const std::string& value) {
        static const char* const sizes[] = {"x-small", "small", "medium", "large",
                                            "x-large", "xx-large", "xx-large"};
        if (value.empty())
            return {};
        int size = 0;
        const bool relative = value[0] == '+' || value[0] == '-';
        const std::string digits = relative ? value.substr(1) : value;
        if (!AllDigits(digits))
            return {};
        size = std::stoi(digits);
        if (relative)
            size = 3 + (value[0] == '+' ? size : -size);
        return sizes[std::clamp(size, 1, 7) - 1];
    }

    static constexpr std::size_t MaxDepth = 256;
    static constexpr std::size_t MaxReopen = 16;

    const TXhtmlRewrite& FRewrite;
    std::string FOut;
    std::vector<TOpen> FStack;
    std::vector<TOpen> FReopen; // inline formatting closed by a block, to open again in it
    std::set<std::string> FIds;
};

} // namespace

std::string AnchorIdOf(std::string_view name) {
    std::string id;
    for (std::size_t i = 0; i < name.size();) {
        const auto [code, length, valid] = DecodeUtf8At(name, i);
        const bool letter = code >= 0xC0 || std::isalpha(static_cast<int>(code < 0x80 ? code : 0)) ||
                            code == '_';
        const bool other = code < 0x80 && (std::isdigit(static_cast<int>(code)) || code == '-' ||
                                           code == '.');
        if (id.empty() && !letter)
            id += 'n';
        if (letter || other)
            id.append(name.substr(i, length));
        else
            id += '_';
        i += length;
    }
    return id.empty() ? std::string("n") : id;
}

std::string ToXhtmlBody(std::string_view html, const TXhtmlRewrite& rewrite) {
    return TConverter(rewrite).Run(html);
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string XmlUnescape(std::string_view text) {
    static constexpr std::pair<std::string_view, char> escapes[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&')
            for (const auto& [entity, c] : escapes)
                if (text.substr(i, entity.size()) == entity) {
                    out += c;
                    i += entity.size();
                    replaced = true;
                    break;
                }
        if (!replaced)
            out += text[i++];
    }
    return out;
}

std::string XmlSafeUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto [code, length, valid] = DecodeUtf8At(text, i);
        if (XmlAllows(code))
            AppendUtf8(out, code);
        i += length;
    }
    return out;
}

} // namespace quarto
