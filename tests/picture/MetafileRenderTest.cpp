// The metafile players checked through the calls they make on a recording canvas.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <fstream>

#include "MetafileTestSupport.h"
#include "picture/metafile/Metafile.h"
#include "picture/metafile/MetafileRenderer.h"
#include "platform/files/FileError.h"

namespace {

enum : std::uint32_t {
    kPolyBezier = 2,
    kPolygon = 3,
    kPolyline = 4,
    kSetWindowExtEx = 9,
    kSetWindowOrgEx = 10,
    kSetViewportExtEx = 11,
    kSetViewportOrgEx = 12,
    kSetMapMode = 17,
    kSetBkMode = 18,
    kSetTextAlign = 22,
    kSetTextColor = 24,
    kMoveToEx = 27,
    kExcludeClipRect = 29,
    kIntersectClipRect = 30,
    kSaveDC = 33,
    kRestoreDC = 34,
    kSetWorldTransform = 35,
    kModifyWorldTransform = 36,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrushIndirect = 39,
    kDeleteObject = 40,
    kRectangle = 43,
    kLineTo = 54,
    kBeginPath = 59,
    kEndPath = 60,
    kCloseFigure = 61,
    kFillPath = 62,
    kStrokePath = 64,
    kStretchDIBits = 81,
    kExtCreateFontIndirectW = 82,
    kExtTextOutA = 83,
    kExtTextOutW = 84,
    kPolygon16 = 86,
    kPolyPolygon16 = 91,
};

constexpr std::uint32_t kNullPen = 0x80000008;
constexpr std::uint32_t kNullBrush = 0x80000005;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0xFF0000;

std::uint32_t u(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}

// A builder whose first records make a red brush (object 1) current and the pen null, so a shape shows up as
// one fill call.
EmfBuilder redFillOnly() {
    EmfBuilder emf;
    emf.add(kCreateBrushIndirect, {1, 0, kRed, 0}).add(kSelectObject, {1}).add(kSelectObject, {kNullPen});
    return emf;
}

std::vector<std::string> only(const std::vector<std::string>& calls, const std::string& kind) {
    std::vector<std::string> kept;
    for (const std::string& call : calls) {
        if (call.rfind(kind, 0) == 0) {
            kept.push_back(call);
        }
    }
    return kept;
}

std::string polyPayload16(const std::vector<std::pair<int, int>>& points) {
    std::string payload(16, '\0');
    appendU32(payload, static_cast<std::uint32_t>(points.size()));
    for (const auto& [x, y] : points) {
        appendU16(payload, static_cast<std::uint32_t>(x) & 0xFFFF);
        appendU16(payload, static_cast<std::uint32_t>(y) & 0xFFFF);
    }
    return payload;
}

std::vector<std::uint32_t> poly32(const std::vector<std::pair<int, int>>& points) {
    std::vector<std::uint32_t> words = {0, 0, 0, 0, static_cast<std::uint32_t>(points.size())};
    for (const auto& [x, y] : points) {
        words.push_back(u(x));
        words.push_back(u(y));
    }
    return words;
}

std::vector<std::uint32_t> transformWords(float m11, float m12, float m21, float m22, float dx, float dy) {
    return {floatBits(m11), floatBits(m12), floatBits(m21), floatBits(m22), floatBits(dx), floatBits(dy)};
}

// EMR_MODIFYWORLDTRANSFORM's words: a move by `dx`, combined in `mode` (2 left multiply, 3 right multiply).
std::vector<std::uint32_t> moveCombinedWords(float dx, std::uint32_t mode) {
    auto words = transformWords(1, 0, 0, 1, dx, 0);
    words.push_back(mode);
    return words;
}

// EMR_EXTCREATEFONTINDIRECTW for object `index`.
std::string fontPayload(std::uint32_t index, std::int32_t height, std::uint8_t charset,
                        const std::u16string& face) {
    std::string payload;
    appendU32(payload, index);
    appendU32(payload, u(height));
    for (int i = 0; i < 3; ++i) {
        appendU32(payload, 0);
    }
    appendU32(payload, 400);
    payload += std::string{0, 0, 0, static_cast<char>(charset), 0, 0, 0, 0};
    for (std::size_t i = 0; i < 32; ++i) {
        appendU16(payload, i < face.size() ? face[i] : 0);
    }
    return payload;
}

// EMR_EXTTEXTOUTA/W at (x, y) with the characters (bytes or UTF-16 units) and optional advances.
std::string textPayload(int x, int y, const std::string& chars, std::uint32_t count,
                        const std::vector<int>& dx = {}) {
    std::string payload(16, '\0');
    appendU32(payload, 1);
    appendF32(payload, 1);
    appendF32(payload, 1);
    appendU32(payload, u(x));
    appendU32(payload, u(y));
    appendU32(payload, count);
    appendU32(payload, 76);
    appendU32(payload, 0);
    payload += std::string(16, '\0');
    std::string padded = chars;
    padded.resize((padded.size() + 3) & ~std::size_t{3}, '\0');
    appendU32(payload, dx.empty() ? 0 : static_cast<std::uint32_t>(76 + padded.size()));
    payload += padded;
    for (int step : dx) {
        appendU32(payload, u(step));
    }
    return payload;
}

std::string utf16(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) {
        appendU16(bytes, unit);
    }
    return bytes;
}

