#include "picture/metafile/MetafileDeviceContext.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "platform/text/CodePages.h"

namespace metafile {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Largest transform element accepted; keeps every mapped coordinate finite.
constexpr double kMaxTransformElement = 1e12;
constexpr int kMaxClipRects = 4096;
constexpr double kDefaultFontHeight = 16;

constexpr std::uint32_t kPsNull = 5;
constexpr std::uint32_t kPsStyleMask = 0xF;
constexpr std::uint32_t kPsEndCapMask = 0xF00;
constexpr std::uint32_t kPsJoinMask = 0xF000;

constexpr std::uint32_t kR2Black = 1;
constexpr std::uint32_t kR2Nop = 11;
constexpr std::uint32_t kR2White = 16;

bool finite(const QTransform& t) {
    const double values[] = {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()};
    return std::all_of(std::begin(values), std::end(values),
                       [](double v) { return std::isfinite(v) && std::abs(v) <= kMaxTransformElement; });
}

// How much a transform stretches lengths, on average over the two axes.
double lengthScale(const QTransform& t) {
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

bool finiteRect(const QRectF& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

// The angle on an ellipse that points towards `point`, as QPainterPath::arcTo counts it (degrees,
// counter-clockwise on screen, measured on the ellipse's own axes).
double ellipseAngle(const QRectF& box, const QPointF& point) {
    const QPointF centre = box.center();
    const double dx = (point.x() - centre.x()) / (box.width() / 2);
    const double dy = (point.y() - centre.y()) / (box.height() / 2);
    if (dx == 0 && dy == 0) {
        return 0;
    }
    return std::atan2(-dy, dx) * 180 / kPi;
}

Qt::PenCapStyle capStyle(std::uint32_t style) {
    switch (style & kPsEndCapMask) {
        case 0x100:
            return Qt::SquareCap;
        case 0x200:
            return Qt::FlatCap;
        default:
            return Qt::RoundCap;
    }
}

Qt::PenJoinStyle joinStyle(std::uint32_t style) {
    switch (style & kPsJoinMask) {
        case 0x1000:
            return Qt::BevelJoin;
        case 0x2000:
            return Qt::MiterJoin;
        default:
            return Qt::RoundJoin;
    }
}

Qt::PenStyle dashStyle(std::uint32_t style) {
    switch (style & kPsStyleMask) {
        case 1:
            return Qt::DashLine;
        case 2:
            return Qt::DotLine;
        case 3:
            return Qt::DashDotLine;
        case 4:
            return Qt::DashDotDotLine;
        default:
            return Qt::SolidLine;
    }
}

Qt::BrushStyle hatchStyle(int hatch) {
    switch (hatch) {
        case 0:
            return Qt::HorPattern;
        case 1:
            return Qt::VerPattern;
        case 2:
            return Qt::FDiagPattern;
        case 3:
            return Qt::BDiagPattern;
        case 4:
            return Qt::CrossPattern;
        default:
            return Qt::DiagCrossPattern;
    }
}

}  // namespace

DeviceContext::DeviceContext(Canvas& canvas, const Setup& setup)
    : canvas_(canvas), setup_(setup), objects_(setup.handleCount) {
    if (setup_.placeableWindow) {
        state_.mapMode = kMmAnisotropic;
        state_.windowOrg = setup_.placeableWindow->topLeft();
        state_.windowExt = setup_.placeableWindow->size();
        state_.viewportExt = setup_.output;
    }
}

// ---- mapping ----

void DeviceContext::setMapMode(int mode) {
    if (mode < kMmText || mode > kMmAnisotropic) {
        return;
    }
    // A placeable picture is always stretched from its window onto the output.
    if (setup_.placeableWindow && mode != kMmIsotropic && mode != kMmAnisotropic) {
        return;
    }
    state_.mapMode = mode;
}

void DeviceContext::setWindowOrg(const QPointF& origin) {
    state_.windowOrg = origin;
}

void DeviceContext::setWindowExt(const QSizeF& extent) {
    if (extent.width() != 0 && extent.height() != 0 && std::isfinite(extent.width()) &&
        std::isfinite(extent.height())) {
        state_.windowExt = extent;
    }
}

void DeviceContext::setViewportOrg(const QPointF& origin) {
    if (!setup_.placeableWindow) {
        state_.viewportOrg = origin;
    }
}

void DeviceContext::setViewportExt(const QSizeF& extent) {
    if (!setup_.placeableWindow && extent.width() != 0 && extent.height() != 0 &&
        std::isfinite(extent.width()) && std::isfinite(extent.height())) {
        state_.viewportExt = extent;
    }
}

void DeviceContext::offsetWindowOrg(const QPointF& by) {
    state_.windowOrg += by;
}

void DeviceContext::offsetViewportOrg(const QPointF& by) {
    setViewportOrg(state_.viewportOrg + by);
}

void DeviceContext::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom != 0 && yDenom != 0) {
        setWindowExt(
            QSizeF(state_.windowExt.width() * xNum / xDenom, state_.windowExt.height() * yNum / yDenom));
    }
}

