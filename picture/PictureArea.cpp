#include "picture/PictureArea.h"

#include <QPainter>

#include "picture/FitRule.h"

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PictureArea::showNextFrame);
}

void PictureArea::setPicture(Animation picture) {
    timer_.stop();
    picture_ = std::move(picture);
    frame_ = 0;
    playsLeft_ = picture_.repeats;
    scheduleNextFrame();
    update();
}

QImage PictureArea::currentFrame() const {
    return hasPicture() ? picture_.frames[frame_].image : QImage();
}

void PictureArea::paintEvent(QPaintEvent*) {
    if (!hasPicture()) {
        return;
    }
    const QImage& image = picture_.frames[frame_].image;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(fitRect(image.size(), size()), image);
}

// An animation runs only while it can be seen, and goes on from the frame it stopped at.
void PictureArea::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    scheduleNextFrame();
}

void PictureArea::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_.stop();
}

void PictureArea::scheduleNextFrame() {
    const int frames = static_cast<int>(picture_.frames.size());
    const bool lastPlay = playsLeft_ == 0 && frame_ == frames - 1;
    if (frames > 1 && !lastPlay && isVisible()) {
        timer_.start(picture_.frames[frame_].delayMs);
    }
}

void PictureArea::showNextFrame() {
    ++frame_;
    if (frame_ == static_cast<int>(picture_.frames.size())) {
        frame_ = 0;
        if (playsLeft_ > 0) {
            --playsLeft_;
        }
    }
    update();
    scheduleNextFrame();
}