struct MappingCase {
    const char* name;
    std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>> records;
    std::vector<std::uint32_t> rectangle;
    std::string fill;
};

TEST(MetafileRender, MapsLogicalUnitsToOutputPixels) {
    const float nan = std::nanf("");
    const std::vector<MappingCase> cases = {
        {"text mode", {}, {10, 10, 20, 30}, "fill #ff0000 10,10 10x20"},
        {"anisotropic",
         {{kSetMapMode, {8}}, {kSetWindowExtEx, {1000, 1000}}, {kSetViewportExtEx, {96, 96}}},
         {0, 0, 500, 500},
         "fill #ff0000 0,0 48x48"},
        {"isotropic keeps the aspect",
         {{kSetMapMode, {7}}, {kSetWindowExtEx, {100, 50}}, {kSetViewportExtEx, {96, 96}}},
         {0, 0, 100, 50},
         "fill #ff0000 0,0 96x48"},
        {"hi-metric turns y up", {{kSetMapMode, {3}}}, {0, 0, 2540, u(-1270)}, "fill #ff0000 0,0 96x48"},
        {"window origin", {{kSetWindowOrgEx, {100, 100}}}, {100, 100, 110, 110}, "fill #ff0000 0,0 10x10"},
        {"viewport origin", {{kSetViewportOrgEx, {5, 5}}}, {0, 0, 10, 10}, "fill #ff0000 5,5 10x10"},
        {"zero window extent is refused",
         {{kSetMapMode, {8}}, {kSetWindowExtEx, {0, 10}}},
         {0, 0, 10, 10},
         "fill #ff0000 0,0 10x10"},
        {"world scale",
         {{kSetWorldTransform, transformWords(2, 0, 0, 2, 0, 0)}},
         {1, 1, 5, 5},
         "fill #ff0000 2,2 8x8"},
        {"left multiply applies the new transform first",
         {{kSetWorldTransform, transformWords(2, 0, 0, 2, 0, 0)},
          {kModifyWorldTransform, moveCombinedWords(10, 2)}},
         {0, 0, 5, 5},
         "fill #ff0000 20,0 10x10"},
        {"right multiply applies it last",
         {{kSetWorldTransform, transformWords(2, 0, 0, 2, 0, 0)},
          {kModifyWorldTransform, moveCombinedWords(10, 3)}},
         {0, 0, 5, 5},
         "fill #ff0000 10,0 10x10"},
        {"NaN transform is refused",
         {{kSetWorldTransform, transformWords(nan, 0, 0, 1, 0, 0)}},
         {0, 0, 5, 5},
         "fill #ff0000 0,0 5x5"},
        {"singular transform is refused",
         {{kSetWorldTransform, transformWords(1, 1, 1, 1, 0, 0)}},
         {0, 0, 5, 5},
         "fill #ff0000 0,0 5x5"},
    };
    for (const MappingCase& c : cases) {
        EmfBuilder emf = redFillOnly();
        for (const auto& [type, words] : c.records) {
            emf.add(type, words);
        }
        emf.add(kRectangle, c.rectangle);
        EXPECT_EQ(record(emf.build()), std::vector<std::string>{c.fill}) << c.name;
    }
}

