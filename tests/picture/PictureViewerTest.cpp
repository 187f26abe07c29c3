// The picture viewer window: extension dispatch, the fit rule as drawn, errors that keep the picture,
// animation.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "PictureSamples.h"
#include "picture/PictureLoader.h"
#include "picture/Shp1.h"
#include "picture/display/FitRule.h"
#include "picture/display/PictureArea.h"
#include "picture/metafile/Metafile.h"
#include "platform/Messages.h"
#include "platform/files/FileError.h"
#include "search/FS1.h"

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

class RecordedMessages : public Messages {
  public:
    RecordedMessages() { Messages::install(this); }
    ~RecordedMessages() override { Messages::install(nullptr); }
    void information(const QString& text) override { shown.push_back(text); }
    void captioned(const QString&, const QString& text) override { shown.push_back(text); }
    void error(const QString& text) override { errors.push_back(text); }
    bool question(const QString& text) override {
        errors.push_back(text);
        return false;
    }

    QStringList shown;
    QStringList errors;
};

TEST(FitRule, FillsOneDirectionKeepsTheAspectAndCentres) {
    struct Case {
        QSize picture;
        QRect expected;
    };
    const QSize area(617, 464);
    const std::vector<Case> cases = {
        {{16, 16}, {76, 0, 464, 464}},                                  // a small icon is enlarged
        {{1000, 10}, {0, 229, 617, 6}},                                 // wide: full width, height truncated
        {{10, 1000}, {306, 0, 4, 464}},                                 // tall: full height
        {{2000, 1600}, {18, 0, 580, 464}},                              // wide, but the height would overflow
        {{600, 900}, {154, 0, 309, 464}},  {{0, 0}, {0, 0, 617, 464}},  // no pixels: the whole area
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fitRect(c.picture, area), c.expected) << c.picture.width() << "x" << c.picture.height();
    }
}

TEST(PictureLoader, ExtensionIsTheLastDotOfTheNameUpperCasedInAsciiOnly) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/a/photo.jpeg", ".JPEG"},
        {"/a/Photo.Png", ".PNG"},
        {"/a.b/noext", ""},
        {"/a/arch.tar.gz", ".GZ"},
        {"/a/name.", "."},
        {"/a/.hidden", ".HIDDEN"},
        {"", ""},
        {"/a/x.j\xc3\xa9g", ".J\xc3\xa9G"},
    };
    for (const auto& [path, extension] : cases) {
        EXPECT_EQ(upperExtension(path), extension) << path;
    }
    EXPECT_EQ(pictureKindOf("/x/a.JpG"), PictureKind::Jpeg);
    EXPECT_EQ(pictureKindOf("/x/a.wmf"), PictureKind::Metafile);
    EXPECT_EQ(pictureKindOf("/x/a.ico"), PictureKind::Icon);
    EXPECT_EQ(pictureKindOf("/x/a.txt"), PictureKind::None);
    EXPECT_EQ(pictureKindOf("/x.png/readme"), PictureKind::None);
}

class PictureViewer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        CurrentFilePath.clear();
    }
    void TearDown() override { CurrentFilePath.clear(); }

    std::string file(const std::string& name, const Bytes& bytes) {
        const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
        writeFile(path, bytes);
        return path;
    }

    void load(const std::string& path) {
        CurrentFilePath = path;
        viewer.LoadPicture();
    }

    // What the image area shows, drawn together with the panel behind it.
    QImage shown() { return viewer.Panel1->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QTemporaryDir folder;
    TSHPIC viewer;
};

TEST_F(PictureViewer, CreationTakesTheFirstArgumentAsTheCurrentFile) {
    CurrentFilePath = "/left/over.png";
    const TSHPIC withoutArguments;
    EXPECT_EQ(CurrentFilePath, "");
    const TSHPIC withArguments({QStringLiteral("/pictures/один.png"), QStringLiteral("second")});
    EXPECT_EQ(CurrentFilePath, "/pictures/один.png");
    EXPECT_FALSE(withArguments.isVisible());
}

