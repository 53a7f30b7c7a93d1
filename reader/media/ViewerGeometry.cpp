#include "ViewerGeometry.h"

#include <algorithm>
#include <cstdint>

namespace quarto {

TViewerArea ViewerArea(int clientWidth, int clientHeight, int panelWidth, int memoHeight) {
    return {clientWidth - panelWidth, clientHeight - memoHeight - 10, clientHeight - memoHeight};
}

TFittedPicture FitPicture(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight) {
    TFittedPicture fitted;
    if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return fitted;
    const std::int64_t w = pictureWidth, h = pictureHeight, aw = areaWidth, ah = areaHeight;
    // AW / W <= AH / H, compared without rounding: the width limits the scale.
    if (aw * h <= ah * w) {
        fitted.Scale = static_cast<double>(aw) / static_cast<double>(w);
        fitted.Width = areaWidth;
        fitted.Height = static_cast<int>(h * aw / w);
    } else {
        fitted.Scale = static_cast<double>(ah) / static_cast<double>(h);
        fitted.Width = static_cast<int>(w * ah / h);
        fitted.Height = areaHeight;
    }
    fitted.Left = (areaWidth - fitted.Width) / 2;
    fitted.Top = (areaHeight - fitted.Height) / 2;
    return fitted;
}

bool FullSizeButtonVisible(bool fullSize, int pictureWidth, int pictureHeight,
                           const TFittedPicture& fitted) {
    return fullSize || pictureWidth >= fitted.Width - 10 || pictureHeight >= fitted.Height - 10;
}

int ViewerScrollMaximum(int pictureSize, int areaSize) {
    const std::int64_t range = static_cast<std::int64_t>(pictureSize) - areaSize;
    return pictureSize > areaSize ? static_cast<int>(std::min<std::int64_t>(range, INT32_MAX)) : 0;
}

int ViewerScrollMaximumAfterResize(int pictureSize, int areaSize) {
    return std::min(ViewerScrollMaximum(pictureSize, areaSize), std::max(pictureSize, 0));
}

int DraggedPosition(int position, int dragPoint, int mouse, int maximum) {
    const std::int64_t moved = static_cast<std::int64_t>(position) + dragPoint - mouse;
    return static_cast<int>(std::clamp<std::int64_t>(moved, 0, std::max(maximum, 0)));
}

TPicturePart FullSizePart(int pictureWidth, int pictureHeight, int left, int top, int areaWidth,
                          int areaHeight) {
    TPicturePart part;
    part.Left = std::clamp(left, 0, std::max(pictureWidth, 0));
    part.Top = std::clamp(top, 0, std::max(pictureHeight, 0));
    part.Width = std::clamp(areaWidth, 0, std::max(pictureWidth - part.Left, 0));
    part.Height = std::clamp(areaHeight, 0, std::max(pictureHeight - part.Top, 0));
    return part;
}

} // namespace quarto
