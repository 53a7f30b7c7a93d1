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
    Picture,        // a picture file: ".jpg", ".jpeg", ".png", ".gif", ".bmp" (any letter case)
    Video,          // an ".avi" file (any letter case)
    Sound,          // a sound file: ".mp3", ".wav", ".mid", ".midi", played by the player bar
    PageAnchor,     // "#name": a place in the page shown
    DesktopAddress, // "http:", "https:" or "mailto:": handed to the desktop
    Text,           // a ".txt" file: shown as preformatted text
    Program,        // a program or script (".exe", ".bat", ".sh", ...): never started
    DesktopFile,    // a file of any other kind: offered to the desktop's own program
    Other,          // a page the view loads itself: ".htm" or ".html" in other letter case, a
                    // name without extension, an address of another scheme
};

// The kind of a target, in the order the reader tries them: "htm" anywhere (letter case
// significant), then the extension of a picture, a clip or a sound (MediaKinds.h), then an
// anchor, then an address; then, by the extension of the file it names (before any "#" or
// "?"; "file:" addresses by their path): a text, a page, a program, any other file.
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

// What target leads to from a page of book in the edition's "Base" (an article, the about
// page).
TPageLink ClassifyLink(std::string_view target, const Tbook& book);
// ... from a page of book in pageFolder (a reference page): the files of the kinds Sound,
// Text, Program and DesktopFile are found from there, and so is a picture when pageFolder is
// not the edition's "Base" (Path: pageFolder + target; it is still looked for by its name
// below the reader's folder and on the discs). An empty pageFolder is the edition's "Base".
TPageLink ClassifyLink(std::string_view target, const Tbook& book, std::string_view pageFolder);

// The local file a link target names, from a page in pageFolder: the target up to its first
// "#" or "?", "%XX" escapes made bytes; a "file:" address by its path ("file:///x", "file:/x",
// "file://localhost/x"; "" for another host); a full path as it is, a relative one joined to
// pageFolder ("/" and ".." kept, for PlaceOf and LiesInside). "" for an address of another
// scheme and for an empty name.
std::string LinkedFilePath(std::string_view target, std::string_view pageFolder);

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