void DeviceContext::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom != 0 && yDenom != 0) {
        setViewportExt(
            QSizeF(state_.viewportExt.width() * xNum / xDenom, state_.viewportExt.height() * yNum / yDenom));
    }
}

bool DeviceContext::acceptWorld(const QTransform& transform) {
    if (!finite(transform) || transform.determinant() == 0 || !std::isfinite(transform.determinant())) {
        return false;
    }
    state_.world = transform;
    return true;
}

void DeviceContext::setWorldTransform(const QTransform& transform) {
    acceptWorld(transform);
}

void DeviceContext::modifyWorldTransform(const QTransform& transform, std::uint32_t mode) {
    switch (mode) {
        case 1:
            state_.world = QTransform();
            break;
        case 2:
            if (finite(transform)) {
                acceptWorld(transform * state_.world);
            }
            break;
        case 3:
            if (finite(transform)) {
                acceptWorld(state_.world * transform);
            }
            break;
        case 4:
            acceptWorld(transform);
            break;
        default:
            break;
    }
}

QTransform DeviceContext::pageTransform() const {
    double sx = 1, sy = 1;
    const double perMmX = setup_.pixelsPerMmX, perMmY = setup_.pixelsPerMmY;
    switch (state_.mapMode) {
        case kMmLoMetric:
            sx = perMmX * 0.1, sy = -perMmY * 0.1;
            break;
        case kMmHiMetric:
            sx = perMmX * 0.01, sy = -perMmY * 0.01;
            break;
        case kMmLoEnglish:
            sx = perMmX * 0.254, sy = -perMmY * 0.254;
            break;
        case kMmHiEnglish:
            sx = perMmX * 0.0254, sy = -perMmY * 0.0254;
            break;
        case kMmTwips:
            sx = perMmX * 25.4 / 1440, sy = -perMmY * 25.4 / 1440;
            break;
        case kMmIsotropic:
        case kMmAnisotropic:
            sx = state_.viewportExt.width() / state_.windowExt.width();
            sy = state_.viewportExt.height() / state_.windowExt.height();
            if (state_.mapMode == kMmIsotropic) {
                const double scale = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(scale, sx);
                sy = std::copysign(scale, sy);
            }
            break;
        default:
            break;
    }
    return QTransform(sx, 0, 0, sy, state_.viewportOrg.x() - state_.windowOrg.x() * sx,
                      state_.viewportOrg.y() - state_.windowOrg.y() * sy);
}

QTransform DeviceContext::toOutput() const {
    return state_.world * pageTransform() * setup_.deviceToOutput;
}

// ---- state stack ----

void DeviceContext::saveDC() {
    if (saved_.size() < static_cast<std::size_t>(kMaxSaveDepth)) {
        saved_.push_back(state_);
    }
}

void DeviceContext::restoreDC(std::int32_t which) {
    const std::int64_t depth = static_cast<std::int64_t>(saved_.size());
    const std::int64_t keep = which < 0 ? depth + which : static_cast<std::int64_t>(which) - 1;
    if (which == 0 || keep < 0 || keep >= depth) {
        return;
    }
    const bool clipChanged = state_.clip != saved_[keep].clip;
    state_ = saved_[keep];
    saved_.resize(static_cast<std::size_t>(keep));
    if (clipChanged) {
        canvas_.setClip(state_.clip);
    }
}

// ---- objects ----

void DeviceContext::createObject(std::uint32_t index, const GdiObject& object) {
    // Slot 0 belongs to the metafile itself.
    if (index != 0 && index < objects_.size()) {
        objects_[index] = object;
    }
}

