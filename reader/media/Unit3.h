// The video window.
#pragma once

#include <QWidget>

namespace quarto {

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

extern TForm3* Form3;

} // namespace quarto
