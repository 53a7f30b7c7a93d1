// setup: installs the reader and the editions of the disc it runs from.
#include "common/qt/QtText.h"
#include "platform/Translations.h"
#include "setup/Unit1.h"

#include <QApplication>

int main(int argc, char** argv) {
    using namespace quarto;
    QApplication app(argc, argv);
    InstallRussianToolkitTexts(app);
    QApplication::setApplicationName("setup");
    QApplication::setApplicationDisplayName(Ui("Электронные книги"));
    setup::TForm1 window(ToUtf8(QCoreApplication::applicationDirPath() + '/'),
                         setup::SystemSetupServices());
    window.show();
    return QApplication::exec();
}
