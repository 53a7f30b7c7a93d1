#include "CopyMachinery.h"

#include "common/EditionLayout.h"
#include "common/FileSystem.h"

#include <algorithm>

namespace quarto {

namespace {

// key's folder below a disc's root and an installation's folder: "Books\" + key.
std::string EditionName(const std::string& key) {
    return LayoutPath(Layout::BooksFolder, key);
}

// True when the file at path can be read to its end.
bool Readable(const std::string& path) {
    try {
        const auto file = FileSystem().OpenForReading(path);
        std::string buffer(1 << 16, '\0');
        std::int64_t offset = 0;
        for (std::size_t n; (n = file->ReadAt(offset, buffer.data(), buffer.size())) > 0;)
            offset += static_cast<std::int64_t>(n);
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

// What went wrong in a copy of source that failed with message: the disk full, the disc file
// unreadable, or else the installation folder refusing it. Asked only after a failure.
TCopyProblem ProblemOf(const EStreamError& error, const std::string& source) {
    if (dynamic_cast<const EDiskFullError*>(&error))
        return TCopyProblem::NoSpace;
    return Readable(source) ? TCopyProblem::CannotWrite : TCopyProblem::CannotRead;
}

// The reader's files taken from the installer's folder when the disc lacks them.
const std::vector<std::string>& InstallerSupplements() {
    static const std::vector<std::string> files = {Layout::PageTemplate, Layout::PageTemplateUtf,
                                                   Layout::ArticlePicture};
    return files;
}

} // namespace

const char* CopyGroupName(TCopyGroup group) {
    switch (group) {
    case TCopyGroup::Program:
        return "Программа";
    case TCopyGroup::Data:
        return "Данные";
    case TCopyGroup::Video:
        return "Видео";
    case TCopyGroup::Audio:
        return "Аудио";
    case TCopyGroup::Pictures:
        return "Иллюстрации";
    }
    return "";
}

const char* CopyProblemText(TCopyProblem problem) {
    switch (problem) {
    case TCopyProblem::CannotRead:
        return "не удаётся прочитать с диска";
    case TCopyProblem::CannotWrite:
        return "не удаётся записать в папку установки";
    case TCopyProblem::NoSpace:
        return "нет места на диске";
    }
    return "";
}

std::string TemporaryCopyName(const std::string& destination) {
    return destination + ".setup-new";
}

void MakeFolderChain(const std::string& path) {
    if (path.size() < 3)
        return;
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i - 1] != '/' && path[i - 1] != '\\')
            continue;
        try {
            FileSystem().CreateFolder(path.substr(0, i));
        } catch (const EStreamError&) {
            // an existing folder, a root, or one that cannot be made: passed over
        }
    }
}

TCopyRun::TCopyRun(std::string sourceFolder, std::string installFolder, bool newerInstalled)
    : FSource(std::move(sourceFolder)), FInstall(std::move(installFolder)),
      FNewerInstalled(newerInstalled) {}

double TCopyRun::Fraction() const {
    const double bytes = TotalBytes > 0 ? static_cast<double>(DoneBytes) / TotalBytes : 1.0;
    const double files = TotalFiles > 0 ? static_cast<double>(DoneFiles) / TotalFiles : 1.0;
    return std::min(1.0, (bytes + files) / 2);
}

void TCopyRun::Pump() {
    FLastPump = std::chrono::steady_clock::now();
    if (OnProgress)
        OnProgress(Fraction());
    if (!FNameShown && OnFileCopied)
        OnFileCopied(FLastName);
    FNameShown = true;
    if (OnPump)
        OnPump();
    if (Cancelled && Cancelled())
        throw ECopyCancelled();
}

void TCopyRun::Flush() {
    Pump();
}

// After every file: the window hears of it when the pump interval has passed.
void TCopyRun::Copied(const std::string* name) {
    if (name) {
        FLastName = *name;
        FNameShown = false;
    }
    if (std::chrono::steady_clock::now() - FLastPump >= PumpInterval)
        Pump();
}

void TCopyRun::Group(TCopyGroup group) {
    if (OnGroup)
        OnGroup(CopyGroupName(group));
    Pump();
}

void TCopyRun::StreamFile(const std::string& source, std::int64_t size, const std::string& to) {
    TFileSystem& files = FileSystem();
    const auto in = files.OpenForReading(source);
    const auto out = files.OpenForWriting(to);
    if (FBuffer.empty())
        FBuffer.resize(1 << 20);
    // As much as the file holds now; a file that ends early is copied as it is.
    size = std::max(size, in->Size());
    for (std::int64_t offset = 0; offset < size;) {
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(size - offset, static_cast<std::int64_t>(FBuffer.size())));
        const std::size_t n = in->ReadAt(offset, FBuffer.data(), want);
        if (n == 0)
            break;
        out->Append(std::string_view(FBuffer.data(), n));
        offset += static_cast<std::int64_t>(n);
    }
    out->Close();
}

