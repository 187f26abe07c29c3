#include "picture/metafile/Metafile.h"

#include <QPainter>

#include "picture/FileBytes.h"
#include "picture/metafile/MetafilePainterCanvas.h"
#include "picture/metafile/MetafileReader.h"
#include "picture/metafile/MetafileRenderer.h"

namespace {

// The whole file, as the reader takes it.
std::string readWholeFile(const std::string& path) {
    const FileBytes file = readPictureFile(path);
    if (file.size() > metafile::kMaxFileBytes) {
        throw PictureError("Метафайл слишком велик: " + std::to_string(file.size()) + " байт");
    }
    return std::string(reinterpret_cast<const char*>(file.data()), file.size());
}

}  // namespace

QImage loadMetafile(const std::string& path) {
    const metafile::Document document = metafile::readDocument(readWholeFile(path));
    QImage image(document.size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        throw PictureError("Недостаточно памяти для изображения " + std::to_string(document.size.width()) +
                           " x " + std::to_string(document.size.height()) + " точек");
    }
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        metafile::PainterCanvas canvas(painter);
        metafile::render(document, canvas, QSizeF(document.size));
    }
    return image;
}
