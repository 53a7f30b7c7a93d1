#include "insertUnit.h"

namespace quarto {

TinsertForm* insertForm = nullptr;

TinsertForm::TinsertForm(QWidget* parent) : QWidget(parent) {
    setObjectName("insertForm");
    setWindowTitle(QString::fromUtf8("Электронные книги"));
}

} // namespace quarto
