#pragma once
// Helpers for the metafile tests: builders that assemble EMF and placeable WMF files record by record, and a
// canvas that writes down what it is asked to draw.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <string>
#include <vector>

#include "picture/metafile/MetafileCanvas.h"
#include "picture/metafile/MetafileReader.h"

// Little-endian bytes.
void appendU16(std::string& out, std::uint32_t value);
void appendU32(std::string& out, std::uint32_t value);
void appendF32(std::string& out, float value);
void putU32(std::string& out, std::size_t at, std::uint32_t value);

// A bottom-up BITMAPINFOHEADER with its colour table, and the rows for it.
std::string dibInfo(int width, int height, int bitCount, const std::vector<std::uint32_t>& colours = {},
                    std::uint32_t compression = 0);

// An enhanced metafile. The reference device is 96 dpi, so with the default frame (25.4 x 25.4 mm, 96 x 96
// pixels) one logical unit of MM_TEXT is one output pixel.
class EmfBuilder {
  public:
    explicit EmfBuilder(std::int32_t frameRight = 2540, std::int32_t frameBottom = 2540,
                        std::uint16_t handles = 16);
    // A record of `type` with 32-bit parameters.
    EmfBuilder& add(std::uint32_t type, const std::vector<std::uint32_t>& words);
    // A record of `type` with a ready payload (padded to four bytes).
    EmfBuilder& addRaw(std::uint32_t type, const std::string& payload);
    // Sets the header's bounds (device pixels) and frame (0.01 mm).
    EmfBuilder& bounds(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    EmfBuilder& frame(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    // The finished file, with an EOF record.
    std::string build() const;

  private:
    std::string header_;
    std::string records_;
};

// A placeable WMF with the bounding box (0, 0, right, bottom) at `unitsPerInch`.
class WmfBuilder {
  public:
    WmfBuilder(std::int16_t right, std::int16_t bottom, std::uint16_t unitsPerInch = 96,
               std::uint16_t objects = 8);
    // A record of `function` with 16-bit parameters as they lie in the file.
    WmfBuilder& add(std::uint16_t function, const std::vector<std::int32_t>& words);
    WmfBuilder& addRaw(std::uint16_t function, const std::string& payload);
    std::string build() const;

  private:
    std::string placeable_;
    std::uint16_t objects_;
    std::string records_;
};

std::uint32_t floatBits(float value);

// One drawing call, summed up for comparing: "fill #rrggbb x,y wxh", "stroke #rrggbb w=N x,y wxh",
// "text #rrggbb 'text' at x,y px=N", "image WxH copy at x,y wxh", "clip x,y wxh" or "clip none".
class RecordingCanvas : public metafile::Canvas {
  public:
    void setClip(const std::optional<QRegion>& clip) override;
    void fillPath(const QPainterPath& path, const QBrush& brush) override;
    void strokePath(const QPainterPath& path, const QPen& pen) override;
    void drawText(const QTransform& placement, const QString& text, const QFont& font,
                  const QColor& color) override;
    void drawImage(const QTransform& placement, const QImage& image, metafile::BlitMode mode) override;

    std::vector<std::string> calls;
    std::vector<QImage> images;
};

// Reads and plays `bytes` onto a recording canvas at the picture's own size.
std::vector<std::string> record(const std::string& bytes);
