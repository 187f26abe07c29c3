#include "picture/display/FitRule.h"

QRect fitRect(QSize picture, QSize area) {
    const int areaWidth = area.width();
    const int areaHeight = area.height();
    int width = areaWidth;
    int height = areaHeight;
    if (picture.width() > 0 && picture.height() > 0) {
        const double aspect = static_cast<double>(picture.width()) / picture.height();
        if (picture.width() > picture.height()) {
            height = static_cast<int>(areaWidth / aspect);
            if (height > areaHeight) {
                height = areaHeight;
                width = static_cast<int>(areaHeight * aspect);
            }
        } else {
            width = static_cast<int>(areaHeight * aspect);
            if (width > areaWidth) {
                width = areaWidth;
                height = static_cast<int>(areaWidth / aspect);
            }
        }
    }
    return QRect((areaWidth - width) / 2, (areaHeight - height) / 2, width, height);
}
