// The installer's copying: single files, folder trees, and the copy plan, the one list of what
// is copied for the reader and for each edition of a disc, from which the run both counts and
// copies. Standard C++ only; the window hands in what it shows through the callbacks.
#pragma once

#include "common/EditionLayout.h"
#include "common/FileSystem.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quarto {

// Creates every folder of path from its first separator on; existing folders and failures
// are passed over. Paths shorter than 3 characters are left alone.
void MakeFolderChain(const std::string& path);

// The copy run was ended by the user.
struct ECopyCancelled {};

// Why a file was not copied.
enum class TCopyProblem {
    CannotRead,  // the disc file (or folder) cannot be read
    CannotWrite, // the installation folder does not take it
    NoSpace,     // the disk of the installation folder is full
};

// The text the installer shows for a problem (UTF-8).
const char* CopyProblemText(TCopyProblem problem);

struct TCopyFailure {
    std::string Source;      // the disc path
    std::string Destination; // the installation path ("" for a disc folder that cannot be read)
    TCopyProblem Problem = TCopyProblem::CannotRead;
    // The path the problem is about: the disc's for a read, the installation's for a write.
    const std::string& Path() const {
        return Problem == TCopyProblem::CannotRead || Destination.empty() ? Source : Destination;
    }
};

// The temporary name a file is copied to beside destination before it replaces it.
std::string TemporaryCopyName(const std::string& destination);

// The groups of a copy run, each announced to the window as it starts.
enum class TCopyGroup { Program, Data, Video, Audio, Pictures };

// The name the installer shows for a group (UTF-8): "Программа", "Данные", ...
const char* CopyGroupName(TCopyGroup group);

// How an entry of a copy plan is copied.
enum class TCopyKind {
    Program,          // a program of the disc, kept executable
    InstallerProgram, // a program of the installer's folder, in place of the disc's
    InstallerFile,    // a file of the installer's folder, unless the installation has it now
    Folder,           // a folder tree of the disc
    EditionFolder,    // the edition's folder, made even when none of its folders is on the disc
    Text,             // one of an edition's texts: the copy of each counts for its edition
};

// One entry of a copy plan. Path is relative to the disc (the installer's folder for the
// installer's kinds) and to the installation.
struct TCopyEntry {
    TCopyGroup Group = TCopyGroup::Program;
    std::string Path;
    TCopyKind Kind = TCopyKind::Folder;
    // The index of its edition in TCopyPlan::Keys; NoEdition in the program group.
    std::size_t Edition = NoEdition;
    static constexpr std::size_t NoEdition = static_cast<std::size_t>(-1);
};

// What a run copies, made once: the installer counts the bytes and copies from it.
struct TCopyPlan {
    std::vector<std::string> Keys; // the editions, in copy order
    std::vector<TCopyEntry> Entries;
};

struct TCopyResult {
    // False when the reader program was on the disc (or in the installer's folder, for a
    // disc without one) and could not be copied.
    bool ReaderCopied = true;
    // For each of TCopyPlan::Keys: every one of its texts on the disc was copied.
    std::vector<bool> TextsCopied;
};

// One installation's copy run from the disc folder to the installation folder.
class TCopyRun {
public:
    // Both folders end with a separator. newerInstalled: the installed reader is newer than
    // the disc's, so the program group is not replaced.
    TCopyRun(std::string sourceFolder, std::string installFolder, bool newerInstalled);

    // The group being copied ("Программа", "Данные", ...); the progress page comes forward.
    std::function<void(const std::string& group)> OnGroup;
    // The name (without folder) of the last file a folder copy has copied.
    std::function<void(const std::string& name)> OnFileCopied;
    // Let the window handle what is waiting (repaint, labels, a close).
    std::function<void()> OnPump;
    // Asked with every pump: true ends the run (the user closed the installer); the copy
    // functions then throw ECopyCancelled.
    std::function<bool()> Cancelled;
    // How far the run is, 0 to 1: the mean of the share of the files and of the bytes copied.
    std::function<void(double fraction)> OnProgress;
    // OnFileCopied, OnProgress, OnPump and Cancelled are called at most once per PumpInterval
    // while files are copied, and at every group change and Flush: a run of thousands of
    // small files is not held up by the window.
    std::chrono::milliseconds PumpInterval{40};

