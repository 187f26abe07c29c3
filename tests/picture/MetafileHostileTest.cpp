// Broken and hostile metafiles: each one is refused with a PictureError or drawn without harm, never a crash,
// a hang or a huge allocation. Every file is played both onto the recording canvas and onto a real image.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>
#include <limits>

#include "MetafileTestSupport.h"
#include "picture/metafile/MetafilePainterCanvas.h"
#include "picture/metafile/MetafileRenderer.h"

namespace {

enum class Outcome { Refused, Drawn };

Outcome play(const std::string& bytes) {
    try {
        const metafile::Document document = metafile::readDocument(bytes);
        RecordingCanvas recording;
        metafile::render(document, recording, QSizeF(document.size));
        QImage image(document.size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        metafile::PainterCanvas canvas(painter);
        metafile::render(document, canvas, QSizeF(document.size));
        return Outcome::Drawn;
    } catch (const PictureError&) {
        return Outcome::Refused;
    }
}

std::uint32_t u(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}

// A small valid picture with one record of each main kind, to cut and corrupt.
std::string sampleEmf() {
    std::string text(16, '\0');
    for (std::uint32_t word : {1U, 0U, 0U, 10U, 40U, 2U, 76U, 0U, 0U, 0U, 0U, 0U, 0U}) {
        appendU32(text, word);
    }
    appendU16(text, 'h');
    appendU16(text, 'i');
    std::string dib(16, '\0');
    for (std::uint32_t word : {0U, 0U, 0U, 0U, 1U, 1U, 80U, 44U, 124U, 4U, 0U, 0x00CC0020U, 5U, 5U}) {
        appendU32(dib, word);
    }
    dib += dibInfo(1, 1, 1, {0, 0xFFFFFF}) + std::string("\x80\0\0\0", 4);
    EmfBuilder emf(2540, 2540);
    emf.add(39, {1, 0, 0xFF, 0})
        .add(37, {1})
        .add(33, {})
        .add(43, {1, 1, 50, 50})
        .add(3, {0, 0, 0, 0, 3, 0, 0, 10, 0, 10, 10})
        .add(34, {u(-1)})
        .addRaw(84, text)
        .addRaw(81, dib);
    return emf.build();
}

std::string sampleWmf() {
    WmfBuilder wmf(100, 100);
    wmf.add(0x02FC, {0, 0xFF, 0, 0})
        .add(0x012D, {0})
        .add(0x041B, {50, 50, 0, 0})
        .add(0x0324, {3, 0, 0, 9, 0, 9, 9});
    return wmf.build();
}

TEST(MetafileHostile, EveryTruncationIsRefusedOrDrawn) {
    for (const std::string& whole : {sampleEmf(), sampleWmf()}) {
        for (std::size_t length = 0; length < whole.size(); ++length) {
            play(whole.substr(0, length));  // must return, either way
        }
        EXPECT_EQ(play(whole), Outcome::Drawn);
    }
    EXPECT_EQ(play(sampleEmf().substr(0, 60)), Outcome::Refused);
    EXPECT_EQ(play(sampleEmf().substr(0, 95)), Outcome::Refused);
    EXPECT_EQ(play(sampleWmf().substr(0, 30)), Outcome::Refused);
}

struct HostileCase {
    const char* name;
    std::string bytes;
    Outcome outcome;
};

std::string withU32(std::string bytes, std::size_t at, std::uint32_t value) {
    putU32(bytes, at, value);
    return bytes;
}

std::string withU16(std::string bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
    return bytes;
}

std::string emfWith(const std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>>& records) {
    EmfBuilder emf;
    for (const auto& [type, words] : records) {
        emf.add(type, words);
    }
    return emf.build();
}

std::vector<std::uint32_t> floats(std::initializer_list<float> values) {
    std::vector<std::uint32_t> words;
    for (float value : values) {
        words.push_back(floatBits(value));
    }
    return words;
}

std::string deepSaves() {
    EmfBuilder emf;
    for (int i = 0; i < 20000; ++i) {
        emf.add(33, {});
    }
    emf.add(34, {u(-20000)}).add(34, {u(std::numeric_limits<std::int32_t>::min())}).add(34, {0x7FFFFFFF});
    return emf.build();
}

std::string dibRecord(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                      std::uint32_t bitsOffset, std::uint32_t bitsSize, std::uint32_t compression = 0) {
    std::string payload(16, '\0');
    for (std::uint32_t word :
         {0U, 0U, 0U, 0U, 4U, 4U, 80U, 40U, bitsOffset, bitsSize, 0U, 0x00CC0020U, 90U, 90U}) {
        appendU32(payload, word);
    }
    payload += dibInfo(width, height, bitCount, {}, compression) + std::string(64, '\x55');
    EmfBuilder emf;
    emf.addRaw(81, payload);
    return emf.build();
}

TEST(MetafileHostile, CorruptFilesAreRefusedOrSkippedSafely) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const std::string emf = sampleEmf();
    const std::string wmf = sampleWmf();
    const std::size_t firstRecord = 88;
    const std::size_t firstWmfRecord = 40;
    const std::vector<HostileCase> cases = {
        {"empty file", "", Outcome::Refused},
        {"text file", "just some text that is no picture at all", Outcome::Refused},
        {"EMF header size beyond the file", withU32(emf, 4, 0xFFFFFFF0), Outcome::Refused},
        {"EMF header size zero", withU32(emf, 4, 0), Outcome::Refused},
        {"EMF declared length beyond the file is ignored", withU32(emf, 48, 0xFFFFFFFF), Outcome::Drawn},
        {"EMF zero handles", withU16(emf, 56, 0), Outcome::Drawn},
        {"EMF zero reference size", withU32(withU32(emf, 80, 0), 72, 0), Outcome::Drawn},
        {"EMF frame and bounds empty", EmfBuilder(0, 0).bounds(5, 5, 4, 4).build(), Outcome::Refused},
        {"EMF frame wider than the limit", EmfBuilder(2540 * 200, 2540).build(), Outcome::Refused},
        {"EMF frame over 64 megapixels", EmfBuilder(2540 * 100, 2540 * 100).build(), Outcome::Refused},
        {"EMF frame at full stretch", EmfBuilder(0x7FFFFFFF, 0x7FFFFFFF).frame(u(INT32_MIN), u(INT32_MIN), 0x7FFFFFFF, 0x7FFFFFFF).build(),
         Outcome::Refused},
        {"record size huge", withU32(emf, firstRecord + 4, 0xFFFFFFF8), Outcome::Refused},
        {"record size zero", withU32(emf, firstRecord + 4, 0), Outcome::Refused},
        {"record size not a multiple of four", withU32(emf, firstRecord + 4, 6), Outcome::Refused},
        {"record shorter than its fields", emfWith({{43, {1}}, {39, {}}, {84, {}}, {81, {}}}), Outcome::Drawn},
        {"polygon count lies", emfWith({{3, {0, 0, 0, 0, 0x40000000, 1, 2}}}), Outcome::Drawn},
        {"poly-polygon counts exceed the total", emfWith({{8, {0, 0, 0, 0, 2, 2, 0xFFFFFFFF, 5, 0, 0, 1, 1}}}),
         Outcome::Drawn},
        {"poly-polygon figure count huge", emfWith({{91, {0, 0, 0, 0, 0xFFFFFFFF, 3}}}), Outcome::Drawn},
        {"text length and offset lie",
         emfWith({{84, {0, 0, 0, 0, 1, 0, 0, 10, 10, 0x7FFFFFFF, 0xFFFFFFF0, 0, 0, 0, 0, 0, 0xFFFFFFF0}}}),
         Outcome::Drawn},
        {"object indexes out of range",
         emfWith({{39, {0xFFFFFFFF, 0, 0, 0}}, {37, {0x7FFFFFFF}}, {37, {0xFFFFFFFF}}, {40, {123456}}, {37, {0}}}),
         Outcome::Drawn},
        {"deep SaveDC nesting", deepSaves(), Outcome::Drawn},
        {"NaN and infinite transforms",
         emfWith({{35, floats({nan, 0, 0, 1, 0, 0})},
                  {36, [&] {
                       auto words = floats({infinity, 0, 0, 1, 0, 0});
                       words.push_back(2);
                       return words;
                   }()},
                  {43, {0, 0, 10, 10}}}),
         Outcome::Drawn},
        {"transform multiplied past any size",
         [] {
             EmfBuilder growing;
             for (int i = 0; i < 60; ++i) {
                 auto words = floats({1e6f, 0, 0, 1e6f, 0, 0});
                 words.push_back(2);
                 growing.add(36, words);
             }
             growing.add(43, {0, 0, 10, 10}).add(42, {0, 0, 10, 10});
             return growing.build();
         }(),
         Outcome::Drawn},
        {"zero and extreme extents",
         emfWith({{17, {8}},
                  {9, {0, 0}},
                  {11, {0x7FFFFFFF, 0x7FFFFFFF}},
                  {9, {1, 1}},
                  {32, {1, 0, 1, 0}},
                  {43, {u(INT32_MIN), u(INT32_MIN), 0x7FFFFFFF, 0x7FFFFFFF}},
                  {42, {0, 0, 0x7FFFFFFF, 0x7FFFFFFF}},
                  {45, {0, 0, 0x7FFFFFFF, 5, 0, 0, 0, 0}}}),
         Outcome::Drawn},
        {"dashed pen over an enormous line",
         emfWith({{38, {1, 1, 0, 0, 0}}, {37, {1}}, {27, {u(INT32_MIN), 0}}, {54, {0x7FFFFFFF, 90}}}),
         Outcome::Drawn},
        {"clip rectangles at the limits",
         emfWith({{30, {u(INT32_MIN), u(INT32_MIN), 0x7FFFFFFF, 0x7FFFFFFF}}, {29, {0, 0, 0x7FFFFFFF, 1}},
                  {75, {32, 1, 32, 1, 0x7FFFFFFF, 0, 0, 0, 0, 0}}, {75, {0, 5}}, {67, {5}}}),
         Outcome::Drawn},
        {"DIB wider than any picture", dibRecord(0x7FFFFFFF, 1, 24, 120, 64), Outcome::Drawn},
        {"DIB height at the negative limit", dibRecord(1, INT32_MIN, 24, 120, 64), Outcome::Drawn},
        {"DIB with an odd bit count", dibRecord(4, 4, 7, 120, 64), Outcome::Drawn},
        {"DIB compressed", dibRecord(4, 4, 8, 120, 64, 1), Outcome::Drawn},
        {"DIB rows beyond the record", dibRecord(4, 4, 24, 120, 0xFFFFFFF0), Outcome::Drawn},
        {"DIB offset beyond the record", dibRecord(4, 4, 24, 0xFFFFFFF0, 64), Outcome::Drawn},
        {"DIB needs more rows than given", dibRecord(64, 64, 32, 120, 64), Outcome::Drawn},
        {"WMF with a wrong checksum", withU16(wmf, 20, 0x1234), Outcome::Refused},
        {"WMF with zero units per inch", withU16(wmf, 14, 0), Outcome::Refused},
        {"WMF with a broken inner header", withU16(wmf, 24, 9999), Outcome::Refused},
        {"WMF record size zero", withU32(wmf, firstWmfRecord, 0), Outcome::Refused},
        {"WMF record size beyond the file", withU32(wmf, firstWmfRecord, 0x7FFFFFFF), Outcome::Refused},
        {"WMF without objects selecting some", withU16(wmf, 32, 0), Outcome::Drawn},
        {"WMF polygon count lies",
         WmfBuilder(10, 10).add(0x0324, {0x7FFF, 1, 2}).add(0x0538, {0x7FFF, 3}).build(), Outcome::Drawn},
        {"WMF text length lies", WmfBuilder(10, 10).add(0x0521, {0x7FFF, 0}).add(0x0A32, {0, 0, 0x7FFF, 6}).build(),
         Outcome::Drawn},
        {"WMF blits with nothing behind them",
         WmfBuilder(10, 10).add(0x0940, {0x20, 0xCC}).add(0x0B41, {0x20, 0xCC}).add(0x0F43, {}).build(),
         Outcome::Drawn},
        {"WMF full object table", [] {
             WmfBuilder full(10, 10, 96, 1);
             full.add(0x02FC, {0, 0xFF, 0, 0}).add(0x02FC, {0, 0, 0xFF, 0}).add(0x012D, {1}).add(0x012D, {0});
             return full.build();
         }(), Outcome::Drawn},
    };
    for (const HostileCase& c : cases) {
        EXPECT_EQ(play(c.bytes), c.outcome) << c.name;
    }
}

}  // namespace

