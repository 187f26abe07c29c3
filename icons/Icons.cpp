#include "icons/Icons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap canvas(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawMagnifier(QPainter& painter, QPointF centre, qreal radius, qreal pen) {
    painter.setPen(QPen(QColor(0, 0, 128), pen, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(QColor(200, 225, 255));
    painter.drawEllipse(centre, radius, radius);
    const QPointF handleStart = centre + QPointF(radius * 0.7, radius * 0.7);
    painter.drawLine(handleStart, handleStart + QPointF(radius * 0.9, radius * 0.9));
}

// A folder's back with its tab, `right` being where it ends.
void drawFolder(QPainter& painter, qreal right, const QColor& fill) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(120, 90, 0));
    painter.setBrush(fill);
    QPainterPath folder;
    folder.moveTo(0.5, 2.5);
    folder.lineTo(6.5, 2.5);
    folder.lineTo(8.5, 4.5);
    folder.lineTo(right, 4.5);
    folder.lineTo(right, 13.5);
    folder.lineTo(0.5, 13.5);
    folder.closeSubpath();
    painter.drawPath(folder);
}

}  // namespace

QPixmap folderPicture() {
    QPixmap pixmap = canvas(18, 14);
    QPainter painter(&pixmap);
    drawFolder(painter, 17.5, QColor(250, 210, 80));
    return pixmap;
}

QPixmap openFolderPicture() {
    QPixmap pixmap = canvas(18, 14);
    QPainter painter(&pixmap);
    drawFolder(painter, 15.5, QColor(220, 175, 50));
    painter.setBrush(QColor(255, 225, 120));
    QPainterPath front;
    front.moveTo(3.5, 7.5);
    front.lineTo(17.5, 7.5);
    front.lineTo(15.5, 13.5);
    front.lineTo(0.5, 13.5);
    front.closeSubpath();
    painter.drawPath(front);
    return pixmap;
}

QPixmap viewerPicture() {
    QPixmap pixmap = canvas(18, 14);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(60, 60, 60));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(1.5, 0.5, 10, 13));
    for (int line = 0; line < 4; ++line) {
        painter.drawLine(QPointF(3.5, 3.5 + 2.5 * line), QPointF(9.5, 3.5 + 2.5 * line));
    }
    drawMagnifier(painter, QPointF(12, 7), 3.2, 1.4);
    return pixmap;
}

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        QPixmap pixmap = canvas(size, size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal unit = size / 16.0;
        painter.setPen(QPen(QColor(90, 90, 90), unit * 0.6));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(unit * 1.5, unit * 0.5, unit * 9, unit * 12));
        drawMagnifier(painter, QPointF(unit * 9.5, unit * 8.5), unit * 3.5, unit * 1.5);
        icon.addPixmap(pixmap);
    }
    return icon;
}
