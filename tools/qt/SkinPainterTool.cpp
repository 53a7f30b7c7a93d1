// Build-time painter of a skin folder: main.bmp, mask.bmp and data.inf, as an edition carries
// them in Skins/1.
#include "common/BmpFile.h"
#include "common/EditionLayout.h"
#include "common/RecordFile.h"
#include "reader/skin/qt/SkinPainter.h"

#include <QGuiApplication>

#include <cstring>

#include <iostream>
#include <string>

using namespace quarto;

namespace {

const char* const Usage = "usage: skin-painter OUT_DIR [--style builtin|demo]\n";

TRgbPicture RgbPicture(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    TRgbPicture picture(rgb.width(), rgb.height());
    const std::size_t row = static_cast<std::size_t>(rgb.width()) * 3;
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(&picture.Pixels[y * row], rgb.constScanLine(y), row);
    return picture;
}

} // namespace

int main(int argc, char** argv) {
    std::string outDir;
    TSkinStyle style = TSkinStyle::Demo;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--style" && i + 1 < argc) {
            const std::string name = argv[++i];
            if (name == "builtin") {
                style = TSkinStyle::Builtin;
            } else if (name == "demo") {
                style = TSkinStyle::Demo;
            } else {
                std::cerr << "skin-painter: unknown style \"" << name << "\".\n" << Usage;
                return 2;
            }
        } else if (outDir.empty() && arg.rfind("--", 0) != 0) {
            outDir = arg;
        } else {
            std::cerr << "skin-painter: unexpected argument \"" << arg << "\".\n" << Usage;
            return 2;
        }
    }
    if (outDir.empty()) {
        std::cerr << Usage;
        return 2;
    }

    // Text is drawn with the system's fonts, which need a GUI application; no display is used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    try {
        const TSkinPictures skin = PaintSkin(style);
        CreateFolders(outDir);
        WriteWholeFile(LayoutPath(outDir, Layout::SkinFace), EncodeBmp24(RgbPicture(skin.Face)));
        WriteWholeFile(LayoutPath(outDir, Layout::SkinMask), EncodeBmp24(RgbPicture(skin.Mask)));
        WriteWholeFile(LayoutPath(outDir, Layout::SkinData), SkinDataText(skin.Data));
    } catch (const std::exception& e) {
        std::cerr << "skin-painter: " << e.what() << '\n';
        return 2;
    }
    return 0;
}
