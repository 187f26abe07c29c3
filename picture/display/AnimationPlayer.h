#pragma once
// Shows an animation frame by frame: one screen-sized canvas, on which each frame is painted over what the
// previous one left after its disposal. After the last frame the sequence starts again on a transparent
// screen, so every time round shows the same pixels. A still picture is its own single frame.

#include "picture/display/Animation.h"

class AnimationPlayer {
  public:
    AnimationPlayer() = default;
    // Shows the first frame. Throws PictureError when there is no memory for the canvas.
    explicit AnimationPlayer(Animation animation);

    int frameCount() const { return animation_.frameCount(); }
    int frameIndex() const { return index_; }
    int repeats() const { return animation_.repeats; }
    int delayMs() const { return animation_.isStill() ? 0 : animation_.frames[index_].delayMs; }
    // The picture as it looks while the current frame shows; null when there is no picture.
    const QImage& frame() const { return animation_.isStill() ? animation_.image : canvas_; }

    // To the next frame; after the last, to the first again.
    void advance();

  private:
    void startOver();
    void dispose(const AnimationFrame& shown);
    void paint(const AnimationFrame& frame);

    Animation animation_;
    QImage canvas_;
    QImage saved_;  // what lies under the current frame, when it is to be restored afterwards
    int index_ = 0;
};
