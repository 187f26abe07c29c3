#pragma once
// A decoded picture: a still image, or an animation whose frames are kept as the file stores them (the colour
// indices of the rectangle each one paints) and composed one after another while it plays (AnimationPlayer).

#include <QImage>
#include <QRect>
#include <QSize>
#include <array>
#include <vector>

// What becomes of a frame's rectangle once the next frame is due.
enum class Disposal { Keep, Clear, RestorePrevious };

// A frame's 256 colours; an entry with zero alpha (the transparent index, an index past the file's colour
// map) leaves the pixel under it as it was.
using FramePalette = std::array<QRgb, 256>;

struct AnimationFrame {
    QRect area;                          // what the frame paints, within the screen
    std::vector<unsigned char> indices;  // area.width() x area.height(), row by row from the top
    int palette = 0;                     // in Animation::palettes
    Disposal disposal = Disposal::Keep;
    int delayMs = 0;  // how long the frame shows
};

struct Animation {
    QImage image;  // a still picture; null for an animation
    QSize screen;  // an animation's size; its frames are composed on a screen that starts transparent
    std::vector<AnimationFrame> frames;
    std::vector<FramePalette> palettes;
    int repeats = 0;  // how many times the sequence plays again after the first time; -1 for ever

    static Animation still(const QImage& picture) {
        Animation animation;
        animation.image = picture;
        return animation;
    }
    bool isStill() const { return frames.empty(); }
    int frameCount() const { return isStill() ? (image.isNull() ? 0 : 1) : static_cast<int>(frames.size()); }
};
