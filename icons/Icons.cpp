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

// A stroke with round ends and corners, for arrows.
QPen roundPen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// An open arrow head at `tip`, its two strokes going back by `back` and out to either side.
void drawArrowHead(QPainter& painter, QPointF tip, QPointF back) {
    const QPointF side(-back.y(), back.x());
    painter.drawPolyline(QPolygonF({tip + back + side, tip, tip + back - side}));
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

QPixmap exitPicture() {
    QPixmap pixmap = canvas(16, 16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(90, 60, 20));
    painter.setBrush(QColor(190, 140, 70));
    painter.drawRect(QRectF(1.5, 0.5, 8, 15));  // the door, open towards the arrow
    painter.setPen(roundPen(QColor(190, 0, 0), 2));
    painter.drawLine(QPointF(6, 8), QPointF(14.5, 8));
    drawArrowHead(painter, QPointF(14.5, 8), QPointF(-3, 0));
    return pixmap;
}

QPixmap wrapLinesPicture() {
    QPixmap pixmap = canvas(16, 16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1.4));
    painter.drawLine(QPointF(1, 2.5), QPointF(15, 2.5));
    painter.drawLine(QPointF(1, 13.5), QPointF(6, 13.5));
    painter.setPen(roundPen(QColor(0, 0, 160), 1.6));
    QPainterPath turn;  // the end of the long line carried round to the next one
    turn.moveTo(1, 7.5);
    turn.lineTo(12, 7.5);
    turn.arcTo(QRectF(9, 7.5, 6, 5), 90, -180);
    turn.lineTo(8, 12.5);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(turn);
    drawArrowHead(painter, QPointF(8, 12.5), QPointF(2, 0));
    return pixmap;
}

QPixmap readingPicture() {
    QPixmap pixmap = canvas(20, 18);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont letters(QStringLiteral("DejaVu Sans"));
    letters.setPixelSize(10);
    letters.setBold(true);
    painter.setFont(letters);
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(QRectF(0, 0, 11, 11), Qt::AlignCenter, QStringLiteral("A"));
    painter.setPen(QColor(160, 0, 0));
    painter.drawText(QRectF(9, 7, 11, 11), Qt::AlignCenter, QString(QChar(0x042F)));
    painter.setPen(roundPen(QColor(0, 120, 0), 1.4));
    painter.drawPolyline(QPolygonF({QPointF(11, 2), QPointF(17, 2), QPointF(17, 6)}));  // A turns into Я
    drawArrowHead(painter, QPointF(17, 6.5), QPointF(0, -2));
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
