// The skins the team draws: the reader's built-in face and the demo edition's own skin. Each is
// a face picture, a mask with the command colours and the pane layout.
#pragma once

#include "reader/skin/SkinData.h"

#include <QImage>

namespace quarto {

struct TSkinPictures {
    QImage Face; // what the window shows
    QImage Mask; // exact command colours, no anti-aliasing
    TSkinData Data;
};

enum class TSkinStyle {
    Builtin, // 800 x 600, panes where the built-in layout puts them
    Demo,    // the demo edition's own skin
};

// Draws text with the system's fonts, so a QGuiApplication must exist.
TSkinPictures PaintSkin(TSkinStyle style);

} // namespace quarto
