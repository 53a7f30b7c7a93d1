// Text at the toolkit's boundary: the programs keep text as UTF-8 or code page 1251 bytes in
// std::string; the windows show QString. Every window and platform service converts here.
#pragma once

#include "common/Cp1251.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

namespace quarto {

// A text of the program itself, written in the sources as UTF-8.
inline QString Ui(const char* utf8) {
    return QString::fromUtf8(utf8);
}

inline QString FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string ToUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Code page 1251 text of the editions.
inline QString From1251(std::string_view text) {
    return FromUtf8(Cp1251ToUtf8(text));
}

// Characters code page 1251 lacks become what Utf8ToCp1251 makes of them.
inline std::string To1251(const QString& text) {
    return Utf8ToCp1251(ToUtf8(text));
}

} // namespace quarto
