// The services of the system the programs use in place of the Windows ones: the installation
// record, free space, menu shortcuts and starting a program. Each is an interface with this
// system's implementation (Make...) and fakes for tests (PlatformFakes.h). Strings are UTF-8;
// paths are spelled as this system spells them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quarto {

struct TInstallRecordValues {
    std::string Path;
    int SubVersion = 0;
};

// The installation record of the current user: "\SOFTWARE\Zelvane\Quarto".
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

class TFreeSpace {
public:
    virtual ~TFreeSpace() = default;
    // Megabytes (bytes / 1048576, rounded down) available to the user on the file system that
    // holds path, or would hold it: a folder that does not exist yet is measured at its nearest
    // existing ancestor. 0 when nothing can be measured.
    virtual std::int64_t FreeMegabytes(const std::string& path) = 0;
};

// The menu group "Электронные книги".
class TShortcuts {
public:
    virtual ~TShortcuts() = default;
    // Makes (or replaces) the shortcut called name that starts target with arguments ("" for
    // none) in target's folder. Silent: returns false when no shortcut was made (a name that
    // cannot be a file name: empty, ".", "..", or holding any of \ / : * ? " < > | or a control
    // character, the same rule on every platform).
    virtual bool CreateShortcut(const std::string& target, const std::string& name,
                                const std::string& arguments) = 0;
    // Removes every shortcut of the group and the group itself.
    virtual void RemoveAll() = 0;
};

class TProgramStarter {
public:
    virtual ~TProgramStarter() = default;
    // Starts program detached, in its own folder, with the arguments; false when it cannot.
    virtual bool Start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// True when name can be a shortcut's file name on every platform: not empty, not "." or "..",
// without \ / : * ? " < > | and control characters.
bool IsShortcutName(const std::string& name);

// The real services of this system.
std::unique_ptr<TInstallRecord> MakeInstallRecord();
std::unique_ptr<TFreeSpace> MakeFreeSpace();
std::unique_ptr<TShortcuts> MakeShortcuts();
std::unique_ptr<TProgramStarter> MakeProgramStarter();

} // namespace quarto
