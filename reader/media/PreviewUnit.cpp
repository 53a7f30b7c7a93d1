#include "PreviewUnit.h"

#include "common/qt/QtText.h"

namespace quarto {

TPreviewForm* PreviewForm = nullptr;

TPreviewForm::TPreviewForm(QWidget* parent) : QWidget(parent) {
    setObjectName("PreviewForm");
    setWindowTitle(Ui("Иллюстрации"));
}

} // namespace quarto
