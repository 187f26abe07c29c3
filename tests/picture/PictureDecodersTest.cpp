// The decoders on pictures made by the libraries' own encoders, then on damaged and lying files.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <QBuffer>
#include <QColor>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <array>
#include <functional>

#include "PictureSamples.h"
#include "picture/PictureError.h"
#include "picture/decoders/BmpDecoder.h"
#include "picture/decoders/GifDecoder.h"
#include "picture/decoders/IconDecoder.h"
#include "picture/decoders/JpegDecoder.h"
#include "picture/decoders/PngDecoder.h"
#include "picture/display/AnimationPlayer.h"

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kTransparent = 0;

QImage jpeg(const Bytes& bytes) {
    return decodeJpeg(bytes.data(), bytes.size());
}
QImage png(const Bytes& bytes) {
    return decodePng(bytes.data(), bytes.size());
}
QImage bmp(const Bytes& bytes) {
    return decodeBmp(bytes.data(), bytes.size());
}
Animation gif(const Bytes& bytes) {
    return decodeGif(bytes.data(), bytes.size());
}

void expectNear(QRgb actual, QRgb expected, int tolerance) {
    EXPECT_NEAR(qRed(actual), qRed(expected), tolerance);
    EXPECT_NEAR(qGreen(actual), qGreen(expected), tolerance);
    EXPECT_NEAR(qBlue(actual), qBlue(expected), tolerance);
}

std::vector<QRgb> pixels(const QImage& image) {
    std::vector<QRgb> all;
    const QImage plain = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            all.push_back(plain.pixel(x, y));
        }
    }
    return all;
}

// Every pixel, row by row, against `expected`; a fully transparent expected pixel asks only for
// transparency, as its colour means nothing.
void expectPixels(const QImage& image, const std::vector<QRgb>& expected) {
    const std::vector<QRgb> actual = pixels(image);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (qAlpha(expected[i]) == 0) {
            EXPECT_EQ(qAlpha(actual[i]), 0) << i;
        } else {
            EXPECT_EQ(actual[i], expected[i]) << i;
        }
    }
}

// Every frame as the player shows it, `rounds` times round the sequence.
std::vector<std::vector<QRgb>> played(const Animation& animation, int rounds = 1) {
    AnimationPlayer player(animation);
    std::vector<std::vector<QRgb>> frames;
    for (int shown = 0; shown < rounds * player.frameCount(); ++shown) {
        frames.push_back(pixels(player.frame()));
        player.advance();
    }
    return frames;
}

std::vector<QRgb> firstFrame(const Bytes& bytes) {
    return played(gif(bytes)).front();
}

std::size_t find(const Bytes& bytes, std::initializer_list<unsigned char> pattern) {
    const auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    return static_cast<std::size_t>(at - bytes.begin());
}

void putU16BigEndian(Bytes& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<unsigned char>(value >> 8);
    bytes[at + 1] = static_cast<unsigned char>(value);
}

void putU32BigEndian(Bytes& bytes, std::size_t at, std::uint32_t value) {
    putU16BigEndian(bytes, at, value >> 16);
    putU16BigEndian(bytes, at + 2, value & 0xFFFF);
}

// ---- JPEG ----

