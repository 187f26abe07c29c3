// The enhanced-metafile records: each is decoded from its bytes and handed to the device context.
#include <cmath>

#include "picture/metafile/MetafileRenderer.h"

namespace metafile {

namespace {

enum : std::uint32_t {
    kPolyBezier = 2,
    kPolygon = 3,
    kPolyline = 4,
    kPolyBezierTo = 5,
    kPolylineTo = 6,
    kPolyPolyline = 7,
    kPolyPolygon = 8,
    kSetWindowExtEx = 9,
    kSetWindowOrgEx = 10,
    kSetViewportExtEx = 11,
    kSetViewportOrgEx = 12,
    kSetPixelV = 15,
    kSetMapMode = 17,
    kSetBkMode = 18,
    kSetPolyFillMode = 19,
    kSetRop2 = 20,
    kSetTextAlign = 22,
    kSetTextColor = 24,
    kSetBkColor = 25,
    kMoveToEx = 27,
    kExcludeClipRect = 29,
    kIntersectClipRect = 30,
    kScaleViewportExtEx = 31,
    kScaleWindowExtEx = 32,
    kSaveDC = 33,
    kRestoreDC = 34,
    kSetWorldTransform = 35,
    kModifyWorldTransform = 36,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrushIndirect = 39,
    kDeleteObject = 40,
    kAngleArc = 41,
    kEllipse = 42,
    kRectangle = 43,
    kRoundRect = 44,
    kArc = 45,
    kChord = 46,
    kPie = 47,
    kLineTo = 54,
    kArcTo = 55,
    kSetArcDirection = 57,
    kBeginPath = 59,
    kEndPath = 60,
    kCloseFigure = 61,
    kFillPath = 62,
    kStrokeAndFillPath = 63,
    kStrokePath = 64,
    kSelectClipPath = 67,
    kAbortPath = 68,
    kExtSelectClipRgn = 75,
    kBitBlt = 76,
    kStretchBlt = 77,
    kSetDIBitsToDevice = 80,
    kStretchDIBits = 81,
    kExtCreateFontIndirectW = 82,
    kExtTextOutA = 83,
    kExtTextOutW = 84,
    kPolyBezier16 = 85,
    kPolygon16 = 86,
    kPolyline16 = 87,
    kPolyBezierTo16 = 88,
    kPolylineTo16 = 89,
    kPolyPolyline16 = 90,
    kPolyPolygon16 = 91,
    kCreateMonoBrush = 93,
    kCreateDibPatternBrushPt = 94,
    kExtCreatePen = 95,
};

constexpr std::uint32_t kDibPalColors = 1;
constexpr std::uint32_t kMaxRegionRects = 1024;
constexpr int kMaxClipRegionRects = 4096;

QPointF pointAt(const ByteView& r, std::uint64_t at) {
    return QPointF(r.i32(at), r.i32(at + 4));
}

QRectF rectAt(const ByteView& r, std::uint64_t at) {
    return QRectF(pointAt(r, at), pointAt(r, at + 8));
}

QColor colourAt(const ByteView& r, std::uint64_t at) {
    return QColor(r.u8(at), r.u8(at + 1), r.u8(at + 2));
}

QTransform transformAt(const ByteView& r, std::uint64_t at) {
    return QTransform(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16),
                      r.f32(at + 20));
}

// `count` points of 8 (32-bit) or 4 (16-bit) bytes from `at`, charged to the point budget.
std::vector<QPointF> pointsAt(const ByteView& r, std::uint64_t at, std::uint64_t count, bool wide,
                              DeviceContext& context) {
    const std::uint64_t size = wide ? 8 : 4;
    if (!r.has(at, count * size)) {
        throw ShortRecord{};
    }
    context.spendPoints(count);
    std::vector<QPointF> points;
    points.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t p = at + i * size;
        points.emplace_back(wide ? QPointF(r.i32(p), r.i32(p + 4)) : QPointF(r.i16(p), r.i16(p + 2)));
    }
    return points;
}

// A poly record: bounds, count, points.
std::vector<QPointF> polyPoints(const ByteView& r, bool wide, DeviceContext& context) {
    return pointsAt(r, 28, r.u32(24), wide, context);
}

// A poly-poly record: bounds, figure count, total point count, the figures' counts, the points.
std::vector<std::vector<QPointF>> polyPolyPoints(const ByteView& r, bool wide, DeviceContext& context) {
    const std::uint64_t figures = r.u32(24);
    const std::uint64_t total = r.u32(28);
    // More figures than points means empty figures, which GDI refuses; it would also let a small record
    // ask for millions of empty lists.
    if (figures > total || !r.has(32, figures * 4)) {
        throw ShortRecord{};
    }
    const std::vector<QPointF> all = pointsAt(r, 32 + figures * 4, total, wide, context);
    std::vector<std::vector<QPointF>> result;
    result.reserve(static_cast<std::size_t>(figures));
    std::uint64_t used = 0;
    for (std::uint64_t i = 0; i < figures; ++i) {
        const std::uint64_t count = r.u32(32 + i * 4);
        if (count > total - used) {
            throw ShortRecord{};
        }
        result.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(used),
                            all.begin() + static_cast<std::ptrdiff_t>(used + count));
        used += count;
    }
    return result;
}