bool TCopyRun::CopyFile(const std::string& source, const TFileInfo& info,
                        const std::string& destination, bool program) {
    TFileSystem& files = FileSystem();
    ++DoneFiles;
    if (info.Kind != TEntryKind::File) { // a pipe, a device: nothing a file copy can read
        Failures.push_back({source, destination, TCopyProblem::CannotRead});
        return false;
    }
    const std::string temporary = TemporaryCopyName(destination);
    try {
        if (program) {
            // From a disc image the copy cannot keep the permissions: the program is marked
            // as one.
            files.CopyFile(source, temporary);
            files.MakeExecutable(temporary);
        } else {
            StreamFile(source, info.Size, temporary);
        }
        files.Rename(temporary, destination);
    } catch (const EStreamError& error) {
        try {
            files.Remove(temporary);
        } catch (const EStreamError&) {
        }
        Failures.push_back({source, destination, ProblemOf(error, source)});
        return false;
    }
    DoneBytes += info.Size;
    return true;
}

bool TCopyRun::CopyOneFile(const std::string& source, const std::string& destination) {
    const TFileInfo info = FileSystem().Stat(source);
    if (info.Kind == TEntryKind::None)
        return false; // nothing of that name on the disc
    return CopyFile(source, info, destination);
}

void TCopyRun::CopyTree(const std::string& source, const std::string& destination) {
    TFileSystem& files = FileSystem();
    std::vector<TEntry> listed;
    if (const auto planned = FListings.find(source); planned != FListings.end()) {
        listed = std::move(planned->second);
        FListings.erase(planned);
    } else {
        auto names = files.List(source);
        if (!names) {
            if (files.Stat(source).Kind == TEntryKind::Folder)
                Failures.push_back({source, "", TCopyProblem::CannotRead});
            return;
        }
        std::sort(names->begin(), names->end());
        for (std::string& name : *names) {
            const TFileInfo info = files.Stat(JoinPath(source, name));
            listed.push_back({std::move(name), info});
        }
    }
    for (const TEntry& entry : listed) {
        const std::string from = JoinPath(source, entry.Name);
        const std::string to = JoinPath(destination, entry.Name);
        if (entry.Info.Kind == TEntryKind::Folder) {
            try {
                files.CreateFolder(to);
            } catch (const EStreamError&) {
                // its files fail one by one below
            }
            CopyTree(from, to);
            continue;
        }
        if (entry.Info.Kind == TEntryKind::None)
            continue; // gone since it was listed
        const bool copied = CopyFile(from, entry.Info, to);
        Copied(copied ? &entry.Name : nullptr);
    }
}

void TCopyRun::CopyFolder(const std::string& source, const std::string& destination) {
    MakeFolderChain(destination);
    CopyTree(source, destination);
}

std::string TCopyRun::SourcePathOf(const std::string& x) const {
    return ResolvedOrGiven(LayoutPath(FSource, x));
}

std::string TCopyRun::RelativeOfSource(const std::string& source) const {
    return source.compare(0, FSource.size(), FSource) == 0 ? source.substr(FSource.size()) : source;
}

bool TCopyRun::CopyListedFile(const std::string& x, bool program) {
    const std::string source = SourcePathOf(x);
    const TFileInfo info = FileSystem().Stat(source);
    if (info.Kind == TEntryKind::None)
        return true; // not on this disc
    const bool copied = CopyFile(source, info, FInstall + RelativeOfSource(source), program);
    Copied(nullptr);
    return copied;
}

void TCopyRun::CopyListedFolder(const std::string& x) {
    const std::string source = SourcePathOf(x);
    CopyFolder(source, FInstall + RelativeOfSource(source));
}

bool TCopyRun::ReaderFromInstaller() const {
    if (InstallerFolder.empty())
        return false;
    TFileSystem& files = FileSystem();
    return files.Stat(SourcePathOf(Layout::ReaderProgram())).Kind != TEntryKind::File &&
           files.Stat(LayoutPath(InstallerFolder, Layout::ReaderProgram())).Kind ==
               TEntryKind::File;
}

bool TCopyRun::CopyInstallerFile(const std::string& x, bool program, bool always) {
    const std::string destination = LayoutPath(FInstall, x);
    TFileSystem& files = FileSystem();
    if (!always && !ResolvePath(destination).empty())
        return true; // the disc's own
    const std::string source = LayoutPath(InstallerFolder, x);
    const TFileInfo info = files.Stat(source);
    if (info.Kind == TEntryKind::None)
        return true;
    MakeFolderChain(destination.substr(0, destination.find_last_of(PathSeparator) + 1));
    const bool copied = CopyFile(source, info, destination, program);
    Copied(nullptr);
    return copied;
}

