// setup: installs the reader and the editions of the disc it runs from; with "--target" it
// installs without pages (see setup/Unattended.h).
#include "common/qt/QtText.h"
#include "platform/Translations.h"
#include "setup/Unattended.h"
#include "setup/Unit1.h"

#include <QApplication>

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
    setup::TForm1 window(ToUtf8(QCoreApplication::applicationDirPath() + '/'),
                         setup::SystemSetupServices());
    window.show();
    return QApplication::exec();
}
