#include "Unit3.h"

#include "common/qt/QtText.h"

namespace quarto {

TForm3* Form3 = nullptr;

TForm3::TForm3(QWidget* parent) : QWidget(parent) {
    setObjectName("Form3");
    setWindowTitle(Ui("Видео"));
}

} // namespace quarto
