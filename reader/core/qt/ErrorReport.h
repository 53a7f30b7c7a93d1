// Message boxes and the general error report of the reader.
#pragma once

#include "common/Guarded.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <exception>
#include <functional>
#include <string>
#include <utility>

namespace quarto {

// The reader's title, also the caption of the general error report.
inline const char* const ReaderTitle = "Электронные книги";

// Shows a message box with one OK button and waits for it.
void ShowMessageBox(const QString& caption, const QString& text,
                    QMessageBox::Icon icon = QMessageBox::Warning);
// Tests replace the box: when set, it receives caption and text instead.
extern std::function<void(const QString& caption, const QString& text)> MessageBoxHook;

// Asks a question in a message box with the buttons "Да" and "Нет" and waits for the answer:
// true for "Да".
bool AskQuestion(const QString& caption, const QString& text);
// Tests replace the question box: when set, it receives caption and text and answers.
extern std::function<bool(const QString& caption, const QString& text)> QuestionBoxHook;

// An engine text for the window: UTF-8 when it is valid UTF-8, else code page 1251.
QString FromEngineText(const std::string& text);
// The text an error shows.
QString ErrorText(const std::exception& e);

// The general error report: a message box with the error's text, after which the program
// goes on.
void ReportError(const std::exception& e);
void ReportUnknownError();
// A text naming files by their whole path, as the players, the picture files and the
// catalogue name them: each «...» holding a path gets the file's name alone.
QString WithFileNames(const QString& text);
// The general error report of a file that could not be played or read, naming the file.
void ReportFileError(const std::exception& e);

// The windows' one error policy: every handler the toolkit calls (a signal's slot, an event
// override, a view's callback, a shortcut) is entered through Guarded, so that no exception
// crosses Qt's own code. What the handler lets through reaches the general error report, and
// the program goes on. True when the handler ran to its end.
template <class F> bool Guarded(F&& handler) {
    return GuardedBy(
        std::forward<F>(handler), [](const std::exception& e) { ReportError(e); },
        [] { ReportUnknownError(); });
}

// The application: the last net under the handlers' guards; an error that still reaches the
// event notification gets the same general error report, after which the program goes on. It
// sets no display name, which some platforms would append to every window's title: each
// window's title is exactly its caption.
class TQuartoApplication : public QApplication {
public:
    TQuartoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace quarto
