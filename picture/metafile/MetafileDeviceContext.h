#pragma once
// The drawing state a metafile is played against, as the records see it: mapping mode, window and viewport,
// world transform, the object table, selected pen, brush and font, colours and modes, current position, path
// and clip, with SaveDC/RestoreDC. The players feed it decoded records in logical units; it maps everything
// to output pixels and draws on a Canvas. A call that the state cannot honour (zero extent, singular
// transform, object that does not exist) leaves the state as it was, as the system's own drawing calls fail.

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <cstdint>
#include <optional>
#include <vector>

#include "picture/decoders/DibImage.h"
#include "picture/metafile/MetafileCanvas.h"
#include "picture/metafile/MetafileReader.h"

namespace metafile {

// Mapping modes.
enum : int {
    kMmText = 1,
    kMmLoMetric,
    kMmHiMetric,
    kMmLoEnglish,
    kMmHiEnglish,
    kMmTwips,
    kMmIsotropic,
    kMmAnisotropic
};

// Text alignment and ExtTextOut options.
constexpr std::uint32_t kTaUpdateCp = 1;
constexpr std::uint32_t kTaRight = 2;
constexpr std::uint32_t kTaCenter = 6;
constexpr std::uint32_t kTaBottom = 8;
constexpr std::uint32_t kTaBaseline = 24;
constexpr std::uint32_t kEtoOpaque = 2;
constexpr std::uint32_t kEtoClipped = 4;
constexpr std::uint32_t kEtoGlyphIndex = 0x10;
constexpr std::uint32_t kEtoPdy = 0x2000;

// Character sets of a font, for the 8-bit text records.
constexpr int kAnsiCharset = 0;
constexpr int kDefaultCharset = 1;
constexpr int kSymbolCharset = 2;
constexpr int kOemCharset = 255;

struct LogPen {
    std::uint32_t style = 0;  // PS_* with end cap and join bits
    double width = 0;         // logical units; 0 is one pixel
    QColor color = Qt::black;
};

struct LogBrush {
    enum class Style { Solid, Null, Hatched, Pattern };
    Style style = Style::Solid;
    QColor color = Qt::white;
    int hatch = 0;   // HS_*
    QImage pattern;  // for Style::Pattern
};

struct LogFont {
    std::int32_t height = 0;  // logical units; negative: character height, positive: cell height
    std::int32_t width = 0;
    std::int32_t escapement = 0;  // tenths of a degree, counter-clockwise
    std::int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = kDefaultCharset;
    QString face;
};

struct GdiObject {
    enum class Type { Pen, Brush, Font, Other };
    Type type = Type::Other;
    LogPen pen;
    LogBrush brush;
    LogFont font;
};

struct Setup {
    QSizeF output;              // the picture in pixels
    QTransform deviceToOutput;  // enhanced: reference pixels to output pixels
    double pixelsPerMmX = 96 / 25.4;
    double pixelsPerMmY = 96 / 25.4;
    std::uint32_t handleCount = 0;
    // Placeable WMF: the window starts as the bounding box and the viewport is the output, whatever the
    // records say.
    std::optional<QRectF> placeableWindow;
};

class DeviceContext {
  public:
    DeviceContext(Canvas& canvas, const Setup& setup);

    // Mapping.
    void setMapMode(int mode);
    void setWindowOrg(const QPointF& origin);
    void setWindowExt(const QSizeF& extent);
    void setViewportOrg(const QPointF& origin);
    void setViewportExt(const QSizeF& extent);
    void offsetWindowOrg(const QPointF& by);
    void offsetViewportOrg(const QPointF& by);
    void scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    void setWorldTransform(const QTransform& transform);
    // mode: 1 identity, 2 left multiply, 3 right multiply, 4 set.
    void modifyWorldTransform(const QTransform& transform, std::uint32_t mode);
    // Logical units to output pixels.
    QTransform toOutput() const;
    const QTransform& deviceToOutput() const { return setup_.deviceToOutput; }

    // State stack.
    void saveDC();
    void restoreDC(std::int32_t which);

    // Objects.
    void createObject(std::uint32_t index, const GdiObject& object);
    // WMF: puts the object in the lowest free slot; a full table drops it.
    void createObjectInFreeSlot(const GdiObject& object);
    void selectObject(std::uint32_t index);
    void deleteObject(std::uint32_t index);

    // Attributes.
    void setTextColor(const QColor& colour) { state_.textColor = colour; }
    void setBackgroundColor(const QColor& colour) { state_.backgroundColor = colour; }
    void setBackgroundMode(std::uint32_t mode);
    void setTextAlign(std::uint32_t align) { state_.textAlign = align; }
    void setPolyFillMode(std::uint32_t mode);
    void setRop2(std::uint32_t rop) { state_.rop2 = rop; }
    void setArcDirection(std::uint32_t direction);
    const LogFont& font() const { return state_.font; }
    const QColor& textColor() const { return state_.textColor; }
    const QColor& backgroundColor() const { return state_.backgroundColor; }

