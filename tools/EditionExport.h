// Exporting an edition for other devices: an EPUB 3 book, or a folder of plain HTML pages.
// Both follow the contents tree: one page per node, holding the texts of its entry and of the
// entries the tree leaves out after it (so each text appears once, in the tree's order), made
// well-formed XHTML in UTF-8. The links of the pages are followed as the reader classifies
// them: reference pages of "Base" are exported too (anchors kept), linked pictures and the
// pictures of the pages are copied, linked clips are copied into the HTML folder (a book has
// no place for them), addresses stay, anything else keeps its text without the link. With the Pictures option the illustration catalogue becomes a gallery. What cannot be
// read is reported and left out; the rest is exported.
#pragma once

#include "reader/core/BookCatalogue.h"
#include "tools/EditionCheck.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace quarto {

struct TExportOptions {
    // The reader's folder (ending with a separator) and the lookup of full pictures beside it
    // and on the discs.
    std::string AppFolder;
    TDiscFinder FindOnDisc;
    // Called after each page: pages done, pages in all.
    std::function<void(std::size_t done, std::size_t total)> Progress;
    // The book's time of change, "CCYY-MM-DDThh:mm:ssZ"; empty: now.
    std::string Modified;
};

struct TExportReport {
    // What was left out, one UTF-8 line each.
    std::vector<std::string> Problems;
    std::size_t Pages = 0; // the contents pages written
};

// Writes book as an EPUB 3 file at path. Throws EStreamError when the book cannot be written
// and std::runtime_error when the edition has no contents file.
TExportReport ExportEpub(const Tbook& book, const std::string& path, const TExportOptions& options);

// Writes book as HTML pages into folder (created): "index.html" with the contents, the pages
// in "pages", reference pages in "ref", pictures in "images", clips in "video", and
// "style.css".
TExportReport ExportHtml(const Tbook& book, const std::string& folder,
                         const TExportOptions& options);

} // namespace quarto
