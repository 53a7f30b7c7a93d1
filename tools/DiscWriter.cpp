#include "DiscWriter.h"

#include "common/Cp1251.h"
#include "common/IniFile.h"
#include "common/PathLookup.h"
#include "common/RecordFile.h"
#include "reader/core/BookCatalogue.h"
#include "setup/CopyMachinery.h"
#include "setup/DiscDescriptor.h"

#include <filesystem>
#include <stdexcept>

namespace quarto {

namespace fs = std::filesystem;

namespace {

void CopyInto(const fs::path& from, const fs::path& to) {
    fs::create_directories(to.parent_path());
    if (fs::is_directory(from))
        fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    else
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

} // namespace

void MakeDisc(const TDiscSource& source, const std::string& out) {
    const fs::path app(source.AppFolder);
    const fs::path disc(out);
    if (!fs::is_regular_file(source.SetupProgram))
        throw std::runtime_error(source.SetupProgram + ": the installer program is missing.");
    if (!fs::is_regular_file(app / ReaderProgramName()))
        throw std::runtime_error((app / ReaderProgramName()).string() +
                                 ": the reader program is missing.");
    TDiscDescriptor descriptor;
    descriptor.SubVersion = source.SubVersion;
    std::vector<std::pair<fs::path, std::string>> editions;
    for (const std::string& folder : source.Editions) {
        const std::string inf = ResolvePath(JoinPath(folder, "setup.inf"));
        if (inf.empty())
            throw std::runtime_error(folder + ": not an edition folder (no setup.inf).");
        const TIniFile ini = TIniFile::Load(inf);
        TDiscEdition edition{ini.ReadString("Main", "Title", TitleNotSpecified()),
                             ini.ReadString("Main", "Title2", TitleNotSpecified()),
                             ini.ReadString("Main", "RegKey", DefaultRegKey)};
        editions.emplace_back(fs::path(folder), Cp1251ToUtf8(edition.RegKey));
        descriptor.Editions.push_back(std::move(edition));
    }

    fs::create_directories(disc);
    CopyInto(source.SetupProgram, disc / "setup");
    for (const std::string& file : ProgramGroupFiles())
        if (fs::exists(app / file))
            CopyInto(app / file, disc / file);
    for (const char* folder : {"Base", "Skins"})
        if (fs::is_directory(app / folder))
            CopyInto(app / folder, disc / folder);
    for (const auto& [folder, key] : editions)
        CopyInto(folder, disc / "Books" / key);

    const std::int64_t bytes = TreeBytes(disc);
    descriptor.RequiredMB = static_cast<std::int32_t>((bytes + (1 << 20) - 1) >> 20);
    WriteWholeFile((disc / "setup.inf").string(), DiscDescriptorText(descriptor));
}

} // namespace quarto