// An Exif block whose first directory holds one entry: the orientation, a SHORT (its low byte at 24 or 25).
Bytes exif(int orientation, bool bigEndian = false) {
    Bytes payload = bigEndian ? Bytes{'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 1, 0x12, 0, 3, 0, 0, 0, 1}
                              : Bytes{'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 1, 3, 0, 1, 0, 0, 0};
    payload.insert(payload.begin(), {'E', 'x', 'i', 'f', 0, 0});
    payload.resize(payload.size() + 8, 0);
    payload[bigEndian ? 25 : 24] = static_cast<unsigned char>(orientation);
    return payload;
}

// The JPEG of 2 x 2 cells of `cell` pixels, coloured row by row, with an APP1 marker holding `payload` first.
Bytes cellsWithApp1(QSize cell, const std::array<QRgb, 4>& colours, const Bytes& payload) {
    QImage image(cell * 2, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < 4; ++i) {
        painter.fillRect(QRect(QPoint(i % 2 * cell.width(), i / 2 * cell.height()), cell),
                         QColor(colours[i]));
    }
    painter.end();
    Bytes bytes = encodeWithQt(image, "JPEG", 95);
    Bytes marker = {0xFF, 0xE1, 0, 0};
    putU16BigEndian(marker, 2, static_cast<std::uint32_t>(payload.size() + 2));
    marker.insert(marker.end(), payload.begin(), payload.end());
    bytes.insert(bytes.begin() + 2, marker.begin(), marker.end());
    return bytes;
}

// Each orientation stores the same upright picture (red, green / blue, white; 64 x 32) turned and mirrored
// its way, and the decoder turns it back; a block that names no orientation, or lies about its size, leaves
// the picture as stored. Cells of 16 pixels keep JPEG's colour blocks inside one cell.
TEST(JpegDecoder, ShowsThePictureInItsExifOrientation) {
    const QRgb r = kRed, g = kGreen, b = kBlue, w = qRgb(255, 255, 255);
    const std::array<QRgb, 4> upright = {r, g, b, w};
    const auto patched = [](Bytes bytes, std::size_t at, unsigned char value) {
        return bytes[at] = value, bytes;
    };
    const struct {
        const char* name;
        Bytes payload;
        std::array<QRgb, 4> stored;
        bool sideways;
    } cases[] = {
        {"1", exif(1), upright, false},
        {"2", exif(2), {g, r, w, b}, false},
        {"3", exif(3), {w, b, g, r}, false},
        {"4", exif(4), {b, w, r, g}, false},
        {"5", exif(5), {r, b, g, w}, true},
        {"6", exif(6), {g, w, r, b}, true},
        {"7", exif(7), {w, g, b, r}, true},
        {"8", exif(8), {b, r, w, g}, true},
        {"6, big-endian", exif(6, true), {g, w, r, b}, true},
        {"no Exif header", patched(exif(6), 0, 'e'), upright, false},
        {"cut in the entry", truncated(exif(6), 26), upright, false},
        {"directory past the end", patched(exif(6), 13, 0xFF), upright, false},
        {"orientation 9", exif(9), upright, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage shown =
            jpeg(cellsWithApp1(c.sideways ? QSize(16, 32) : QSize(32, 16), c.stored, c.payload));
        ASSERT_EQ(shown.size(), QSize(64, 32));
        for (int i = 0; i < 4; ++i) {
            expectNear(shown.pixel(16 + i % 2 * 32, 8 + i / 2 * 16), upright[i], 40);
        }
    }
}

TEST(JpegDecoder, DecodesBaselineProgressiveAndGrey) {
    const QImage source = markedPicture(64, 48, kRed, kBlue);
    const QImage baseline = jpeg(encodeWithQt(source, "JPEG", 95));
    ASSERT_EQ(baseline.size(), QSize(64, 48));
    expectNear(baseline.pixel(8, 8), kBlue, 12);
    expectNear(baseline.pixel(56, 40), kRed, 12);

    QByteArray progressive;
    {
        QBuffer buffer(&progressive);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "JPEG");
        writer.setProgressiveScanWrite(true);
        ASSERT_TRUE(writer.write(source));
    }
    const QImage fromProgressive = jpeg(Bytes(progressive.begin(), progressive.end()));
    expectNear(fromProgressive.pixel(8, 8), kBlue, 12);

    QImage grey(20, 10, QImage::Format_Grayscale8);
    grey.fill(QColor(128, 128, 128));
    expectNear(jpeg(encodeWithQt(grey, "JPEG", 95)).pixel(5, 5), qRgb(128, 128, 128), 3);
}

// ---- PNG ----

struct PngCase {
    const char* name;
    PngSample sample;
    std::vector<QRgb> expected;  // every pixel, row by row, as 0xAARRGGBB
};

TEST(PngDecoder, DecodesEveryColourTypeWithItsTransparency) {
    const std::vector<PngCase> cases = {
        {"rgba",
         {2, 1, PNG_COLOR_TYPE_RGBA, 8, false, {255, 0, 0, 255, 0, 255, 0, 128}, {}, {}},
         {kRed, qRgba(0, 255, 0, 128)}},
        {"palette with tRNS",
         {3, 1, PNG_COLOR_TYPE_PALETTE, 8, false, {0, 1, 2}, {kRed, kGreen, kBlue}, {0, 255}},
         {kTransparent, kGreen, kBlue}},
        {"grey",
         {2, 1, PNG_COLOR_TYPE_GRAY, 8, false, {0x80, 0xFF}, {}, {}},
         {qRgb(128, 128, 128), qRgb(255, 255, 255)}},
        {"grey 2-bit",
         {4, 1, PNG_COLOR_TYPE_GRAY, 2, false, {0x1B}, {}, {}},
         {qRgb(0, 0, 0), qRgb(85, 85, 85), qRgb(170, 170, 170), qRgb(255, 255, 255)}},
        {"grey and alpha 16-bit",
         {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, {0xFF, 0xFF, 0x00, 0x00}, {}, {}},
         {kTransparent | 0x00FFFFFF}},
        {"rgb 16-bit",
         {1, 1, PNG_COLOR_TYPE_RGB, 16, false, {0xFF, 0xFF, 0, 0, 0x80, 0}, {}, {}},
         {qRgb(255, 0, 128)}},
    };
    for (const PngCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = png(encodePng(c.sample));
        ASSERT_EQ(image.size(), QSize(c.sample.width, c.sample.height));
        expectPixels(image, c.expected);
    }
}

TEST(PngDecoder, InterlacedMatchesPlain) {
    PngSample sample{13, 11, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, {}};
    for (int i = 0; i < 13 * 11 * 3; ++i) {
        sample.rows.push_back(static_cast<unsigned char>(i * 7));
    }
    const QImage plain = png(encodePng(sample));
    sample.interlaced = true;
    EXPECT_EQ(pixels(png(encodePng(sample))), pixels(plain));
}

// Pictures of 8 MB and more go to memory of their own (see ImageBuffer); they must decode as Qt decodes them
// and behave as any image once decoded.
TEST(LargePictures, DecodeAsQtDoesAndOutliveTheirCopies) {
    const QImage source = markedPicture(2000, 1200, qRgba(255, 0, 0, 128), kBlue, QImage::Format_ARGB32);
    struct Case {
        const char* format;
        std::function<QImage(const Bytes&)> decode;
    };
    const Case cases[] = {{"PNG", png}, {"JPEG", jpeg}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const Bytes bytes = encodeWithQt(source, c.format, 95);
        QImage ours = c.decode(bytes);
        const QImage qt = QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), c.format);
        ASSERT_EQ(ours.size(), source.size());
        EXPECT_EQ(pixels(ours), pixels(qt));
        const QImage copy = ours;
        ours.fill(Qt::black);
        EXPECT_EQ(copy.pixel(1999, 1199), qt.pixel(1999, 1199));
        ours = QImage();
        EXPECT_EQ(copy.pixel(0, 0), qt.pixel(0, 0));
    }
}

