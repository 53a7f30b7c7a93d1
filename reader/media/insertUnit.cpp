#include "insertUnit.h"

#include "common/qt/QtText.h"

namespace quarto {

TinsertForm* insertForm = nullptr;

TinsertForm::TinsertForm(QWidget* parent) : QWidget(parent) {
    setObjectName("insertForm");
    setWindowTitle(Ui("Электронные книги"));
}

} // namespace quarto