TEST(MetafileRender, RestoreDCBringsBackObjectsAndMapping) {
    EmfBuilder emf = redFillOnly();
    emf.add(kCreateBrushIndirect, {2, 0, kBlue, 0})
        .add(kSaveDC, {})
        .add(kSelectObject, {2})
        .add(kSetWindowOrgEx, {50, 50})
        .add(kRectangle, {50, 50, 60, 60})
        .add(kRestoreDC, {u(-1)})
        .add(kRectangle, {0, 0, 10, 10})
        .add(kRestoreDC, {u(-1)})  // nothing left to restore: ignored
        .add(kRectangle, {0, 0, 5, 5});
    EXPECT_EQ(record(emf.build()),
              (std::vector<std::string>{"fill #0000ff 0,0 10x10", "fill #ff0000 0,0 10x10",
                                        "fill #ff0000 0,0 5x5"}));
}

TEST(MetafileRender, ObjectsAreSelectedByIndexAndSurviveDeletionWhileSelected) {
    EmfBuilder emf = redFillOnly();
    emf.add(kDeleteObject, {1})
        .add(kCreateBrushIndirect, {1, 0, kBlue, 0})
        .add(kRectangle, {0, 0, 1, 1})  // the deleted red brush is still the selected one
        .add(kSelectObject, {1})
        .add(kRectangle, {0, 0, 2, 2})
        .add(kSelectObject, {99})                         // outside the table: ignored
        .add(kCreateBrushIndirect, {0xFFFF, 0, kRed, 0})  // outside the table: ignored
        .add(kSelectObject, {0xFFFF})
        .add(kRectangle, {0, 0, 3, 3})
        .add(kCreatePen, {3, 0, 3, 0, 0x00FF00})
        .add(kSelectObject, {3})
        .add(kSelectObject, {kNullBrush})
        .add(kRectangle, {0, 0, 4, 4});
    EXPECT_EQ(record(emf.build()),
              (std::vector<std::string>{"fill #ff0000 0,0 1x1", "fill #0000ff 0,0 2x2",
                                        "fill #0000ff 0,0 3x3", "stroke #00ff00 w=3 0,0 4x4"}));
}

TEST(MetafileRender, PolygonsIn16And32BitForms) {
    EmfBuilder emf = redFillOnly();
    emf.addRaw(kPolygon16, polyPayload16({{0, 0}, {10, 0}, {10, 10}}))
        .add(kPolygon, poly32({{0, 0}, {70000, 0}, {0, 20}}))
        .add(kSetWorldTransform, transformWords(0.001f, 0, 0, 1, 0, 0))
        .add(kPolygon, poly32({{0, 0}, {70000, 0}, {0, 20}}))
        .add(kSetWorldTransform, transformWords(1, 0, 0, 1, 0, 0))
        .add(kCreatePen, {2, 0, 1, 0, 0})
        .add(kSelectObject, {2})
        .add(kPolyline, poly32({{0, 0}, {5, 5}}))
        .add(kPolyBezier, poly32({{0, 0}, {0, 10}, {10, 10}, {10, 0}}));
    std::string twoSquares(16, '\0');
    appendU32(twoSquares, 2);
    appendU32(twoSquares, 8);
    appendU32(twoSquares, 4);
    appendU32(twoSquares, 4);
    for (int corner : {0, 20}) {
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {10, 0}, {10, 10}, {0, 10}}) {
            appendU16(twoSquares, static_cast<std::uint32_t>(x + corner));
            appendU16(twoSquares, static_cast<std::uint32_t>(y + corner));
        }
    }
    emf.addRaw(kPolyPolygon16, twoSquares);
    EXPECT_EQ(record(emf.build()),
              (std::vector<std::string>{"fill #ff0000 0,0 10x10", "fill #ff0000 0,0 70000x20",
                                        "fill #ff0000 0,0 70x20", "stroke #000000 w=1 0,0 5x5",
                                        "stroke #000000 w=1 0,0 10x7.5", "fill #ff0000 0,0 30x30",
                                        "stroke #000000 w=1 0,0 30x30"}));
}

