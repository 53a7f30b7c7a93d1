// Skins for the window tests: painted skins written as a skin folder, and a point of each
// command colour of a mask in use.
#pragma once

#include "common/BmpFile.h"
#include "common/RecordFile.h"
#include "reader/skin/qt/SkinPainter.h"

#include <QImage>
#include <QPoint>
#include <QSize>

#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include <map>
#include <string>

namespace quarto::test {

inline TRgbPicture ToPicture(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    TRgbPicture picture(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            picture.Set(x, y, static_cast<std::uint8_t>(qRed(p)),
                        static_cast<std::uint8_t>(qGreen(p)), static_cast<std::uint8_t>(qBlue(p)));
        }
    return picture;
}

// Writes a painted skin into folder as main.bmp, mask.bmp and data.inf.
inline void WriteSkinFolder(const std::string& folder, const TSkinPictures& skin) {
    CreateFolders(folder);
    WriteWholeFile(LayoutPath(folder, Layout::SkinFace), EncodeBmp24(ToPicture(skin.Face)));
    WriteWholeFile(LayoutPath(folder, Layout::SkinMask), EncodeBmp24(ToPicture(skin.Mask)));
    WriteWholeFile(LayoutPath(folder, Layout::SkinData), SkinDataText(skin.Data));
}

// A point of each command colour within size, found by scanning regionAt(x, y): one whose
// neighbours share its colour, away from the area's edge.
template <class F> std::map<TSkinRegion, QPoint> RegionPointsOf(F regionAt, QSize size) {
    std::map<TSkinRegion, QPoint> points;
    for (int y = 2; y < size.height(); y += 3)
        for (int x = 2; x < size.width(); x += 3)
            if (const TSkinRegionInfo* info = regionAt(x, y))
                if (!points.count(info->Region) && regionAt(x + 2, y) == info &&
                    regionAt(x, y + 2) == info)
                    points[info->Region] = QPoint(x, y);
    return points;
}

} // namespace quarto::test
