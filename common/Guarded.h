// The windows' guard around a handler the toolkit calls: what the handler throws is handed to a
// report instead of crossing the toolkit's own code.
#pragma once

#include <exception>
#include <utility>

namespace quarto {

// Runs handler; a std::exception it lets through goes to report(e), anything else to
// reportUnknown(). True when the handler ran to its end.
template <class F, class Report, class ReportUnknown>
bool GuardedBy(F&& handler, Report&& report, ReportUnknown&& reportUnknown) {
    try {
        std::forward<F>(handler)();
        return true;
    } catch (const std::exception& e) {
        report(e);
    } catch (...) {
        reportUnknown();
    }
    return false;
}

} // namespace quarto
