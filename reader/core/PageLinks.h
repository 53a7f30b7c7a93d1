// The links of a page: what a link target, exactly as written in the page, leads to. The main
// window's link handler, the view's own following of links and the exports classify targets
// here.
#pragma once

#include "BookCatalogue.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quarto {

enum class TLinkKind {
    ReferencePage,  // a target holding the letters "htm": a page of the edition's "Base"
    Picture,        // a ".jpg" file (any letter case)
    Video,          // an ".avi" file (any letter case)
    PageAnchor,     // "#name": a place in the page shown
    DesktopAddress, // "http:", "https:" or "mailto:": handed to the desktop
    Other,          // anything else: a file resolved against the page's base folder
};

// The kind of a target, in the order the reader tries them: "htm" anywhere (letter case
// significant), then the extension ".jpg" or ".avi", then an anchor, then an address.
TLinkKind LinkKindOf(std::string_view target);

struct TPageLink {
    TLinkKind Kind = TLinkKind::Other;
    // ReferencePage: bookFolder + "/Base/" + target with every "%20" made a space; "/", ".."
    // and an anchor suffix stay for the file loading. Picture: the first place to look,
    // bookFolder + "/Base/" + target, or bookFolder + "/" + target less a leading "../" when
    // that holds "Pictures/". Video: bookFolder + "/video_1/" + Name.
    std::string Path;
    // PageAnchor: the name after "#".
    std::string Anchor;
    // Picture, Video: the part of the target after its last "/" (empty when it has none).
    std::string Name;
    // Picture: where else the picture is looked for, below the reader's folder and on the
    // discs: "Books\" + key + "\Pictures" (spelled as the data spells it).
    std::string DiscFolder;
};

// What target leads to from a page of book.
TPageLink ClassifyLink(std::string_view target, const Tbook& book);

// A path to load split at its last "#": the file and the anchor after it ("" when none).
std::pair<std::string, std::string> SplitAnchor(std::string_view path);

// The place path names, for comparing places: made absolute, "/" and "\" both separators, "."
// and ".." applied; when it exists, looked up ignoring letter case and with its links followed.
std::string PlaceOf(std::string_view path);

// True when path (a file path without an anchor) lies inside one of folders, or is one of them,
// once both are taken to their places (PlaceOf). The links of a page may lead only into the
// edition's folder and the reader's folder: pages and pictures there, nothing else of the system.
bool LiesInside(std::string_view path, const std::vector<std::string>& folders);

} // namespace quarto
