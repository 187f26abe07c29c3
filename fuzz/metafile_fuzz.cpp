// Feeds arbitrary bytes to the metafile reader and plays whatever it accepts onto a small image, as the
// picture viewer would; a PictureError is the expected way to refuse.
#include <QGuiApplication>
#include <QPainter>
#include <cstdint>
#include <string>

#include "picture/metafile/MetafilePainterCanvas.h"
#include "picture/metafile/MetafileReader.h"
#include "picture/metafile/MetafileRenderer.h"

namespace {

// Text needs a GUI application for its fonts; one is made on the first input and kept.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "metafile_fuzz";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication application(argc, argv);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureApplication();
    try {
        const metafile::Document document =
            metafile::readDocument(std::string(reinterpret_cast<const char*>(data), size));
        const QSize target = document.size.boundedTo(QSize(256, 256));
        QImage image(target, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        metafile::PainterCanvas canvas(painter);
        metafile::render(document, canvas, QSizeF(target));
    } catch (const PictureError&) {
    }
    return 0;
}
