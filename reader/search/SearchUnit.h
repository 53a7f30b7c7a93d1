// The search object: holds the search state; never shown.
#pragma once

#include <QWidget>

namespace quarto {

class TSearchForm : public QWidget {
    Q_OBJECT
public:
    explicit TSearchForm(QWidget* parent = nullptr);
};

extern TSearchForm* SearchForm;

} // namespace quarto