TEST_F(PictureViewer, ChoosesTheDecoderByExtensionAlone) {
    const QImage picture = markedPicture(40, 30, kRed, kBlue);
    load(file("photo.jpeg", encodeWithQt(picture, "JPEG", 95)));
    EXPECT_EQ(viewer.Image1->currentFrame().size(), QSize(40, 30));

    load(file("Photo.Png", encodeWithQt(markedPicture(8, 4, kRed, kBlue), "PNG")));
    EXPECT_EQ(viewer.Image1->currentFrame().size(), QSize(8, 4));

    // A PNG under a JPEG name fails as a JPEG, and the picture on show stays.
    EXPECT_THROW(load(file("photo.jpg", encodeWithQt(picture, "PNG"))), FileError);
    EXPECT_EQ(viewer.Image1->currentFrame().size(), QSize(8, 4));

    // Other extensions load nothing and say nothing.
    EXPECT_NO_THROW(load(file("notes.txt", {'h', 'i'})));
    EXPECT_NO_THROW(load(folder.path().toStdString()));
    EXPECT_EQ(viewer.Image1->currentFrame().size(), QSize(8, 4));

    EXPECT_THROW(load(file("missing.gif", {}) + ".gone.gif"), FileError);
    EXPECT_THROW(load(file("text.wmf", {'n', 'o', 't'})), FileError);
    EXPECT_EQ(viewer.Image1->currentFrame().size(), QSize(8, 4));
}

TEST_F(PictureViewer, LoadsAnEnhancedMetafileUnderAWmfName) {
    try {
        loadMetafile("/nonexistent.wmf");
    } catch (const PictureError& error) {
        if (std::string(error.what()) == "Метафайлы пока не поддерживаются") {
            GTEST_SKIP() << "the metafile renderer has not landed yet";
        }
    } catch (...) {
    }
    // A one-record-short enhanced metafile is beyond these tests' encoders; the renderer's own tests cover
    // the content. Here only the dispatch: a .wmf goes to the renderer and a bad one keeps the picture.
    load(file("photo.png", encodeWithQt(markedPicture(8, 4, kRed, kBlue), "PNG")));
    EXPECT_THROW(load(file("plain.wmf", Bytes(64, 0))), FileError);
    EXPECT_EQ(viewer.Image1->currentFrame().size(), QSize(8, 4));
}

TEST_F(PictureViewer, ShowingLoadsAndAFailureLeavesTheWindowVisible) {
    RecordedMessages messages;
    viewer.show();
    EXPECT_TRUE(messages.errors.isEmpty());
    EXPECT_FALSE(viewer.Image1->hasPicture());
    viewer.hide();

    CurrentFilePath = file("broken.png", {0x89, 'P', 'N', 'G'});
    viewer.show();
    EXPECT_TRUE(viewer.isVisible());
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_EQ(messages.errors.first(), "Не удалось показать изображение \"" +
                                           QString::fromStdString(CurrentFilePath) +
                                           "\": Неожиданный конец файла PNG");
    EXPECT_EQ(viewer.Panel1->text(), QStringLiteral("Загрузка изображения..."));
    viewer.hide();

    CurrentFilePath = file("good.png", encodeWithQt(markedPicture(8, 4, kRed, kBlue), "PNG"));
    viewer.show();
    EXPECT_EQ(viewer.Image1->currentFrame().size(), QSize(8, 4));
    EXPECT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(viewer.Panel1->text().isEmpty());  // it would show through the picture's transparent parts
    viewer.hide();
}

TEST_F(PictureViewer, EmptyViewerShowsTheWhitePanelAndItsCaption) {
    EXPECT_EQ(viewer.Panel1->text(), QStringLiteral("Загрузка изображения..."));
    const QImage empty = shown();
    EXPECT_EQ(empty.pixel(10, 10), kWhite);
    bool captionDrawn = false;
    for (int x = 250; x < 390 && !captionDrawn; ++x) {
        for (int y = 230; y < 250 && !captionDrawn; ++y) {
            captionDrawn = empty.pixel(x, y) != kWhite;
        }
    }
    EXPECT_TRUE(captionDrawn);
}

TEST_F(PictureViewer, DrawsAnIconWhiteBackedAndCentred) {
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(kRed);
    for (int y = 8; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            icon.setPixel(x, y, 0);  // transparent lower half
        }
    }
    load(file("small.ico", encodeWithQt(icon, "ICO")));
    const QImage drawn = shown();
    const int left = 8 + 76;  // the image area sits at 8, 8 in the panel
    EXPECT_EQ(drawn.pixel(left, 8), kRed);
    EXPECT_EQ(drawn.pixel(left + 463, 8 + 231), kRed);
    EXPECT_EQ(drawn.pixel(left + 463, 8 + 232), kWhite);  // the icon's own white, not the panel
    EXPECT_EQ(drawn.pixel(left - 1, 8 + 100), kWhite);
    EXPECT_EQ(viewer.Image1->currentFrame().pixel(0, 15), kWhite);
}