void DeviceContext::createObjectInFreeSlot(const GdiObject& object) {
    const auto slot =
        std::find_if(objects_.begin(), objects_.end(), [](const auto& o) { return !o.has_value(); });
    if (slot != objects_.end()) {
        *slot = object;
    }
}

void DeviceContext::selectObject(std::uint32_t index) {
    if (index & 0x80000000U) {
        selectStockObject(index & 0x7FFFFFFFU);
        return;
    }
    if (index >= objects_.size() || !objects_[index]) {
        return;
    }
    const GdiObject& object = *objects_[index];
    switch (object.type) {
        case GdiObject::Type::Pen:
            state_.pen = object.pen;
            break;
        case GdiObject::Type::Brush:
            state_.brush = object.brush;
            break;
        case GdiObject::Type::Font:
            state_.font = object.font;
            break;
        case GdiObject::Type::Other:
            break;
    }
}

void DeviceContext::selectStockObject(std::uint32_t which) {
    static const int kGreys[] = {255, 192, 128, 64, 0};
    if (which <= 4 || which == 18) {
        state_.brush = LogBrush();
        const int grey = which == 18 ? 255 : kGreys[which];
        state_.brush.color = QColor(grey, grey, grey);
    } else if (which == 5) {
        state_.brush = LogBrush();
        state_.brush.style = LogBrush::Style::Null;
    } else if (which == 6 || which == 7 || which == 19) {
        state_.pen = LogPen();
        state_.pen.color = which == 6 ? Qt::white : Qt::black;
    } else if (which == 8) {
        state_.pen = LogPen();
        state_.pen.style = kPsNull;
    } else if (which >= 10 && which <= 17 && which != 15) {
        state_.font = LogFont();
    }
}

void DeviceContext::deleteObject(std::uint32_t index) {
    if (index < objects_.size()) {
        objects_[index].reset();
    }
}

// ---- attributes ----

void DeviceContext::setBackgroundMode(std::uint32_t mode) {
    if (mode == 1 || mode == 2) {
        state_.opaqueBackground = mode == 2;
    }
}

void DeviceContext::setPolyFillMode(std::uint32_t mode) {
    if (mode == 1 || mode == 2) {
        state_.fillRule = mode == 2 ? Qt::WindingFill : Qt::OddEvenFill;
    }
}

void DeviceContext::setArcDirection(std::uint32_t direction) {
    if (direction == 1 || direction == 2) {
        state_.clockwise = direction == 2;
    }
}

// ---- budgets ----

void DeviceContext::spendPoints(std::uint64_t count) {
    pointsSpent_ += count;
    if (pointsSpent_ > kMaxPoints) {
        throw PictureError("Метафайл содержит слишком много точек (допускается не более " +
                           std::to_string(kMaxPoints) + ")");
    }
}

void DeviceContext::spendText(std::uint64_t count) {
    textSpent_ += count;
    if (textSpent_ > kMaxTextChars) {
        throw PictureError("Метафайл содержит слишком много текста (допускается не более " +
                           std::to_string(kMaxTextChars) + " знаков)");
    }
}

// ---- drawing ----

std::optional<QColor> DeviceContext::ropColour(const QColor& colour) const {
    switch (state_.rop2) {
        case kR2Nop:
            return std::nullopt;
        case kR2Black:
            return QColor(Qt::black);
        case kR2White:
            return QColor(Qt::white);
        default:
            // The mixing operations need the pixels underneath; they draw as the plain colour.
            return colour;
    }
}

void DeviceContext::fillDevice(const QPainterPath& device) {
    const LogBrush& brush = state_.brush;
    if (brush.style == LogBrush::Style::Null) {
        return;
    }
    const std::optional<QColor> colour = ropColour(brush.color);
    if (!colour) {
        return;
    }
    switch (brush.style) {
        case LogBrush::Style::Solid:
            canvas_.fillPath(device, QBrush(*colour));
            break;
        case LogBrush::Style::Hatched:
            if (state_.opaqueBackground) {
                canvas_.fillPath(device, QBrush(state_.backgroundColor));
            }
            canvas_.fillPath(device, QBrush(*colour, hatchStyle(brush.hatch)));
            break;
        case LogBrush::Style::Pattern:
            if (!brush.pattern.isNull()) {
                canvas_.fillPath(device, QBrush(brush.pattern));
            }
            break;
        case LogBrush::Style::Null:
            break;
    }
}

