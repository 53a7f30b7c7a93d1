// The lookup of a file that may stay on the disc: the full pictures of an edition, the music
// list and its tracks. The reader looks beside itself first, then on the discs.
#pragma once

#include "DiscDrives.h"

#include <string>
#include <string_view>

namespace quarto {

// The full path of the existing file folder + "\" + name, spelled as it exists: first below
// appFolder (the reader's folder), then below each root of drives.CdDriveLetters() in order,
// skipping a drive whose tray is open (IsTrayOpen is asked only when the file is not beside
// the reader, and never for the disc folders), then below each of drives.DiscFolders(). Every
// component is matched ignoring letter case. "" when the file is nowhere.
//
// folder ("Books\KEY\Pictures", "AudioData", "mp3") and name come from the edition data, with
// "\" (or "/") between the parts of folder. A folder or name that could lead outside its root
// (a "." or ".." part, a leading separator, a drive letter or any ":", a separator in name, an
// empty name) finds nothing. A failure while one drive or disc folder is examined is
// swallowed and the next one is tried.
std::string FindOnDisc(std::string_view appFolder, std::string_view folder, std::string_view name,
                       TDiscDrives& drives);

} // namespace quarto
