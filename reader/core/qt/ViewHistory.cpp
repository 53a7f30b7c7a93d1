#include "reader/core/qt/ViewHistory.h"

#include "common/qt/QtText.h"
#include "reader/core/qt/HtmlView.h"

#include <QScrollBar>

namespace quarto {

TViewHistory::TViewHistory(THtmlView& view, std::function<bool(const THistoryStep&)> showContent,
                           std::function<void()> shown)
    : FView(view), FShowContent(std::move(showContent)), FShown(std::move(shown)) {}

void TViewHistory::KeepScroll() {
    if (!FRestoring)
        FSteps.KeepScroll(FView.verticalScrollBar()->value());
}

void TViewHistory::Visited(THistoryStep step) {
    if (!FRestoring)
        FSteps.Visit(std::move(step));
}

void TViewHistory::FollowedAnchor(const std::string& anchor) {
    // The view goes to the anchor itself.
    KeepScroll();
    if (const THistoryStep* current = FSteps.Current()) {
        THistoryStep step = *current;
        step.Anchor = anchor;
        step.Scroll = 0;
        FSteps.Visit(std::move(step));
    }
}

void TViewHistory::Back() {
    KeepScroll();
    if (const std::optional<THistoryStep> step = FSteps.Back())
        Show(*step);
}

void TViewHistory::Forward() {
    KeepScroll();
    if (const std::optional<THistoryStep> step = FSteps.Forward())
        Show(*step);
}

void TViewHistory::Clear() {
    FSteps.Clear();
}

void TViewHistory::Show(const THistoryStep& step) {
    FRestoring = true;
    try {
        if (!FShowContent(step)) {
            FRestoring = false;
            return;
        }
        FView.FinishLoading();
        if (step.Scroll > 0 || step.Anchor.empty())
            FView.verticalScrollBar()->setValue(step.Scroll);
        else
            FView.scrollToAnchor(FromUtf8(step.Anchor));
    } catch (...) {
        FRestoring = false;
        throw;
    }
    FRestoring = false;
    if (FShown)
        FShown();
}

} // namespace quarto
