// What the media framework finds in a sound or clip file before it plays it: the elements it
// lacks to play it (GStreamer's missing-plugin details, worded in MediaTexts.h).
#pragma once

#include "MediaTexts.h"

#include <string>
#include <vector>

namespace quarto {

struct TMediaProbe {
    bool Done = false; // false: not probed (no framework to ask, or it gave no answer in time)
    std::vector<TMissingElement> Missing;
};

// Asks the framework to read path (a real file, UTF-8) as far as it takes to know its streams,
// waiting up to timeoutMs. Safe on any thread; several may run at once.
TMediaProbe ProbeMedia(const std::string& path, int timeoutMs);

} // namespace quarto