TEST_F(PictureViewer, StretchesWithoutSmoothingAndFollowsResizes) {
    QImage stripes(1000, 10, QImage::Format_RGB32);
    for (int x = 0; x < 1000; ++x) {
        for (int y = 0; y < 10; ++y) {
            stripes.setPixel(x, y, x < 500 ? kRed : kBlue);
        }
    }
    load(file("wide.bmp", encodeWithQt(stripes, "BMP")));
    QImage drawn = shown();
    EXPECT_EQ(drawn.pixel(8 + 10, 8 + 229), kRed);
    EXPECT_EQ(drawn.pixel(8 + 10, 8 + 228), kWhite);
    EXPECT_EQ(drawn.pixel(8 + 600, 8 + 234), kBlue);
    EXPECT_EQ(drawn.pixel(8 + 600, 8 + 235), kWhite);
    // Only the two colours: no blend along the seam.
    for (int x = 8; x < 8 + 617; ++x) {
        const QRgb pixel = drawn.pixel(x, 8 + 231);
        EXPECT_TRUE(pixel == kRed || pixel == kBlue) << x;
    }

    viewer.show();  // a hidden window gets its resize event only when shown
    viewer.resize(800, 600);
    EXPECT_EQ(viewer.Panel1->geometry(), QRect(0, 0, 799, 598));
    EXPECT_EQ(viewer.Image1->geometry(), QRect(8, 8, 780, 582));
    drawn = shown();
    EXPECT_EQ(drawn.pixel(8 + 779, 8 + 291), kBlue);  // 780 x 7 now, from row 287
    viewer.hide();
}

// The white panel shows through, without the loading caption: it is gone once a picture is shown.
TEST_F(PictureViewer, TransparentPartsShowTheWhitePanelWithoutTheCaption) {
    QImage ring(64, 64, QImage::Format_ARGB32);
    ring.fill(kBlue);
    for (int y = 16; y < 48; ++y) {
        for (int x = 16; x < 48; ++x) {
            ring.setPixel(x, y, 0);
        }
    }
    load(file("ring.png", encodeWithQt(ring, "PNG")));
    const QImage drawn = shown();
    EXPECT_EQ(drawn.pixel(8 + 80, 8 + 10), kBlue);
    bool captionDrawn = false;
    for (int x = 250; x < 390 && !captionDrawn; ++x) {
        for (int y = 230; y < 250 && !captionDrawn; ++y) {
            captionDrawn = drawn.pixel(x, y) != kWhite;
        }
    }
    EXPECT_FALSE(captionDrawn);
}

TEST_F(PictureViewer, AnimatesWhileVisibleOnly) {
    GifSample sample{2, 2, {kRed, kBlue}, {}, 0};
    sample.frames = {{0, 0, 2, 2, {0, 0, 0, 0}, 0, -1, 2, false, {}},
                     {0, 0, 2, 2, {1, 1, 1, 1}, 0, -1, 2, false, {}}};
    CurrentFilePath = file("blink.gif", encodeGif(sample));
    viewer.show();
    EXPECT_EQ(viewer.Image1->currentFrameIndex(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.Image1->currentFrameIndex() == 1; }, 2000));
    viewer.hide();
    const int stoppedAt = viewer.Image1->currentFrameIndex();
    QTest::qWait(100);
    EXPECT_EQ(viewer.Image1->currentFrameIndex(), stoppedAt);
}

TEST_F(PictureViewer, StopsAfterTheLastRepeat) {
    GifSample sample{1, 1, {kRed, kBlue}, {}, -1};
    sample.frames = {{0, 0, 1, 1, {0}, 0, -1, 2, false, {}}, {0, 0, 1, 1, {1}, 0, -1, 2, false, {}}};
    CurrentFilePath = file("once.gif", encodeGif(sample));
    viewer.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.Image1->currentFrameIndex() == 1; }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(viewer.Image1->currentFrameIndex(), 1);
    viewer.hide();
}

}  // namespace
