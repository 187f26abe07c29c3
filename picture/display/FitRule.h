#pragma once
// Where a picture is drawn in the image area: it fills the area in one direction, keeps its aspect and is
// centred. A picture with no pixels fills the whole area.

#include <QRect>
#include <QSize>

QRect fitRect(QSize picture, QSize area);
