#include "picture/display/PictureArea.h"

#include <QPainter>

#include "picture/display/FitRule.h"
#include "platform/HandlerGuard.h"

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, guardedSlot(this, &PictureArea::showNextFrame));
}

void PictureArea::setPicture(Animation picture) {
    timer_.stop();
    AnimationPlayer next(std::move(picture));  // may fail for want of memory: the old picture then stays
    player_ = std::move(next);
    playsLeft_ = player_.repeats();
    scheduleNextFrame();
    update();
}

void PictureArea::paintEvent(QPaintEvent*) {
    if (!hasPicture()) {
        return;
    }
    guarded([this] {
        const QImage& image = player_.frame();
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(fitRect(image.size(), size()), image);
    });
}

// An animation runs only while it can be seen, and goes on from the frame it stopped at.
void PictureArea::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    guarded([this] { scheduleNextFrame(); });
}

void PictureArea::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_.stop();
}

void PictureArea::scheduleNextFrame() {
    const int frames = player_.frameCount();
    const bool lastPlay = playsLeft_ == 0 && player_.frameIndex() == frames - 1;
    if (frames > 1 && !lastPlay && isVisible()) {
        timer_.start(player_.delayMs());
    }
}

void PictureArea::showNextFrame() {
    if (player_.frameIndex() == player_.frameCount() - 1 && playsLeft_ > 0) {
        --playsLeft_;
    }
    player_.advance();
    update();
    scheduleNextFrame();
}
