#include "platform/Fonts.h"

#include <QStringList>

QFont makeFont(Face face, int pixelHeight, int style) {
    QFont font;
    switch (face) {
        case Face::Arial:
            font.setFamilies({"Liberation Sans", "Arial"});
            break;
        case Face::MsSansSerif:
            font.setFamilies({"DejaVu Sans"});
            break;
        case Face::Fixedsys:
            font.setFamilies({"Terminus", "DejaVu Sans Mono"});
            font.setStyleHint(QFont::Monospace);
            break;
    }
    font.setPixelSize(pixelHeight);
    font.setBold((style & Bold) != 0);
    font.setItalic((style & Italic) != 0);
    font.setUnderline((style & Underline) != 0);
    return font;
}
