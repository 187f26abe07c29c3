#pragma once
// A decoded picture: one frame for a still picture, every composed frame of an animation.

#include <QImage>
#include <vector>

struct AnimationFrame {
    QImage image;     // the whole picture as it looks while this frame shows
    int delayMs = 0;  // how long it shows
};

struct Animation {
    std::vector<AnimationFrame> frames;
    int repeats = 0;  // how many times the sequence plays again after the first time; -1 for ever

    static Animation still(const QImage& image) { return Animation{{AnimationFrame{image, 0}}, 0}; }
};
