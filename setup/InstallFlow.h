// The installation without its pages: the start-up state (disc descriptor, record), the check
// of the chosen folder, and the run itself (copy, record, shortcuts) with what it achieved.
// The window and the unattended installation (setup --target) both go through it. Standard
// C++ over the platform services it is handed; texts are UTF-8.
#pragma once

#include "platform/InstallRecord.h"
#include "platform/ProgramStarter.h"
#include "platform/Shortcuts.h"
#include "setup/CopyMachinery.h"
#include "setup/DiscDescriptor.h"

#include <optional>
#include <string>
#include <vector>

namespace quarto {

// Something that was not installed, and why.
struct TInstallFailure {
    std::string What;  // a path, or an edition
    std::string Why;   // Russian
    bool File = false; // a file (or folder) of the disc that was not copied
};

struct TInstallOutcome {
    std::vector<TInstallFailure> Failures;
    bool ReaderInstalled = false;       // the reader program is in the installation folder
    // The disc has no reader for this system: the program group came from the installer's
    // folder and only the editions from the disc.
    bool ReaderFromInstaller = false;
    std::vector<bool> EditionInstalled; // per edition of the disc, in order
    bool Recorded = false;              // the record was written by this run
    int ShortcutsMade = 0;              // edition and uninstaller shortcuts
    bool Complete() const { return Failures.empty(); }
};

// The folder typed into the folder field, made usable: blanks around it removed, a leading
// "~" read as the home folder. Nothing when it is empty or not a full path; refusal then says
// so.
std::optional<std::string> ChosenFolderOf(const std::string& typed, std::string* refusal);

// The disc the installer is to read, from its command line (without the program name) and its
// own folder (ending with a separator): the path after "--disc" when given; else the own folder
// when it holds the disc's descriptor; else empty, and the window asks for the disc.
std::string DiscOfCommandLine(const std::vector<std::string>& arguments,
                              const std::string& installerFolder);
// The disc a file chosen in the window's file dialog stands for: a disc image (".iso") is the
// disc itself; any other file (the descriptor "setup.inf", say) names the disc by its folder.
std::string DiscOfChosenFile(const std::string& chosen);

// True when name may be an edition's folder name: not empty, no "..", no separator, no drive.
bool IsSafeEditionName(const std::string& name);

class TInstallation {
public:
    // Reads the disc's descriptor and the record: the installer's start-up.
    // defaultInstallFolder: the reader's folder proposed for a first installation.
    TInstallation(std::string sourceFolder, const std::string& defaultInstallFolder,
                  TInstallRecord& record);

    std::string SourceFolder;  // ends with a separator
    std::string InstallFolder; // ends with a separator
    TDescriptorState DescriptorState = TDescriptorState::Read;
    std::int32_t RequiredMB = 700;
    std::int32_t DiscSubVersion = 0;
    std::vector<TDiscEdition> DiscEditions;
    bool AlreadyInstalled = false;
    bool NewerInstalled = false;

    // Why nothing can be installed from this disc (its descriptor is missing or unreadable);
    // "" when it can.
    std::string DescriptorProblem() const;
    // Edition i's key as UTF-8.
    std::string KeyOf(std::size_t i) const;

    // Installs into InstallFolder: copies through run (its callbacks set by the caller),
    // records the installation unless something the reader needs failed (or the installed
    // program is newer), and makes the shortcuts of what was installed. ECopyCancelled
    // passes through.
    TInstallOutcome Install(TCopyRun& run, TInstallRecord& record, TShortcuts& shortcuts);

    // Starts the installed reader with the first edition's key (none without editions).
    void StartReader(TProgramStarter& starter) const;
};

} // namespace quarto