TCopyPlan TCopyRun::PlanOf(const std::vector<std::string>& keys, bool programGroup) const {
    TCopyPlan plan;
    plan.Keys = keys;
    auto& entries = plan.Entries;
    const auto add = [&entries](TCopyGroup group, std::string path, TCopyKind kind,
                                std::size_t edition = TCopyEntry::NoEdition) {
        entries.push_back({group, std::move(path), kind, edition});
    };
    if (programGroup) {
        const TCopyGroup g = TCopyGroup::Program;
        const bool fromInstaller = ReaderFromInstaller();
        if (!FNewerInstalled) {
            for (const std::string& file : Layout::ProgramGroupFiles())
                add(g, file, fromInstaller ? TCopyKind::InstallerProgram : TCopyKind::Program);
            add(g, Layout::ReaderBaseFolder, TCopyKind::Folder);
        }
        add(g, Layout::ReaderSkinsFolder, TCopyKind::Folder);
        if (fromInstaller)
            for (const std::string& file : InstallerSupplements())
                add(g, file, TCopyKind::InstallerFile);
    }
    for (std::size_t n = 0; n < keys.size(); ++n) {
        const std::string e = EditionName(keys[n]);
        for (const std::string_view folder : Layout::EditionCopyFolders())
            add(TCopyGroup::Data, LayoutPath(e, folder), TCopyKind::Folder, n);
        add(TCopyGroup::Data, e, TCopyKind::EditionFolder, n);
        for (const std::string_view file : Layout::EditionCopyFiles())
            add(TCopyGroup::Data, LayoutPath(e, file), TCopyKind::Text, n);
        add(TCopyGroup::Data, LayoutPath(e, Layout::ImagesFolder), TCopyKind::Folder, n);
        add(TCopyGroup::Video, LayoutPath(e, Layout::VideoFolder), TCopyKind::Folder, n);
        add(TCopyGroup::Audio, LayoutPath(e, Layout::AudioFolder), TCopyKind::Folder, n);
        add(TCopyGroup::Pictures, LayoutPath(e, Layout::PicturesFolder), TCopyKind::Folder, n);
    }
    return plan;
}

void TCopyRun::CountTree(const std::string& path) {
    TFileSystem& files = FileSystem();
    const TFileInfo info = files.Stat(path);
    if (info.Kind != TEntryKind::Folder) {
        if (info.Kind != TEntryKind::None) {
            TotalBytes += info.Kind == TEntryKind::File ? info.Size : 0;
            ++TotalFiles;
        }
        return;
    }
    auto names = files.List(path);
    if (!names)
        return; // the copy finds it unreadable
    std::sort(names->begin(), names->end());
    std::vector<TEntry> entries;
    entries.reserve(names->size());
    for (std::string& name : *names) {
        const std::string child = JoinPath(path, name);
        const TFileInfo entry = files.Stat(child);
        if (entry.Kind == TEntryKind::Folder) {
            CountTree(child);
        } else if (entry.Kind != TEntryKind::None) {
            TotalBytes += entry.Kind == TEntryKind::File ? entry.Size : 0;
            ++TotalFiles;
        }
        entries.push_back({std::move(name), entry});
    }
    FListings[path] = std::move(entries);
}

std::int64_t TCopyRun::Count(const TCopyPlan& plan) {
    TotalBytes = 0;
    TotalFiles = 0;
    FListings.clear();
    for (const TCopyEntry& entry : plan.Entries) {
        switch (entry.Kind) {
        case TCopyKind::Program:
        case TCopyKind::Folder:
        case TCopyKind::Text:
            CountTree(SourcePathOf(entry.Path));
            break;
        case TCopyKind::InstallerProgram:
            CountTree(LayoutPath(InstallerFolder, entry.Path));
            break;
        case TCopyKind::InstallerFile:
            // Counted when the disc lacks it; the copy asks the installation, which may hold
            // it from the disc's "Base" or an earlier run.
            if (ResolvePath(SourcePathOf(entry.Path)).empty())
                CountTree(LayoutPath(InstallerFolder, entry.Path));
            break;
        case TCopyKind::EditionFolder:
            break;
        }
    }
    return TotalBytes;
}

TCopyResult TCopyRun::Copy(const TCopyPlan& plan) {
    TCopyResult result;
    result.TextsCopied.assign(plan.Keys.size(), true);
    const std::vector<TCopyEntry>& entries = plan.Entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TCopyEntry& entry = entries[i];
        if (i == 0 || entry.Group != entries[i - 1].Group ||
            entry.Edition != entries[i - 1].Edition)
            Group(entry.Group);
        bool copied = true;
        switch (entry.Kind) {
        case TCopyKind::Program:
            copied = CopyListedFile(entry.Path, true);
            break;
        case TCopyKind::InstallerProgram:
            copied = CopyInstallerFile(entry.Path, true, true);
            break;
        case TCopyKind::InstallerFile:
            CopyInstallerFile(entry.Path, false, false);
            break;
        case TCopyKind::Folder:
            CopyListedFolder(entry.Path);
            break;
        case TCopyKind::EditionFolder:
            MakeFolderChain(FInstall + entry.Path);
            break;
        case TCopyKind::Text:
            if (!CopyListedFile(entry.Path))
                result.TextsCopied.at(entry.Edition) = false;
            break;
        }
        if ((entry.Kind == TCopyKind::Program || entry.Kind == TCopyKind::InstallerProgram) &&
            entry.Path == Layout::ReaderProgram())
            result.ReaderCopied = copied;
        // The window hears how far the run is as each edition ends.
        if (entry.Edition != TCopyEntry::NoEdition &&
            (i + 1 == entries.size() || entries[i + 1].Edition != entry.Edition))
            Flush();
    }
    Flush();
    return result;
}

} // namespace quarto
