// The installation record of the current user: where the reader is installed and which version
// of the program group it holds. Strings are UTF-8.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace quarto {

struct TInstallRecordValues {
    std::string Path;
    int SubVersion = 0;
};

// The record "\SOFTWARE\Zelvane\Quarto": the user's settings file ~/.config/Zelvane/Quarto.conf
// here (InstallRecordSettings.cpp), the registry key HKEY_CURRENT_USER\Software\Zelvane\Quarto
// on Windows (InstallRecordWindows.cpp).
class TInstallRecord {
public:
    virtual ~TInstallRecord() = default;
    // The record, or nothing when it does not exist. A missing "Path" or "SubVersion" value
    // reads as defaultPath / 0.
    virtual std::optional<TInstallRecordValues> Read(const std::string& defaultPath) = 0;
    // Creates or updates the record; false when it cannot be written.
    virtual bool Write(const TInstallRecordValues& values) = 0;
    virtual void Remove() = 0;
};

// The record of this system.
std::unique_ptr<TInstallRecord> MakeInstallRecord();

} // namespace quarto
