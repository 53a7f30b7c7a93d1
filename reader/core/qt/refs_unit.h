// The reference window: shows reference pages linked from articles, without blocking the
// main window. Its links follow the main window's rules for files that are not pages; the
// others it follows itself. Created once, hidden (never destroyed) when closed.
#pragma once

#include <QWidget>

#include <string>

class QFrame;
class QPushButton;

namespace quarto {

class THtmlView;

class TRefs : public QWidget {
    Q_OBJECT
public:
    explicit TRefs(QWidget* parent = nullptr);

    THtmlView* WB1;
    QFrame* Panel1;
    QPushButton* Button1;

    // Hides the window.
    void Button1Click();
    // A link of the page shown: a file that is not a page is opened as the main window opens
    // it (TForm1::OpenFileLink); the view follows the rest.
    void WB1HotSpotClick(const std::string& target, bool& handled);
};

extern TRefs* Refs;

} // namespace quarto
