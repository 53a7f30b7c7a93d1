// Widgets are made with their object names, by which the tests and the skins find them.
#pragma once

#include <QString>

namespace quarto {

template <class W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace quarto
