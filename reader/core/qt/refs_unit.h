// The reference window: shows reference pages linked from articles, without blocking the
// main window. Created once, hidden (never destroyed) when closed.
#pragma once

#include <QWidget>

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
};

extern TRefs* Refs;

} // namespace quarto
