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

// The scheme of an address, lowered ("file" for "FILE:///x"); "" when target has none. A
// scheme is two or more letters, digits, "+", "-" or "." after a letter, so that a drive letter
// ("C:") is none.
std::string SchemeOf(std::string_view target) {
    if (target.empty() || !IsAsciiLetter(target.front()))
        return {};
    std::size_t end = 1;
    while (end < target.size() && (IsAsciiLetter(target[end]) || IsAsciiDigit(target[end]) ||
                                   target[end] == '+' || target[end] == '-' || target[end] == '.'))
        ++end;
    if (end < 2 || end >= target.size() || target[end] != ':')
        return {};
    return AsciiLowered(target.substr(0, end));
}

int HexValue(char c) {
    if (IsAsciiDigit(c))
        return c - '0';
    const char lower = AsciiLower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// text with every "%XX" (two hexadecimal digits) made the byte it stands for.
std::string PercentDecoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
            continue;
        }
        decoded += text[i];
    }
    return decoded;
}

// The extensions of pages, which the view loads itself.
constexpr std::string_view PageExtensions[] = {".htm", ".html", ".shtml", ".xhtml"};

// The extensions of programs and scripts, which a link never starts: the desktop's own program
// for them is running them.
constexpr std::string_view ProgramExtensions[] = {
    ".exe", ".com",     ".bat", ".cmd", ".scr", ".pif",      ".msi", ".lnk", ".cpl",
    ".reg", ".vbs",     ".vbe", ".js",  ".jse", ".wsf",      ".wsh", ".hta", ".ps1",
    ".sh",  ".desktop", ".jar", ".run", ".bin", ".appimage", ".py",  ".pl"};

bool OneOf(std::string_view extension, const auto& extensions) {
    for (const std::string_view e : extensions)
        if (extension == e)
            return true;
    return false;
}

// The kind of a local file by the extension of its name.
TLinkKind FileKindOf(std::string_view file) {
    const std::string extension = ExtensionOf(file);
    if (extension == ".txt")
        return TLinkKind::Text;
    if (extension.empty() || OneOf(extension, PageExtensions))
        return TLinkKind::Other;
    if (OneOf(extension, ProgramExtensions))
        return TLinkKind::Program;
    return TLinkKind::DesktopFile;
}

} // namespace

TLinkKind LinkKindOf(std::string_view target) {
    if (target.find("htm") != std::string_view::npos)
        return TLinkKind::ReferencePage;
    // The pictures, clips and sounds the reader opens itself.
    const TMediaType& type = MediaTypeOfName(target);
    if (type.ReaderOpens && type.Kind == TMediaKind::Picture)
        return TLinkKind::Picture;
    if (type.ReaderOpens && type.Kind == TMediaKind::Clip)
        return TLinkKind::Video;
    if (type.ReaderOpens && type.Kind == TMediaKind::Sound)
        return TLinkKind::Sound;
    if (!target.empty() && target.front() == '#')
        return TLinkKind::PageAnchor;
    if (StartsIgnoringAsciiCase(target, "http:") || StartsIgnoringAsciiCase(target, "https:") ||
        StartsIgnoringAsciiCase(target, "mailto:"))
        return TLinkKind::DesktopAddress;
    std::string_view file = target;
    if (const std::string scheme = SchemeOf(target); !scheme.empty()) {
        if (scheme != "file")
            return TLinkKind::Other;
        file.remove_prefix(scheme.size() + 1);
    }
    return FileKindOf(file.substr(0, file.find_first_of("#?")));
}

std::string LinkedFilePath(std::string_view target, std::string_view pageFolder) {
    std::string_view file = target.substr(0, target.find_first_of("#?"));
    bool address = false;
    if (const std::string scheme = SchemeOf(file); !scheme.empty()) {
        if (scheme != "file")
            return {};
        file.remove_prefix(scheme.size() + 1);
        if (file.substr(0, 2) == "//") {
            file.remove_prefix(2);
            const std::size_t slash = file.find('/');
            if (slash == std::string_view::npos)
                return {};
            const std::string_view host = file.substr(0, slash);
            if (!host.empty() && !EqualsIgnoringAsciiCase(host, "localhost"))
                return {};
            file.remove_prefix(slash);
        }
        address = true;
    }
    std::string path = PercentDecoded(file);
    // A name cut short by a NUL byte would name another file.
    if (path.empty() || path.find('\0') != std::string::npos)
        return {};
#ifdef _WIN32
    // "file:///C:/x": the drive follows the slash.
    if (address && path.size() >= 3 && path[0] == '/' && IsAsciiLetter(path[1]) && path[2] == ':')
        path.erase(0, 1);
    if (path.front() == '/' || path.front() == '\\' ||
        (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':'))
        return path;
#else
    (void)address;
    if (path.front() == '/')
        return path;
#endif
    return JoinPath(pageFolder, path);
}

namespace {

// What target leads to from a page in pageFolder, which is the edition's "Base" when inBase.
TPageLink ClassifyFrom(std::string_view target, const Tbook& book, std::string_view pageFolder,
                       bool inBase) {
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
        if (!inBase)
            link.Path = JoinPath(pageFolder, target);
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
    case TLinkKind::Sound:
    case TLinkKind::Text:
    case TLinkKind::Program:
    case TLinkKind::DesktopFile:
        link.Path = LinkedFilePath(target, pageFolder);
        break;
    case TLinkKind::DesktopAddress:
    case TLinkKind::Other:
        break;
    }
    return link;
}

} // namespace

TPageLink ClassifyLink(std::string_view target, const Tbook& book) {
    return ClassifyFrom(target, book, PageBaseFolder(book.BookFolder), true);
}

TPageLink ClassifyLink(std::string_view target, const Tbook& book, std::string_view pageFolder) {
    const std::string base = PageBaseFolder(book.BookFolder);
    if (pageFolder.empty() || pageFolder == base)
        return ClassifyFrom(target, book, base, true);
    return ClassifyFrom(target, book, pageFolder, PlaceOf(pageFolder) == PlaceOf(base));
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
