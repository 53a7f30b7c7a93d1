// The command line and the standard streams of a console program, the same on every system.
#pragma once

#include <string>
#include <vector>

namespace quarto {

// The program's arguments in UTF-8, the program's name first. On Windows they are read again
// as wide characters from the system's command line (argv holds them in the ANSI code page,
// which loses every letter it lacks); elsewhere they are argv as it is.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Standard output and error take the bytes written as they are: on Windows no CR is put
// before each LF, and a console shows the text as UTF-8. Nothing to do elsewhere.
void UseUtf8Output();

} // namespace quarto
