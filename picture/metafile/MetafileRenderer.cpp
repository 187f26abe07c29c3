#include "picture/metafile/MetafileRenderer.h"

#include <algorithm>

namespace metafile {

namespace {

using RecordPlayer = void (*)(std::uint32_t, const ByteView&, DeviceContext&);

void playAll(const Document& document, DeviceContext& context, RecordPlayer play) {
    RecordCursor cursor(document);
    Record record;
    while (cursor.next(record)) {
        try {
            play(record.type, record.bytes, context);
        } catch (const ShortRecord&) {
            // A record too short for its own fields draws nothing; the ones after it still count.
        }
    }
}

}  // namespace

void render(const Document& document, Canvas& canvas, const QSizeF& output) {
    Setup setup;
    setup.output = output;
    setup.handleCount = document.handleCount;
    if (document.kind == Kind::Enhanced) {
        const QRectF& frame = document.frame;
        setup.pixelsPerMmX = document.pixelsPerMmX;
        setup.pixelsPerMmY = document.pixelsPerMmY;
        setup.deviceToOutput =
            QTransform::fromTranslate(-frame.x(), -frame.y()) *
            QTransform::fromScale(output.width() / frame.width(), output.height() / frame.height());
        DeviceContext context(canvas, setup);
        playAll(document, context, playEnhancedRecord);
    } else {
        setup.placeableWindow = document.frame;
        DeviceContext context(canvas, setup);
        playAll(document, context, playPlaceableRecord);
    }
}

QImage sourceRect(const Dib& dib, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                  bool fromBottom) {
    const QImage& image = dib.image;
    if (image.isNull() || width == 0 || height == 0) {
        return QImage();
    }
    if (width < 0) {
        x += width, width = -width;
    }
    if (height < 0) {
        y += height, height = -height;
    }
    if (fromBottom && dib.bottomUp) {
        y = image.height() - y - height;
    }
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(x + width, image.width());
    const std::int64_t bottom = std::min<std::int64_t>(y + height, image.height());
    if (right <= left || bottom <= top) {
        return QImage();
    }
    if (left == 0 && top == 0 && right == image.width() && bottom == image.height()) {
        return image;
    }
    return image.copy(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                      static_cast<int>(bottom - top));
}

}  // namespace metafile
