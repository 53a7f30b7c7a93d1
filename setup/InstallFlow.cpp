#include "InstallFlow.h"

#include "common/AsciiText.h"
#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"

namespace quarto {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// A full path of this system: "/..." here; "C:\...", "C:/..." or "\\server\..." on Windows.
bool IsFullPath(const std::string& path) {
#ifdef _WIN32
    return (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) ||
           (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]));
#else
    return !path.empty() && path[0] == '/';
#endif
}

TInstallFailure CopyFailureOf(const TCopyFailure& failure) {
    return {failure.Path(), CopyProblemText(failure.Problem), true};
}

} // namespace

std::optional<std::string> ChosenFolderOf(const std::string& typed, std::string* refusal) {
    std::string folder(TrimmedBy(typed, IsLineSpace));
    if (!folder.empty() && folder[0] == '~' && (folder.size() == 1 || IsSeparator(folder[1]))) {
        const std::string home = HomeFolder();
        if (!home.empty())
            folder = home + folder.substr(1);
    }
    if (!IsFullPath(folder)) {
        if (refusal)
            *refusal = folder.empty() ? "Укажите папку для установки: полный путь к ней."
                                      : "Укажите полный путь к папке для установки: «" + folder +
                                            "» — не полный путь.";
        return std::nullopt;
    }
    return folder;
}

std::string DiscOfCommandLine(const std::vector<std::string>& arguments,
                              const std::string& installerFolder) {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "--disc")
            return arguments[i + 1];
    const std::string descriptor = ResolvePath(LayoutPath(installerFolder, Layout::DiscDescriptor));
    if (!descriptor.empty() && FileSystem().Stat(descriptor).Kind == TEntryKind::File)
        return installerFolder;
    return "";
}

std::string DiscOfChosenFile(const std::string& chosen) {
    if (chosen.size() > 4 && EndsIgnoringAsciiCase(chosen, ".iso"))
        return chosen;
    const std::size_t cut = chosen.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : chosen.substr(0, cut + 1);
}