// ---- GIF ----

TEST(GifDecoder, ComposesFramesByDisposalAndTransparency) {
    GifSample sample;
    sample.width = 4;
    sample.height = 1;
    sample.colours = {qRgb(0, 0, 0), kRed, kGreen, kBlue};
    sample.loopCount = 0;
    sample.frames = {
        {0, 0, 4, 1, {1, 1, 1, 1}, DISPOSE_DO_NOT, -1, 0, false, {}},
        {1, 0, 2, 1, {2, 0}, DISPOSE_BACKGROUND, 0, 25, false, {}},
        {3, 0, 1, 1, {3}, DISPOSE_PREVIOUS, -1, 10, false, {}},
        {0, 0, 1, 1, {2}, DISPOSE_DO_NOT, -1, 10, false, {}},
    };
    const Animation animation = gif(encodeGif(sample));
    ASSERT_EQ(animation.frames.size(), 4U);
    EXPECT_EQ(played(animation), (std::vector<std::vector<QRgb>>{{kRed, kRed, kRed, kRed},
                                                                 {kRed, kGreen, kRed, kRed},
                                                                 {kRed, 0, 0, kBlue},
                                                                 {kGreen, 0, 0, kRed}}));
    EXPECT_EQ(animation.repeats, -1);
    EXPECT_EQ(animation.frames[0].delayMs, 100);  // no delay asked: the usual tenth of a second
    EXPECT_EQ(animation.frames[1].delayMs, 250);
}