TEST(MetafileRender, PathBracketCollectsFiguresUntilFilledOrStroked) {
    EmfBuilder emf;
    emf.add(kBeginPath, {})
        .add(kMoveToEx, {0, 0})
        .add(kLineTo, {10, 0})
        .add(kLineTo, {10, 10})
        .add(kCloseFigure, {})
        .add(kEndPath, {})
        .add(kFillPath, {})
        .add(kBeginPath, {})
        .add(kRectangle, {0, 0, 4, 4})
        .add(kEndPath, {})
        .add(kStrokePath, {});
    EXPECT_EQ(record(emf.build()),
              (std::vector<std::string>{"fill #ffffff 0,0 10x10", "stroke #000000 w=1 0,0 4x4"}));
}

TEST(MetafileRender, ClipRectanglesFollowSaveAndRestore) {
    EmfBuilder emf = redFillOnly();
    emf.add(kSaveDC, {})
        .add(kIntersectClipRect, {10, 10, 20, 20})
        .add(kRestoreDC, {u(-1)})
        .add(kExcludeClipRect, {0, 0, 48, 96});
    EXPECT_EQ(only(record(emf.build()), "clip"),
              (std::vector<std::string>{"clip 10,10 10x10", "clip none", "clip 48,0 48x96"}));
}

TEST(MetafileRender, TextInEveryEncodingAndAlignment) {
    EmfBuilder emf;
    emf.addRaw(kExtCreateFontIndirectW, fontPayload(1, -20, 1, u"Arial"))
        .addRaw(kExtCreateFontIndirectW, fontPayload(2, -20, 255, u"Arial"))
        .add(kSelectObject, {1})
        .add(kSetTextColor, {kBlue})
        .add(kSetBkMode, {1})
        .add(kSetTextAlign, {24})
        .addRaw(kExtTextOutW, textPayload(10, 40, utf16(u"Привет"), 6))
        .addRaw(kExtTextOutA, textPayload(10, 40, "\xCF\xF0\xE8\xE2\xE5\xF2", 6))
        .add(kSelectObject, {2})
        .addRaw(kExtTextOutA, textPayload(10, 40, "\x8F\xE0\xA8\xA2\xA5\xE2", 6))
        .add(kSetTextAlign, {24 | 6})
        .addRaw(kExtTextOutW, textPayload(50, 40, utf16(u"ab"), 2, {10, 10}))
        .add(kSetTextAlign, {24 | 1})
        .add(kMoveToEx, {5, 40})
        .addRaw(kExtTextOutW, textPayload(0, 0, utf16(u"c"), 1, {10}))
        .addRaw(kExtTextOutW, textPayload(0, 0, utf16(u"d"), 1, {10}));
    EXPECT_EQ(record(emf.build()),
              (std::vector<std::string>{
                  "text #0000ff 'Привет' at 10,40 px=20", "text #0000ff 'Привет' at 10,40 px=20",
                  "text #0000ff 'Привет' at 10,40 px=20", "text #0000ff 'a' at 40,40 px=20",
                  "text #0000ff 'b' at 50,40 px=20", "text #0000ff 'c' at 5,40 px=20",
                  "text #0000ff 'd' at 15,40 px=20"}));
}

