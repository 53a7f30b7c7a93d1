#include "reader/core/qt/FindBar.h"

#include "common/qt/Named.h"
#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/HtmlView.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <QToolButton>

namespace quarto {

namespace {

// Matches are counted up to this many: a find in a huge page stays quick.
constexpr int MaxCountedMatches = 9999;

} // namespace

TFindBar::TFindBar(THtmlView& view, QWidget* parent) : QFrame(parent), FView(view) {
    setObjectName("FindBar");
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    FGrid = new QGridLayout(this);
    FGrid->setContentsMargins(4, 2, 4, 2);
    FGrid->setHorizontalSpacing(4);
    FGrid->setVerticalSpacing(2);
    FCaption = new QLabel(Ui("Найти:"), this);
    FEdit = Named(new QLineEdit(this), "FindEdit");
    FEdit->setClearButtonEnabled(true);
    FEdit->setMinimumWidth(60);
    FCaption->setBuddy(FEdit);
    FNext = Named(new QPushButton(Ui("Найти далее"), this), "FindNext");
    FNext->setToolTip(Ui("F3"));
    FPrevious = Named(new QPushButton(Ui("Найти ранее"), this), "FindPrevious");
    FPrevious->setToolTip(Ui("Shift+F3"));
    FCount = Named(new QLabel(this), "FindCount");
    FCount->setMinimumWidth(FCount->fontMetrics().horizontalAdvance(Ui("Не найдено")));
    FClose = Named(new QToolButton(this), "FindClose");
    FClose->setText(QStringLiteral("✕"));
    FClose->setAutoRaise(true);
    FClose->setToolTip(Ui("Закрыть (Escape)"));
    Arrange();
    hide();

    connect(FEdit, &QLineEdit::textEdited, this,
            [this] { Guarded([&] { FindFrom(false, true); }); });
    connect(FEdit, &QLineEdit::returnPressed, this, [this] {
        Guarded([&] { Step(QApplication::keyboardModifiers() & Qt::ShiftModifier); });
    });
    connect(FNext, &QPushButton::clicked, this, [this] { Guarded([&] { Step(false); }); });
    connect(FPrevious, &QPushButton::clicked, this, [this] { Guarded([&] { Step(true); }); });
    connect(FClose, &QToolButton::clicked, this, [this] { Guarded([&] { Close(); }); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { Guarded([&] { Close(); }); });
}

void TFindBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    Arrange();
}

void TFindBar::ShowText() {
    if (OnShowText)
        OnShowText();
}

// One row where the pane is wide enough for it, else the two buttons on a second row (the
// skins give the text pane very different widths).
void TFindBar::Arrange() {
    const int wide = FCaption->sizeHint().width() + FEdit->minimumWidth() * 2 +
                     FNext->sizeHint().width() + FPrevious->sizeHint().width() +
                     FCount->minimumWidth() + FClose->sizeHint().width() + 6 * 4 + 8;
    const int rows = width() >= wide ? 1 : 2;
    if (rows == FRows)
        return;
    FRows = rows;
    for (QWidget* w : {static_cast<QWidget*>(FCaption), static_cast<QWidget*>(FEdit),
                       static_cast<QWidget*>(FNext), static_cast<QWidget*>(FPrevious),
                       static_cast<QWidget*>(FCount), static_cast<QWidget*>(FClose)})
        FGrid->removeWidget(w);
    FGrid->addWidget(FCaption, 0, 0);
    FGrid->addWidget(FEdit, 0, 1);
    if (rows == 1) {
        FGrid->addWidget(FNext, 0, 2);
        FGrid->addWidget(FPrevious, 0, 3);
        FGrid->addWidget(FCount, 0, 4);
        FGrid->addWidget(FClose, 0, 5);
    } else {
        FGrid->addWidget(FCount, 0, 2);
        FGrid->addWidget(FClose, 0, 3);
        FGrid->addWidget(FNext, 1, 0, 1, 2);
        FGrid->addWidget(FPrevious, 1, 2, 1, 2);
    }
    for (int column = 0; column < 6; ++column)
        FGrid->setColumnStretch(column, column == 1 ? 1 : 0);
}

void TFindBar::Open() {
    ShowText();
    // The words selected in the page are what is looked for.
    const QString selected = FView.textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) &&
        selected.size() <= 100)
        FEdit->setText(selected);
    show();
    FEdit->setFocus(Qt::ShortcutFocusReason);
    FEdit->selectAll();
    ShowCount();
}

void TFindBar::Close() {
    if (!isVisible())
        return;
    hide();
    FView.setFocus(Qt::OtherFocusReason);
}

void TFindBar::Step(bool backward) {
    if (FEdit->text().isEmpty()) {
        Open();
        return;
    }
    if (!isVisible())
        show();
    ShowText();
    FindFrom(backward, false);
}

QString TFindBar::CountText() const {
    return FCount->text();
}

// Selects the next (or previous) match of the find text from the selection, going round at
// the end; fromSelectionStart: a match starting where the selection starts counts (the text
// was changed and is looked for again from there).
void TFindBar::FindFrom(bool backward, bool fromSelectionStart) {
    FView.FinishLoading();
    const QString text = FEdit->text();
    QTextDocument* document = FView.document();
    QTextCursor from = FView.textCursor();
    if (fromSelectionStart && from.hasSelection())
        from.setPosition(from.selectionStart());
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor found;
    if (!text.isEmpty()) {
        found = document->find(text, from, flags);
        if (found.isNull()) {
            // Round the end, from the other end of the page.
            QTextCursor edge(document);
            edge.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
            found = document->find(text, edge, flags);
        }
    }
    QPalette palette = FEdit->palette();
    palette.setColor(QPalette::Base, !text.isEmpty() && found.isNull()
                                         ? QColor(255, 220, 220)
                                         : this->palette().color(QPalette::Base));
    FEdit->setPalette(palette);
    if (!found.isNull()) {
        FView.setTextCursor(found);
        FView.ensureCursorVisible();
    }
    ShowCount();
}

void TFindBar::ShowCount() {
    const QString text = FEdit->text();
    if (text.isEmpty()) {
        FCount->clear();
        return;
    }
    QTextDocument* document = FView.document();
    const QTextCursor selected = FView.textCursor();
    int count = 0;
    int current = 0;
    for (QTextCursor at = document->find(text, 0); !at.isNull() && count < MaxCountedMatches;
         at = document->find(text, at)) {
        ++count;
        if (selected.hasSelection() && at.selectionStart() == selected.selectionStart() &&
            at.selectionEnd() == selected.selectionEnd())
            current = count;
    }
    if (count == 0)
        FCount->setText(Ui("Не найдено"));
    else if (current == 0)
        FCount->setText(Ui("Найдено: ") + QString::number(count));
    else
        FCount->setText(QString::number(current) + Ui(" из ") + QString::number(count));
}

} // namespace quarto
