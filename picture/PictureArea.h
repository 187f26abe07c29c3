#pragma once
// The image area: holds at most one picture, draws it by the fit rule without smoothing, and plays the frames
// of an animation while it is visible. Where it draws nothing, what lies behind it shows through.

#include <QTimer>
#include <QWidget>

#include "picture/Animation.h"

class PictureArea : public QWidget {
    Q_OBJECT
  public:
    explicit PictureArea(QWidget* parent = nullptr);

    void setPicture(Animation picture);
    bool hasPicture() const { return !picture_.frames.empty(); }
    // The frame on show; a null image when there is no picture.
    QImage currentFrame() const;
    int currentFrameIndex() const { return frame_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void scheduleNextFrame();
    void showNextFrame();

    Animation picture_;
    int frame_ = 0;
    int playsLeft_ = 0;  // after the current one; -1 for ever
    QTimer timer_;
};