// Overdraw is counted on the device: a picture that would paint more than its budget is refused part-way.
TEST(MetafileHostile, PaintingBeyondTheAreaBudgetIsRefused) {
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    metafile::PainterCanvas canvas(painter, 5 * 100 * 100);
    QPainterPath fullSize;
    fullSize.addRect(-1000, -1000, 5000, 5000);  // only the part on the device counts
    for (int i = 0; i < 5; ++i) {
        canvas.fillPath(fullSize, Qt::red);
    }
    EXPECT_THROW(canvas.fillPath(fullSize, Qt::red), PictureError);
}

// Empty figures cost a list each, so a record with more figures than points is skipped whole.
TEST(MetafileHostile, MoreFiguresThanPointsIsSkipped) {
    std::vector<std::uint32_t> words = {0, 0, 10, 10, 200000, 0};
    words.resize(words.size() + 200000, 0);
    EmfBuilder emf;
    emf.add(91, words);  // EMR_POLYPOLYGON16
    EXPECT_TRUE(record(emf.build()).empty());
}

// Bounds that are not numbers may cover the whole picture, so they are charged as if they did.
TEST(MetafileHostile, DrawingAtCoordinatesThatAreNotNumbersIsCharged) {
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    metafile::PainterCanvas canvas(painter, 100 * 100 - 1);
    const QTransform nowhere = QTransform::fromTranslate(std::numeric_limits<double>::quiet_NaN(), 0);
    EXPECT_THROW(canvas.drawText(nowhere, QStringLiteral("a"), QFont(), Qt::black), PictureError);
}