// A 2 x 2 bitmap drawn by a StretchDIBits record at 10,10 stretched to 20 x 20; returns the image drawn.
static QImage drawnByStretchDIBits(const std::string& info, const std::string& bits) {
    std::string payload(16, '\0');
    const auto infoOffset = static_cast<std::uint32_t>(80);
    const auto bitsOffset = static_cast<std::uint32_t>(80 + info.size());
    for (std::uint32_t word :
         {10U, 10U, 0U, 0U, 2U, 2U, infoOffset, static_cast<std::uint32_t>(info.size()), bitsOffset,
          static_cast<std::uint32_t>(bits.size()), 0U, 0x00CC0020U, 20U, 20U}) {
        appendU32(payload, word);
    }
    payload += info + bits;
    EmfBuilder emf;
    emf.addRaw(kStretchDIBits, payload);
    const metafile::Document document = metafile::readDocument(emf.build());
    RecordingCanvas canvas;
    metafile::render(document, canvas, QSizeF(document.size));
    EXPECT_EQ(canvas.calls, std::vector<std::string>{"image 2x2 copy at 10,10 20x20"});
    return canvas.images.empty() ? QImage() : canvas.images.front();
}

// The bitmap comes out top row first; run-length rows decode as in a BMP file, and the pixels the codes skip
// are drawn black, as the bitmap is opaque.
TEST(MetafileRender, StretchDIBitsDrawsTheBitmapTopRowFirst) {
    const struct {
        const char* name;
        std::string info;
        std::string bits;
        std::vector<QRgb> topRowFirst;
    } cases[] = {
        {"24 bits: bottom row red, green; top row blue, white",
         dibInfo(2, 2, 24),
         std::string("\x00\x00\xFF\x00\xFF\x00\0\0\xFF\x00\x00\xFF\xFF\xFF\0\0", 16),
         {qRgb(0, 0, 255), qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 255, 0)}},
        {"RLE8: bottom row red, green; top row skips one pixel, then green",
         dibInfo(2, 2, 8, {0xFF0000, 0x00FF00}, 1),
         std::string("\x01\x00\x01\x01\x00\x00\x00\x02\x01\x00\x01\x01\x00\x01\x00\x00", 16),
         {qRgb(0, 0, 0), qRgb(0, 255, 0), qRgb(255, 0, 0), qRgb(0, 255, 0)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = drawnByStretchDIBits(c.info, c.bits);
        ASSERT_EQ(image.size(), QSize(2, 2));
        EXPECT_EQ(
            (std::vector<QRgb>{image.pixel(0, 0), image.pixel(1, 0), image.pixel(0, 1), image.pixel(1, 1)}),
            c.topRowFirst);
    }
}

// ---- placeable WMF ----

enum : std::uint16_t {
    kWmfSetWindowOrg = 0x020B,
    kWmfSetWindowExt = 0x020C,
    kWmfRectangle = 0x041B,
    kWmfPolygon = 0x0324,
    kWmfSelectObject = 0x012D,
    kWmfDeleteObject = 0x01F0,
    kWmfCreatePen = 0x02FA,
    kWmfCreateBrush = 0x02FC,
    kWmfCreateFont = 0x02FB,
    kWmfTextOut = 0x0521,
    kWmfSetTextAlign = 0x012E,
    kWmfSetBkMode = 0x0102,
    kWmfIntersectClipRect = 0x0416,
    kWmfDibStretchBlt = 0x0B41,
    kWmfCreatePalette = 0x00F7,
};

TEST(MetafileRender, PlaceableWmfStretchesItsWindowAndFillsObjectSlotsInOrder) {
    WmfBuilder wmf(1000, 500, 1000);
    wmf.add(kWmfSetWindowOrg, {0, 0})
        .add(kWmfSetWindowExt, {500, 1000})
        .add(kWmfCreatePen, {5, 0, 0, 0, 0})    // slot 0: null pen
        .add(kWmfCreatePalette, {0x300, 0})     // slot 1: not drawn, but it takes the slot
        .add(kWmfCreateBrush, {0, 0xFF, 0, 0})  // slot 2: red
        .add(kWmfSelectObject, {0})
        .add(kWmfSelectObject, {2})
        .add(kWmfRectangle, {250, 500, 0, 0})
        .add(kWmfDeleteObject, {1})
        .add(kWmfCreateBrush, {0, 0, 0xFF, 0})  // slot 1 again: blue
        .add(kWmfSelectObject, {1})
        .add(kWmfPolygon, {3, 0, 0, 100, 0, 100, 100})
        .add(kWmfIntersectClipRect, {250, 500, 0, 0});
    EXPECT_EQ(record(wmf.build()), (std::vector<std::string>{"fill #ff0000 0,0 48x24",
                                                             "fill #0000ff 0,0 9.6x9.6", "clip 0,0 48x24"}));
}

TEST(MetafileRender, WmfTextUsesTheFontCharacterSet) {
    std::string font;
    for (std::uint32_t word : {static_cast<std::uint32_t>(-20) & 0xFFFF, 0U, 0U, 0U, 400U}) {
        appendU16(font, word);
    }
    font += std::string{0, 0, 0, static_cast<char>(204), 0, 0, 0, 0};
    font += "Arial";
    font += '\0';
    std::string text;
    appendU16(text, 3);
    text += "\xCF\xF0\xE8";
    text += '\0';
    appendU16(text, 40);
    appendU16(text, 10);
    WmfBuilder wmf(96, 96);
    wmf.addRaw(kWmfCreateFont, font)
        .add(kWmfSelectObject, {0})
        .add(kWmfSetBkMode, {1})
        .add(kWmfSetTextAlign, {24})
        .addRaw(kWmfTextOut, text);
    EXPECT_EQ(record(wmf.build()), std::vector<std::string>{"text #000000 'При' at 10,40 px=20"});
}

TEST(MetafileRender, WmfDibStretchBltDecodesAMonochromeBitmap) {
    std::string payload;
    appendU32(payload, 0x00CC0020);
    for (int word : {1, 8, 0, 0, 20, 40, 5, 5}) {  // source 8 x 1 at 0,0; target 40 x 20 at 5,5
        appendU16(payload, static_cast<std::uint32_t>(word));
    }
    payload += dibInfo(8, 1, 1, {0x000000, 0xFFFFFF});
    payload += std::string("\xAA\0\0\0", 4);
    WmfBuilder wmf(96, 96);
    wmf.addRaw(kWmfDibStretchBlt, payload);
    const metafile::Document document = metafile::readDocument(wmf.build());
    RecordingCanvas canvas;
    metafile::render(document, canvas, QSizeF(document.size));
    ASSERT_EQ(canvas.calls, std::vector<std::string>{"image 8x1 copy at 5,5 40x20"});
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(canvas.images.front().pixel(x, 0), x % 2 == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0)) << x;
    }
}

