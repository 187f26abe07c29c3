#include "picture/metafile/MetafilePainterCanvas.h"

#include "picture/PictureError.h"

namespace metafile {

namespace {

constexpr int kLargestCachedGlyph = 64;

// Makes the pixels of one colour transparent: the half of a raster operation that leaves the picture alone.
QImage withoutColour(const QImage& image, QRgb colour) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((row[x] & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                row[x] = 0;
            }
        }
    }
    return result;
}

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, double areaBudget)
    : painter_(painter), base_(painter.transform()), areaLeft_(areaBudget) {
    const QPaintDevice* device = painter.device();
    sizeLimit_ = 64.0 * (device ? device->width() + device->height() : 0) + 4096;
    deviceRect_ = device ? QRectF(0, 0, device->width(), device->height()) : QRectF();
}

void PainterCanvas::charge(const QRectF& deviceBounds) {
    const QRectF covered = deviceBounds.intersected(deviceRect_);
    double area = covered.width() * covered.height();
    if (!(area >= 0)) {
        area = deviceRect_.width() * deviceRect_.height();  // bounds that are not numbers may cover it all
    }
    areaLeft_ -= area;
    if (areaLeft_ < 0) {
        throw PictureError("Метафайл слишком сложен: его рисование не закончилось бы за разумное время.");
    }
}

void PainterCanvas::setClip(const std::optional<QRegion>& clip) {
    if (clip) {
        painter_.setClipRegion(*clip);
    } else {
        painter_.setClipping(false);
    }
}

void PainterCanvas::fillPath(const QPainterPath& path, const QBrush& brush) {
    charge(base_.mapRect(path.controlPointRect()));
    painter_.fillPath(path, brush);
}

void PainterCanvas::strokePath(const QPainterPath& path, const QPen& pen) {
    const QRectF bounds = path.controlPointRect();
    const qreal halfWidth = pen.widthF() / 2;
    charge(base_.mapRect(bounds.adjusted(-halfWidth, -halfWidth, halfWidth, halfWidth)));
    if (pen.style() != Qt::SolidLine && bounds.width() + bounds.height() > sizeLimit_) {
        // Laying dashes along a path far larger than the picture takes long and shows nothing but a line.
        QPen solid(pen);
        solid.setStyle(Qt::SolidLine);
        painter_.strokePath(path, solid);
        return;
    }
    painter_.strokePath(path, pen);
}

void PainterCanvas::drawText(const QTransform& placement, const QString& text, const QFont& font,
                             const QColor& color) {
    const qreal height = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
    charge((placement * base_).mapRect(QRectF(0, -height, height * text.size(), 2 * height)));
    painter_.setTransform(placement * base_);
    if (font.pixelSize() > kLargestCachedGlyph) {
        // Large glyphs go through an outline: the painter's glyph cache would allocate an image for each.
        QPainterPath outline;
        outline.addText(QPointF(0, 0), font, text);
        painter_.fillPath(outline, color);
    } else {
        painter_.setFont(font);
        painter_.setPen(color);
        painter_.drawText(QPointF(0, 0), text);
    }
    painter_.setTransform(base_);
}

void PainterCanvas::drawImage(const QTransform& placement, const QImage& image, BlitMode mode) {
    const QRectF target(0, 0, image.width(), image.height());
    charge((placement * base_).mapRect(target));
    painter_.setTransform(placement * base_);
    switch (mode) {
        case BlitMode::Copy:
            painter_.drawImage(target, image);
            break;
        case BlitMode::And:
            painter_.setCompositionMode(QPainter::CompositionMode_Multiply);
            painter_.drawImage(target, withoutColour(image, qRgb(255, 255, 255)));
            break;
        case BlitMode::Or:
            painter_.setCompositionMode(QPainter::CompositionMode_Screen);
            painter_.drawImage(target, withoutColour(image, qRgb(0, 0, 0)));
            break;
        case BlitMode::Xor:
            painter_.setCompositionMode(QPainter::CompositionMode_Difference);
            painter_.drawImage(target, withoutColour(image, qRgb(0, 0, 0)));
            break;
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setTransform(base_);
}

}  // namespace metafile
