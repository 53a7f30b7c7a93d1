// quarto-tool (or any command) run as a user runs it: a process through the shell, its output
// and error streams caught in files of a scratch folder, and its exit status.
#pragma once

#include "EditionFixture.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace quarto::test {

struct TResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// s quoted for the shell.
inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs command through the shell, its output and error going to files in scratch.
inline TResult RunCommand(const std::string& command, const TPath& scratch) {
    const std::string out = (scratch / "out").string();
    const std::string err = (scratch / "err").string();
    const int status = std::system((command + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(out), ReadWholeFile(err)};
}

} // namespace quarto::test
