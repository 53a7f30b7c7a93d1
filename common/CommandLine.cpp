#include "CommandLine.h"

#ifdef _WIN32
#include "WideText.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#endif

namespace quarto {

#ifdef _WIN32

namespace {

// The console's output code page before the program set UTF-8, given back when it ends (the
// console outlives the program).
UINT ConsoleCodePage = 0;

void GiveBackConsoleCodePage() {
    if (ConsoleCodePage != 0)
        SetConsoleOutputCP(ConsoleCodePage);
}

} // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8OfWide(wide[i]));
    LocalFree(wide);
    return arguments;
}

void UseUtf8Output() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (ConsoleCodePage == 0) {
        ConsoleCodePage = GetConsoleOutputCP();
        if (ConsoleCodePage != 0 && ConsoleCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
            std::atexit(GiveBackConsoleCodePage);
    }
}

#else

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void UseUtf8Output() {}

#endif

} // namespace quarto
