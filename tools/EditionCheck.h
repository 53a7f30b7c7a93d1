// Checking an edition's files: what the reader would stumble over, one problem per line.
#pragma once

#include "reader/core/BookCatalogue.h"

#include <string>
#include <vector>

namespace quarto {

// Every problem found in the edition's descriptor, contents file, text store, word index and
// illustration catalogue (with every thumbnail decoded), as UTF-8
// lines naming the file and where in it; empty when there is none.
std::vector<std::string> CheckEdition(const Tbook& book);

} // namespace quarto