void DeviceContext::strokeDevice(const QPainterPath& device) {
    const LogPen& logPen = state_.pen;
    if ((logPen.style & kPsStyleMask) == kPsNull) {
        return;
    }
    const std::optional<QColor> colour = ropColour(logPen.color);
    if (!colour) {
        return;
    }
    const double width = std::max(1.0, logPen.width * lengthScale(toOutput()));
    QPen pen(QBrush(*colour), std::min(width, 4.0 * kMaxSide), dashStyle(logPen.style),
             capStyle(logPen.style), joinStyle(logPen.style));
    canvas_.strokePath(device, pen);
}

void DeviceContext::drawClosed(const QPainterPath& logical) {
    QPainterPath device = toOutput().map(logical);
    if (!finiteRect(device.controlPointRect())) {
        return;
    }
    if (inPath_) {
        path_.addPath(device);
        figureOpen_ = false;
        return;
    }
    device.setFillRule(state_.fillRule);
    fillDevice(device);
    strokeDevice(device);
}

void DeviceContext::drawOpen(const QPainterPath& logical, bool continues) {
    const QPainterPath device = toOutput().map(logical);
    if (!finiteRect(device.controlPointRect())) {
        return;
    }
    if (inPath_) {
        if (continues && figureOpen_) {
            path_.connectPath(device);
        } else {
            path_.addPath(device);
        }
        figureOpen_ = continues;
        return;
    }
    strokeDevice(device);
}

void DeviceContext::moveTo(const QPointF& point) {
    state_.position = point;
    figureOpen_ = false;
}

void DeviceContext::lineTo(const QPointF& point) {
    polylineTo({point});
}

void DeviceContext::polyline(const std::vector<QPointF>& points) {
    if (points.size() < 2) {
        return;
    }
    QPainterPath path(points.front());
    for (std::size_t i = 1; i < points.size(); ++i) {
        path.lineTo(points[i]);
    }
    drawOpen(path, false);
}

void DeviceContext::polylineTo(const std::vector<QPointF>& points) {
    if (points.empty()) {
        return;
    }
    QPainterPath path(state_.position);
    for (const QPointF& point : points) {
        path.lineTo(point);
    }
    drawOpen(path, true);
    state_.position = points.back();
}

void DeviceContext::polyBezier(const std::vector<QPointF>& points) {
    if (points.size() < 4 || (points.size() - 1) % 3 != 0) {
        return;
    }
    QPainterPath path(points.front());
    for (std::size_t i = 1; i + 2 < points.size(); i += 3) {
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    }
    drawOpen(path, false);
}

void DeviceContext::polyBezierTo(const std::vector<QPointF>& points) {
    if (points.empty() || points.size() % 3 != 0) {
        return;
    }
    QPainterPath path(state_.position);
    for (std::size_t i = 0; i + 2 < points.size(); i += 3) {
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    }
    drawOpen(path, true);
    state_.position = points.back();
}

void DeviceContext::polygon(const std::vector<QPointF>& points) {
    polyPolygon({points});
}

void DeviceContext::polyPolygon(const std::vector<std::vector<QPointF>>& polygons) {
    QPainterPath path;
    for (const auto& points : polygons) {
        if (points.size() < 2) {
            continue;
        }
        path.moveTo(points.front());
        for (std::size_t i = 1; i < points.size(); ++i) {
            path.lineTo(points[i]);
        }
        path.closeSubpath();
    }
    if (!path.isEmpty()) {
        drawClosed(path);
    }
}

void DeviceContext::polyPolyline(const std::vector<std::vector<QPointF>>& polylines) {
    for (const auto& points : polylines) {
        polyline(points);
    }
}

void DeviceContext::rectangle(const QRectF& box) {
    QPainterPath path;
    path.addRect(box.normalized());
    drawClosed(path);
}

void DeviceContext::roundRect(const QRectF& box, const QSizeF& corner) {
    QPainterPath path;
    path.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    drawClosed(path);
}

void DeviceContext::ellipse(const QRectF& box) {
    QPainterPath path;
    path.addEllipse(box.normalized());
    drawClosed(path);
}

