// Getting around the main window as readers of offline books expect: its parts for the history
// of the pages shown, the find bar, the page's context menu, the print route and the keyboard
// are wired here, with stepping through the search hits and the text size by the keyboard.
#include "reader/core/qt/mainform.h"

#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/FindBar.h"
#include "reader/core/qt/HtmlView.h"
#include "reader/core/qt/KeyMap.h"
#include "reader/core/qt/PageMenu.h"
#include "reader/core/qt/PrintRoute.h"
#include "reader/core/qt/ViewHistory.h"
#include "reader/search/qt/SearchUnit.h"

#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace quarto {

void TForm1::CreateParts() {
    FHistory = std::make_unique<TViewHistory>(
        *HTMLViewer1, [this](const THistoryStep& step) { return ShowStepContent(step); },
        [this] { BringToFront(Panel6); });
    // The mouse's back and forward buttons over the page.
    HTMLViewer1->OnHistoryButton = [this](bool forward) {
        Guarded([&] { forward ? FHistory->Forward() : FHistory->Back(); });
    };
    FFindBar->OnShowText = [this] { BringToFront(Panel6); };
    FPrintRoute = std::make_unique<TPrintRoute>(this);
    FPageMenu = new TPageMenu(*HTMLViewer1, {[this] { SkinCopy(); }, [this] { FFindBar->Open(); },
                                             [this] { SkinPrint(); }});
    FKeyMap =
        std::make_unique<TKeyMap>(*this, std::vector<QWidget*>{fcTreeView2, ListBox3, ListBox4},
                                  [this](TKeyCommand command) { RunKeyCommand(command); });
    connect(FPreviousHit, &QToolButton::clicked, this,
            [this] { Guarded([&] { StepHit(false); }); });
    connect(FNextHit, &QToolButton::clicked, this, [this] { Guarded([&] { StepHit(true); }); });
}

void TForm1::RunKeyCommand(TKeyCommand command) {
    switch (command) {
    // The commands of the painted areas, through the same handlers.
    case TKeyCommand::Copy:
        SkinCopy();
        break;
    case TKeyCommand::Print:
        SkinPrint();
        break;
    case TKeyCommand::NextArticle:
        SkinNext();
        break;
    case TKeyCommand::PreviousArticle:
        SkinPrevious();
        break;
    case TKeyCommand::About:
        SkinAbout();
        break;
    case TKeyCommand::Exit:
        SkinExit();
        break;
    case TKeyCommand::LargerText:
        ChangeFontSize(2);
        break;
    case TKeyCommand::SmallerText:
        ChangeFontSize(-2);
        break;
    case TKeyCommand::TextSizeAtStart:
        ChangeFontSize(0);
        break;
    case TKeyCommand::Back:
        FHistory->Back();
        break;
    case TKeyCommand::Forward:
        FHistory->Forward();
        break;
    case TKeyCommand::Find:
        FFindBar->Open();
        break;
    case TKeyCommand::FindNext:
        FFindBar->Step(false);
        break;
    case TKeyCommand::FindPrevious:
        FFindBar->Step(true);
        break;
    case TKeyCommand::NextHit:
        StepHit(true);
        break;
    case TKeyCommand::PreviousHit:
        StepHit(false);
        break;
    case TKeyCommand::PlaySelected:
        PlaySelected();
        break;
    }
}

bool TForm1::ShowStepContent(const THistoryStep& step) {
    if (BookList.empty())
        return false;
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
    return true;
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

// The keyboard's text size.

void TForm1::ChangeFontSize(int delta) {
    const int size =
        delta == 0 ? FlatSpinEditInteger1->minimum() : FlatSpinEditInteger1->value() + delta;
    FlatSpinEditInteger1->setValue(
        std::clamp(size, FlatSpinEditInteger1->minimum(), FlatSpinEditInteger1->maximum()));
}

} // namespace quarto
