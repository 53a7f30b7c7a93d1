#include "CopyMachinery.h"

#include "common/PathLookup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quarto {

namespace fs = std::filesystem;

namespace {

fs::path PathOf(const std::string& utf8) {
    return fs::u8path(utf8);
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

// The entries of a folder sorted by name, or nothing when it cannot be read.
std::vector<fs::directory_entry> Entries(const fs::path& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return entries;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) {
                  return a.path().filename() < b.path().filename();
              });
    return entries;
}

const char* const EditionFolders[] = {"PicData", "Base", "Skins"};
const char* const EditionFiles[] = {"cContents.dat", "cData.dat", "FileIndex.rec", "InnerBase.dat",
                                    "Pos.rec",       "Setup.inf", "Voc.txt"};

} // namespace

const std::string& ReaderProgramName() {
#ifdef _WIN32
    static const std::string name = "Quarto.exe";
#else
    static const std::string name = "Quarto";
#endif
    return name;
}

const std::string& UninstallerName() {
#ifdef _WIN32
    static const std::string name = "uninstall.exe";
#else
    static const std::string name = "uninstall";
#endif
    return name;
}

const std::vector<std::string>& ProgramGroupFiles() {
#ifdef _WIN32
    static const std::vector<std::string> files = {"Quarto.exe", "IJL15.DLL", "uninstall.exe"};
#else
    // Pictures decode through the toolkit here: no codec library beside the reader.
    static const std::vector<std::string> files = {ReaderProgramName(), UninstallerName()};
#endif
    return files;
}

std::int64_t TreeBytes(const std::filesystem::path& path) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec))
        return static_cast<std::int64_t>(fs::file_size(path, ec));
    std::int64_t total = 0;
    if (fs::is_directory(path, ec))
        for (const fs::directory_entry& entry : Entries(path))
            total += TreeBytes(entry.path());
    return total;
}

void MakeFolderChain(const std::string& path) {
    if (path.size() < 3)
        return;
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i - 1] != '/' && path[i - 1] != '\\')
            continue;
        std::error_code ec;
        fs::create_directory(PathOf(path.substr(0, i)), ec);
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
    const fs::path from = PathOf(source);
    std::error_code ec;
    if (!fs::exists(from, ec))
        return false; // nothing of that name on the disc
    const auto size = fs::is_regular_file(from, ec) ? fs::file_size(from, ec) : 0;
    const bool copied =
        fs::copy_file(from, PathOf(destination), fs::copy_options::overwrite_existing, ec) && !ec;
    if (!copied)
        Failures.push_back(source);
    DoneBytes += static_cast<std::int64_t>(ec ? 0 : size);
    if (OnProgress)
        OnProgress(DoneBytes, TotalBytes);
    return copied;
}

void TCopyRun::CopyFolder(const std::string& source, const std::string& destination) {
    MakeFolderChain(destination);
    for (const fs::directory_entry& entry : Entries(PathOf(source))) {
        const std::string name = Utf8Of(entry.path().filename());
        const std::string from = Utf8Of(entry.path());
        const std::string to = Utf8Of(PathOf(destination) / entry.path().filename());
        std::error_code ec;
        if (entry.is_directory(ec)) {
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
    const std::string resolved = ResolvePath(FSource + x);
    return resolved.empty() ? FSource + x : resolved;
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
    const std::string e = "Books/" + key + "/";
    Group("Программа");
    if (!FNewerInstalled) {
        for (const std::string& file : ProgramGroupFiles())
            CopyListedFile(file);
        CopyListedFolder("Base");
    }
    CopyListedFolder("Skins");
    Group("Данные");
    for (const char* folder : EditionFolders)
        CopyListedFolder(e + folder);
    for (const char* file : EditionFiles)
        CopyListedFile(e + file);
    CopyListedFolder(e + "Images");
    Group("Видео");
    CopyListedFolder(e + "Video");
    Group("Аудио");
    CopyListedFolder(e + "Audio");
}

void TCopyRun::CopyEditionPictures(const std::string& key) {
    Group("Иллюстрации");
    CopyListedFolder("Books/" + key + "/Pictures");
}

std::int64_t TCopyRun::PlanBytes(const std::vector<std::string>& keys) {
    const auto bytes = [this](const std::string& x) { return TreeBytes(PathOf(SourcePathOf(x))); };
    std::int64_t total = 0;
    for (const std::string& key : keys) {
        const std::string e = "Books/" + key + "/";
        if (!FNewerInstalled) {
            for (const std::string& file : ProgramGroupFiles())
                total += bytes(file);
            total += bytes("Base");
        }
        total += bytes("Skins");
        for (const char* folder : EditionFolders)
            total += bytes(e + folder);
        for (const char* file : EditionFiles)
            total += bytes(e + file);
        for (const char* folder : {"Images", "Video", "Audio", "Pictures"})
            total += bytes(e + folder);
    }
    TotalBytes = total;
    return total;
}

} // namespace quarto
