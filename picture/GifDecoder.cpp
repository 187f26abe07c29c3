#include "picture/GifDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "picture/PictureError.h"
#include "picture/PictureLimits.h"

namespace {

constexpr int kDefaultDelayMs = 100;  // for frames that ask for no delay or almost none, as browsers do

struct Source {
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
};

int readSource(GifFileType* gif, GifByteType* target, int length) {
    auto& source = *static_cast<Source*>(gif->UserData);
    const std::size_t count =
        std::min(static_cast<std::size_t>(std::max(length, 0)), source.size - source.position);
    if (count > 0) {
        std::memcpy(target, source.data + source.position, count);
        source.position += count;
    }
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void failWith(int errorCode) {
    const char* text = GifErrorString(errorCode);
    throw PictureError(text != nullptr ? text : "Ошибка в файле GIF");
}

void check(GifFileType* gif, int result) {
    if (result != GIF_OK) {
        failWith(gif->Error);
    }
}

// What the extensions in front of a frame say about it.
struct FrameControl {
    int disposal = DISPOSAL_UNSPECIFIED;
    int delayMs = kDefaultDelayMs;
    int transparentIndex = NO_TRANSPARENT_COLOR;
};

// The rows of an interlaced frame arrive in four passes: every 8th from 0, every 8th from 4, every 4th from
// 2, every 2nd from 1.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int row = 0; row < height; ++row) {
            order.push_back(row);
        }
        return order;
    }
    const int starts[] = {0, 4, 2, 1};
    const int steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int row = starts[pass]; row < height; row += steps[pass]) {
            order.push_back(row);
        }
    }
    return order;
}

class Composer {
  public:
    Composer(GifFileType* gif) : gif_(gif) {}

    Animation run() {
        checkFrameSize(gif_->SWidth, gif_->SHeight);
        canvas_ = QImage(gif_->SWidth, gif_->SHeight, QImage::Format_ARGB32_Premultiplied);
        if (canvas_.isNull()) {
            throw PictureError("Недостаточно памяти для изображения");
        }
        canvas_.fill(Qt::transparent);
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        do {
            check(gif_, DGifGetRecordType(gif_, &record));
            if (record == IMAGE_DESC_RECORD_TYPE) {
                readFrame();
                control_ = FrameControl();
            } else if (record == EXTENSION_RECORD_TYPE) {
                readExtension();
            }
        } while (record != TERMINATE_RECORD_TYPE);
        if (animation_.frames.empty()) {
            throw PictureError("В файле GIF нет ни одного кадра");
        }
        return std::move(animation_);
    }

  private:
    void readExtension() {
        int code = 0;
        GifByteType* block = nullptr;
        check(gif_, DGifGetExtension(gif_, &code, &block));
        bool firstBlock = true;
        bool looping = false;
        while (block != nullptr) {
            const int length = block[0];
            if (code == GRAPHICS_EXT_FUNC_CODE && firstBlock) {
                readGraphicsControl(block + 1, length);
            } else if (code == APPLICATION_EXT_FUNC_CODE && firstBlock) {
                looping = length == 11 && (std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 ||
                                           std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0);
            } else if (looping && length >= 3 && block[1] == 1) {
                const int count = block[2] | (block[3] << 8);
                animation_.repeats = count == 0 ? -1 : count;
            }
            firstBlock = false;
            check(gif_, DGifGetExtensionNext(gif_, &block));
        }
    }

    void readGraphicsControl(const GifByteType* bytes, int length) {
        GraphicsControlBlock block{};
        if (DGifExtensionToGCB(static_cast<std::size_t>(length), bytes, &block) != GIF_OK) {
            return;  // a short block: the frame keeps the defaults
        }
        control_.disposal = block.DisposalMode;
        control_.delayMs = block.DelayTime < 2 ? kDefaultDelayMs : block.DelayTime * 10;
        control_.transparentIndex = block.TransparentColor;
    }

