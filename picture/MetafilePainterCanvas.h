#pragma once
// The canvas that draws a metafile onto a QPainter, for the picture viewer's image.

#include <QPainter>

#include "picture/MetafileCanvas.h"

namespace metafile {

class PainterCanvas : public Canvas {
  public:
    // Draws through `painter` under the transform it has now (the output's pixels to the painter's device).
    explicit PainterCanvas(QPainter& painter);

    void setClip(const std::optional<QRegion>& clip) override;
    void fillPath(const QPainterPath& path, const QBrush& brush) override;
    void strokePath(const QPainterPath& path, const QPen& pen) override;
    void drawText(const QTransform& placement, const QString& text, const QFont& font,
                  const QColor& color) override;
    void drawImage(const QTransform& placement, const QImage& image, BlitMode mode) override;

  private:
    QPainter& painter_;
    QTransform base_;
    double sizeLimit_;
};

}  // namespace metafile
