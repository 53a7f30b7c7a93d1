#include "rsDyntyp.h"

#include <utility>

namespace quarto {

TrsCustomDynarray::TrsCustomDynarray(const TrsCustomDynarray& other)
    : FArray(other.FArray.ItemSize()) {
    FItems = FArray.Assign(other.FArray);
}

TrsCustomDynarray& TrsCustomDynarray::operator=(const TrsCustomDynarray& other) {
    AssignItems(other);
    return *this;
}

TrsCustomDynarray::TrsCustomDynarray(TrsCustomDynarray&& other) noexcept
    : FArray(std::move(other.FArray)), FItems(std::exchange(other.FItems, nullptr)) {}

TrsCustomDynarray& TrsCustomDynarray::operator=(TrsCustomDynarray&& other) noexcept {
    if (this != &other) {
        FArray = std::move(other.FArray);
        FItems = std::exchange(other.FItems, nullptr);
    }
    return *this;
}

void TrsDynLongint::RaiseIndexError() {
    throw EDynArrayTypeAccessError();
}

} // namespace quarto