// The arc of the ellipse in `box` from the ray towards `start` to the ray towards `end`, in the current arc
// direction; equal rays make a whole ellipse. Appended to `path` with a line from its current point, or as a
// new figure when `path` is empty.
bool DeviceContext::appendArc(QPainterPath& path, const QRectF& box, const QPointF& start,
                              const QPointF& end) const {
    const QRectF ellipseBox = box.normalized();
    if (!(ellipseBox.width() > 0) || !(ellipseBox.height() > 0)) {
        return false;
    }
    const double from = ellipseAngle(ellipseBox, start);
    const double to = ellipseAngle(ellipseBox, end);
    double sweep = std::fmod(to - from + 720, 360.0);
    if (sweep == 0) {
        sweep = 360;
    }
    // Counter-clockwise on the output; a mapping that mirrors the picture mirrors the direction too.
    bool clockwise = state_.clockwise;
    if (toOutput().determinant() < 0) {
        clockwise = !clockwise;
    }
    if (clockwise) {
        sweep -= 360;
    }
    if (path.elementCount() == 0) {
        path.arcMoveTo(ellipseBox, from);
    }
    path.arcTo(ellipseBox, from, sweep);
    return true;
}

void DeviceContext::arc(const QRectF& box, const QPointF& start, const QPointF& end) {
    QPainterPath path;
    if (appendArc(path, box, start, end)) {
        drawOpen(path, false);
    }
}

void DeviceContext::arcTo(const QRectF& box, const QPointF& start, const QPointF& end) {
    QPainterPath path(state_.position);
    if (appendArc(path, box, start, end)) {
        drawOpen(path, true);
        state_.position = path.currentPosition();
    }
}

void DeviceContext::chord(const QRectF& box, const QPointF& start, const QPointF& end) {
    QPainterPath path;
    if (appendArc(path, box, start, end)) {
        path.closeSubpath();
        drawClosed(path);
    }
}

void DeviceContext::pie(const QRectF& box, const QPointF& start, const QPointF& end) {
    QPainterPath path(box.normalized().center());
    if (appendArc(path, box, start, end)) {
        path.closeSubpath();
        drawClosed(path);
    }
}

void DeviceContext::angleArc(const QPointF& centre, double radius, double startDegrees, double sweepDegrees) {
    if (!(radius > 0) || !std::isfinite(radius) || !std::isfinite(startDegrees) ||
        !std::isfinite(sweepDegrees)) {
        return;
    }
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(state_.position);
    path.arcTo(box, std::fmod(startDegrees, 360.0), std::clamp(sweepDegrees, -360.0, 360.0));
    drawOpen(path, true);
    state_.position = path.currentPosition();
}

void DeviceContext::setPixel(const QPointF& point, const QColor& colour) {
    const QPointF device = toOutput().map(point);
    if (!inPath_ && std::isfinite(device.x()) && std::isfinite(device.y())) {
        QPainterPath dot;
        dot.addRect(QRectF(std::floor(device.x()), std::floor(device.y()), 1, 1));
        canvas_.fillPath(dot, QBrush(colour));
    }
}

// ---- paths ----

void DeviceContext::beginPath() {
    inPath_ = true;
    figureOpen_ = false;
    path_ = QPainterPath();
}

void DeviceContext::endPath() {
    inPath_ = false;
}

void DeviceContext::closeFigure() {
    if (inPath_) {
        path_.closeSubpath();
        figureOpen_ = false;
    }
}

void DeviceContext::abortPath() {
    inPath_ = false;
    path_ = QPainterPath();
}

void DeviceContext::fillPath() {
    inPath_ = false;
    path_.setFillRule(state_.fillRule);
    fillDevice(path_);
    path_ = QPainterPath();
}

void DeviceContext::strokePath() {
    inPath_ = false;
    strokeDevice(path_);
    path_ = QPainterPath();
}

void DeviceContext::strokeAndFillPath() {
    inPath_ = false;
    path_.setFillRule(state_.fillRule);
    fillDevice(path_);
    strokeDevice(path_);
    path_ = QPainterPath();
}

// ---- clipping ----

QRect DeviceContext::outputRect(const QRectF& device) const {
    if (!finiteRect(device)) {
        return QRect();
    }
    const QRectF bounds(-2, -2, setup_.output.width() + 4, setup_.output.height() + 4);
    return device.normalized().intersected(bounds).toAlignedRect();
}

