// Checking an edition's files: what the reader would stumble over, one problem per line.
#pragma once

#include "reader/core/BookCatalogue.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// The lookup of a file the reader may take from a disc (FindOnDisc with the reader's folder and
// drives bound): the path of folder\name, or "" when it is nowhere.
using TDiscFinder = std::function<std::string(std::string_view folder, std::string_view name)>;

// Every problem found in the edition's descriptor, contents file, text store, word index,
// illustration catalogue (with every thumbnail decoded), audio and video lists (with their
// files) and, for an edition with music when findOnDisc is given and finds the music list, the
// music list and its tracks; as UTF-8 lines naming the file and where in it; empty when there
// is none.
std::vector<std::string> CheckEdition(const Tbook& book, const TDiscFinder& findOnDisc = {});

} // namespace quarto
