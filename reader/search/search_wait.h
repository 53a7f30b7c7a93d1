// The search-in-progress window.
#pragma once

#include <QWidget>

namespace quarto {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
};

extern TForm2* Form2;

} // namespace quarto