void DeviceContext::applyClip(std::optional<QRegion> clip) {
    if (clip && clip->rectCount() > kMaxClipRects) {
        return;
    }
    state_.clip = std::move(clip);
    canvas_.setClip(state_.clip);
}

void DeviceContext::intersectClipRect(const QRectF& box) {
    const QRegion area(outputRect(toOutput().mapRect(box.normalized())));
    applyClip(state_.clip ? *state_.clip & area : area);
}

void DeviceContext::excludeClipRect(const QRectF& box) {
    const QRegion area(outputRect(toOutput().mapRect(box.normalized())));
    const QRegion whole =
        state_.clip ? *state_.clip : QRegion(outputRect(QRectF(QPointF(0, 0), setup_.output)));
    applyClip(whole - area);
}

void DeviceContext::selectClipRegion(const std::optional<QRegion>& region, std::uint32_t mode) {
    if (mode == 5) {
        applyClip(region);
        return;
    }
    if (!region || mode < 1 || mode > 4) {
        return;
    }
    const QRegion current =
        state_.clip ? *state_.clip : QRegion(outputRect(QRectF(QPointF(0, 0), setup_.output)));
    switch (mode) {
        case 1:
            applyClip(current & *region);
            break;
        case 2:
            applyClip(current | *region);
            break;
        case 3:
            applyClip(current ^ *region);
            break;
        default:
            applyClip(current - *region);
            break;
    }
}

void DeviceContext::selectClipPath(std::uint32_t mode) {
    inPath_ = false;
    QPainterPath bounds;
    bounds.addRect(QRectF(outputRect(QRectF(QPointF(0, 0), setup_.output))));
    path_.setFillRule(state_.fillRule);
    const QPolygon polygon = path_.intersected(bounds).toFillPolygon().toPolygon();
    path_ = QPainterPath();
    selectClipRegion(QRegion(polygon, state_.fillRule), mode);
}

// ---- text ----

void DeviceContext::textOut(const QPointF& reference, const QString& text, std::uint32_t options,
                            const std::optional<QRectF>& opaqueBox, const std::vector<double>& dx) {
    spendText(static_cast<std::uint64_t>(text.size()));
    if (inPath_) {
        return;
    }
    const QTransform transform = toOutput();
    const QPointF start = (state_.textAlign & kTaUpdateCp) ? state_.position : reference;
    const QPointF origin = transform.map(start);
    if (!std::isfinite(origin.x()) || !std::isfinite(origin.y())) {
        return;
    }
    if ((options & kEtoOpaque) && opaqueBox) {
        QPainterPath box;
        box.addRect(transform.mapRect(opaqueBox->normalized()));
        if (finiteRect(box.controlPointRect())) {
            canvas_.fillPath(box, QBrush(state_.backgroundColor));
        }
    }
    const LogFont& logFont = state_.font;
    const double heightScale = std::hypot(transform.m21(), transform.m22());
    const double widthScale = std::hypot(transform.m11(), transform.m12());
    double pixels =
        (logFont.height == 0 ? kDefaultFontHeight : std::abs(static_cast<double>(logFont.height))) *
        (logFont.height == 0 ? lengthScale(setup_.deviceToOutput) : heightScale);
    // Text many times taller than the picture shows nothing but a blot; it is left out.
    const double tallest = 4 * std::max(setup_.output.width(), setup_.output.height()) + 64;
    if (!(pixels >= 1) || pixels > tallest || text.isEmpty()) {
        return;
    }
    QFont font(logFont.face.isEmpty() ? QStringLiteral("Arial") : logFont.face);
    font.setPixelSize(static_cast<int>(std::lround(pixels)));
    if (logFont.height > 0) {
        // A positive height is the whole cell; the font's size is its character height.
        const double cell = QFontMetricsF(font).height();
        if (cell > 0) {
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels * pixels / cell))));
        }
    }
    font.setWeight(
        static_cast<QFont::Weight>(std::clamp(logFont.weight == 0 ? 400 : logFont.weight, 100, 900)));
    font.setItalic(logFont.italic);
    font.setUnderline(logFont.underline);
    font.setStrikeOut(logFont.strikeOut);
    if (logFont.width != 0) {
        const double average = QFontMetricsF(font).averageCharWidth();
        if (average > 0) {
            const double wanted = std::abs(static_cast<double>(logFont.width)) * widthScale;
            font.setStretch(static_cast<int>(std::clamp(std::lround(100 * wanted / average), 1L, 4000L)));
        }
    }
    const QFontMetricsF metrics(font);
    double advance = 0;
    if (!dx.empty()) {
        for (double step : dx) {
            advance += step * widthScale;
        }
    } else {
        advance = metrics.horizontalAdvance(text);
    }
    double shiftX = 0;
    if ((state_.textAlign & kTaCenter) == kTaCenter) {
        shiftX = -advance / 2;
    } else if (state_.textAlign & kTaRight) {
        shiftX = -advance;
    }
    double shiftY = metrics.ascent();
    if ((state_.textAlign & kTaBaseline) == kTaBaseline) {
        shiftY = 0;
    } else if (state_.textAlign & kTaBottom) {
        shiftY = -metrics.descent();
    }
    // Text follows a rotating world transform and its own escapement, but is never mirrored by the mapping.
    const double worldAngle = std::atan2(state_.world.m12(), state_.world.m11()) * 180 / kPi;
    QTransform placement;
    placement.translate(origin.x(), origin.y());
    placement.rotate(worldAngle - logFont.escapement / 10.0);
    placement.translate(shiftX, shiftY);
    if (state_.opaqueBackground) {
        QPainterPath box;
        box.addRect(QRectF(0, -metrics.ascent(), advance, metrics.ascent() + metrics.descent()));
        canvas_.fillPath(placement.map(box), QBrush(state_.backgroundColor));
    }
    if (dx.empty()) {
        canvas_.drawText(placement, text, font, state_.textColor);
    } else {
        double x = 0;
        for (int i = 0; i < text.size() && std::isfinite(x); ++i) {
            canvas_.drawText(QTransform::fromTranslate(x, 0) * placement, text.mid(i, 1), font,
                             state_.textColor);
            x += static_cast<std::size_t>(i) < dx.size() ? dx[static_cast<std::size_t>(i)] * widthScale : 0;
        }
    }
    if (state_.textAlign & kTaUpdateCp) {
        state_.position = start + QPointF(widthScale > 0 ? advance / widthScale : 0, 0);
    }
}

