#pragma once
// The image area: holds at most one picture, draws it by the fit rule without smoothing, and plays the frames
// of an animation while it is visible. Where it draws nothing, what lies behind it shows through.

#include <QTimer>
#include <QWidget>

#include "picture/display/AnimationPlayer.h"

class PictureArea : public QWidget {
    Q_OBJECT
  public:
    explicit PictureArea(QWidget* parent = nullptr);

    void setPicture(Animation picture);
    bool hasPicture() const { return player_.frameCount() > 0; }
    // The frame on show; a null image when there is no picture.
    QImage currentFrame() const { return player_.frame(); }
    int currentFrameIndex() const { return player_.frameIndex(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void scheduleNextFrame();
    void showNextFrame();

    AnimationPlayer player_;
    int playsLeft_ = 0;  // after the current one; -1 for ever
    QTimer timer_;
};
