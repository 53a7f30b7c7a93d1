// The pages the text view has shown in this run, for going back and forward as a help viewer
// does: each step names how to show the page again (an article and how it was opened, a page
// file such as the about page, or a text file shown as text), the anchor it went to and where it
// was scrolled.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quarto {

struct THistoryStep {
    enum class TKind { Article, File, Text };
    TKind Kind = TKind::Article;
    int Article = -1;
    // Opened from the contents tree or by previous/next: showing it again makes it the
    // current article, as it was then.
    bool SetsCurrent = false;
    // A search hit: the words marked when it was opened (1251), marked again when shown again.
    std::string HighlightWords;
    std::string File;   // TKind::File: the page's path; TKind::Text: the text file's
    std::string Anchor; // the anchor followed to this step, "" for none
    int Scroll = 0;     // the view's scroll position when it was left

    static THistoryStep OfArticle(int article, bool setsCurrent, std::string highlightWords = {}) {
        THistoryStep step;
        step.Article = article;
        step.SetsCurrent = setsCurrent;
        step.HighlightWords = std::move(highlightWords);
        return step;
    }
    static THistoryStep OfFile(std::string file) {
        THistoryStep step;
        step.Kind = TKind::File;
        step.File = std::move(file);
        return step;
    }
    static THistoryStep OfText(std::string file) {
        THistoryStep step = OfFile(std::move(file));
        step.Kind = TKind::Text;
        return step;
    }
};

class TPageHistory {
public:
    static constexpr std::size_t MaxSteps = 100;

    // A page shown: the steps after the current one go, the oldest goes past MaxSteps.
    void Visit(THistoryStep step);
    // The current step's scroll position, kept before another step is shown.
    void KeepScroll(int scroll);
    bool CanGoBack() const { return FAt > 0; }
    bool CanGoForward() const { return FAt + 1 < FSteps.size(); }
    // The step before or after the current one, which becomes current; nothing at the ends.
    std::optional<THistoryStep> Back();
    std::optional<THistoryStep> Forward();
    const THistoryStep* Current() const { return FSteps.empty() ? nullptr : &FSteps[FAt]; }
    std::size_t Size() const { return FSteps.size(); }
    void Clear();

private:
    std::vector<THistoryStep> FSteps;
    std::size_t FAt = 0;
};

} // namespace quarto
