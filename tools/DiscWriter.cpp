#include "DiscWriter.h"

#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/IniFile.h"
#include "reader/core/BookCatalogue.h"
#include "reader/media/MusicList.h"
#include "setup/DiscDescriptor.h"

#include <algorithm>
#include <stdexcept>

namespace quarto {

namespace {

TEntryKind KindOf(const std::string& path) {
    return FileSystem().Stat(path).Kind;
}

// Copies the file or the folder tree from to to, replacing files of the same names.
void CopyInto(const std::string& from, const std::string& to) {
    CreateFolders(ParentOf(to));
    if (KindOf(from) != TEntryKind::Folder) {
        FileSystem().CopyFile(from, to);
        return;
    }
    CreateFolders(to);
    auto names = FileSystem().List(from);
    if (!names)
        throw EStreamError("Cannot list folder " + from + ".");
    std::sort(names->begin(), names->end());
    for (const std::string& name : *names)
        CopyInto(JoinPath(from, name), JoinPath(to, name));
}

} // namespace

void MakeDisc(const TDiscSource& source, const std::string& out) {
    const std::string& app = source.AppFolder;
    if (KindOf(source.SetupProgram) != TEntryKind::File)
        throw std::runtime_error(source.SetupProgram + ": the installer program is missing.");
    const std::string reader = JoinPath(app, Layout::ReaderProgram());
    if (KindOf(reader) != TEntryKind::File)
        throw std::runtime_error(reader + ": the reader program is missing.");
    TDiscDescriptor descriptor;
    descriptor.SubVersion = source.SubVersion;
    std::vector<std::pair<std::string, std::string>> editions;
    for (const std::string& folder : source.Editions) {
        const std::string inf = ResolvePath(DescriptorPath(folder));
        if (inf.empty())
            throw std::runtime_error(folder + ": not an edition folder (no " + Layout::Descriptor +
                                     ").");
        const TIniFile ini = TIniFile::Load(inf);
        TDiscEdition edition{ini.ReadString("Main", "Title", TitleNotSpecified()),
                             ini.ReadString("Main", "Title2", TitleNotSpecified()),
                             ini.ReadString("Main", "RegKey", DefaultRegKey)};
        editions.emplace_back(folder, Cp1251ToUtf8(edition.RegKey));
        descriptor.Editions.push_back(std::move(edition));
    }

    CreateFolders(out);
    CopyInto(source.SetupProgram, LayoutPath(out, Layout::InstallerProgram));
    for (const std::string& file : Layout::ProgramGroupFiles())
        if (KindOf(JoinPath(app, file)) != TEntryKind::None)
            CopyInto(JoinPath(app, file), JoinPath(out, file));
    for (const char* folder : {Layout::ReaderBaseFolder, Layout::ReaderSkinsFolder})
        if (KindOf(LayoutPath(app, folder)) == TEntryKind::Folder)
            CopyInto(LayoutPath(app, folder), LayoutPath(out, folder));
    // The series' music, when the reader's folder has it (in any letter case).
    for (const std::string_view folder : {MusicListFolder(), MusicTracksFolder()})
        if (const std::string found = ResolvePath(LayoutPath(app, folder));
            !found.empty() && KindOf(found) == TEntryKind::Folder)
            CopyInto(found, LayoutPath(out, folder));
    for (const auto& [folder, key] : editions)
        CopyInto(folder, EditionFolderOf(out, key));

    const std::int64_t bytes = TreeBytes(out);
    descriptor.RequiredMB = static_cast<std::int32_t>((bytes + (1 << 20) - 1) >> 20);
    WriteWholeFile(LayoutPath(out, Layout::DiscDescriptor), DiscDescriptorText(descriptor));
}

} // namespace quarto
