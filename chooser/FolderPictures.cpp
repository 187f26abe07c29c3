#include "chooser/FolderPictures.h"

#include <QPainter>
#include <QPainterPath>

#include "search/Pictures.h"

QPixmap openFolderPicture() {
    QPixmap pixmap(18, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(120, 90, 0));
    painter.setBrush(QColor(220, 175, 50));
    QPainterPath back;
    back.moveTo(0.5, 2.5);
    back.lineTo(6.5, 2.5);
    back.lineTo(8.5, 4.5);
    back.lineTo(15.5, 4.5);
    back.lineTo(15.5, 13.5);
    back.lineTo(0.5, 13.5);
    back.closeSubpath();
    painter.drawPath(back);
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

QPixmap closedFolderPicture() {
    return folderPicture();
}
