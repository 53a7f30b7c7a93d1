// Fakes of the platform services for tests. Each fake works on a state the test owns, so that
// the test can look at it after the program under test has taken the fake. The shortcuts fake
// needs IsShortcutName (quarto_platform_shortcuts); the others only their headers.
#pragma once

#include "DiscDrives.h"
#include "FreeSpace.h"
#include "InstallRecord.h"
#include "ProgramStarter.h"
#include "Shortcuts.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace quarto {

struct TFakeRecordState {
    std::optional<TInstallRecordValues> Values; // the record, when it exists
    bool MissingValues = false;                 // the record exists without either value
    bool MissingPath = false;                   // ... without "Path"
    bool MissingSubVersion = false;             // ... without "SubVersion"
    bool FailWrites = false;
    int Writes = 0;
};

class TFakeInstallRecord : public TInstallRecord {
public:
    explicit TFakeInstallRecord(TFakeRecordState& state) : FState(state) {}
    std::optional<TInstallRecordValues> Read(const std::string& defaultPath) override {
        if (!FState.Values)
            return std::nullopt;
        TInstallRecordValues values = *FState.Values;
        if (FState.MissingValues || FState.MissingPath)
            values.Path = defaultPath;
        if (FState.MissingValues || FState.MissingSubVersion)
            values.SubVersion = 0;
        return values;
    }
    bool Write(const TInstallRecordValues& values) override {
        if (FState.FailWrites)
            return false;
        FState.Values = values;
        FState.MissingValues = FState.MissingPath = FState.MissingSubVersion = false;
        ++FState.Writes;
        return true;
    }
    void Remove() override { FState.Values.reset(); }

private:
    TFakeRecordState& FState;
};

struct TFakeFreeSpaceState {
    std::int64_t Megabytes = 0;
    std::vector<std::string> Asked; // the paths measured, in order
};

class TFakeFreeSpace : public TFreeSpace {
public:
    explicit TFakeFreeSpace(TFakeFreeSpaceState& state) : FState(state) {}
    std::int64_t FreeMegabytes(const std::string& path) override {
        FState.Asked.push_back(path);
        return FState.Megabytes;
    }

private:
    TFakeFreeSpaceState& FState;
};

struct TFakeShortcut {
    std::string Target;
    std::string Name;
    std::string Arguments;
};

struct TFakeShortcutsState {
    std::vector<TFakeShortcut> Links; // in the order first made; a name made again replaces
};

class TFakeShortcuts : public TShortcuts {
public:
    explicit TFakeShortcuts(TFakeShortcutsState& state) : FState(state) {}
    bool CreateShortcut(const std::string& target, const std::string& name,
                        const std::string& arguments) override {
        if (!IsShortcutName(name))
            return false;
        const auto same = std::find_if(FState.Links.begin(), FState.Links.end(),
                                       [&](const TFakeShortcut& l) { return l.Name == name; });
        if (same != FState.Links.end())
            *same = {target, name, arguments};
        else
            FState.Links.push_back({target, name, arguments});
        return true;
    }
    void RemoveAll() override { FState.Links.clear(); }

private:
    TFakeShortcutsState& FState;
};

struct TFakeStart {
    std::string Program;
    std::vector<std::string> Arguments;
};

struct TFakeStarterState {
    std::vector<TFakeStart> Calls;
};

class TFakeProgramStarter : public TProgramStarter {
public:
    explicit TFakeProgramStarter(TFakeStarterState& state) : FState(state) {}
    bool Start(const std::string& program, const std::vector<std::string>& arguments) override {
        FState.Calls.push_back({program, arguments});
        return true;
    }

private:
    TFakeStarterState& FState;
};

struct TFakeDiscDrivesState {
    std::vector<std::string> Drives;      // CdDriveLetters, in order
    std::vector<std::string> Folders;     // DiscFolders, in order
    std::set<std::string> OpenTrays;      // drives whose tray is open
    std::set<std::string> Failing;        // drives whose tray query throws
    int Listings = 0;                     // calls of CdDriveLetters
    std::vector<std::string> TrayQueries; // the drives asked, in order
};

class TFakeDiscDrives : public TDiscDrives {
public:
    explicit TFakeDiscDrives(TFakeDiscDrivesState& state) : FState(state) {}
    std::vector<std::string> CdDriveLetters() override {
        ++FState.Listings;
        return FState.Drives;
    }
    bool IsTrayOpen(const std::string& root) override {
        FState.TrayQueries.push_back(root);
        if (FState.Failing.count(root))
            throw std::runtime_error("the drive " + root + " is not ready");
        return FState.OpenTrays.count(root) > 0;
    }
    std::vector<std::string> DiscFolders() override { return FState.Folders; }

private:
    TFakeDiscDrivesState& FState;
};

} // namespace quarto
