#include "PreviewUnit.h"

namespace quarto {

TPreviewForm* PreviewForm = nullptr;

TPreviewForm::TPreviewForm(QWidget* parent) : QWidget(parent) {
    setObjectName("PreviewForm");
    setWindowTitle(QString::fromUtf8("Иллюстрации"));
}

} // namespace quarto