    // Copies source to destination through the file layer: to a temporary name beside
    // destination, then renamed over it, so that a copy that fails leaves the old file whole
    // and no temporary file behind. A source that does not exist is passed over; one that
    // exists but cannot be copied is added to Failures. The destination folder is not created.
    // True when the file was copied.
    bool CopyOneFile(const std::string& source, const std::string& destination);
    // Copies the tree of source into destination, which exists afterwards even when source
    // does not; reports each copied file to OnFileCopied. A source folder that exists but
    // cannot be listed is a failure.
    void CopyFolder(const std::string& source, const std::string& destination);

    // The installer's own folder (ending with a separator, or empty), holding this system's
    // reader, uninstaller, page templates and article picture. A disc made for another system
    // carries only that system's programs: the program group then comes from here, and so do
    // the page templates and the article picture the disc lacks.
    std::string InstallerFolder;
    // True when the disc has no reader for this system and InstallerFolder has one.
    bool ReaderFromInstaller() const;

    // The entries this run copies, in copy order: the program group when programGroup (its
    // programs and "Base" unless newerInstalled, "Skins", and for a disc without a reader for
    // this system the installer's programs and the page templates and article picture the disc
    // lacks), then for each edition of keys its "PicData", "Base", "Skins", its folder, the
    // contents, text store, index and descriptor, "Images", "Video", "Audio" and "Pictures".
    TCopyPlan PlanOf(const std::vector<std::string>& keys, bool programGroup = true) const;
    // The bytes and files plan will copy, for the progress bar: sets TotalBytes and TotalFiles
    // and returns TotalBytes. The folders are listed here once, for the copy.
    std::int64_t Count(const TCopyPlan& plan);
    // Copies plan's entries in order, announcing each group as it starts and handing the
    // window the last name and the progress after each edition and at the end.
    TCopyResult Copy(const TCopyPlan& plan);
    // Hands the window the last name and the progress now.
    void Flush();

    double Fraction() const;

    // The disc files that exist but could not be copied, in copy order.
    std::vector<TCopyFailure> Failures;
    std::int64_t TotalBytes = 0;
    std::int64_t DoneBytes = 0;
    std::int64_t TotalFiles = 0;
    std::int64_t DoneFiles = 0;

private:
    // The disc's spelling of relative path x (looked up ignoring letter case), or x itself.
    std::string SourcePathOf(const std::string& x) const;
    std::string RelativeOfSource(const std::string& source) const;
    // program: copied with the system's own copy, which keeps the permissions (the reader
    // must stay executable); data files are streamed through one buffer.
    bool CopyFile(const std::string& source, const TFileInfo& info, const std::string& destination,
                  bool program = false);
    void StreamFile(const std::string& source, std::int64_t size, const std::string& to);
    void CopyTree(const std::string& source, const std::string& destination);
    bool CopyListedFile(const std::string& x, bool program = false);
    void CopyListedFolder(const std::string& x);
    // x of the installer's folder, copied to the installation when the disc had none there
    // (always when always); true unless it was there and could not be copied.
    bool CopyInstallerFile(const std::string& x, bool program, bool always);
    void Group(TCopyGroup group);
    void Copied(const std::string* name);
    void Pump();
    void CountTree(const std::string& path);

    std::string FSource;
    std::string FInstall;
    bool FNewerInstalled;
    std::string FLastName;
    bool FNameShown = true;
    std::chrono::steady_clock::time_point FLastPump{};
    // The disc folders Count has listed (sorted) with what each entry is, so that the copy
    // asks the disc once per file.
    struct TEntry {
        std::string Name;
        TFileInfo Info;
    };
    std::unordered_map<std::string, std::vector<TEntry>> FListings;
    std::string FBuffer;
};

} // namespace quarto