TEST(GifDecoder, LoopCountSaysHowOftenTheSequenceRepeats) {
    GifSample sample{1, 1, {kRed, kGreen}, {{0, 0, 1, 1, {1}, 0, -1, 10, false, {}}}, -1};
    EXPECT_EQ(gif(encodeGif(sample)).repeats, 0);
    sample.loopCount = 3;
    EXPECT_EQ(gif(encodeGif(sample)).repeats, 3);
}

TEST(GifDecoder, ClipsFramesToTheScreenAndLeavesUnknownIndicesTransparent) {
    GifSample outside{2, 2, {kRed, kGreen}, {{1, 1, 3, 3, Bytes(9, 1), 0, -1, 10, false, {}}}, -1};
    const Animation clipped = gif(encodeGif(outside));
    EXPECT_EQ(clipped.frames[0].area, QRect(1, 1, 1, 1));  // only what shows is kept
    EXPECT_EQ(played(clipped).front(), (std::vector<QRgb>{0, 0, 0, kGreen}));

    // Written with four colours, then the global map cut to two: indices 2 and 3 point past it.
    GifSample four{
        4, 1, {kRed, kGreen, kBlue, kBlue}, {{0, 0, 4, 1, {0, 1, 2, 3}, 0, -1, 10, false, {}}}, -1};
    Bytes bytes = encodeGif(four);
    bytes[10] = static_cast<unsigned char>(bytes[10] & ~7);
    bytes.erase(bytes.begin() + 13 + 6, bytes.begin() + 13 + 12);
    EXPECT_EQ(firstFrame(bytes), (std::vector<QRgb>{kRed, kGreen, 0, 0}));
}

TEST(GifDecoder, InterlacedFrameMatchesPlainAndLocalMapWins) {
    GifSample sample{
        1, 11, {kRed, kGreen}, {{0, 0, 1, 11, {0, 1, 1, 0, 0, 1, 0, 1, 1, 1, 0}, 0, -1, 10, false, {}}}, -1};
    const std::vector<QRgb> plain = firstFrame(encodeGif(sample));
    sample.frames[0].interlaced = true;
    EXPECT_EQ(firstFrame(encodeGif(sample)), plain);
    sample.frames[0].localColours = {kBlue, kRed};
    EXPECT_EQ(firstFrame(encodeGif(sample))[1], kRed);
}

TEST(GifDecoder, ClippedInterlacedFrameMatchesPlain) {
    Bytes indices;
    for (int i = 0; i < 4 * 11; ++i) {
        indices.push_back(static_cast<unsigned char>(i % 3));
    }
    GifSample sample{3, 6, {kRed, kGreen, kBlue, kBlue}, {{1, 2, 4, 11, indices, 0, -1, 10, false, {}}}, -1};
    const std::vector<QRgb> plain = firstFrame(encodeGif(sample));
    EXPECT_EQ(plain[2 * 3 + 1], kRed);
    EXPECT_EQ(plain[2 * 3 + 2], kGreen);
    EXPECT_EQ(plain[4 * 3 + 1], kBlue);  // the frame's row 2 starts with index 8, colour 8 % 3
    sample.frames[0].interlaced = true;
    EXPECT_EQ(firstFrame(encodeGif(sample)), plain);
}

