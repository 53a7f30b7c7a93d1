// The history's window side: the steps the text view showed in this run (articles, the about
// page, anchors followed in a page), each with the place it was scrolled to, and a step shown
// again by back and forward (Alt+Left, Alt+Right, the mouse's side buttons).
#pragma once

#include "reader/core/PageHistory.h"

#include <functional>
#include <string>

namespace quarto {

class THtmlView;

class TViewHistory {
public:
    // showContent loads a step's page into view (false: nothing was shown); it is called
    // while the step is being shown again, when the view's loads are not new steps.
    // shown is called once a step is shown again and scrolled to its place.
    TViewHistory(THtmlView& view, std::function<bool(const THistoryStep&)> showContent,
                 std::function<void()> shown);

    // A page was just shown: its step, unless a step is being shown again.
    void Visited(THistoryStep step);
    // A page is about to be left: the current step keeps the view's scroll.
    void KeepScroll();
    // An anchor followed in the page shown: a step of the same page at that anchor.
    void FollowedAnchor(const std::string& anchor);
    void Back();
    void Forward();
    // Switching the edition starts a new history.
    void Clear();
    const TPageHistory& Steps() const { return FSteps; }

private:
    void Show(const THistoryStep& step);

    THtmlView& FView;
    std::function<bool(const THistoryStep&)> FShowContent;
    std::function<void()> FShown;
    TPageHistory FSteps;
    bool FRestoring = false; // a step is being shown again
};

} // namespace quarto
