#pragma once
// Picture files made for the tests with the libraries' own encoders and Qt's writers, and hand-built bitmaps.

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Through Qt's writers: "JPEG" (libjpeg), "PNG" (libpng), "BMP", "ICO".
Bytes encodeWithQt(const QImage& image, const char* format, int quality = -1);

// Straight through libpng; `rows` are packed as the colour type and depth say.
struct PngSample {
    int width = 0;
    int height = 0;
    int colourType = 0;
    int bitDepth = 8;
    bool interlaced = false;
    Bytes rows;
    std::vector<QRgb> palette;  // for palette images
    Bytes paletteAlpha;         // tRNS for palette images
};
Bytes encodePng(const PngSample& sample);

// Straight through giflib.
struct GifFrameSample {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    Bytes indices;  // width x height, row by row in display order
    int disposal = 0;
    int transparentIndex = -1;
    int delayCs = 10;
    bool interlaced = false;
    std::vector<QRgb> localColours;
};
struct GifSample {
    int width = 0;
    int height = 0;
    std::vector<QRgb> colours;  // the global colour map; its size a power of two
    std::vector<GifFrameSample> frames;
    int loopCount = -1;  // -1: no looping extension
};
Bytes encodeGif(const GifSample& sample);

// A bitmap file built byte by byte: 40-byte header, the palette, then `pixels` (rows as stored, padded).
struct BmpSample {
    int width = 0;
    int height = 0;  // negative for top-down rows
    int bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::vector<QRgb> palette;
    std::vector<std::uint32_t> masks;  // after the header, for bit fields
    Bytes pixels;
};
Bytes encodeBmp(const BmpSample& sample);

void putU16(Bytes& bytes, std::size_t at, std::uint32_t value);
void putU32(Bytes& bytes, std::size_t at, std::uint32_t value);
Bytes truncated(const Bytes& bytes, std::size_t length);

void writeFile(const std::string& path, const Bytes& bytes);

// A solid-colour picture with a differently coloured square in its top-left quarter.
QImage markedPicture(int width, int height, QRgb background, QRgb mark,
                     QImage::Format format = QImage::Format_RGB32);