    // Lines and shapes, in logical units.
    void moveTo(const QPointF& point);
    void lineTo(const QPointF& point);
    void polyline(const std::vector<QPointF>& points);
    void polylineTo(const std::vector<QPointF>& points);
    void polyBezier(const std::vector<QPointF>& points);
    void polyBezierTo(const std::vector<QPointF>& points);
    void polygon(const std::vector<QPointF>& points);
    void polyPolygon(const std::vector<std::vector<QPointF>>& polygons);
    void polyPolyline(const std::vector<std::vector<QPointF>>& polylines);
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, const QSizeF& corner);
    void ellipse(const QRectF& box);
    void arc(const QRectF& box, const QPointF& start, const QPointF& end);
    void arcTo(const QRectF& box, const QPointF& start, const QPointF& end);
    void chord(const QRectF& box, const QPointF& start, const QPointF& end);
    void pie(const QRectF& box, const QPointF& start, const QPointF& end);
    void angleArc(const QPointF& centre, double radius, double startDegrees, double sweepDegrees);
    void setPixel(const QPointF& point, const QColor& colour);

    // Paths.
    void beginPath();
    void endPath();
    void closeFigure();
    void abortPath();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();

    // Clipping. Rectangles are logical; a region is in output pixels. Region modes: 1 and, 2 or, 3 xor, 4
    // diff, 5 copy; copy with no region lifts the clip.
    void intersectClipRect(const QRectF& box);
    void excludeClipRect(const QRectF& box);
    void selectClipRegion(const std::optional<QRegion>& region, std::uint32_t mode);
    void selectClipPath(std::uint32_t mode);

    // Text at `reference` (logical). `dx` holds the advance of each character in logical units, or is empty.
    void textOut(const QPointF& reference, const QString& text, std::uint32_t options,
                 const std::optional<QRectF>& opaqueBox, const std::vector<double>& dx);

    // Bitmaps: draws `image` into the logical rectangle `target` with the raster operation `rop`; unusual
    // operations are skipped. With a null image only the pattern operations (brush, black, white) draw.
    void blit(const QRectF& target, const QImage& image, std::uint32_t rop);

    // Budgets over the whole picture; going past one throws PictureError.
    void spendPoints(std::uint64_t count);
    void spendText(std::uint64_t count);
    PixelBudget& pixelBudget() { return pixelBudget_; }

  private:
    struct State {
        int mapMode = kMmText;
        QPointF windowOrg;
        QSizeF windowExt{1, 1};
        QPointF viewportOrg;
        QSizeF viewportExt{1, 1};
        QTransform world;
        LogPen pen;
        LogBrush brush;
        LogFont font;
        QColor textColor = Qt::black;
        QColor backgroundColor = Qt::white;
        bool opaqueBackground = true;
        std::uint32_t textAlign = 0;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        std::uint32_t rop2 = 13;  // R2_COPYPEN
        bool clockwise = false;
        QPointF position;
        std::optional<QRegion> clip;
    };

    QTransform pageTransform() const;
    bool acceptWorld(const QTransform& transform);
    void selectStockObject(std::uint32_t which);
    // Draws a closed shape (fill and outline) or adds it to the open path.
    void drawClosed(const QPainterPath& logical);
    // Draws an open figure with the pen or adds it to the open path; `continues` joins it to the figure in
    // progress.
    void drawOpen(const QPainterPath& logical, bool continues);
    void fillDevice(const QPainterPath& device);
    void strokeDevice(const QPainterPath& device);
    std::optional<QColor> ropColour(const QColor& colour) const;
    bool appendArc(QPainterPath& path, const QRectF& box, const QPointF& start, const QPointF& end) const;
    QRect outputRect(const QRectF& device) const;
    void applyClip(std::optional<QRegion> clip);

    Canvas& canvas_;
    Setup setup_;
    State state_;
    std::vector<State> saved_;
    std::vector<std::optional<GdiObject>> objects_;
    bool inPath_ = false;
    bool figureOpen_ = false;
    QPainterPath path_;
    std::uint64_t pointsSpent_ = 0;
    std::uint64_t textSpent_ = 0;
    PixelBudget pixelBudget_;
};

// Decodes 8-bit text by the font's character set: the ANSI and default sets read as Windows-1251, the OEM set
// as code page 866, the symbol set byte for byte; other sets fall back to Windows-1251.
QString decodeAnsiText(const ByteView& bytes, int charset);

}  // namespace metafile
