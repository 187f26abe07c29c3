#pragma once
// The canvas that draws a metafile onto a QPainter, for the picture viewer's image.

#include <QPainter>

#include "picture/metafile/MetafileCanvas.h"

namespace metafile {

class PainterCanvas : public Canvas {
  public:
    // Pixels that one picture may paint in all, overdraw counted: about a few seconds of drawing. A hostile
    // file of millions of full-size fills is refused at this point instead of drawing for hours.
    static constexpr double kDefaultAreaBudget = 4e9;

    // Draws through `painter` under the transform it has now (the output's pixels to the painter's device).
    explicit PainterCanvas(QPainter& painter, double areaBudget = kDefaultAreaBudget);

    void setClip(const std::optional<QRegion>& clip) override;
    void fillPath(const QPainterPath& path, const QBrush& brush) override;
    void strokePath(const QPainterPath& path, const QPen& pen) override;
    void drawText(const QTransform& placement, const QString& text, const QFont& font,
                  const QColor& color) override;
    void drawImage(const QTransform& placement, const QImage& image, BlitMode mode) override;

  private:
    // Counts what a drawing covers on the device and throws PictureError past the budget.
    void charge(const QRectF& deviceBounds);

    QPainter& painter_;
    QTransform base_;
    double sizeLimit_;
    QRectF deviceRect_;
    double areaLeft_;
};

}  // namespace metafile
