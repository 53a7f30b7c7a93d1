// The exports' conversion of old pages to XHTML: whatever the page, the result is well-formed
// (every element closed in order, attributes quoted, "&" and "<" only as markup) and holds
// only characters XML allows.
#include "fuzzer_common.h"

#include "tools/XhtmlWriter.h"

#include <vector>

using namespace quarto;
using namespace quarto::fuzz;

namespace {

bool WellFormed(const std::string& text) {
    std::vector<std::string> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&') {
            const std::size_t semi = text.find(';', i);
            if (semi == std::string::npos || semi - i > 10)
                return false;
            const std::string name = text.substr(i + 1, semi - i - 1);
            if (name != "amp" && name != "lt" && name != "gt" && name != "quot")
                return false;
            continue;
        }
        if (c == '>')
            return false;
        if (c != '<')
            continue;
        const std::size_t end = text.find('>', i);
        if (end == std::string::npos)
            return false;
        const std::string tag = text.substr(i + 1, end - i - 1);
        i = end;
        const bool closing = !tag.empty() && tag[0] == '/';
        const bool empty = !tag.empty() && tag.back() == '/';
        const std::size_t nameEnd = tag.find_first_of(" /", closing ? 1 : 0);
        const std::string name = tag.substr(closing ? 1 : 0, nameEnd - (closing ? 1 : 0));
        if (name.empty() || tag.find('<') != std::string::npos)
            return false;
        for (std::size_t k = nameEnd; k != std::string::npos && k < tag.size();) {
            k = tag.find_first_not_of(" /", k);
            if (k == std::string::npos)
                break;
            const std::size_t eq = tag.find('=', k);
            if (eq == std::string::npos || eq + 1 >= tag.size() || tag[eq + 1] != '"')
                return false;
            const std::size_t close = tag.find('"', eq + 2);
            if (close == std::string::npos)
                return false;
            k = close + 1;
        }
        if (closing) {
            if (open.empty() || open.back() != name)
                return false;
            open.pop_back();
        } else if (!empty) {
            open.push_back(name);
        }
    }
    return open.empty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view page = InputView(data, size);
    // Links and pictures kept, dropped or rewritten by their first byte, as the export does.
    TXhtmlRewrite rewrite;
    rewrite.Link = [](std::string_view href) -> std::optional<std::string> {
        if (!href.empty() && href[0] == 'x')
            return std::nullopt;
        return "../ref/" + std::string(href);
    };
    rewrite.Image = [](std::string_view src) -> std::optional<std::string> {
        if (src.empty() || src[0] == 'x')
            return std::nullopt;
        return "../images/" + std::string(src);
    };
    const TXhtmlRewrite* const rewrites[] = {&rewrite, nullptr};
    for (const TXhtmlRewrite* r : rewrites) {
        const std::string body = r ? ToXhtmlBody(page, *r) : ToXhtmlBody(page);
        FUZZ_CHECK(WellFormed(body));
        FUZZ_CHECK(XmlSafeUtf8(body) == body);
    }
    FUZZ_CHECK(XmlSafeUtf8(XmlSafeUtf8(page)) == XmlSafeUtf8(page));
    const std::string id = AnchorIdOf(XmlSafeUtf8(page.substr(0, 64)));
    FUZZ_CHECK(!id.empty() && id.find_first_of(" \"<>&#") == std::string::npos);
    return 0;
}
