// The reader: finds the editions beside it and shows one, chosen by the key given as the only
// argument, or the first one found.
#include "common/Cp1251.h"
#include "platform/Translations.h"
#include "reader/core/ErrorReport.h"
#include "reader/core/ReaderWindows.h"
#include "reader/core/mainform.h"

#include <QDir>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    quarto::TQuartoApplication app(argc, argv);
    quarto::InstallRussianToolkitTexts(app);
    QApplication::setApplicationName("Quarto");
    QApplication::setApplicationDisplayName(QString::fromUtf8(quarto::ReaderTitle));

    const QByteArray folder = (QCoreApplication::applicationDirPath() + '/').toUtf8();
    const std::string appFolder(folder.constData(), static_cast<std::size_t>(folder.size()));
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(quarto::Utf8ToCp1251(argv[i]));

    quarto::CreateReaderWindows(appFolder, arguments);
    int code = 0;
    if (quarto::Form1->BookList.empty()) {
        quarto::ShowMessageBox(QString::fromUtf8(quarto::ReaderTitle),
                               quarto::NoEditionsText(appFolder));
        code = 1;
    } else {
        quarto::Form1->show();
        code = QApplication::exec();
    }
    quarto::DestroyReaderWindows();
    return code;
}
