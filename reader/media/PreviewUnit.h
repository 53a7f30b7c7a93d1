// The picture viewer window.
#pragma once

#include <QWidget>

namespace quarto {

class TPreviewForm : public QWidget {
    Q_OBJECT
public:
    explicit TPreviewForm(QWidget* parent = nullptr);
};

extern TPreviewForm* PreviewForm;

} // namespace quarto