// The player composes each frame on what the previous one left; round the loop again it starts from a
// transparent screen, so the second round shows what the first did, whatever the last frame's disposal.
TEST(AnimationPlayer, EveryRoundShowsTheSamePixels) {
    struct Case {
        const char* name;
        std::vector<GifFrameSample> frames;
        std::vector<std::vector<QRgb>> firstRound;
    };
    const GifFrameSample fill{0, 0, 3, 1, {1, 1, 1}, DISPOSE_DO_NOT, -1, 10, false, {}};
    const Case cases[] = {
        {"restore to previous last",
         {fill,
          {1, 0, 1, 1, {2}, DISPOSE_DO_NOT, -1, 10, false, {}},
          {0, 0, 2, 1, {3, 3}, DISPOSE_PREVIOUS, -1, 10, false, {}}},
         {{kRed, kRed, kRed}, {kRed, kGreen, kRed}, {kBlue, kBlue, kRed}}},
        {"restore to previous first, then twice in a row",
         {{0, 0, 3, 1, {1, 1, 1}, DISPOSE_PREVIOUS, -1, 10, false, {}},
          {1, 0, 1, 1, {2}, DISPOSE_PREVIOUS, -1, 10, false, {}},
          {2, 0, 1, 1, {3}, DISPOSE_PREVIOUS, -1, 10, false, {}},
          {0, 0, 1, 1, {2}, DISPOSE_DO_NOT, -1, 10, false, {}}},
         {{kRed, kRed, kRed}, {0, kGreen, 0}, {0, 0, kBlue}, {kGreen, 0, 0}}},
        {"clear last",
         {fill, {0, 0, 3, 1, {2, 0, 2}, DISPOSE_BACKGROUND, 0, 10, false, {}}},
         {{kRed, kRed, kRed}, {kGreen, kRed, kGreen}}},
        {"restore to previous off the screen's edge",
         {fill,
          {2, 0, 5, 3, Bytes(15, 3), DISPOSE_PREVIOUS, -1, 10, true, {}},
          {0, 0, 1, 1, {2}, DISPOSE_DO_NOT, -1, 10, false, {}}},
         {{kRed, kRed, kRed}, {kRed, kRed, kBlue}, {kGreen, kRed, kRed}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const GifSample sample{3, 1, {qRgb(0, 0, 0), kRed, kGreen, kBlue}, c.frames, 0};
        const std::vector<std::vector<QRgb>> rounds = played(gif(encodeGif(sample)), 3);
        ASSERT_EQ(rounds.size(), 3 * c.firstRound.size());
        for (std::size_t shown = 0; shown < rounds.size(); ++shown) {
            EXPECT_EQ(rounds[shown], c.firstRound[shown % c.firstRound.size()]) << "frame shown " << shown;
        }
    }
}

// ---- BMP ----

struct BmpCase {
    const char* name;
    BmpSample sample;
    std::vector<QRgb> expected;  // top row first
};

TEST(BmpDecoder, DecodesEveryDepthAndCompression) {
    const std::vector<BmpCase> cases = {
        {"1-bit", {3, 1, 1, 0, {kRed, kBlue}, {}, {0xA0, 0, 0, 0}}, {kBlue, kRed, kBlue}},
        {"4-bit", {3, 1, 4, 0, {kRed, kGreen, kBlue}, {}, {0x21, 0x00, 0, 0}}, {kBlue, kGreen, kRed}},
        {"8-bit bottom-up", {1, 2, 8, 0, {kRed, kGreen}, {}, {0, 0, 0, 0, 1, 0, 0, 0}}, {kGreen, kRed}},
        {"24-bit top-down", {1, -2, 24, 0, {}, {}, {0, 0, 255, 0, 0, 255, 0, 0}}, {kRed, kGreen}},
        {"16-bit 5-5-5", {2, 1, 16, 0, {}, {}, {0x00, 0x7C, 0x1F, 0x00}}, {kRed, kBlue}},
        {"32-bit bit fields with alpha",
         {1, 1, 32, 3, {}, {0x00FF0000, 0x0000FF00, 0x000000FF}, {0, 0, 255, 0x80}},
         {kRed}},
        {"RLE8 with a move and early line ends",
         {4, 2, 8, 1, {kRed, kGreen}, {}, {2, 1, 0, 0, 0, 2, 1, 0, 1, 0, 0, 1}},
         {0, kRed, 0, 0, kGreen, kGreen, 0, 0}},
        {"RLE4 literal run",
         {3, 1, 4, 2, {kRed, kGreen, kBlue}, {}, {0, 3, 0x12, 0x00, 0, 1}},
         {kGreen, kBlue, kRed}},
    };
    for (const BmpCase& c : cases) {
        SCOPED_TRACE(c.name);
        expectPixels(bmp(encodeBmp(c.sample)), c.expected);
    }
}

TEST(BmpDecoder, AgreesWithQtOnItsOwnBitmaps) {
    const QImage source = markedPicture(37, 21, qRgb(10, 200, 30), qRgb(250, 5, 120));
    const Bytes bytes = encodeWithQt(source, "BMP");
    EXPECT_EQ(pixels(bmp(bytes)), pixels(source));
}

// ---- ICO ----

TEST(IconDecoder, TransparentPixelsBecomeWhite) {
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int x = 0; x < 16; ++x) {
        icon.setPixel(x, 0, kBlue);
    }
    const Bytes bytes = encodeWithQt(icon, "ICO");
    const QImage bitmap = iconOnWhite(decodeIcon(bytes.data(), bytes.size()));
    ASSERT_EQ(bitmap.size(), QSize(16, 16));
    EXPECT_EQ(bitmap.pixel(3, 0), kBlue);
    EXPECT_EQ(bitmap.pixel(3, 8), qRgb(255, 255, 255));
}

// ---- Damaged and lying files ----

struct HostileCase {
    std::string name;
    Bytes bytes;
};

Bytes withPngSize(Bytes bytes, std::uint32_t width, std::uint32_t height) {
    putU32BigEndian(bytes, 16, width);
    putU32BigEndian(bytes, 20, height);
    putU32BigEndian(bytes, 29, static_cast<std::uint32_t>(crc32(0, bytes.data() + 12, 17)));
    return bytes;
}

Bytes withJpegSize(Bytes bytes, std::uint32_t width, std::uint32_t height) {
    const std::size_t frame = find(bytes, {0xFF, 0xC0});
    putU16BigEndian(bytes, frame + 5, height);
    putU16BigEndian(bytes, frame + 7, width);
    return bytes;
}

void addTruncations(std::vector<HostileCase>& cases, const std::string& format, const Bytes& bytes,
                    std::vector<std::size_t> lengths) {
    for (const std::size_t length : lengths) {
        cases.push_back({format + " cut to " + std::to_string(length), truncated(bytes, length)});
    }
}

void expectAllRefused(const std::vector<HostileCase>& cases,
                      const std::function<void(const Bytes&)>& decode) {
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            decode(c.bytes);
            ADD_FAILURE() << "decoded";
        } catch (const PictureError& error) {  // in the program's words: Cyrillic, UTF-8 lead bytes D0 or D1
            EXPECT_NE(std::string(error.what()).find_first_of("\xD0\xD1"), std::string::npos) << error.what();
        }
    }
}

