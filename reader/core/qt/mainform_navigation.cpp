// Getting around the main window as readers of offline books expect: the history of the pages
// shown (back and forward), the find bar under the text, stepping through the search hits, the
// keyboard for the commands the skin offers only as painted areas, and the page's context menu.
#include "reader/core/qt/mainform.h"

#include "common/qt/Named.h"
#include "common/qt/QtText.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/HtmlView.h"
#include "reader/search/qt/SearchUnit.h"

#include <QApplication>
#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace quarto {

namespace {

// Matches are counted up to this many: a find in a huge page stays quick.
constexpr int MaxCountedMatches = 9999;

} // namespace

// History.

void TForm1::KeepViewScroll() {
    if (!FRestoringStep)
        History.KeepScroll(HTMLViewer1->verticalScrollBar()->value());
}

void TForm1::Visited(THistoryStep step) {
    if (!FRestoringStep)
        History.Visit(std::move(step));
}

void TForm1::GoBack() {
    KeepViewScroll();
    if (const std::optional<THistoryStep> step = History.Back())
        ShowStep(*step);
}

void TForm1::GoForward() {
    KeepViewScroll();
    if (const std::optional<THistoryStep> step = History.Forward())
        ShowStep(*step);
}

void TForm1::ShowStep(const THistoryStep& step) {
    if (BookList.empty())
        return;
    FRestoringStep = true;
    try {
        if (step.Kind == THistoryStep::TKind::Article) {
            if (!step.HighlightWords.empty()) {
                HighlightOn = true;
                HighlightWords = step.HighlightWords;
            }
            if (step.SetsCurrent)
                CurrentArticle = step.Article;
            OpenArticle(step.Article);
        } else {
            ConfineViews();
            HTMLViewer1->LoadFromFile(step.File);
        }
        HTMLViewer1->FinishLoading();
        if (step.Scroll > 0 || step.Anchor.empty())
            HTMLViewer1->verticalScrollBar()->setValue(step.Scroll);
        else
            HTMLViewer1->scrollToAnchor(FromUtf8(step.Anchor));
    } catch (...) {
        FRestoringStep = false;
        throw;
    }
    FRestoringStep = false;
    BringToFront(Panel6);
}

// Find in the page.

void TForm1::CreateFindBar() {
    FindBar = Named(new QFrame(Panel1), "FindBar");
    FindBar->setFrameShape(QFrame::StyledPanel);
    FindBar->setAutoFillBackground(true);
    FFindGrid = new QGridLayout(FindBar);
    FFindGrid->setContentsMargins(4, 2, 4, 2);
    FFindGrid->setHorizontalSpacing(4);
    FFindGrid->setVerticalSpacing(2);
    FFindCaption = new QLabel(Ui("Найти:"), FindBar);
    FindEdit = Named(new QLineEdit(FindBar), "FindEdit");
    FindEdit->setClearButtonEnabled(true);
    FindEdit->setMinimumWidth(60);
    FFindCaption->setBuddy(FindEdit);
    FindNext = Named(new QPushButton(Ui("Найти далее"), FindBar), "FindNext");
    FindNext->setToolTip(Ui("F3"));
    FindPrevious = Named(new QPushButton(Ui("Найти ранее"), FindBar), "FindPrevious");
    FindPrevious->setToolTip(Ui("Shift+F3"));
    FindCount = Named(new QLabel(FindBar), "FindCount");
    FindCount->setMinimumWidth(FindCount->fontMetrics().horizontalAdvance(Ui("Не найдено")));
    FindClose = Named(new QToolButton(FindBar), "FindClose");
    FindClose->setText(QStringLiteral("✕"));
    FindClose->setAutoRaise(true);
    FindClose->setToolTip(Ui("Закрыть (Escape)"));
    FindBar->installEventFilter(this);
    ArrangeFindBar();
    FindBar->hide();

    connect(FindEdit, &QLineEdit::textEdited, this, [this] { FindFrom(false, true); });
    connect(FindEdit, &QLineEdit::returnPressed, this, [this] {
        FindStep(QApplication::keyboardModifiers() & Qt::ShiftModifier);
    });
    connect(FindNext, &QPushButton::clicked, this, [this] { FindStep(false); });
    connect(FindPrevious, &QPushButton::clicked, this, [this] { FindStep(true); });
    connect(FindClose, &QToolButton::clicked, this, [this] { CloseFindBar(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), FindBar);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { CloseFindBar(); });
}

