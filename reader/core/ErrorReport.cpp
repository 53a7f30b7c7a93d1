#include "ErrorReport.h"

#include "common/Cp1251.h"

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
    const QString utf8 = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (!utf8.contains(QChar::ReplacementCharacter))
        return utf8;
    return QString::fromUtf8(Cp1251ToUtf8(text));
}

QString ErrorText(const std::exception& e) {
    return FromEngineText(e.what());
}

void ReportError(const std::exception& e) {
    ShowMessageBox(QString::fromUtf8(ReaderTitle), ErrorText(e));
}

void ReportUnknownError() {
    ShowMessageBox(QString::fromUtf8(ReaderTitle), QString::fromUtf8("Неизвестная ошибка."));
}

TQuartoApplication::TQuartoApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Quarto");
    setApplicationDisplayName(QString::fromUtf8(ReaderTitle));
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
