#include "Unit3.h"

namespace quarto {

TForm3* Form3 = nullptr;

TForm3::TForm3(QWidget* parent) : QWidget(parent) {
    setObjectName("Form3");
    setWindowTitle(QString::fromUtf8("Видео"));
}

} // namespace quarto
