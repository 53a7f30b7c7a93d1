// setup: installs the reader and the editions of the disc it runs from, or of the disc named by
// "--disc PATH"; started elsewhere without one it asks for the disc. With "--target" it
// installs without pages (see setup/Unattended.h).
#include "common/DiscImage.h"
#include "common/FileSystem.h"
#include "common/qt/QtText.h"
#include "platform/Translations.h"
#include "setup/Unattended.h"
#include "setup/qt/Unit1.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace quarto;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    if (setup::IsUnattended(arguments)) {
        // No window: the application of the core only, so that no display is needed.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName("setup");
        arguments.clear();
        for (const QString& a : QCoreApplication::arguments().mid(1))
            arguments.push_back(ToUtf8(a));
        setup::TSetupServices services = setup::SystemSetupServices();
        std::string out;
        const int status = setup::RunUnattended(
            arguments, ToUtf8(QCoreApplication::applicationDirPath() + '/'), services, out);
        std::fwrite(out.data(), 1, out.size(), stdout);
        return status;
    }
    QApplication app(argc, argv);
    InstallRussianToolkitTexts(app);
    QApplication::setApplicationName("setup");
    arguments.clear();
    for (const QString& a : QCoreApplication::arguments().mid(1))
        arguments.push_back(ToUtf8(a));
    const std::string installer = ToUtf8(QCoreApplication::applicationDirPath() + '/');
    std::string disc = DiscOfCommandLine(arguments, installer);
    if (disc.empty()) {
        // Not on a disc and none named: the user shows where the disc (or its image) is.
        const QString chosen = QFileDialog::getOpenFileName(
            nullptr, Ui("Укажите диск с книгами: файл setup.inf на диске или образ диска"),
            QDir::homePath(),
            Ui("Диск или образ диска (setup.inf SETUP.INF *.iso *.ISO);;Все файлы (*)"));
        if (chosen.isEmpty())
            return 0;
        disc = DiscOfChosenFile(ToUtf8(chosen));
    }
    try {
        disc = DiscRootPath(disc); // a disc image is read in place
    } catch (const EStreamError& error) {
        QMessageBox::critical(nullptr, Ui("Электронные книги"), FromUtf8(error.what()));
        return 2;
    }
    setup::TForm1 window(JoinPath(disc, ""), setup::SystemSetupServices(), installer);
    window.show();
    return QApplication::exec();
}
