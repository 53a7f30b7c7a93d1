#include "search_wait.h"

namespace quarto {

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
    setObjectName("Form2");
    setWindowTitle(QString::fromUtf8("Поиск"));
}

} // namespace quarto
