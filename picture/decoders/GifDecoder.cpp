#include "picture/decoders/GifDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
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

// What is wrong, in the program's words, for giflib's error code.
const char* reasonOf(int errorCode) {
    switch (errorCode) {
        case D_GIF_ERR_NOT_GIF_FILE:
            return "Файл не является изображением GIF";
        case D_GIF_ERR_READ_FAILED:
        case D_GIF_ERR_EOF_TOO_SOON:
            return "Неожиданный конец файла GIF";
        case D_GIF_ERR_NO_SCRN_DSCR:
            return "Файл GIF повреждён: нет описания экрана";
        case D_GIF_ERR_NO_IMAG_DSCR:
            return "Файл GIF повреждён: нет описания кадра";
        case D_GIF_ERR_NO_COLOR_MAP:
            return "Файл GIF повреждён: нет таблицы цветов";
        case D_GIF_ERR_WRONG_RECORD:
            return "Файл GIF повреждён: неизвестный вид записи";
        case D_GIF_ERR_DATA_TOO_BIG:
            return "Файл GIF повреждён: кадр выходит за пределы экрана";
        case D_GIF_ERR_NOT_ENOUGH_MEM:
            return "Недостаточно памяти для изображения";
        case D_GIF_ERR_IMAGE_DEFECT:
            return "Данные изображения GIF повреждены";
        default:
            return "Файл GIF повреждён";
    }
}

[[noreturn]] void failWith(int errorCode) {
    throw PictureError(reasonOf(errorCode));
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

Disposal disposalOf(int mode) {
    switch (mode) {
        case DISPOSE_BACKGROUND:
            return Disposal::Clear;
        case DISPOSE_PREVIOUS:
            return Disposal::RestorePrevious;
        default:
            return Disposal::Keep;
    }
}

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

// Reads every frame whole, so a damaged file is refused before anything shows, and keeps of each only the
// indices of the part that lies on the screen; the player composes them.
class FrameReader {
  public:
    FrameReader(GifFileType* gif) : gif_(gif) {}

    Animation run() {
        checkFrameSize(gif_->SWidth, gif_->SHeight);
        animation_.screen = QSize(gif_->SWidth, gif_->SHeight);
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
        const QRect frameRect(desc.Left, desc.Top, desc.Width, desc.Height);
        AnimationFrame frame;
        frame.area = frameRect.intersected(QRect(QPoint(0, 0), animation_.screen));
        frame.disposal = disposalOf(control_.disposal);
        frame.delayMs = control_.delayMs;
        // The whole frame is decoded, even where it lies off the screen, so all of it counts.
        storedPixels_ += std::int64_t{desc.Width} * desc.Height;
        if (storedPixels_ > picture_limits::kMaxTotalPixels) {
            throw PictureError("Анимация GIF слишком велика: больше " +
                               std::to_string(picture_limits::kMaxTotalPixels / 1'000'000) +
                               " миллионов точек во всех кадрах");
        }
        if (desc.Width == 0 || desc.Height == 0) {
            skipFrameData();
        } else {
            checkFrameSize(desc.Width, desc.Height);
            const ColorMapObject* colours = desc.ColorMap != nullptr ? desc.ColorMap : gif_->SColorMap;
            frame.palette = paletteFor(colours);
            readIndices(frameRect, frame);
        }
        animation_.frames.push_back(std::move(frame));
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

    // Most frames share the global colour map and transparent index, so they share one palette.
    int paletteFor(const ColorMapObject* colours) {
        FramePalette palette{};
        const int colourCount = colours != nullptr ? std::clamp(colours->ColorCount, 0, 256) : 0;
        for (int i = 0; i < colourCount; ++i) {
            const GifColorType& colour = colours->Colors[i];
            palette[static_cast<std::size_t>(i)] = qRgb(colour.Red, colour.Green, colour.Blue);
        }
        if (control_.transparentIndex >= 0 && control_.transparentIndex < 256) {
            palette[static_cast<std::size_t>(control_.transparentIndex)] = 0;
        }
        if (animation_.palettes.empty() || animation_.palettes.back() != palette) {
            animation_.palettes.push_back(palette);
        }
        return static_cast<int>(animation_.palettes.size()) - 1;
    }

    // Rows and columns outside the screen are read and dropped. A frame wholly on the screen is read straight
    // into its place.
    void readIndices(const QRect& frameRect, AnimationFrame& frame) {
        const QRect& area = frame.area;
        frame.indices.resize(static_cast<std::size_t>(area.width()) *
                             static_cast<std::size_t>(area.height()));
        const bool whole = area == frameRect;
        std::vector<GifPixelType> line(whole ? 0 : static_cast<std::size_t>(frameRect.width()));
        for (const int row : rowOrder(frameRect.height(), gif_->Image.Interlace)) {
            const int y = frameRect.top() + row;
            if (whole) {
                check(gif_,
                      DGifGetLine(gif_, frame.indices.data() + static_cast<std::size_t>(row) * area.width(),
                                  frameRect.width()));
                continue;
            }
            check(gif_, DGifGetLine(gif_, line.data(), frameRect.width()));
            if (y < area.top() || y > area.bottom()) {
                continue;
            }
            const auto from = line.begin() + (area.left() - frameRect.left());
            std::copy(from, from + area.width(),
                      frame.indices.begin() + static_cast<std::ptrdiff_t>(y - area.top()) * area.width());
        }
    }

    GifFileType* gif_;
    Animation animation_;
    FrameControl control_;
    std::int64_t storedPixels_ = 0;
};

}  // namespace

Animation decodeGif(const unsigned char* data, std::size_t size) {
    Source source{data, size, 0};
    int error = 0;
    GifFile gif(DGifOpen(&source, readSource, &error));
    if (!gif) {
        failWith(error);
    }
    return FrameReader(gif.get()).run();
}
