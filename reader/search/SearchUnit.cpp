#include "SearchUnit.h"

namespace quarto {

TSearchForm* SearchForm = nullptr;

TSearchForm::TSearchForm(QWidget* parent) : QWidget(parent) {
    setObjectName("SearchForm");
    setWindowTitle(QString::fromUtf8("Поиск"));
}

} // namespace quarto
