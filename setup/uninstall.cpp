// uninstall: removes the installed reader and its editions, the installation record and the
// menu group, after asking.
#include "platform/InstallRecord.h"
#include "platform/Shortcuts.h"
#include "platform/Translations.h"
#include "setup/UninstallCore.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quarto::InstallRussianToolkitTexts(app);
    const QString title = QString::fromUtf8("Электронные книги");
    QApplication::setApplicationDisplayName(title);
    const auto record = quarto::MakeInstallRecord();
    const auto shortcuts = quarto::MakeShortcuts();
    const std::optional<quarto::TInstallRecordValues> installed = record->Read("");
    if (!installed) {
        QMessageBox::information(
            nullptr, title, QString::fromUtf8("Электронные книги не установлены: удалять нечего."));
        return 0;
    }
    const QString folder = QDir::toNativeSeparators(QString::fromStdString(installed->Path));
    if (!quarto::IsRemovableInstallation(installed->Path)) {
        // What is left of an installation: the record and the menu group go, the folder stays.
        const QString found = folder.isEmpty()
                                  ? QString::fromUtf8("Папка программы чтения не записана.")
                                  : QString::fromUtf8("В папке %1 программа чтения не найдена;\n"
                                                      "папка удалена не будет.")
                                        .arg(folder);
        const auto answer = QMessageBox::question(
            nullptr, title,
            found + QString::fromUtf8("\n\nУдалить запись об установке и ярлыки в меню?"));
        if (answer != QMessageBox::Yes)
            return 0;
        quarto::RemoveInstallation(installed->Path, *record, *shortcuts);
        QMessageBox::information(nullptr, title,
                                 QString::fromUtf8("Запись об установке и ярлыки удалены."));
        return 0;
    }
    const auto answer = QMessageBox::question(
        nullptr, title,
        QString::fromUtf8("Удалить программу чтения и все электронные книги из папки\n%1?\n\n"
                          "Будут удалены эта папка, ярлыки в меню и запись об установке.")
            .arg(folder));
    if (answer != QMessageBox::Yes)
        return 0;
    if (quarto::RemoveInstallation(installed->Path, *record, *shortcuts))
        QMessageBox::information(nullptr, title, QString::fromUtf8("Электронные книги удалены."));
    else
        QMessageBox::warning(
            nullptr, title,
            QString::fromUtf8("Папку %1 не удалось удалить полностью.").arg(folder));
    return 0;
}
