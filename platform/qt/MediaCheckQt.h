// Plays files through the players of this system one after another and says how each went:
// the reader's "--play FILE..." (scripts/check-package tries the packaged players with it).
#pragma once

#include <QtGlobal>

#include <ostream>
#include <string>
#include <vector>

namespace quarto {

// Each sound is played to its end, each clip until it has shown pictures for a second; one
// line each on out ("name: ..."). 0 when every file played, else 1. A QApplication must exist.
int PlayEachFile(const std::vector<std::string>& paths, std::ostream& out);

} // namespace quarto
