// An environment variable set for as long as a test's object lives, then given back its old
// value (or unset). Values are UTF-8; on Windows they are set as wide text, as the programs
// read them.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#ifdef _WIN32
#include "common/WideText.h"
#endif

namespace quarto::test {

class TEnvironment {
public:
    TEnvironment(const char* name, const std::string& value) : FName(name) {
#ifdef _WIN32
        if (const wchar_t* old = _wgetenv(WideOf(name).c_str()))
            FOld = Utf8OfWide(old);
#else
        if (const char* old = std::getenv(name))
            FOld = old;
#endif
        Set(value);
    }
    ~TEnvironment() { Set(FOld); }
    TEnvironment(const TEnvironment&) = delete;
    TEnvironment& operator=(const TEnvironment&) = delete;

private:
    void Set(const std::optional<std::string>& value) {
#ifdef _WIN32
        _wputenv_s(WideOf(FName).c_str(), value ? WideOf(*value).c_str() : L"");
#else
        if (value)
            setenv(FName, value->c_str(), 1);
        else
            unsetenv(FName);
#endif
    }
    const char* FName;
    std::optional<std::string> FOld;
};

} // namespace quarto::test
