// Fakes of the platform services for tests. Each fake works on a state the test owns, so that
// the test can look at it after the program under test has taken the fake. The shortcuts fake
// needs IsShortcutName (quarto_platform_shortcuts); the others only their headers. The players'
// fakes play nothing: the test says when a file ends or a clip is loaded.
#pragma once

#include "DiscDrives.h"
#include "FreeSpace.h"
#include "InstallRecord.h"
#include "MediaPlayer.h"
#include "ProgramStarter.h"
#include "Shortcuts.h"
#include "VideoPlayer.h"

#include <algorithm>
#include <cstdint>
#include <functional>
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

struct TFakeMediaState {
    std::vector<std::string> Calls;    // "SetFileName x", "Open", "Play", "Pause", "Resume", ...
    std::vector<std::string> Opened;   // the file names opened, in order
    std::vector<TMediaMode> ModesTold; // what OnModeChange was told, in order
    std::set<std::string> Unplayable;  // file names Open fails on
    std::string FileName;
    TMediaMode Mode = TMediaMode::NotOpen;
    std::int64_t Position = 0;
    std::int64_t Duration = 0;
    int Volume = 100;
    std::function<void(TMediaMode)> ModeChange; // the player's callbacks
    std::function<void()> End;
};

class TFakeMediaPlayer : public TMediaPlayer {
public:
    explicit TFakeMediaPlayer(TFakeMediaState& state) : FState(state) {}
    void SetFileName(const std::string& path) override {
        FState.Calls.push_back("SetFileName " + path);
        FState.FileName = path;
    }
    const std::string& FileName() const override { return FState.FileName; }
    void Open() override {
        FState.Calls.push_back("Open");
        SetMode(TMediaMode::NotOpen);
        FState.Position = 0;
        if (FState.FileName.empty() || FState.Unplayable.count(FState.FileName))
            throw EMediaError("Не удаётся открыть файл «" + FState.FileName +
                              "»: Could not determine type of stream.");
        FState.Opened.push_back(FState.FileName);
        SetMode(TMediaMode::Stopped);
    }
    void Play() override {
        FState.Calls.push_back("Play");
        if (FState.Mode == TMediaMode::NotOpen)
            throw EMediaError("Нет открытого файла для воспроизведения.");
        FState.Position = 0;
        SetMode(TMediaMode::Playing);
    }
    void Pause() override {
        FState.Calls.push_back("Pause");
        if (FState.Mode == TMediaMode::Playing)
            SetMode(TMediaMode::Paused);
    }
    void Resume() override {
        FState.Calls.push_back("Resume");
        if (FState.Mode == TMediaMode::Paused)
            SetMode(TMediaMode::Playing);
    }
    void Stop() override {
        FState.Calls.push_back("Stop");
        if (FState.Mode != TMediaMode::NotOpen) {
            FState.Position = 0;
            SetMode(TMediaMode::Stopped);
        }
    }
    TMediaMode Mode() const override { return FState.Mode; }
    std::int64_t Position() const override { return FState.Position; }
    std::int64_t Duration() const override { return FState.Duration; }
    void Seek(std::int64_t ms) override {
        FState.Calls.push_back("Seek " + std::to_string(ms));
        FState.Position = std::clamp<std::int64_t>(ms, 0, FState.Duration);
    }
    int Volume() const override { return FState.Volume; }
    void SetVolume(int percent) override { FState.Volume = std::clamp(percent, 0, 100); }
    void OnModeChange(std::function<void(TMediaMode)> callback) override {
        FState.ModeChange = std::move(callback);
    }
    void OnEnd(std::function<void()> callback) override { FState.End = std::move(callback); }

private:
    void SetMode(TMediaMode mode) {
        if (mode == FState.Mode)
            return;
        FState.Mode = mode;
        FState.ModesTold.push_back(mode);
        if (FState.ModeChange)
            FState.ModeChange(mode);
    }
    TFakeMediaState& FState;
};

// The file playing in the fake player plays to its end, as the real one tells it.
inline void FinishPlaying(TFakeMediaState& state) {
    if (state.Mode != TMediaMode::Playing)
        return;
    state.Position = state.Duration;
    state.Mode = TMediaMode::Stopped;
    state.ModesTold.push_back(TMediaMode::Stopped);
    if (state.ModeChange)
        state.ModeChange(TMediaMode::Stopped);
    if (state.End)
        state.End();
}

