// Times the picture viewer's decoding and drawing against QImageReader on the same three files, and says the
// peak memory of each. Every measurement runs in a process of its own (this program, started again with
// "--measure"), so one run's memory does not hide the next one's. Each side's figures are its best over
// three such processes; "1st" is the first decode in a process, before anything is warm.
#include <gif_lib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "picture/PictureLimits.h"
#include "picture/PictureLoader.h"
#include "picture/display/AnimationPlayer.h"
#include "picture/display/FitRule.h"

namespace {

constexpr int kRuns = 3;           // decodes in one process
constexpr int kProcessRounds = 3;  // processes for each side and file
const QSize kArea(617, 464);

void drawFitted(const QImage& image) {
    QImage target(kArea, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    QPainter painter(&target);
    painter.drawImage(fitRect(image.size(), kArea), image);
}

// One decode and draw; returns the number of frames seen.
int runOurs(const std::string& path) {
    AnimationPlayer player(loadPicture(pictureKindOf(path), path));
    for (int shown = 0; shown < player.frameCount(); ++shown) {
        drawFitted(player.frame());
        player.advance();
    }
    return player.frameCount();
}

int runQt(const std::string& path) {
    QImageReader::setAllocationLimit(picture_limits::kQtAllocationLimitMb);
    QImageReader reader(QString::fromStdString(path));
    int frames = 0;
    do {
        const QImage image = reader.read();
        if (image.isNull()) {
            break;
        }
        drawFitted(image);
        ++frames;
    } while (reader.canRead());
    return frames;
}

int measure(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool ours = std::strcmp(argv[2], "ours") == 0;
    const std::string path = argv[3];
    double best = 1e30;
    double first = 0;
    int frames = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        frames = ours ? runOurs(path) : runQt(path);
        const double ms = timer.nsecsElapsed() / 1e6;
        best = std::min(best, ms);
        first = run == 0 ? ms : first;
    }
    std::printf("%.1f %.1f %d\n", best, first, frames);
    return 0;
}

// Smooth gradients with some noise, so the encoders have real work to do.
QImage photo(int width, int height, bool alpha) {
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525U + 1013904223U;
            const int noise = static_cast<int>(seed >> 28);
            row[x] =
                qRgba((x * 255 / width + noise) & 0xFF, (y * 255 / height + noise) & 0xFF,
                      ((x + y) * 127 / (width + height) + noise) & 0xFF, alpha ? (x * 255 / width) : 255);
        }
    }
    return image;
}

int writeToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<unsigned char>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

void writeGif(const std::string& path, int width, int height, int frames) {
    std::vector<unsigned char> bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, writeToVector, &error);
    EGifSetGifVersion(gif, true);
    std::vector<GifColorType> colours(256);
    for (int i = 0; i < 256; ++i) {
        colours[i] = GifColorType{static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i),
                                  static_cast<GifByteType>((i * 7) & 0xFF)};
    }
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    GifFreeMapObject(map);
    const unsigned char loop[3] = {1, 0, 0};
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (int frame = 0; frame < frames; ++frame) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.DelayTime = 4;
        control.TransparentColor = 0;
        GifByteType extension[4];
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE,
                         static_cast<int>(EGifGCBToExtension(&control, extension)), extension);
        EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>((x / 8 + y / 8 + frame) & 0xFF);
            }
            EGifPutLine(gif, line.data(), width);
        }
    }
    EGifCloseFile(gif, &error);
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

struct Result {
    double ms = 0;       // the best of the runs
    double firstMs = 0;  // the first run, in a process that has not yet decoded anything
    int frames = 0;
    long peakKb = 0;
};

Result spawnMeasure(const char* self, const char* who, const std::string& path) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        execl(self, self, "--measure", who, path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    char text[128] = {};
    const ssize_t got = read(pipeEnds[0], text, sizeof text - 1);
    close(pipeEnds[0]);
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    Result result;
    if (got > 0) {
        std::sscanf(text, "%lf %lf %d", &result.ms, &result.firstMs, &result.frames);
    }
    result.peakKb = usage.ru_maxrss;
    return result;
}

void keepBest(Result& best, const Result& next) {
    best.ms = std::min(best.ms, next.ms);
    best.firstMs = std::min(best.firstMs, next.firstMs);
    best.peakKb = std::max(best.peakKb, next.peakKb);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--measure") == 0) {
        return measure(argc, argv);
    }
    const std::string folder = argc > 1 ? argv[1] : QDir::tempPath().toStdString() + "/varnel_picture_bench";
    QDir().mkpath(QString::fromStdString(folder));
    const std::string jpeg = folder + "/photo_6000x4000.jpg";
    const std::string png = folder + "/alpha_4000x3000.png";
    const std::string gif = folder + "/anim_200_frames.gif";
    {
        QCoreApplication app(argc, argv);
        if (!QFile::exists(QString::fromStdString(jpeg))) {
            QImageWriter writer(QString::fromStdString(jpeg), "JPEG");
            writer.setQuality(90);
            writer.write(photo(6000, 4000, false));
        }
        if (!QFile::exists(QString::fromStdString(png))) {
            QImageWriter(QString::fromStdString(png), "PNG").write(photo(4000, 3000, true));
        }
        if (!QFile::exists(QString::fromStdString(gif))) {
            writeGif(gif, 480, 360, 200);
        }
    }
    const char* self = "/proc/self/exe";
    std::printf("%-22s %8s %8s %6s %11s %11s %12s %11s\n", "file", "ours ms", "Qt ms", "ratio", "ours 1st ms",
                "Qt 1st ms", "ours peak MB", "Qt peak MB");
    bool within = true;
    for (const std::string& path : {jpeg, png, gif}) {
        Result ours = spawnMeasure(self, "ours", path);
        Result qt = spawnMeasure(self, "qt", path);
        // The two sides take turns, so a change in the machine's load falls on both.
        for (int round = 1; round < kProcessRounds; ++round) {
            keepBest(ours, spawnMeasure(self, "ours", path));
            keepBest(qt, spawnMeasure(self, "qt", path));
        }
        const double ratio = qt.ms > 0 ? ours.ms / qt.ms : 0;
        within = within && ratio <= 1.1 && ours.frames == qt.frames;
        std::printf("%-22s %8.1f %8.1f %6.2f %11.1f %11.1f %12.1f %11.1f   (%d / %d frames)\n",
                    path.substr(path.rfind('/') + 1).c_str(), ours.ms, qt.ms, ratio, ours.firstMs, qt.firstMs,
                    ours.peakKb / 1024.0, qt.peakKb / 1024.0, ours.frames, qt.frames);
    }
    std::printf(within ? "within 1.1 times Qt's time\n" : "SLOWER than 1.1 times Qt's time\n");
    return within ? 0 : 1;
}
