// Removing an installation: the reader's folder, the installation record and the menu group.
#pragma once

#include "platform/Platform.h"

#include <string>

namespace quarto {

// True when folder looks like a reader installation that may be removed whole: an existing
// folder holding the reader program, not the user's home and not a root.
bool IsRemovableInstallation(const std::string& folder);

// Removes the installation in folder (when IsRemovableInstallation), then the record and the
// shortcuts; an emptied parent folder goes too. False when the folder was not removed whole.
bool RemoveInstallation(const std::string& folder, TInstallRecord& record, TShortcuts& shortcuts);

} // namespace quarto
