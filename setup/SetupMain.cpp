// setup: installs the reader and the editions of the disc it runs from.
#include "platform/Translations.h"
#include "setup/Unit1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quarto::InstallRussianToolkitTexts(app);
    QApplication::setApplicationName("setup");
    QApplication::setApplicationDisplayName(QString::fromUtf8("Электронные книги"));
    const QByteArray folder = (QCoreApplication::applicationDirPath() + '/').toUtf8();
    quarto::TForm1 window(std::string(folder.constData(), static_cast<std::size_t>(folder.size())),
                          quarto::SystemSetupServices());
    window.show();
    return QApplication::exec();
}
