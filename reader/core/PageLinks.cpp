#include "PageLinks.h"

#include "common/EditionLayout.h"
#include "common/FileSystem.h"

namespace quarto {

namespace {

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The extension of target, from its last "." on, in lower case; "" when it has none.
std::string ExtensionOf(std::string_view target) {
    const std::size_t dot = target.rfind('.');
    return dot == std::string_view::npos ? std::string() : LowerAscii(target.substr(dot));
}

std::string AfterLastSlash(std::string_view target) {
    const std::size_t slash = target.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(target.substr(slash + 1));
}

} // namespace

TLinkKind LinkKindOf(std::string_view target) {
    if (target.find("htm") != std::string_view::npos)
        return TLinkKind::ReferencePage;
    const std::string ext = ExtensionOf(target);
    if (ext == ".jpg")
        return TLinkKind::Picture;
    if (ext == ".avi")
        return TLinkKind::Video;
    if (!target.empty() && target.front() == '#')
        return TLinkKind::PageAnchor;
    const std::string lower = LowerAscii(target.substr(0, 8));
    if (lower.rfind("http:", 0) == 0 || lower.rfind("https:", 0) == 0 ||
        lower.rfind("mailto:", 0) == 0)
        return TLinkKind::DesktopAddress;
    return TLinkKind::Other;
}

TPageLink ClassifyLink(std::string_view target, const Tbook& book) {
    TPageLink link;
    link.Kind = LinkKindOf(target);
    switch (link.Kind) {
    case TLinkKind::ReferencePage: {
        std::string path = PageBaseFolder(book.BookFolder) + std::string(target);
        for (std::size_t p = path.find("%20"); p != std::string::npos; p = path.find("%20"))
            path.replace(p, 3, " ");
        link.Path = std::move(path);
        break;
    }
    case TLinkKind::Picture: {
        link.Name = AfterLastSlash(target);
        link.Path = PageBaseFolder(book.BookFolder) + std::string(target);
        std::string_view t = target;
        if (t.rfind("../", 0) == 0)
            t.remove_prefix(3);
        if (t.find(std::string(Layout::PicturesFolder) + "/") != std::string_view::npos)
            link.Path = JoinPath(book.BookFolder, t);
        link.DiscFolder = EditionPicturesName(book.RegKey);
        break;
    }
    case TLinkKind::Video:
        link.Name = AfterLastSlash(target);
        link.Path = JoinPath(LayoutPath(book.BookFolder, Layout::VideoClipsFolder), link.Name);
        break;
    case TLinkKind::PageAnchor:
        link.Anchor = std::string(target.substr(1));
        break;
    case TLinkKind::DesktopAddress:
    case TLinkKind::Other:
        break;
    }
    return link;
}

} // namespace quarto
