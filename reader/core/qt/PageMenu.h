// The page's context menu, offered by a right click on the text view: copy, select all, find
// and print.
#pragma once

#include <QObject>

#include <functional>

class QMenu;
class QPoint;

namespace quarto {

class THtmlView;

class TPageMenu : public QObject {
    Q_OBJECT
public:
    // The commands the menu runs besides selecting all of the page.
    struct TCommands {
        std::function<void()> Copy;
        std::function<void()> Find;
        std::function<void()> Print;
    };
    // Offers the menu on view's right clicks from now on.
    TPageMenu(THtmlView& view, TCommands commands);

    // Builds the menu ("PageMenu") and shows it at the point of the view, or hands it to Hook.
    void Show(const QPoint& at);
    // Given the menu instead of showing it (tests).
    std::function<void(QMenu& menu)> Hook;

private:
    THtmlView& FView;
    TCommands FCommands;
};

} // namespace quarto
