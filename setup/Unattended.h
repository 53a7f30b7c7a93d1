// The installation without pages: "setup --target DIR [--disc PATH] [--no-start]", for
// administrators and tests. The same checks, copies, record and shortcuts as the window.
#pragma once

#include "setup/qt/Unit1.h"

#include <string>
#include <vector>

namespace quarto::setup {

// Exit statuses of the unattended installation.
inline constexpr int UnattendedInstalled = 0; // everything was installed
inline constexpr int UnattendedFailed = 1;    // something was not
inline constexpr int UnattendedRefused = 2;   // nothing was tried: folder, descriptor, space, usage

// True when the command line asks for the unattended installation (it holds "--target").
bool IsUnattended(const std::vector<std::string>& arguments);

// Runs the unattended installation for arguments (without the program name) from the disc in
// installerFolder, the installer's own folder (ending with a separator; "--disc" names another
// disc). A disc without a reader for this system gets the program group from installerFolder.
// Writes one line per failure and a last line with what was installed to out (UTF-8) and
// returns the exit status.
int RunUnattended(const std::vector<std::string>& arguments, const std::string& installerFolder,
                  TSetupServices& services, std::string& out);

} // namespace quarto::setup
