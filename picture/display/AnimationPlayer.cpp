#include "picture/display/AnimationPlayer.h"

#include <algorithm>
#include <cstring>

#include "picture/PictureError.h"

AnimationPlayer::AnimationPlayer(Animation animation) : animation_(std::move(animation)) {
    if (animation_.isStill()) {
        return;
    }
    canvas_ = QImage(animation_.screen, QImage::Format_ARGB32_Premultiplied);
    if (canvas_.isNull()) {
        throw PictureError("Недостаточно памяти для изображения");
    }
    startOver();
}

void AnimationPlayer::advance() {
    if (frameCount() < 2) {
        return;
    }
    const AnimationFrame& shown = animation_.frames[static_cast<std::size_t>(index_)];
    if (++index_ == frameCount()) {
        startOver();
        return;
    }
    dispose(shown);
    paint(animation_.frames[static_cast<std::size_t>(index_)]);
}

void AnimationPlayer::startOver() {
    index_ = 0;
    saved_ = QImage();
    canvas_.fill(Qt::transparent);
    paint(animation_.frames.front());
}

void AnimationPlayer::dispose(const AnimationFrame& shown) {
    const QRect& area = shown.area;
    if (shown.disposal == Disposal::Clear) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(canvas_.scanLine(y)) + area.left();
            std::fill(row, row + area.width(), QRgb{0});
        }
    } else if (shown.disposal == Disposal::RestorePrevious && !saved_.isNull()) {
        for (int y = 0; y < saved_.height(); ++y) {
            std::memcpy(canvas_.scanLine(area.top() + y) + area.left() * 4, saved_.constScanLine(y),
                        static_cast<std::size_t>(saved_.width()) * 4);
        }
    }
    saved_ = QImage();
}

void AnimationPlayer::paint(const AnimationFrame& frame) {
    const QRect& area = frame.area;
    if (frame.disposal == Disposal::RestorePrevious) {
        saved_ = canvas_.copy(area);
    }
    if (area.isEmpty()) {
        return;
    }
    const FramePalette& palette = animation_.palettes[static_cast<std::size_t>(frame.palette)];
    const unsigned char* source = frame.indices.data();
    uchar* const bits = canvas_.bits();
    const qsizetype stride = canvas_.bytesPerLine();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* target = reinterpret_cast<QRgb*>(bits + y * stride) + area.left();
        for (int x = 0; x < area.width(); ++x) {
            const QRgb colour = palette[source[x]];
            target[x] = colour != 0 ? colour : target[x];
        }
        source += area.width();
    }
}
