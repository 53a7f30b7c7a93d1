#include "Unattended.h"

#include "common/Cp1251.h"
#include "common/DiscImage.h"
#include "common/FileSystem.h"
#include "setup/InstallFlow.h"

#include <algorithm>

namespace quarto::setup {

namespace {

const char* const Usage =
    "Использование: setup --target ПАПКА [--disc ПАПКА_ДИСКА|ОБРАЗ_ДИСКА] [--no-start]";

} // namespace

bool IsUnattended(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), "--target") != arguments.end();
}

int RunUnattended(const std::vector<std::string>& arguments, const std::string& installerFolder,
                  TSetupServices& services, std::string& out) {
    std::string target, disc = installerFolder;
    bool start = true, haveTarget = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if ((a == "--target" || a == "--disc") && i + 1 < arguments.size()) {
            (a == "--target" ? target : disc) = arguments[++i];
            haveTarget = haveTarget || a == "--target";
        } else if (a == "--no-start") {
            start = false;
        } else {
            out += std::string(Usage) + "\n";
            return UnattendedRefused;
        }
    }
    if (!haveTarget) {
        out += std::string(Usage) + "\n";
        return UnattendedRefused;
    }
    if (!disc.empty()) {
        // A disc image is read in place.
        try {
            disc = JoinPath(DiscRootPath(disc), "");
        } catch (const EStreamError& error) {
            out += std::string(error.what()) + "\n";
            return UnattendedRefused;
        }
    }

    TInstallation setup(disc, "", *services.Record);
    if (const std::string problem = setup.DescriptorProblem(); !problem.empty()) {
        out += problem + "\n";
        return UnattendedRefused;
    }
    // The folder is checked even when an earlier installation's folder is taken instead.
    std::string refusal;
    const auto chosen = ChosenFolderOf(target, &refusal);
    if (!chosen) {
        out += refusal + "\n";
        return UnattendedRefused;
    }
    if (!setup.AlreadyInstalled || setup.InstallFolder.empty())
        setup.InstallFolder = InstallFolderOf(*chosen);
    if (services.FreeSpace->FreeMegabytes(setup.InstallFolder) < setup.RequiredMB) {
        out += "Недостаточно места на выбранном диске\n";
        return UnattendedRefused;
    }

    TCopyRun run(setup.SourceFolder, setup.InstallFolder, setup.NewerInstalled);
    run.InstallerFolder = installerFolder;
    const TInstallOutcome outcome = setup.Install(run, *services.Record, *services.Shortcuts);
    for (const TInstallFailure& failure : outcome.Failures)
        out += failure.What + ": " + failure.Why + "\n";

    std::string installed;
    if (outcome.ReaderInstalled)
        installed = outcome.ReaderFromInstaller
                        ? "программа чтения из папки программы установки (на диске её нет)"
                        : "программа чтения";
    std::size_t editions = 0;
    std::string keys;
    for (std::size_t i = 0; i < setup.DiscEditions.size(); ++i)
        if (outcome.EditionInstalled[i]) {
            keys += (editions++ ? ", " : "") + setup.KeyOf(i);
        }
    if (editions > 0)
        installed += (installed.empty() ? "" : "; ") + std::string("издания ") +
                     std::to_string(editions) + " из " + std::to_string(setup.DiscEditions.size()) +
                     ": " + keys;
    out += (installed.empty() ? "Ничего не установлено в " : "Установлено в ") +
           setup.InstallFolder + (installed.empty() ? "" : ": " + installed) +
           (outcome.Recorded ? "; установка записана" : "") + ".\n";

    if (start && outcome.ReaderInstalled)
        setup.StartReader(*services.Starter);
    return outcome.Complete() ? UnattendedInstalled : UnattendedFailed;
}

} // namespace quarto::setup
