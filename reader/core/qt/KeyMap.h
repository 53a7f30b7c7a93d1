// The main window's keyboard: one table of key sequences to commands, for the commands the
// skin offers only as painted areas and for getting around (history, find, search hits, the
// text size). Escape, which closes the find bar, belongs to the bar.
#pragma once

#include <QKeySequence>

#include <functional>
#include <vector>

class QWidget;

namespace quarto {

enum class TKeyCommand {
    Copy,
    Print,
    NextArticle,
    PreviousArticle,
    About,
    Exit,
    LargerText,
    SmallerText,
    TextSizeAtStart,
    Back,
    Forward,
    Find,
    FindNext,
    FindPrevious,
    NextHit,
    PreviousHit,
};

struct TKeyBinding {
    QKeySequence Keys;
    TKeyCommand Command;
};

// Every key of the main window with its command; a key sequence occurs once.
const std::vector<TKeyBinding>& KeyTable();

class TKeyMap {
public:
    // Binds every key of the table in window (while the window is active); a key runs run
    // with its command, entered through the general error report.
    TKeyMap(QWidget& window, std::function<void(TKeyCommand)> run);
};

} // namespace quarto
