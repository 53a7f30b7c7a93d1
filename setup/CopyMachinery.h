// The installer's copying: single files, folder trees, and the fixed lists of what is copied
// for the reader and for each edition of a disc. Standard C++ only; the window hands in what
// it shows through the callbacks.
#pragma once

#include "common/EditionLayout.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quarto {

// Creates every folder of path from its first separator on; existing folders and failures
// are passed over. Paths shorter than 3 characters are left alone.
void MakeFolderChain(const std::string& path);

// The copy run was ended by the user.
struct ECopyCancelled {};

// One installation's copy run from the disc folder to the installation folder.
class TCopyRun {
public:
    // Both folders end with a separator. newerInstalled: the installed reader is newer than
    // the disc's, so the program group is not replaced.
    TCopyRun(std::string sourceFolder, std::string installFolder, bool newerInstalled);

    // The group being copied ("Программа", "Данные", ...); the progress page comes forward.
    std::function<void(const std::string& group)> OnGroup;
    // The name (without folder) of a file a folder copy has just copied.
    std::function<void(const std::string& name)> OnFileCopied;
    // After every copied file: let the window handle what is waiting (repaint, labels).
    std::function<void()> OnPump;
    // Asked after every file: true ends the run (the user closed the installer); the copy
    // functions then throw ECopyCancelled.
    std::function<bool()> Cancelled;
    // Bytes copied so far of TotalBytes.
    std::function<void(std::int64_t done, std::int64_t total)> OnProgress;

    // Copies source to destination (replacing it) through the file layer. A source that does not
    // exist is passed over; one that exists but cannot be copied is added to Failures. The
    // destination folder is not created. True when the file was copied.
    bool CopyOneFile(const std::string& source, const std::string& destination);
    // Copies the tree of source into destination, which exists afterwards even when source
    // does not; reports each copied file to OnFileCopied.
    void CopyFolder(const std::string& source, const std::string& destination);

    // The program group (unless newerInstalled), "Base", "Skins", then edition key's files and
    // folders: "PicData", "Base", "Skins", the contents, text store, index and descriptor,
    // "Images", "Video", "Audio".
    void CopyEditionFiles(const std::string& key);
    // Edition key's "Pictures" folder.
    void CopyEditionPictures(const std::string& key);

    // The bytes the copies of these editions will copy, for the progress bar; sets TotalBytes.
    std::int64_t PlanBytes(const std::vector<std::string>& keys);

    // The disc files that exist but could not be copied, as disc paths, in copy order.
    std::vector<std::string> Failures;
    std::int64_t TotalBytes = 0;
    std::int64_t DoneBytes = 0;

private:
    // The disc's spelling of relative path x (looked up ignoring letter case), or x itself.
    std::string SourcePathOf(const std::string& x) const;
    std::string RelativeOfSource(const std::string& source) const;
    void CopyListedFile(const std::string& x);
    void CopyListedFolder(const std::string& x);
    void Group(const std::string& name);
    void Pump();

    std::string FSource;
    std::string FInstall;
    bool FNewerInstalled;
};

} // namespace quarto
