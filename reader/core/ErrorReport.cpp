#include "ErrorReport.h"

#include "common/qt/QtText.h"

#include <QMessageBox>

namespace quarto {

std::function<void(const QString&, const QString&)> MessageBoxHook;

void ShowMessageBox(const QString& caption, const QString& text, QMessageBox::Icon icon) {
    if (MessageBoxHook) {
        MessageBoxHook(caption, text);
        return;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok);
    box.exec();
}

QString FromEngineText(const std::string& text) {
    const QString utf8 = FromUtf8(text);
    if (!utf8.contains(QChar::ReplacementCharacter))
        return utf8;
    return From1251(text);
}

QString ErrorText(const std::exception& e) {
    return FromEngineText(e.what());
}

void ReportError(const std::exception& e) {
    ShowMessageBox(Ui(ReaderTitle), ErrorText(e));
}

void ReportUnknownError() {
    ShowMessageBox(Ui(ReaderTitle), Ui("Неизвестная ошибка."));
}

TQuartoApplication::TQuartoApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Quarto");
    setApplicationDisplayName(Ui(ReaderTitle));
}

bool TQuartoApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportError(e);
    } catch (...) {
        ReportUnknownError();
    }
    return false;
}

} // namespace quarto
