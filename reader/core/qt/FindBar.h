// The find bar under the text view: the text is looked for ignoring letter case, the match
// found is selected, «3 из 17» counts the matches, the search goes round at either end. In a
// pane too narrow for one row its two buttons go to a second row.
#pragma once

#include <QFrame>

#include <functional>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quarto {

class THtmlView;

class TFindBar : public QFrame {
    Q_OBJECT
public:
    // A hidden bar over view; its widgets are named "FindBar", "FindEdit", "FindNext",
    // "FindPrevious", "FindCount" and "FindClose".
    TFindBar(THtmlView& view, QWidget* parent);

    // Ctrl+F: the bar is shown with the focus in its field, which takes the words selected in
    // the page (one line, at most 100 characters).
    void Open();
    // F3, Shift+F3: the next or previous match; with an empty field, the bar is opened.
    void Step(bool backward);
    // Escape: the bar is hidden and the text takes the focus.
    void Close();
    // The count shown: «3 из 17», «Найдено: 17», «Не найдено», or empty.
    QString CountText() const;
    // The bar's rows: 1, or 2 with the buttons below the field.
    int Rows() const { return FRows; }

    // Called before the page is searched: the text view is brought to the front.
    std::function<void()> OnShowText;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FindFrom(bool backward, bool fromSelectionStart);
    void ShowCount();
    void Arrange();
    void ShowText();

    THtmlView& FView;
    QGridLayout* FGrid;
    QLabel* FCaption;
    QLineEdit* FEdit;
    QPushButton* FNext;     // "Найти далее"
    QPushButton* FPrevious; // "Найти ранее"
    QLabel* FCount;         // "3 из 17"
    QToolButton* FClose;
    int FRows = 0;
};

} // namespace quarto
