#pragma once
// The classic Windows faces the windows are drawn in, mapped to the fonts the project installs, at pixel
// heights.

#include <QFont>

enum class Face {
    Arial,        // Liberation Sans
    MsSansSerif,  // DejaVu Sans
    Fixedsys,     // Terminus, else DejaVu Sans Mono
};

enum FontStyle { Plain = 0, Bold = 1, Italic = 2, Underline = 4 };

QFont makeFont(Face face, int pixelHeight, int style = Plain);
