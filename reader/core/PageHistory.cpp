#include "PageHistory.h"

namespace quarto {

void TPageHistory::Visit(THistoryStep step) {
    if (!FSteps.empty())
        FSteps.resize(FAt + 1);
    FSteps.push_back(std::move(step));
    if (FSteps.size() > MaxSteps)
        FSteps.erase(FSteps.begin(), FSteps.begin() + static_cast<std::ptrdiff_t>(FSteps.size() - MaxSteps));
    FAt = FSteps.size() - 1;
}

void TPageHistory::KeepScroll(int scroll) {
    if (!FSteps.empty())
        FSteps[FAt].Scroll = scroll;
}

std::optional<THistoryStep> TPageHistory::Back() {
    if (!CanGoBack())
        return std::nullopt;
    return FSteps[--FAt];
}

std::optional<THistoryStep> TPageHistory::Forward() {
    if (!CanGoForward())
        return std::nullopt;
    return FSteps[++FAt];
}

void TPageHistory::Clear() {
    FSteps.clear();
    FAt = 0;
}

} // namespace quarto