// ---- size and format ----

struct SizeCase {
    const char* name;
    std::string bytes;
    QSize size;
};

TEST(MetafileRender, PictureSizeAt96Dpi) {
    const std::vector<SizeCase> cases = {
        {"frame in hundredths of a millimetre", EmfBuilder(2540, 1270).build(), QSize(96, 48)},
        {"empty frame falls back to the bounds", EmfBuilder(0, 0).bounds(0, 0, 199, 99).build(),
         QSize(200, 100)},
        {"placeable box and units per inch", WmfBuilder(2880, 1440, 1440).build(), QSize(192, 96)},
        {"placeable box drawn right to left", WmfBuilder(-96, 48, 96).build(), QSize(96, 48)},
    };
    for (const SizeCase& c : cases) {
        EXPECT_EQ(metafile::readDocument(c.bytes).size, c.size) << c.name;
    }
}

TEST(MetafileLoad, DecidesByContentAndRendersOntoATransparentImage) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("picture.wmf").toStdString();
    EmfBuilder emf = redFillOnly();
    emf.add(kRectangle, {20, 20, 40, 40});
    std::ofstream(path, std::ios::binary) << emf.build();
    const QImage image = loadMetafile(path);
    EXPECT_EQ(image.size(), QSize(96, 96));
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(image.pixel(30, 30), qRgb(255, 0, 0));

    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << std::string("\x01\x00\x09\x00\x00\x03", 6) << std::string(40, '\0');
    try {
        loadMetafile(path);
        ADD_FAILURE() << "a WMF without the placeable header loaded";
    } catch (const PictureError& error) {
        EXPECT_NE(std::string(error.what()).find("без размещаемого заголовка"), std::string::npos)
            << error.what();
    }
    EXPECT_THROW(loadMetafile(folder.filePath("missing.wmf").toStdString()), FileError);
}

}  // namespace
