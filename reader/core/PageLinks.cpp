#include "PageLinks.h"

#include "common/AsciiText.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/MediaKinds.h"

namespace quarto {

namespace {

std::string AfterLastSlash(std::string_view target) {
    const std::size_t slash = target.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(target.substr(slash + 1));
}

// path with "\" read as "/" and "." and ".." applied; ".." at the root stays at the root.
std::string LexicallyNormal(std::string_view path) {
    std::string root;
    std::size_t i = 0;
    if (path.size() >= 2 && path[1] == ':') {
        root = std::string(path.substr(0, 2));
        i = 2;
    }
    const bool absolute = i < path.size() && (path[i] == '/' || path[i] == '\\');
    if (absolute)
        root += '/';
    std::vector<std::string_view> names;
    while (i < path.size()) {
        while (i < path.size() && (path[i] == '/' || path[i] == '\\'))
            ++i;
        std::size_t end = i;
        while (end < path.size() && path[end] != '/' && path[end] != '\\')
            ++end;
        const std::string_view name = path.substr(i, end - i);
        i = end;
        if (name.empty() || name == ".")
            continue;
        if (name == "..") {
            if (!names.empty() && names.back() != "..")
                names.pop_back();
            else if (!absolute)
                names.push_back(name);
            continue;
        }
        names.push_back(name);
    }
    std::string normal = root;
    for (std::size_t n = 0; n < names.size(); ++n) {
        if (n > 0)
            normal += '/';
        normal += names[n];
    }
    return normal;
}

// Places compare as this system compares file names: ignoring letter case on Windows.
bool SamePlaceName(std::string_view a, std::string_view b) {
#ifdef _WIN32
    return EqualsIgnoringAsciiCase(a, b);
#else
    return a == b;
#endif
}

} // namespace

TLinkKind LinkKindOf(std::string_view target) {
    if (target.find("htm") != std::string_view::npos)
        return TLinkKind::ReferencePage;
    // The pictures and clips the reader opens itself (".jpg", ".avi").
    const TMediaType& type = MediaTypeOfName(target);
    if (type.ReaderOpens && type.Kind == TMediaKind::Picture)
        return TLinkKind::Picture;
    if (type.ReaderOpens && type.Kind == TMediaKind::Clip)
        return TLinkKind::Video;
    if (!target.empty() && target.front() == '#')
        return TLinkKind::PageAnchor;
    if (StartsIgnoringAsciiCase(target, "http:") || StartsIgnoringAsciiCase(target, "https:") ||
        StartsIgnoringAsciiCase(target, "mailto:"))
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

std::pair<std::string, std::string> SplitAnchor(std::string_view path) {
    const std::size_t hash = path.rfind('#');
    if (hash == std::string_view::npos)
        return {std::string(path), std::string()};
    return {std::string(path.substr(0, hash)), std::string(path.substr(hash + 1))};
}

std::string PlaceOf(std::string_view path) {
    // An existing path is taken as the loading finds it, so that letter case and links cannot
    // lead elsewhere than it seems; anything else by its spelling alone.
    const std::string found = ResolvePath(path);
    TFileSystem& files = FileSystem();
    const std::string absolute = found.empty() ? files.AbsolutePath(LexicallyNormal(path))
                                               : files.CanonicalPath(files.AbsolutePath(found));
    return LexicallyNormal(absolute);
}

bool LiesInside(std::string_view path, const std::vector<std::string>& folders) {
    const std::string place = PlaceOf(path);
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        std::string inside = PlaceOf(folder);
        if (SamePlaceName(place, inside))
            return true;
        if (inside.empty() || inside.back() != '/')
            inside += '/';
        if (place.size() > inside.size() && SamePlaceName(place.substr(0, inside.size()), inside))
            return true;
    }
    return false;
}

} // namespace quarto
