// The WMF records of a placeable metafile: parameters are 16-bit words, most of them in reverse order, and
// objects take the lowest free slot of the table.
#include "picture/metafile/MetafileRenderer.h"

namespace metafile {

namespace {

enum : std::uint32_t {
    kSetBkColor = 0x0201,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetRop2 = 0x0104,
    kSetPolyFillMode = 0x0106,
    kSetTextColor = 0x0209,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kOffsetWindowOrg = 0x020F,
    kScaleWindowExt = 0x0410,
    kOffsetViewportOrg = 0x0211,
    kScaleViewportExt = 0x0412,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kExcludeClipRect = 0x0415,
    kIntersectClipRect = 0x0416,
    kArc = 0x0817,
    kEllipse = 0x0418,
    kPie = 0x081A,
    kRectangle = 0x041B,
    kRoundRect = 0x061C,
    kPatBlt = 0x061D,
    kSaveDC = 0x001E,
    kSetPixel = 0x041F,
    kTextOut = 0x0521,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kRestoreDC = 0x0127,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kChord = 0x0830,
    kExtTextOut = 0x0A32,
    kSetDibToDev = 0x0D33,
    kPolyPolygon = 0x0538,
    kDibBitBlt = 0x0940,
    kDibStretchBlt = 0x0B41,
    kDibCreatePatternBrush = 0x0142,
    kStretchDib = 0x0F43,
    kDeleteObject = 0x01F0,
    kCreatePalette = 0x00F7,
    kCreatePatternBrush = 0x01F9,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kCreateRegion = 0x06FF,
};

constexpr std::uint64_t kParams = 6;

// Parameter word `i` as a signed value.
double param(const ByteView& r, std::uint64_t i) {
    return r.i16(kParams + 2 * i);
}

QColor colourAt(const ByteView& r, std::uint64_t at) {
    return QColor(r.u8(at), r.u8(at + 1), r.u8(at + 2));
}

// Four words bottom, right, top, left from word `i`.
QRectF reversedRect(const ByteView& r, std::uint64_t i) {
    return QRectF(QPointF(param(r, i + 3), param(r, i + 2)), QPointF(param(r, i + 1), param(r, i)));
}

// Two words y, x from word `i`.
QPointF reversedPoint(const ByteView& r, std::uint64_t i) {
    return QPointF(param(r, i + 1), param(r, i));
}

std::vector<QPointF> pointsAt(const ByteView& r, std::uint64_t at, std::uint64_t count,
                              DeviceContext& context) {
    if (!r.has(at, count * 4)) {
        throw ShortRecord{};
    }
    context.spendPoints(count);
    std::vector<QPointF> points;
    points.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        points.emplace_back(r.i16(at + 4 * i), r.i16(at + 4 * i + 2));
    }
    return points;
}

std::vector<std::vector<QPointF>> polyPolygonPoints(const ByteView& r, DeviceContext& context) {
    const std::uint64_t figures = r.u16(kParams);
    std::uint64_t at = kParams + 2 + figures * 2;
    std::vector<std::vector<QPointF>> result;
    for (std::uint64_t i = 0; i < figures; ++i) {
        const std::uint64_t count = r.u16(kParams + 2 + 2 * i);
        result.push_back(pointsAt(r, at, count, context));
        at += count * 4;
    }
    return result;
}

GdiObject penObject(const ByteView& r) {
    GdiObject object;
    object.type = GdiObject::Type::Pen;
    object.pen.style = r.u16(kParams);
    object.pen.width = r.i16(kParams + 2);
    object.pen.color = colourAt(r, kParams + 6);
    return object;
}

GdiObject brushObject(const ByteView& r) {
    GdiObject object;
    object.type = GdiObject::Type::Brush;
    const std::uint16_t style = r.u16(kParams);
    object.brush.style = style == 0   ? LogBrush::Style::Solid
                         : style == 2 ? LogBrush::Style::Hatched
                                      : LogBrush::Style::Null;
    object.brush.color = colourAt(r, kParams + 2);
    object.brush.hatch = r.u16(kParams + 6);
    return object;
}

GdiObject fontObject(const ByteView& r) {
    GdiObject object;
    object.type = GdiObject::Type::Font;
    LogFont& font = object.font;
    font.height = r.i16(kParams);
    font.width = r.i16(kParams + 2);
    font.escapement = r.i16(kParams + 4);
    font.weight = r.i16(kParams + 8);
    font.italic = r.u8(kParams + 10) != 0;
    font.underline = r.u8(kParams + 11) != 0;
    font.strikeOut = r.u8(kParams + 12) != 0;
    font.charset = r.u8(kParams + 13);
    std::string face;
    for (std::uint64_t at = kParams + 18; at < r.size() && face.size() < 32 && r.u8(at) != 0; ++at) {
        face += static_cast<char>(r.u8(at));
    }
    font.face = decodeAnsiText(ByteView(reinterpret_cast<const unsigned char*>(face.data()), face.size()),
                               font.charset == kSymbolCharset ? kSymbolCharset : kAnsiCharset);
    return object;
}

GdiObject patternBrushObject(const ByteView& r, DeviceContext& context) {
    GdiObject object;
    object.type = GdiObject::Type::Brush;
    object.brush.style = LogBrush::Style::Null;
    // Style 3 carries an old device-dependent bitmap, which is not drawn.
    if (r.u16(kParams) != 3) {
        const Dib dib = decodePackedDib(r.sub(kParams + 4, r.size() - kParams - 4), r.u16(kParams + 2) == 1,
                                        context.pixelBudget());
        if (!dib.image.isNull()) {
            object.brush.style = LogBrush::Style::Pattern;
            object.brush.pattern = dib.image;
        }
    }
    return object;
}

void textOut(const ByteView& r, DeviceContext& context) {
    const std::uint64_t length = r.u16(kParams);
    const std::uint64_t padded = (length + 1) & ~1ULL;
    const ByteView chars = r.sub(kParams + 2, length);
    const std::uint64_t after = (kParams + 2 + padded - kParams) / 2;
    if (length == 0 || length > kMaxCharsPerText) {
        return;
    }
    context.textOut(reversedPoint(r, after), decodeAnsiText(chars, context.font().charset), 0, std::nullopt,
                    {});
}

void extTextOut(const ByteView& r, DeviceContext& context) {
    const QPointF reference = reversedPoint(r, 0);
    const std::uint64_t length = r.u16(kParams + 4);
    const std::uint32_t options = r.u16(kParams + 6);
    if (length == 0 || length > kMaxCharsPerText) {
        return;
    }
    std::uint64_t at = kParams + 8;
    std::optional<QRectF> box;
    if (options & (kEtoOpaque | kEtoClipped)) {
        box = QRectF(QPointF(r.i16(at), r.i16(at + 2)), QPointF(r.i16(at + 4), r.i16(at + 6)));
        at += 8;
    }
    const QString text = decodeAnsiText(r.sub(at, length), context.font().charset);
    at += (length + 1) & ~1ULL;
    std::vector<double> dx;
    if (r.has(at, length * 2)) {
        for (std::uint64_t i = 0; i < length; ++i) {
            dx.push_back(r.i16(at + 2 * i));
        }
    }
    context.textOut(reference, text, options, box, dx);
}

// The bitmap of a DIB record from byte `at` to the record's end.
Dib packedBitmap(const ByteView& r, std::uint64_t at, bool paletteIndexes, DeviceContext& context) {
    return decodePackedDib(r.sub(at, r.size() - at), paletteIndexes, context.pixelBudget());
}

void dibBitBlt(const ByteView& r, DeviceContext& context) {
    const std::uint32_t rop = r.u32(kParams);
    // The form without a bitmap has one reserved word more and nothing after it.
    if (r.size() == (3 + (kDibBitBlt >> 8)) * 2ULL) {
        context.blit(QRectF(reversedPoint(r, 7), QSizeF(param(r, 6), param(r, 5))), QImage(), rop);
        return;
    }
    const double width = param(r, 5), height = param(r, 4);
    const QImage source = sourceRect(packedBitmap(r, kParams + 16, false, context), r.i16(kParams + 6),
                                     r.i16(kParams + 4), r.i16(kParams + 10), r.i16(kParams + 8), false);
    if (!source.isNull()) {
        context.blit(QRectF(reversedPoint(r, 6), QSizeF(width, height)), source, rop);
    }
}

void dibStretchBlt(const ByteView& r, DeviceContext& context) {
    const std::uint32_t rop = r.u32(kParams);
    if (r.size() == (3 + (kDibStretchBlt >> 8)) * 2ULL) {
        context.blit(QRectF(reversedPoint(r, 9), QSizeF(param(r, 8), param(r, 7))), QImage(), rop);
        return;
    }
    const QImage source = sourceRect(packedBitmap(r, kParams + 20, false, context), r.i16(kParams + 10),
                                     r.i16(kParams + 8), r.i16(kParams + 6), r.i16(kParams + 4), false);
    if (!source.isNull()) {
        context.blit(QRectF(reversedPoint(r, 8), QSizeF(param(r, 7), param(r, 6))), source, rop);
    }
}

void stretchDib(const ByteView& r, DeviceContext& context) {
    const std::uint32_t rop = r.u32(kParams);
    const bool paletteIndexes = r.u16(kParams + 4) == 1;
    const QImage source =
        sourceRect(packedBitmap(r, kParams + 22, paletteIndexes, context), r.i16(kParams + 12),
                   r.i16(kParams + 10), r.i16(kParams + 8), r.i16(kParams + 6), true);
    if (!source.isNull()) {
        context.blit(QRectF(reversedPoint(r, 9), QSizeF(param(r, 8), param(r, 7))), source, rop);
    }
}

void setDibToDevice(const ByteView& r, DeviceContext& context) {
    // Only the common form that hands over the whole bitmap in one go.
    if (r.u16(kParams + 4) != 0) {
        return;
    }
    const QImage source =
        sourceRect(packedBitmap(r, kParams + 18, r.u16(kParams) == 1, context), r.i16(kParams + 8),
                   r.i16(kParams + 6), r.i16(kParams + 12), r.i16(kParams + 10), true);
    if (!source.isNull()) {
        context.blit(QRectF(reversedPoint(r, 7), QSizeF(source.width(), source.height())), source,
                     0x00CC0020);
    }
}

void playRecord(std::uint32_t function, const ByteView& r, DeviceContext& context) {
    switch (function) {
        case kSetBkColor:
            context.setBackgroundColor(colourAt(r, kParams));
            break;
        case kSetBkMode:
            context.setBackgroundMode(r.u16(kParams));
            break;
        case kSetMapMode:
            context.setMapMode(r.u16(kParams));
            break;
        case kSetRop2:
            context.setRop2(r.u16(kParams));
            break;
        case kSetPolyFillMode:
            context.setPolyFillMode(r.u16(kParams));
            break;
        case kSetTextColor:
            context.setTextColor(colourAt(r, kParams));
            break;
        case kSetTextAlign:
            context.setTextAlign(r.u16(kParams));
            break;
        case kSetWindowOrg:
            context.setWindowOrg(reversedPoint(r, 0));
            break;
        case kSetWindowExt: {
            const QPointF extent = reversedPoint(r, 0);
            context.setWindowExt(QSizeF(extent.x(), extent.y()));
            break;
        }
        case kSetViewportOrg:
            context.setViewportOrg(reversedPoint(r, 0));
            break;
        case kSetViewportExt: {
            const QPointF extent = reversedPoint(r, 0);
            context.setViewportExt(QSizeF(extent.x(), extent.y()));
            break;
        }
        case kOffsetWindowOrg:
            context.offsetWindowOrg(reversedPoint(r, 0));
            break;
        case kOffsetViewportOrg:
            context.offsetViewportOrg(reversedPoint(r, 0));
            break;
        case kScaleWindowExt:
            context.scaleWindowExt(param(r, 3), param(r, 2), param(r, 1), param(r, 0));
            break;
        case kScaleViewportExt:
            context.scaleViewportExt(param(r, 3), param(r, 2), param(r, 1), param(r, 0));
            break;
        case kLineTo:
            context.lineTo(reversedPoint(r, 0));
            break;
        case kMoveTo:
            context.moveTo(reversedPoint(r, 0));
            break;
        case kExcludeClipRect:
            context.excludeClipRect(reversedRect(r, 0));
            break;
        case kIntersectClipRect:
            context.intersectClipRect(reversedRect(r, 0));
            break;
        case kArc:
            context.arc(reversedRect(r, 4), reversedPoint(r, 2), reversedPoint(r, 0));
            break;
        case kChord:
            context.chord(reversedRect(r, 4), reversedPoint(r, 2), reversedPoint(r, 0));
            break;
        case kPie:
            context.pie(reversedRect(r, 4), reversedPoint(r, 2), reversedPoint(r, 0));
            break;
        case kEllipse:
            context.ellipse(reversedRect(r, 0));
            break;
        case kRectangle:
            context.rectangle(reversedRect(r, 0));
            break;
        case kRoundRect:
            context.roundRect(reversedRect(r, 2), QSizeF(param(r, 1), param(r, 0)));
            break;
        case kPatBlt:
            context.blit(QRectF(reversedPoint(r, 4), QSizeF(param(r, 3), param(r, 2))), QImage(),
                         r.u32(kParams));
            break;
        case kSaveDC:
            context.saveDC();
            break;
        case kRestoreDC:
            context.restoreDC(r.i16(kParams));
            break;
        case kSetPixel:
            context.setPixel(reversedPoint(r, 2), colourAt(r, kParams));
            break;
        case kTextOut:
            textOut(r, context);
            break;
        case kExtTextOut:
            extTextOut(r, context);
            break;
        case kPolygon:
            context.polygon(pointsAt(r, kParams + 2, r.u16(kParams), context));
            break;
        case kPolyline:
            context.polyline(pointsAt(r, kParams + 2, r.u16(kParams), context));
            break;
        case kPolyPolygon:
            context.polyPolygon(polyPolygonPoints(r, context));
            break;
        case kSelectObject:
            context.selectObject(r.u16(kParams));
            break;
        case kDeleteObject:
            context.deleteObject(r.u16(kParams));
            break;
        case kCreatePenIndirect:
            context.createObjectInFreeSlot(penObject(r));
            break;
        case kCreateBrushIndirect:
            context.createObjectInFreeSlot(brushObject(r));
            break;
        case kCreateFontIndirect:
            context.createObjectInFreeSlot(fontObject(r));
            break;
        case kDibCreatePatternBrush:
            context.createObjectInFreeSlot(patternBrushObject(r, context));
            break;
        case kCreatePalette:
        case kCreatePatternBrush:
        case kCreateRegion:
            // Not drawn, but they hold a slot, and later indexes count on it.
            context.createObjectInFreeSlot(GdiObject());
            break;
        case kDibBitBlt:
            dibBitBlt(r, context);
            break;
        case kDibStretchBlt:
            dibStretchBlt(r, context);
            break;
        case kStretchDib:
            stretchDib(r, context);
            break;
        case kSetDibToDev:
            setDibToDevice(r, context);
            break;
        default:
            break;
    }
}

}  // namespace

void playPlaceableRecord(std::uint32_t type, const ByteView& bytes, DeviceContext& context) {
    playRecord(type, bytes, context);
}

}  // namespace metafile