TEST(HostileFiles, JpegIsRefused) {
    const Bytes good = encodeWithQt(markedPicture(64, 64, kRed, kBlue), "JPEG", 90);
    std::vector<HostileCase> cases;
    addTruncations(cases, "jpeg", good, {0, 2, 20, 200, good.size() / 2, good.size() * 3 / 4});
    cases.push_back({"huge", withJpegSize(good, 65000, 65000)});
    cases.push_back({"zero height", withJpegSize(good, 64, 0)});
    cases.push_back({"png content", encodeWithQt(markedPicture(4, 4, kRed, kBlue), "PNG")});
    expectAllRefused(cases, [](const Bytes& bytes) { jpeg(bytes); });
}

TEST(HostileFiles, PngIsRefused) {
    const Bytes good = encodeWithQt(markedPicture(64, 64, kRed, kBlue, QImage::Format_ARGB32), "PNG");
    std::vector<HostileCase> cases;
    addTruncations(cases, "png", good, {0, 7, 8, 30, 40, good.size() / 2});
    cases.push_back({"huge", withPngSize(good, 100000, 100000)});
    cases.push_back({"zero width", withPngSize(good, 0, 64)});
    cases.push_back({"taller than its data", withPngSize(good, 64, 5000)});
    Bytes badChecksum = good;
    badChecksum[29] ^= 0xFF;
    cases.push_back({"IHDR checksum", badChecksum});
    Bytes damagedData = good;
    damagedData[find(good, {'I', 'D', 'A', 'T'}) + 10] ^= 0x55;
    cases.push_back({"image data damaged", damagedData});
    expectAllRefused(cases, [](const Bytes& bytes) { png(bytes); });
}