struct TFakeVideoState {
    std::vector<std::string> Calls; // "SetFileName x", "Play", "Pause", "Stop", "Seek 10"
    std::vector<TVideoReadyState> ReadyStatesTold;
    std::set<std::string> Unplayable; // file names that fail to load
    TVideoSize ClipSize{320, 240};    // the size a clip reports once loaded
    bool LoadAtOnce = true;           // false: the clip stays Loading until FinishLoading
    std::string FileName;
    bool AutoStart = true;
    TMediaMode Mode = TMediaMode::NotOpen;
    TVideoReadyState ReadyState = TVideoReadyState::Empty;
    TVideoSize Size;
    bool HasSound = false; // what HasSound tells
    std::int64_t Position = 0;
    std::int64_t Duration = 0;
    int Volume = 100;
    std::function<void(TVideoReadyState)> ReadyStateChange; // the player's callback
};

// The clip given to the fake video player is loaded (or fails, when Unplayable), as the real
// one tells it.
inline void FinishLoading(TFakeVideoState& state) {
    if (state.ReadyState != TVideoReadyState::Loading)
        return;
    const bool fails = state.Unplayable.count(state.FileName) > 0;
    state.ReadyState = fails ? TVideoReadyState::Failed : TVideoReadyState::Ready;
    state.Size = fails ? TVideoSize{} : state.ClipSize;
    state.Mode =
        fails ? TMediaMode::NotOpen : (state.AutoStart ? TMediaMode::Playing : TMediaMode::Paused);
    state.ReadyStatesTold.push_back(state.ReadyState);
    if (state.ReadyStateChange)
        state.ReadyStateChange(state.ReadyState);
}

class TFakeVideoPlayer : public TVideoPlayer {
public:
    explicit TFakeVideoPlayer(TFakeVideoState& state) : FState(state) {}
    void SetFileName(const std::string& path) override {
        FState.Calls.push_back("SetFileName " + path);
        FState.FileName = path;
        FState.Size = {};
        FState.Position = 0;
        FState.Mode = TMediaMode::NotOpen;
        Tell(path.empty() ? TVideoReadyState::Empty : TVideoReadyState::Loading);
        if (!path.empty() && FState.LoadAtOnce)
            FinishLoading(FState);
    }
    const std::string& FileName() const override { return FState.FileName; }
    bool AutoStart() const override { return FState.AutoStart; }
    void SetAutoStart(bool on) override { FState.AutoStart = on; }
    void Play() override {
        FState.Calls.push_back("Play");
        if (FState.ReadyState == TVideoReadyState::Ready)
            FState.Mode = TMediaMode::Playing;
    }
    void Pause() override {
        FState.Calls.push_back("Pause");
        if (FState.Mode == TMediaMode::Playing)
            FState.Mode = TMediaMode::Paused;
    }
    void Stop() override {
        FState.Calls.push_back("Stop");
        if (FState.Mode != TMediaMode::NotOpen)
            FState.Mode = TMediaMode::Stopped;
        FState.Position = 0;
    }
    TMediaMode Mode() const override { return FState.Mode; }
    TVideoReadyState ReadyState() const override { return FState.ReadyState; }
    std::string ErrorText() const override {
        return FState.ReadyState == TVideoReadyState::Failed ? "Could not determine type of stream."
                                                             : "";
    }
    TVideoSize VideoSize() const override { return FState.Size; }
    bool HasSound() const override { return FState.HasSound; }
    void OnReadyStateChange(std::function<void(TVideoReadyState)> callback) override {
        FState.ReadyStateChange = std::move(callback);
    }
    std::int64_t Position() const override { return FState.Position; }
    std::int64_t Duration() const override { return FState.Duration; }
    void Seek(std::int64_t ms) override {
        FState.Calls.push_back("Seek " + std::to_string(ms));
        FState.Position = std::clamp<std::int64_t>(ms, 0, FState.Duration);
    }
    int Volume() const override { return FState.Volume; }
    void SetVolume(int percent) override { FState.Volume = std::clamp(percent, 0, 100); }

private:
    void Tell(TVideoReadyState state) {
        if (state == FState.ReadyState)
            return;
        FState.ReadyState = state;
        FState.ReadyStatesTold.push_back(state);
        if (FState.ReadyStateChange)
            FState.ReadyStateChange(state);
    }
    TFakeVideoState& FState;
};

} // namespace quarto
