#pragma once
// What the metafile players draw onto. All geometry arrives in the output's pixels, already through the
// metafile's mapping and world transform, so an implementation only draws; the painter canvas puts it on an
// image, and tests record the calls instead of looking at pixels.

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QRegion>
#include <QString>
#include <QTransform>
#include <optional>

namespace metafile {

// How a blitted bitmap meets what is already drawn: the raster operations clip art uses, approximated.
enum class BlitMode {
    Copy,  // replaces
    And,   // darkens: the mask half of a transparent blit; white leaves the picture alone
    Or,    // lightens: the image half of a transparent blit; black leaves the picture alone
    Xor,   // inverts where the source is light; black leaves the picture alone
};

class Canvas {
  public:
    virtual ~Canvas() = default;

    // Restricts the following drawing to `clip`, or lifts the restriction when it is empty.
    virtual void setClip(const std::optional<QRegion>& clip) = 0;
    // Fills `path` (its fill rule included) with `brush`.
    virtual void fillPath(const QPainterPath& path, const QBrush& brush) = 0;
    // Strokes `path` with `pen`, whose width is in output pixels.
    virtual void strokePath(const QPainterPath& path, const QPen& pen) = 0;
    // Draws `text` with its baseline starting at the origin of `placement`, which only moves and rotates.
    virtual void drawText(const QTransform& placement, const QString& text, const QFont& font,
                          const QColor& color) = 0;
    // Draws `image` so that its pixel rectangle (0, 0, width, height) lands where `placement` maps it.
    virtual void drawImage(const QTransform& placement, const QImage& image, BlitMode mode) = 0;
};

}  // namespace metafile