TEST(HostileFiles, GifIsRefused) {
    GifSample sample{8, 8, {kRed, kGreen}, {{0, 0, 8, 8, Bytes(64, 1), 0, -1, 10, false, {}}}, -1};
    const Bytes good = encodeGif(sample);
    std::vector<HostileCase> cases;
    addTruncations(cases, "gif", good, {0, 5, 12, 20, good.size() / 2, good.size() - 1});
    Bytes huge = good;
    putU16(huge, 6, 65535);
    putU16(huge, 8, 65535);
    cases.push_back({"huge screen", huge});
    Bytes zero = good;
    putU16(zero, 6, 0);
    cases.push_back({"zero screen", zero});
    Bytes hugeFrame = good;
    const std::size_t descriptor = find(good, {0x2C});
    putU16(hugeFrame, descriptor + 5, 65535);
    putU16(hugeFrame, descriptor + 7, 65535);
    cases.push_back({"huge frame", hugeFrame});
    GifSample noFrames{4, 4, {kRed, kGreen}, {}, -1};
    cases.push_back({"no frames", encodeGif(noFrames)});
    GifSample many{1, 1, {kRed, kGreen}, {}, -1};
    many.frames.assign(5001, GifFrameSample{0, 0, 1, 1, {1}, 0, -1, 10, false, {}});
    cases.push_back({"too many frames", encodeGif(many)});
    expectAllRefused(cases, [](const Bytes& bytes) { gif(bytes); });
}

TEST(HostileFiles, BmpIsRefused) {
    const Bytes good = encodeWithQt(markedPicture(16, 16, kRed, kBlue), "BMP");
    std::vector<HostileCase> cases;
    addTruncations(cases, "bmp", good, {0, 2, 14, 30, 54, good.size() / 2, good.size() - 1});
    Bytes huge = good;
    putU32(huge, 18, 100000);
    putU32(huge, 22, 100000);
    cases.push_back({"huge", huge});
    Bytes zero = good;
    putU32(zero, 18, 0);
    cases.push_back({"zero width", zero});
    Bytes offsetPastEnd = good;
    putU32(offsetPastEnd, 10, static_cast<std::uint32_t>(good.size() + 100));
    cases.push_back({"pixel offset past the end", offsetPastEnd});
    Bytes offsetInHeader = good;
    putU32(offsetInHeader, 10, 20);
    cases.push_back({"pixel offset inside the header", offsetInHeader});
    Bytes oddDepth = good;
    putU16(oddDepth, 28, 7);
    cases.push_back({"7 bits a pixel", oddDepth});
    Bytes headerSize = good;
    putU32(headerSize, 14, 0xFFFFFFF0);
    cases.push_back({"header length", headerSize});
    BmpSample endless{4, 4, 8, 1, {kRed}, {}, {4, 0, 0, 0}};
    cases.push_back({"run-length data that stops early", encodeBmp(endless)});
    expectAllRefused(cases, [](const Bytes& bytes) { bmp(bytes); });
}

TEST(HostileFiles, BmpColourCountIsNotTrusted) {
    BmpSample sample{1, 1, 8, 0, {kRed, kGreen}, {}, {1, 0, 0, 0}};
    Bytes bytes = encodeBmp(sample);
    putU32(bytes, 46, 0x7FFFFFFF);
    EXPECT_EQ(bmp(bytes).pixel(0, 0), kGreen);
}

TEST(HostileFiles, IconIsRefused) {
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(kRed);
    const Bytes good = encodeWithQt(picture, "ICO");
    std::vector<HostileCase> cases;
    addTruncations(cases, "ico", good, {0, 4, 6, 21, 40, good.size() / 2, good.size() - 1});
    Bytes lyingCount = good;
    putU16(lyingCount, 4, 50);
    cases.push_back({"more images than the directory holds", lyingCount});
    Bytes offsetPastEnd = good;
    putU32(offsetPastEnd, 18, static_cast<std::uint32_t>(good.size()));
    cases.push_back({"image past the end", offsetPastEnd});
    Bytes sizeLie = good;
    putU32(sizeLie, 14, 0x7FFFFFFF);
    cases.push_back({"image longer than the file", sizeLie});
    expectAllRefused(cases, [](const Bytes& bytes) { decodeIcon(bytes.data(), bytes.size()); });
}

}  // namespace