// ---- bitmaps ----

void DeviceContext::blit(const QRectF& target, const QImage& image, std::uint32_t rop) {
    if (inPath_ || target.width() == 0 || target.height() == 0) {
        return;
    }
    const std::uint32_t operation = (rop >> 16) & 0xFF;
    if (image.isNull()) {
        QPainterPath box;
        box.addRect(toOutput().mapRect(target.normalized()));
        if (!finiteRect(box.controlPointRect())) {
            return;
        }
        if (operation == 0xF0) {
            fillDevice(box);
        } else if (operation == 0x00 || operation == 0xFF) {
            canvas_.fillPath(box, QBrush(operation == 0 ? Qt::black : Qt::white));
        }
        return;
    }
    BlitMode mode;
    QImage source = image;
    switch (operation) {
        case 0xCC:  // SRCCOPY
        case 0xC0:  // MERGECOPY
            mode = BlitMode::Copy;
            break;
        case 0x33:  // NOTSRCCOPY
            source.invertPixels();
            mode = BlitMode::Copy;
            break;
        case 0x88:  // SRCAND
            mode = BlitMode::And;
            break;
        case 0xEE:  // SRCPAINT
            mode = BlitMode::Or;
            break;
        case 0x66:  // SRCINVERT
            mode = BlitMode::Xor;
            break;
        default:
            return;
    }
    const QTransform placement = QTransform(target.width() / source.width(), 0, 0,
                                            target.height() / source.height(), target.x(), target.y()) *
                                 toOutput();
    if (finite(placement)) {
        canvas_.drawImage(placement, source, mode);
    }
}

// ---- text decoding ----

QString decodeAnsiText(const ByteView& bytes, int charset) {
    QString text;
    text.reserve(static_cast<int>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char code = bytes.data()[i];
        switch (charset) {
            case kOemCharset:
                text += QChar(codepage::cp866ToUnicode(code));
                break;
            case kSymbolCharset:
                text += QChar(code);
                break;
            default:
                text += QChar(codepage::win1251ToUnicode(code));
                break;
        }
    }
    return text;
}

}  // namespace metafile
