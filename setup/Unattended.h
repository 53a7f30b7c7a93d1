// The installation without pages: "setup --target DIR [--disc PATH] [--no-start]", for
// administrators and tests. The same checks, copies, record and shortcuts as the window.
#pragma once

#include "setup/Unit1.h"

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
// sourceFolder (ending with a separator; "--disc" names another). Writes one line per failure
// and a last line with what was installed to out (UTF-8) and returns the exit status.
int RunUnattended(const std::vector<std::string>& arguments, const std::string& sourceFolder,
                  TSetupServices& services, std::string& out);

} // namespace quarto::setup