bool IsSafeEditionName(const std::string& name) {
    if (name.empty() || name == "." || name.find("..") != std::string::npos)
        return false;
    for (const char c : name)
        if (IsSeparator(c) || c == ':' || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

TInstallation::TInstallation(std::string sourceFolder, const std::string& defaultInstallFolder,
                             TInstallRecord& record)
    : SourceFolder(std::move(sourceFolder)), InstallFolder(defaultInstallFolder) {
    const TDiscDescriptor disc = ReadDiscDescriptor(SourceFolder);
    DescriptorState = disc.State;
    DiscSubVersion = disc.SubVersion;
    RequiredMB = disc.RequiredMB;
    DiscEditions = disc.Editions;
    int installedSubVersion = 0;
    if (const std::optional<TInstallRecordValues> values = record.Read(InstallFolder)) {
        installedSubVersion = values->SubVersion;
        InstallFolder = values->Path;
        AlreadyInstalled = true;
    }
    NewerInstalled = DiscSubVersion < installedSubVersion;
    if (!(AlreadyInstalled && !InstallFolder.empty()))
        InstallFolder = defaultInstallFolder;
}

std::string TInstallation::DescriptorProblem() const {
    const std::string name = LayoutPath(SourceFolder, Layout::DiscDescriptor);
    switch (DescriptorState) {
    case TDescriptorState::Read:
        return "";
    case TDescriptorState::Missing:
        return "На диске нет файла " + name + ": установка невозможна.";
    case TDescriptorState::Unreadable:
        return "Не удаётся прочитать файл " + name + ": установка невозможна.";
    }
    return "";
}

void TInstallation::StartReader(TProgramStarter& starter) const {
    std::vector<std::string> arguments;
    if (!DiscEditions.empty())
        arguments.push_back(KeyOf(0));
    starter.Start(InstallFolder + Layout::ReaderProgram(), arguments);
}

std::string TInstallation::KeyOf(std::size_t i) const {
    return Cp1251ToUtf8(DiscEditions.at(i).RegKey);
}

TInstallOutcome TInstallation::Install(TCopyRun& run, TInstallRecord& record,
                                       TShortcuts& shortcuts) {
    TInstallOutcome outcome;
    TFileSystem& files = FileSystem();
    outcome.EditionInstalled.assign(DiscEditions.size(), false);
    if (!DescriptorProblem().empty()) {
        outcome.Failures.push_back(
            {LayoutPath(SourceFolder, Layout::DiscDescriptor), DescriptorProblem(), false});
        return outcome;
    }
    MakeFolderChain(InstallFolder);
    if (files.Stat(InstallFolder).Kind != TEntryKind::Folder) {
        outcome.Failures.push_back({InstallFolder, "не удаётся создать папку установки", false});
        return outcome;
    }

    // The editions that can be copied: a section of their own, a safe name, a folder on the
    // disc that can be read.
    std::vector<std::size_t> usable;
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < DiscEditions.size(); ++i) {
        const std::string key = KeyOf(i);
        const std::string section = std::to_string(i + 1);
        if (!DiscEditions[i].SectionPresent) {
            outcome.Failures.push_back(
                {"издание " + section, "в файле setup.inf нет раздела [" + section + "]", false});
            continue;
        }
        if (!IsSafeEditionName(key)) {
            outcome.Failures.push_back(
                {"издание " + section + " «" + key + "»", "недопустимое имя", false});
            continue;
        }
        const std::string folder = ResolvePath(EditionFolderOf(SourceFolder, key));
        if (folder.empty() || files.Stat(folder).Kind != TEntryKind::Folder) {
            outcome.Failures.push_back(
                {EditionFolderOf(SourceFolder, key), "папки издания нет на диске", false});
            continue;
        }
        if (!files.List(folder)) {
            outcome.Failures.push_back({folder, CopyProblemText(TCopyProblem::CannotRead), true});
            continue;
        }
        usable.push_back(i);
        keys.push_back(key);
    }

    // The program group once (not at all for a disc without editions), then each edition.
    const bool programGroup = !DiscEditions.empty();
    outcome.ReaderFromInstaller = programGroup && run.ReaderFromInstaller();
    const TCopyPlan plan = run.PlanOf(keys, programGroup);
    run.Count(plan);
    const TCopyResult copied = run.Copy(plan);
    const bool readerCopied = copied.ReaderCopied;
    for (std::size_t n = 0; n < usable.size(); ++n)
        outcome.EditionInstalled[usable[n]] = copied.TextsCopied[n];
    for (const TCopyFailure& failure : run.Failures)
        outcome.Failures.push_back(CopyFailureOf(failure));

    const std::string reader = InstallFolder + Layout::ReaderProgram();
    const bool readerThere = files.Stat(reader).Kind == TEntryKind::File;
    outcome.ReaderInstalled = readerCopied && readerThere;
    if (programGroup && readerCopied && !readerThere)
        outcome.Failures.push_back(
            {LayoutPath(outcome.ReaderFromInstaller ? run.InstallerFolder : SourceFolder,
                        Layout::ReaderProgram()),
             "программа чтения не установлена", true});

    // A run that left the reader or an edition's texts behind is not recorded, so that the
    // next run may choose another folder; what was installed still gets its shortcut.
    bool failed = programGroup && !outcome.ReaderInstalled;
    for (const bool installed : outcome.EditionInstalled)
        failed = failed || !installed;
    if (!failed && !(AlreadyInstalled && NewerInstalled))
        outcome.Recorded = record.Write({InstallFolder, 1});
    if (outcome.ReaderInstalled)
        for (std::size_t i = 0; i < DiscEditions.size(); ++i) {
            if (!outcome.EditionInstalled[i])
                continue;
            const TDiscEdition& e = DiscEditions[i];
            if (shortcuts.CreateShortcut(reader, Cp1251ToUtf8(e.Title + " - " + e.Title2),
                                         KeyOf(i)))
                ++outcome.ShortcutsMade;
        }
    if (!failed && shortcuts.CreateShortcut(InstallFolder + Layout::UninstallProgram(),
                                            "Удалить все книги", ""))
        ++outcome.ShortcutsMade;
    return outcome;
}

} // namespace quarto
