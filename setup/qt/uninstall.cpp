// uninstall: removes the installed reader and its editions, the installation record and the
// menu group, after asking.
#include "common/qt/QtText.h"
#include "platform/InstallRecord.h"
#include "platform/Shortcuts.h"
#include "platform/Translations.h"
#include "setup/UninstallCore.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

int main(int argc, char** argv) {
    using namespace quarto;
    QApplication app(argc, argv);
    InstallRussianToolkitTexts(app);
    const QString title = Ui("Электронные книги");
    const auto record = MakeInstallRecord();
    const auto shortcuts = MakeShortcuts();
    const std::optional<TInstallRecordValues> installed = record->Read("");
    if (!installed) {
        QMessageBox::information(nullptr, title,
                                 Ui("Электронные книги не установлены: удалять нечего."));
        return 0;
    }
    const QString folder = QDir::toNativeSeparators(FromUtf8(installed->Path));
    if (!IsRemovableInstallation(installed->Path)) {
        // What is left of an installation: the record and the menu group go, the folder stays.
        const QString found = folder.isEmpty() ? Ui("Папка программы чтения не записана.")
                                               : Ui("В папке %1 программа чтения не найдена;\n"
                                                    "папка удалена не будет.")
                                                     .arg(folder);
        const auto answer = QMessageBox::question(
            nullptr, title, found + Ui("\n\nУдалить запись об установке и ярлыки в меню?"));
        if (answer != QMessageBox::Yes)
            return 0;
        RemoveInstallation(installed->Path, *record, *shortcuts);
        QMessageBox::information(nullptr, title, Ui("Запись об установке и ярлыки удалены."));
        return 0;
    }
    const auto answer = QMessageBox::question(
        nullptr, title,
        Ui("Удалить программу чтения и все электронные книги из папки\n%1?\n\n"
           "Будут удалены эта папка, ярлыки в меню и запись об установке.")
            .arg(folder));
    if (answer != QMessageBox::Yes)
        return 0;
    if (RemoveInstallation(installed->Path, *record, *shortcuts))
        QMessageBox::information(nullptr, title, Ui("Электронные книги удалены."));
    else
        QMessageBox::warning(nullptr, title,
                             Ui("Папку %1 не удалось удалить полностью.").arg(folder));
    return 0;
}
