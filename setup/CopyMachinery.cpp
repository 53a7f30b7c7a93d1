#include "CopyMachinery.h"

#include "common/EditionLayout.h"
#include "common/FileSystem.h"

#include <algorithm>

namespace quarto {

namespace {

// The names of a folder's entries sorted by name, or nothing when it cannot be read.
std::vector<std::string> Entries(const std::string& folder) {
    auto names = FileSystem().List(folder);
    if (!names)
        return {};
    std::sort(names->begin(), names->end());
    return std::move(*names);
}

// key's folder below a disc's root and an installation's folder: "Books\" + key.
std::string EditionName(const std::string& key) {
    return LayoutPath(Layout::BooksFolder, key);
}

} // namespace

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

void TCopyRun::Pump() {
    if (OnPump)
        OnPump();
    if (Cancelled && Cancelled())
        throw ECopyCancelled();
}

void TCopyRun::Group(const std::string& name) {
    if (OnGroup)
        OnGroup(name);
}

bool TCopyRun::CopyOneFile(const std::string& source, const std::string& destination) {
    TFileSystem& files = FileSystem();
    const TFileInfo info = files.Stat(source);
    if (info.Kind == TEntryKind::None)
        return false; // nothing of that name on the disc
    bool copied = info.Kind == TEntryKind::File;
    if (copied) {
        try {
            files.CopyFile(source, destination);
        } catch (const EStreamError&) {
            copied = false;
        }
    }
    if (!copied)
        Failures.push_back(source);
    DoneBytes += copied ? info.Size : 0;
    if (OnProgress)
        OnProgress(DoneBytes, TotalBytes);
    return copied;
}

void TCopyRun::CopyFolder(const std::string& source, const std::string& destination) {
    MakeFolderChain(destination);
    for (const std::string& name : Entries(source)) {
        const std::string from = JoinPath(source, name);
        const std::string to = JoinPath(destination, name);
        if (FileSystem().Stat(from).Kind == TEntryKind::Folder) {
            CopyFolder(from, to);
            continue;
        }
        const bool copied = CopyOneFile(from, to);
        Pump();
        if (copied && OnFileCopied)
            OnFileCopied(name);
    }
}

std::string TCopyRun::SourcePathOf(const std::string& x) const {
    return ResolvedOrGiven(LayoutPath(FSource, x));
}

std::string TCopyRun::RelativeOfSource(const std::string& source) const {
    return source.compare(0, FSource.size(), FSource) == 0 ? source.substr(FSource.size()) : source;
}

void TCopyRun::CopyListedFile(const std::string& x) {
    const std::string source = SourcePathOf(x);
    CopyOneFile(source, FInstall + RelativeOfSource(source));
    Pump();
}

void TCopyRun::CopyListedFolder(const std::string& x) {
    const std::string source = SourcePathOf(x);
    CopyFolder(source, FInstall + RelativeOfSource(source));
    Pump();
}

void TCopyRun::CopyEditionFiles(const std::string& key) {
    const std::string e = EditionName(key);
    Group("Программа");
    if (!FNewerInstalled) {
        for (const std::string& file : Layout::ProgramGroupFiles())
            CopyListedFile(file);
        CopyListedFolder(Layout::ReaderBaseFolder);
    }
    CopyListedFolder(Layout::ReaderSkinsFolder);
    Group("Данные");
    for (const std::string_view folder : Layout::EditionCopyFolders())
        CopyListedFolder(LayoutPath(e, folder));
    for (const std::string_view file : Layout::EditionCopyFiles())
        CopyListedFile(LayoutPath(e, file));
    CopyListedFolder(LayoutPath(e, Layout::ImagesFolder));
    Group("Видео");
    CopyListedFolder(LayoutPath(e, Layout::VideoFolder));
    Group("Аудио");
    CopyListedFolder(LayoutPath(e, Layout::AudioFolder));
}

void TCopyRun::CopyEditionPictures(const std::string& key) {
    Group("Иллюстрации");
    CopyListedFolder(LayoutPath(EditionName(key), Layout::PicturesFolder));
}

std::int64_t TCopyRun::PlanBytes(const std::vector<std::string>& keys) {
    const auto bytes = [this](std::string_view x) {
        return TreeBytes(SourcePathOf(std::string(x)));
    };
    std::int64_t total = 0;
    for (const std::string& key : keys) {
        const std::string e = EditionName(key);
        if (!FNewerInstalled) {
            for (const std::string& file : Layout::ProgramGroupFiles())
                total += bytes(file);
            total += bytes(Layout::ReaderBaseFolder);
        }
        total += bytes(Layout::ReaderSkinsFolder);
        for (const std::string_view folder : Layout::EditionCopyFolders())
            total += bytes(LayoutPath(e, folder));
        for (const std::string_view file : Layout::EditionCopyFiles())
            total += bytes(LayoutPath(e, file));
        for (const char* folder : {Layout::ImagesFolder, Layout::VideoFolder, Layout::AudioFolder,
                                   Layout::PicturesFolder})
            total += bytes(LayoutPath(e, folder));
    }
    TotalBytes = total;
    return total;
}

} // namespace quarto
