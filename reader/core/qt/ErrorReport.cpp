#include "ErrorReport.h"

#include "common/qt/QtText.h"

#include <QMessageBox>

namespace quarto {

std::function<void(const QString&, const QString&)> MessageBoxHook;
std::function<bool(const QString&, const QString&)> QuestionBoxHook;

void ShowMessageBox(const QString& caption, const QString& text, QMessageBox::Icon icon) {
    if (MessageBoxHook) {
        MessageBoxHook(caption, text);
        return;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok);
    box.exec();
}

bool AskQuestion(const QString& caption, const QString& text) {
    if (QuestionBoxHook)
        return QuestionBoxHook(caption, text);
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
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
