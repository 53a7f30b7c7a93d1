// The search-in-progress window: a two-line notice over a progress bar that a timer advances
// while the interface is idle. Shown without blocking for the length of a search.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;

namespace quarto {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    QLabel* Label1;
    QProgressBar* ProgressBar1; // 0..100
    QTimer* Timer1;             // 1000 ms, runs from creation to the end of the program

    // Advances the progress bar by one, back to 0 on reaching its maximum.
    void Timer1Timer();
    // Puts the window, frame included, in the middle of the screen.
    void CentreOnScreen();

protected:
    // The window opens in the middle of the screen every time it is shown.
    void showEvent(QShowEvent* event) override;
};

extern TForm2* Form2;

} // namespace quarto