LogBrush::Style brushStyle(std::uint32_t style) {
    switch (style) {
        case 0:
            return LogBrush::Style::Solid;
        case 2:
            return LogBrush::Style::Hatched;
        default:
            return LogBrush::Style::Null;
    }
}

void createPen(const ByteView& r, DeviceContext& context) {
    GdiObject object;
    object.type = GdiObject::Type::Pen;
    object.pen.style = r.u32(12);
    object.pen.width = r.i32(16);
    object.pen.color = colourAt(r, 24);
    context.createObject(r.u32(8), object);
}

void extCreatePen(const ByteView& r, DeviceContext& context) {
    GdiObject object;
    object.type = GdiObject::Type::Pen;
    object.pen.style = r.u32(28);
    object.pen.width = r.u32(32);
    object.pen.color = colourAt(r, 40);
    // A pen drawn with a null brush draws nothing.
    if (r.u32(36) == 1) {
        object.pen.style = (object.pen.style & ~0xFU) | 5;
    }
    context.createObject(r.u32(8), object);
}

void createBrush(const ByteView& r, DeviceContext& context) {
    GdiObject object;
    object.type = GdiObject::Type::Brush;
    object.brush.style = brushStyle(r.u32(12));
    object.brush.color = colourAt(r, 16);
    object.brush.hatch = static_cast<int>(r.u32(20));
    context.createObject(r.u32(8), object);
}

void createPatternBrush(const ByteView& r, DeviceContext& context) {
    GdiObject object;
    object.type = GdiObject::Type::Brush;
    const Dib dib = decodeDib(r.sub(r.u32(16), r.u32(20)), r.sub(r.u32(24), r.u32(28)),
                              r.u32(12) == kDibPalColors, context.pixelBudget());
    object.brush.style = dib.image.isNull() ? LogBrush::Style::Null : LogBrush::Style::Pattern;
    object.brush.pattern = dib.image;
    context.createObject(r.u32(8), object);
}

QString faceName(const ByteView& r, std::uint64_t at) {
    QString face;
    for (std::uint64_t i = 0; i < 32 && r.has(at + 2 * i, 2); ++i) {
        const char16_t unit = r.u16(at + 2 * i);
        if (unit == 0) {
            break;
        }
        face += QChar(unit);
    }
    return face;
}

void createFont(const ByteView& r, DeviceContext& context) {
    GdiObject object;
    object.type = GdiObject::Type::Font;
    LogFont& font = object.font;
    font.height = r.i32(12);
    font.width = r.i32(16);
    font.escapement = r.i32(20);
    font.weight = r.i32(28);
    font.italic = r.u8(32) != 0;
    font.underline = r.u8(33) != 0;
    font.strikeOut = r.u8(34) != 0;
    font.charset = r.u8(35);
    font.face = faceName(r, 40);
    context.createObject(r.u32(8), object);
}

void extTextOut(const ByteView& r, bool wide, DeviceContext& context) {
    const QPointF reference = pointAt(r, 36);
    const std::uint64_t count = r.u32(44);
    const std::uint32_t options = r.u32(52);
    if (count == 0 || count > kMaxCharsPerText || (options & kEtoGlyphIndex)) {
        return;
    }
    const ByteView chars = r.sub(r.u32(48), count * (wide ? 2 : 1));
    QString text;
    if (wide) {
        text.reserve(static_cast<int>(count));
        for (std::uint64_t i = 0; i < count; ++i) {
            text += QChar(chars.u16(2 * i));
        }
    } else {
        text = decodeAnsiText(chars, context.font().charset);
    }
    std::optional<QRectF> box;
    if (options & (kEtoOpaque | kEtoClipped)) {
        box = rectAt(r, 56);
    }
    std::vector<double> dx;
    const std::uint64_t dxAt = r.u32(72);
    const std::uint64_t stride = (options & kEtoPdy) ? 8 : 4;
    if (dxAt != 0 && r.has(dxAt, count * stride)) {
        for (std::uint64_t i = 0; i < count; ++i) {
            dx.push_back(r.i32(dxAt + i * stride));
        }
    }
    context.textOut(reference, text, options, box, dx);
}