// One row where the pane is wide enough for it, else the two buttons on a second row (the
// skins give the text pane very different widths).
void TForm1::ArrangeFindBar() {
    const int wide = FFindCaption->sizeHint().width() + FindEdit->minimumWidth() * 2 +
                     FindNext->sizeHint().width() + FindPrevious->sizeHint().width() +
                     FindCount->minimumWidth() + FindClose->sizeHint().width() + 6 * 4 + 8;
    const int rows = FindBar->width() >= wide ? 1 : 2;
    if (rows == FFindRows)
        return;
    FFindRows = rows;
    for (QWidget* w : {static_cast<QWidget*>(FFindCaption), static_cast<QWidget*>(FindEdit),
                       static_cast<QWidget*>(FindNext), static_cast<QWidget*>(FindPrevious),
                       static_cast<QWidget*>(FindCount), static_cast<QWidget*>(FindClose)})
        FFindGrid->removeWidget(w);
    FFindGrid->addWidget(FFindCaption, 0, 0);
    FFindGrid->addWidget(FindEdit, 0, 1);
    if (rows == 1) {
        FFindGrid->addWidget(FindNext, 0, 2);
        FFindGrid->addWidget(FindPrevious, 0, 3);
        FFindGrid->addWidget(FindCount, 0, 4);
        FFindGrid->addWidget(FindClose, 0, 5);
    } else {
        FFindGrid->addWidget(FindCount, 0, 2);
        FFindGrid->addWidget(FindClose, 0, 3);
        FFindGrid->addWidget(FindNext, 1, 0, 1, 2);
        FFindGrid->addWidget(FindPrevious, 1, 2, 1, 2);
    }
    for (int column = 0; column < 6; ++column)
        FFindGrid->setColumnStretch(column, column == 1 ? 1 : 0);
}

void TForm1::ShowFindBar() {
    BringToFront(Panel6);
    // The words selected in the page are what is looked for.
    const QString selected = HTMLViewer1->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) &&
        selected.size() <= 100)
        FindEdit->setText(selected);
    FindBar->show();
    FindEdit->setFocus(Qt::ShortcutFocusReason);
    FindEdit->selectAll();
    ShowFindCount();
}

void TForm1::CloseFindBar() {
    if (!FindBar->isVisible())
        return;
    FindBar->hide();
    HTMLViewer1->setFocus(Qt::OtherFocusReason);
}

void TForm1::FindStep(bool backward) {
    if (FindEdit->text().isEmpty()) {
        ShowFindBar();
        return;
    }
    if (!FindBar->isVisible())
        FindBar->show();
    BringToFront(Panel6);
    FindFrom(backward, false);
}

// Selects the next (or previous) match of the find text from the selection, going round at
// the end; fromSelectionStart: a match starting where the selection starts counts (the text
// was changed and is looked for again from there).
void TForm1::FindFrom(bool backward, bool fromSelectionStart) {
    HTMLViewer1->FinishLoading();
    const QString text = FindEdit->text();
    QTextDocument* document = HTMLViewer1->document();
    QTextCursor from = HTMLViewer1->textCursor();
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
    QPalette palette = FindEdit->palette();
    palette.setColor(QPalette::Base, !text.isEmpty() && found.isNull()
                                         ? QColor(255, 220, 220)
                                         : FindBar->palette().color(QPalette::Base));
    FindEdit->setPalette(palette);
    if (!found.isNull()) {
        HTMLViewer1->setTextCursor(found);
        HTMLViewer1->ensureCursorVisible();
    }
    ShowFindCount();
}

void TForm1::ShowFindCount() {
    const QString text = FindEdit->text();
    if (text.isEmpty()) {
        FindCount->clear();
        return;
    }
    QTextDocument* document = HTMLViewer1->document();
    const QTextCursor selected = HTMLViewer1->textCursor();
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
        FindCount->setText(Ui("Не найдено"));
    else if (current == 0)
        FindCount->setText(Ui("Найдено: ") + QString::number(count));
    else
        FindCount->setText(QString::number(current) + Ui(" из ") + QString::number(count));
}

