// Removing an installation: the reader's folder, the installation record and the menu group.
#pragma once

#include "platform/InstallRecord.h"
#include "platform/Shortcuts.h"

#include <string>

namespace quarto {

// True when folder looks like a reader installation that may be removed whole: an existing
// folder holding the reader program that is not a root, the user's home or a folder above it.
bool IsRemovableInstallation(const std::string& folder);

// Removes the installation in folder (when IsRemovableInstallation), then the record and the
// shortcuts; the parent folder goes too when nothing else is left in it (never a root or the
// home). False when the folder was not removed whole.
bool RemoveInstallation(const std::string& folder, TInstallRecord& record, TShortcuts& shortcuts);

} // namespace quarto
