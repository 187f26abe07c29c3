#include "picture/Metafile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QPainter>
#include <cerrno>

#include "picture/MetafilePainterCanvas.h"
#include "picture/MetafileReader.h"
#include "picture/MetafileRenderer.h"
#include "platform/FileError.h"

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// The whole file; anything but a regular file reads as empty (a FIFO is never waited on).
std::string readWholeFile(const std::string& path) {
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        throw FileError("Не удалось открыть файл", path, errno);
    }
    struct stat status {};
    if (fstat(file.get(), &status) != 0) {
        throw FileError("Не удалось прочитать файл", path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return std::string();
    }
    const std::uint64_t size = static_cast<std::uint64_t>(status.st_size);
    if (size > metafile::kMaxFileBytes) {
        throw PictureError("Метафайл \"" + path + "\" слишком велик: " + std::to_string(size) + " байт");
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError("Не удалось прочитать файл", path, errno);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace

QImage loadMetafile(const std::string& path) {
    try {
        const metafile::Document document = metafile::readDocument(readWholeFile(path));
        QImage image(document.size, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            throw PictureError("Недостаточно памяти для изображения " +
                               std::to_string(document.size.width()) + " x " +
                               std::to_string(document.size.height()) + " точек");
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
    } catch (const PictureError& error) {
        throw PictureError("Не удалось загрузить метафайл \"" + path + "\": " + error.what());
    }
}