    void readFrame() {
        check(gif_, DGifGetImageDesc(gif_));
        const GifImageDesc& desc = gif_->Image;
        if (static_cast<int>(animation_.frames.size()) >= picture_limits::kMaxFrames) {
            throw PictureError("В файле GIF слишком много кадров (можно не больше " +
                               std::to_string(picture_limits::kMaxFrames) + ")");
        }
        const std::int64_t canvasPixels = std::int64_t{canvas_.width()} * canvas_.height();
        if (canvasPixels * static_cast<std::int64_t>(animation_.frames.size() + 1) >
            picture_limits::kMaxTotalPixels) {
            throw PictureError("Анимация GIF слишком велика: больше " +
                               std::to_string(picture_limits::kMaxTotalPixels / 1'000'000) +
                               " миллионов точек во всех кадрах");
        }
        const QRect frameRect(desc.Left, desc.Top, desc.Width, desc.Height);
        const QRect visible = frameRect.intersected(canvas_.rect());
        applyPreviousDisposal();
        if (control_.disposal == DISPOSE_PREVIOUS) {
            saved_ = canvas_.copy(visible);
        }
        if (desc.Width == 0 || desc.Height == 0) {
            skipFrameData();
        } else {
            checkFrameSize(desc.Width, desc.Height);
            const ColorMapObject* colours = desc.ColorMap != nullptr ? desc.ColorMap : gif_->SColorMap;
            paintFrame(colours, frameRect);
        }
        animation_.frames.push_back(AnimationFrame{canvas_, control_.delayMs});
        previousDisposal_ = control_.disposal;
        previousRect_ = visible;
    }

    void applyPreviousDisposal() {
        if (previousDisposal_ == DISPOSE_BACKGROUND) {
            clear(previousRect_);
        } else if (previousDisposal_ == DISPOSE_PREVIOUS && !saved_.isNull()) {
            restore(saved_, previousRect_.topLeft());
        }
        saved_ = QImage();
    }

    void clear(const QRect& area) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(canvas_.scanLine(y));
            std::fill(row + area.left(), row + area.left() + area.width(), QRgb{0});
        }
    }

    void restore(const QImage& part, QPoint at) {
        for (int y = 0; y < part.height(); ++y) {
            const auto* source = reinterpret_cast<const QRgb*>(part.constScanLine(y));
            auto* target = reinterpret_cast<QRgb*>(canvas_.scanLine(at.y() + y)) + at.x();
            std::copy(source, source + part.width(), target);
        }
    }

    // A frame without pixels still carries an (empty) image data stream, which must be read past.
    void skipFrameData() {
        int codeSize = 0;
        GifByteType* block = nullptr;
        check(gif_, DGifGetCode(gif_, &codeSize, &block));
        while (block != nullptr) {
            check(gif_, DGifGetCodeNext(gif_, &block));
        }
    }

    // Parts outside the logical screen are read and dropped; so are the transparent index and any index
    // beyond the colour map, which leave what is under them.
    void paintFrame(const ColorMapObject* colours, const QRect& frameRect) {
        QRgb palette[256];
        const int colourCount = colours != nullptr ? std::clamp(colours->ColorCount, 0, 256) : 0;
        for (int i = 0; i < colourCount; ++i) {
            const GifColorType& colour = colours->Colors[i];
            palette[i] = qRgb(colour.Red, colour.Green, colour.Blue);
        }
        std::vector<GifPixelType> line(static_cast<std::size_t>(frameRect.width()));
        const int firstColumn = std::max(frameRect.left(), 0);
        const int endColumn = std::min(frameRect.left() + frameRect.width(), canvas_.width());
        for (const int row : rowOrder(frameRect.height(), gif_->Image.Interlace)) {
            check(gif_, DGifGetLine(gif_, line.data(), frameRect.width()));
            const int y = frameRect.top() + row;
            if (y < 0 || y >= canvas_.height()) {
                continue;
            }
            auto* target = reinterpret_cast<QRgb*>(canvas_.scanLine(y));
            for (int x = firstColumn; x < endColumn; ++x) {
                const int index = line[static_cast<std::size_t>(x - frameRect.left())];
                if (index != control_.transparentIndex && index < colourCount) {
                    target[x] = palette[index];
                }
            }
        }
    }

    GifFileType* gif_;
    QImage canvas_;
    QImage saved_;
    Animation animation_;
    FrameControl control_;
    int previousDisposal_ = DISPOSAL_UNSPECIFIED;
    QRect previousRect_;
};

}  // namespace

Animation decodeGif(const unsigned char* data, std::size_t size) {
    Source source{data, size, 0};
    int error = 0;
    GifFile gif(DGifOpen(&source, readSource, &error));
    if (!gif) {
        failWith(error);
    }
    return Composer(gif.get()).run();
}