// The bitmap of a blit record, or a null one when the record carries none.
Dib recordBitmap(const ByteView& r, std::uint64_t infoField, std::uint32_t usage, DeviceContext& context) {
    const std::uint32_t infoSize = r.u32(infoField + 4);
    if (infoSize == 0) {
        return {};
    }
    return decodeDib(r.sub(r.u32(infoField), infoSize), r.sub(r.u32(infoField + 8), r.u32(infoField + 12)),
                     usage == kDibPalColors, context.pixelBudget());
}

void bitBlt(const ByteView& r, bool stretch, DeviceContext& context) {
    const QRectF target(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
    const std::uint32_t rop = r.u32(40);
    const Dib dib = recordBitmap(r, 84, r.u32(80), context);
    if (dib.image.isNull()) {
        if (r.u32(88) == 0) {
            context.blit(target, QImage(), rop);
        }
        return;
    }
    const std::int64_t width = stretch ? r.i32(100) : r.i32(32);
    const std::int64_t height = stretch ? r.i32(104) : r.i32(36);
    const QImage source = sourceRect(dib, r.i32(44), r.i32(48), width, height, false);
    if (!source.isNull()) {
        context.blit(target, source, rop);
    }
}

void stretchDIBits(const ByteView& r, DeviceContext& context) {
    const Dib dib = recordBitmap(r, 48, r.u32(64), context);
    const QImage source = sourceRect(dib, r.i32(32), r.i32(36), r.i32(40), r.i32(44), true);
    if (!source.isNull()) {
        context.blit(QRectF(r.i32(24), r.i32(28), r.i32(72), r.i32(76)), source, r.u32(68));
    }
}

void setDIBitsToDevice(const ByteView& r, DeviceContext& context) {
    // Only the common form that hands over the whole bitmap in one go.
    if (r.u32(68) != 0) {
        return;
    }
    const Dib dib = recordBitmap(r, 48, r.u32(64), context);
    const std::int64_t width = r.i32(40), height = r.i32(44);
    const QImage source = sourceRect(dib, r.i32(32), r.i32(36), width, height, true);
    if (!source.isNull()) {
        context.blit(QRectF(r.i32(24), r.i32(28), source.width(), source.height()), source, 0x00CC0020);
    }
}

// EMR_EXTSELECTCLIPRGN: a region in the reference device's pixels, or none to lift the clip.
void selectClipRegion(const ByteView& r, DeviceContext& context) {
    const std::uint32_t size = r.u32(8);
    const std::uint32_t mode = r.u32(12);
    if (size == 0) {
        context.selectClipRegion(std::nullopt, mode);
        return;
    }
    const ByteView data = r.sub(16, size);
    const std::uint32_t headerSize = data.u32(0);
    const std::uint32_t count = data.u32(8);
    if (headerSize < 32 || count > kMaxRegionRects ||
        !data.has(headerSize, static_cast<std::uint64_t>(count) * 16)) {
        return;
    }
    // Far enough outside the picture to change nothing, near enough for integer pixels.
    const QRectF limit(-1048576, -1048576, 2097152, 2097152);
    QRegion region;
    for (std::uint32_t i = 0; i < count; ++i) {
        const QRectF device = context.deviceToOutput().mapRect(rectAt(data, headerSize + i * 16ULL));
        if (!std::isfinite(device.width()) || !std::isfinite(device.height())) {
            continue;
        }
        region += device.normalized().intersected(limit).toAlignedRect();
        if (region.rectCount() > kMaxClipRegionRects) {
            return;
        }
    }
    context.selectClipRegion(region, mode);
}

void playRecord(std::uint32_t type, const ByteView& r, DeviceContext& context) {
    switch (type) {
        case kPolyBezier:
        case kPolyBezier16:
            context.polyBezier(polyPoints(r, type == kPolyBezier, context));
            break;
        case kPolygon:
        case kPolygon16:
            context.polygon(polyPoints(r, type == kPolygon, context));
            break;
        case kPolyline:
        case kPolyline16:
            context.polyline(polyPoints(r, type == kPolyline, context));
            break;
        case kPolyBezierTo:
        case kPolyBezierTo16:
            context.polyBezierTo(polyPoints(r, type == kPolyBezierTo, context));
            break;
        case kPolylineTo:
        case kPolylineTo16:
            context.polylineTo(polyPoints(r, type == kPolylineTo, context));
            break;
        case kPolyPolyline:
        case kPolyPolyline16:
            context.polyPolyline(polyPolyPoints(r, type == kPolyPolyline, context));
            break;
        case kPolyPolygon:
        case kPolyPolygon16:
            context.polyPolygon(polyPolyPoints(r, type == kPolyPolygon, context));
            break;
        case kSetWindowExtEx:
            context.setWindowExt(QSizeF(r.i32(8), r.i32(12)));
            break;
        case kSetWindowOrgEx:
            context.setWindowOrg(pointAt(r, 8));
            break;
        case kSetViewportExtEx:
            context.setViewportExt(QSizeF(r.i32(8), r.i32(12)));
            break;
        case kSetViewportOrgEx:
            context.setViewportOrg(pointAt(r, 8));
            break;
        case kScaleViewportExtEx:
        case kScaleWindowExtEx: {
            const double xNum = r.i32(8), xDenom = r.i32(12), yNum = r.i32(16), yDenom = r.i32(20);
            if (type == kScaleWindowExtEx) {
                context.scaleWindowExt(xNum, xDenom, yNum, yDenom);
            } else {
                context.scaleViewportExt(xNum, xDenom, yNum, yDenom);
            }
            break;
        }
        case kSetPixelV:
            context.setPixel(pointAt(r, 8), colourAt(r, 16));
            break;
        case kSetMapMode:
            context.setMapMode(static_cast<int>(r.u32(8)));
            break;
        case kSetBkMode:
            context.setBackgroundMode(r.u32(8));
            break;
        case kSetPolyFillMode:
            context.setPolyFillMode(r.u32(8));
            break;
        case kSetRop2:
            context.setRop2(r.u32(8));
            break;
        case kSetTextAlign:
            context.setTextAlign(r.u32(8));
            break;
        case kSetTextColor:
            context.setTextColor(colourAt(r, 8));
            break;
        case kSetBkColor:
            context.setBackgroundColor(colourAt(r, 8));
            break;
        case kMoveToEx:
            context.moveTo(pointAt(r, 8));
            break;
        case kLineTo:
            context.lineTo(pointAt(r, 8));
            break;
        case kExcludeClipRect:
            context.excludeClipRect(rectAt(r, 8));
            break;
        case kIntersectClipRect:
            context.intersectClipRect(rectAt(r, 8));
            break;
        case kSaveDC:
            context.saveDC();
            break;
        case kRestoreDC:
            context.restoreDC(r.i32(8));
            break;
        case kSetWorldTransform:
            context.setWorldTransform(transformAt(r, 8));
            break;
        case kModifyWorldTransform:
            context.modifyWorldTransform(transformAt(r, 8), r.u32(32));
            break;
        case kSelectObject:
            context.selectObject(r.u32(8));
            break;
        case kDeleteObject:
            context.deleteObject(r.u32(8));
            break;
        case kCreatePen:
            createPen(r, context);
            break;
        case kExtCreatePen:
            extCreatePen(r, context);
            break;
        case kCreateBrushIndirect:
            createBrush(r, context);
            break;
        case kCreateMonoBrush:
        case kCreateDibPatternBrushPt:
            createPatternBrush(r, context);
            break;
        case kExtCreateFontIndirectW:
            createFont(r, context);
            break;
        case kAngleArc:
            context.angleArc(pointAt(r, 8), r.u32(16), r.f32(20), r.f32(24));
            break;
        case kEllipse:
            context.ellipse(rectAt(r, 8));
            break;
        case kRectangle:
            context.rectangle(rectAt(r, 8));
            break;
        case kRoundRect:
            context.roundRect(rectAt(r, 8), QSizeF(r.i32(24), r.i32(28)));
            break;
        case kArc:
            context.arc(rectAt(r, 8), pointAt(r, 24), pointAt(r, 32));
            break;
        case kArcTo:
            context.arcTo(rectAt(r, 8), pointAt(r, 24), pointAt(r, 32));
            break;
        case kChord:
            context.chord(rectAt(r, 8), pointAt(r, 24), pointAt(r, 32));
            break;
        case kPie:
            context.pie(rectAt(r, 8), pointAt(r, 24), pointAt(r, 32));
            break;
        case kSetArcDirection:
            context.setArcDirection(r.u32(8));
            break;
        case kBeginPath:
            context.beginPath();
            break;
        case kEndPath:
            context.endPath();
            break;
        case kCloseFigure:
            context.closeFigure();
            break;
        case kFillPath:
            context.fillPath();
            break;
        case kStrokeAndFillPath:
            context.strokeAndFillPath();
            break;
        case kStrokePath:
            context.strokePath();
            break;
        case kSelectClipPath:
            context.selectClipPath(r.u32(8));
            break;
        case kAbortPath:
            context.abortPath();
            break;
        case kExtSelectClipRgn:
            selectClipRegion(r, context);
            break;
        case kExtTextOutA:
        case kExtTextOutW:
            extTextOut(r, type == kExtTextOutW, context);
            break;
        case kBitBlt:
        case kStretchBlt:
            bitBlt(r, type == kStretchBlt, context);
            break;
        case kStretchDIBits:
            stretchDIBits(r, context);
            break;
        case kSetDIBitsToDevice:
            setDIBitsToDevice(r, context);
            break;
        default:
            break;
    }
}

}  // namespace

void playEnhancedRecord(std::uint32_t type, const ByteView& bytes, DeviceContext& context) {
    playRecord(type, bytes, context);
}

}  // namespace metafile
