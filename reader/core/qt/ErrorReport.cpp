#include "ErrorReport.h"

#include "common/qt/QtText.h"

#include <QMessageBox>

#include <algorithm>

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

QString WithFileNames(const QString& text) {
    QString out;
    out.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(QChar(u'«'), at);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QChar(u'»'), open + 1);
        if (close < 0) {
            out += text.mid(at);
            break;
        }
        const QString quoted = text.mid(open + 1, close - open - 1);
        const qsizetype slash =
            std::max(quoted.lastIndexOf(QChar(u'/')), quoted.lastIndexOf(QChar(u'\\')));
        // A path ending in a separator names a folder: it stays whole.
        const bool path = slash >= 0 && slash + 1 < quoted.size();
        out += text.mid(at, open + 1 - at);
        out += path ? quoted.mid(slash + 1) : quoted;
        out += QChar(u'»');
        at = close + 1;
    }
    return out;
}

void ReportFileError(const std::exception& e) {
    ShowMessageBox(Ui(ReaderTitle), WithFileNames(ErrorText(e)));
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
