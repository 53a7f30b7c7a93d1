// The main window's keyboard: one table of key sequences to commands, for the commands the
// skin offers only as painted areas and for getting around (history, find, search hits, the
// text size), and Enter on the music tree and the audio and video lists. Escape, which closes
// the find bar, belongs to the bar.
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
    PlaySelected, // the selected track, sound or clip, as a double-click plays it
};

// Where a key works: anywhere in the active window, or on a list of what plays while it has
// the focus (elsewhere Enter stays with the widget that has it).
enum class TKeyPlace { Window, PlayList };

struct TKeyBinding {
    QKeySequence Keys;
    TKeyCommand Command;
    TKeyPlace Place = TKeyPlace::Window;
};

// Every key of the main window with its command; a key sequence occurs once.
const std::vector<TKeyBinding>& KeyTable();

class TKeyMap {
public:
    // Binds every key of the table: in window (while the window is active), or on each of
    // playLists (while it has the focus); a key runs run with its command, entered through the
    // general error report.
    TKeyMap(QWidget& window, const std::vector<QWidget*>& playLists,
            std::function<void(TKeyCommand)> run);
};

} // namespace quarto
