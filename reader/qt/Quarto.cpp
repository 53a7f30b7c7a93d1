// The reader: finds the editions beside it and shows one, chosen by the key given as the only
// argument, or the first one found. "Quarto --play FILE..." plays the files through the
// reader's players instead, saying how each went, and shows no window.
#include "common/Cp1251.h"
#include "common/DiscImage.h"
#include "common/qt/QtText.h"
#include "platform/Translations.h"
#include "platform/qt/MediaCheckQt.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/ReaderWindows.h"
#include "reader/core/qt/mainform.h"

#include <QDir>

#include <cstring>
#include <iostream>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Disc images named in QUARTO_DISCS are read in place: their paths lead into them.
    const quarto::TFileSystemScope discImages(quarto::DiscImages());
    quarto::TQuartoApplication app(argc, argv);
    quarto::InstallRussianToolkitTexts(app);
    if (argc > 1 && std::strcmp(argv[1], "--play") == 0)
        return quarto::PlayEachFile(std::vector<std::string>(argv + 2, argv + argc), std::cout);

    const std::string appFolder = quarto::ToUtf8(QCoreApplication::applicationDirPath() + '/');
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(quarto::Utf8ToCp1251(argv[i]));

    quarto::CreateReaderWindows(appFolder, arguments);
    int code = 0;
    if (quarto::Form1->BookList.empty()) {
        quarto::ShowMessageBox(quarto::Ui(quarto::ReaderTitle), quarto::NoEditionsText(appFolder));
        code = 1;
    } else {
        quarto::Form1->show();
        code = QApplication::exec();
    }
    quarto::DestroyReaderWindows();
    return code;
}
