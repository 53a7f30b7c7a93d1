// The disc prompt: asks for the disc that holds a picture.
#pragma once

#include <QWidget>

namespace quarto {

class TinsertForm : public QWidget {
    Q_OBJECT
public:
    explicit TinsertForm(QWidget* parent = nullptr);
};

extern TinsertForm* insertForm;

} // namespace quarto