// Search hits.

void TForm1::StepHit(bool forward) {
    QTreeWidgetItem* current = fcTreeView1->currentItem();
    if (!current && !forward)
        return; // before the first hit: nothing before it
    QTreeWidgetItem* chosen = nullptr;
    bool passed = current == nullptr;
    for (QTreeWidgetItemIterator it(fcTreeView1); *it; ++it) {
        QTreeWidgetItem* item = *it;
        if (item == current) {
            passed = true;
            if (!forward)
                break;
            continue;
        }
        const bool hit = item->parent() && item->data(0, ResultHitRole).toBool() &&
                         (item->childCount() == 0 || item->parent()->parent());
        if (!hit)
            continue;
        if (forward && passed) {
            chosen = item;
            break;
        }
        if (!forward)
            chosen = item; // the last hit before the current one
    }
    if (!chosen)
        return; // no hit beyond this one: it stays
    for (QTreeWidgetItem* p = chosen->parent(); p; p = p->parent())
        p->setExpanded(true);
    fcTreeView1->setCurrentItem(chosen);
    fcTreeView1->scrollToItem(chosen);
    fcTreeView1DblClick(chosen);
}

// The keyboard.

void TForm1::ChangeFontSize(int delta) {
    const int size = delta == 0 ? FlatSpinEditInteger1->minimum()
                                : FlatSpinEditInteger1->value() + delta;
    FlatSpinEditInteger1->setValue(
        std::clamp(size, FlatSpinEditInteger1->minimum(), FlatSpinEditInteger1->maximum()));
}

void TForm1::CreateShortcuts() {
    const auto bind = [this](const QKeySequence& keys, auto&& command) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, command] { Guarded([&] { command(); }); });
        return shortcut;
    };
    // The commands of the painted areas, through the same handlers.
    bind(QKeySequence::Copy, [this] { SkinCopy(); });
    bind(QKeySequence::Print, [this] { SkinPrint(); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_Right), [this] { SkinNext(); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_Left), [this] { SkinPrevious(); });
    bind(QKeySequence(Qt::Key_F1), [this] { SkinAbout(); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { SkinExit(); });
    // The font panel's size.
    bind(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { ChangeFontSize(2); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { ChangeFontSize(2); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { ChangeFontSize(-2); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { ChangeFontSize(0); });
    // History, find and the hits.
    bind(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { GoBack(); });
    bind(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { GoForward(); });
    bind(QKeySequence::Find, [this] { ShowFindBar(); });
    bind(QKeySequence(Qt::Key_F3), [this] { FindStep(false); });
    bind(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { FindStep(true); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { StepHit(true); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { StepHit(false); });
    connect(PreviousHit, &QToolButton::clicked, this, [this] { Guarded([&] { StepHit(false); }); });
    connect(NextHit, &QToolButton::clicked, this, [this] { Guarded([&] { StepHit(true); }); });

    // The mouse's back and forward buttons over the page.
    HTMLViewer1->OnHistoryButton = [this](bool forward) {
        Guarded([&] { forward ? GoForward() : GoBack(); });
    };
    HTMLViewer1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(HTMLViewer1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowPageMenu(at); });
}

void TForm1::ShowPageMenu(const QPoint& at) {
    QMenu menu(this);
    menu.setObjectName("PageMenu");
    QAction* copy = menu.addAction(Ui("Копировать"), [this] { Guarded([&] { SkinCopy(); }); });
    copy->setShortcut(QKeySequence::Copy);
    QAction* all = menu.addAction(Ui("Выделить всё"), [this] { HTMLViewer1->SelectAllText(); });
    all->setShortcut(QKeySequence::SelectAll);
    QAction* find = menu.addAction(Ui("Найти на странице…"), [this] { ShowFindBar(); });
    find->setShortcut(QKeySequence::Find);
    menu.addSeparator();
    QAction* print = menu.addAction(Ui("Печать…"), [this] { Guarded([&] { SkinPrint(); }); });
    print->setShortcut(QKeySequence::Print);
    if (PageMenuHook) {
        PageMenuHook(menu);
        return;
    }
    menu.exec(HTMLViewer1->viewport()->mapToGlobal(at));
}

} // namespace quarto
