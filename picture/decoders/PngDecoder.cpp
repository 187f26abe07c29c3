#include "picture/decoders/PngDecoder.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>

#include "picture/ImageBuffer.h"
#include "picture/PictureError.h"
#include "picture/PictureLimits.h"

namespace {

constexpr std::size_t kMessageBytes = 512;
constexpr png_uint_32 kMaxCachedChunks = 1000;        // text and other ancillary chunks kept at once
constexpr png_alloc_size_t kMaxChunkBytes = 8 << 20;  // one ancillary chunk, decompressed

struct PngOutput {
    QImage image;
};

// Everything the C-style function uses. Plain data only: a longjmp out of libpng must skip no destructor.
struct PngJob {
    png_structp png;
    png_infop info;
    char message[kMessageBytes];
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
    PngOutput* output;
};

void setMessage(PngJob& job, const char* text) {
    std::strncpy(job.message, text, kMessageBytes - 1);
    job.message[kMessageBytes - 1] = '\0';
}

bool contains(const char* text, const char* part) {
    return std::strstr(text, part) != nullptr;
}

// libpng gives English texts and no codes: its reasons are told apart by their words. The program's own
// texts, raised through png_error too, pass unchanged.
const char* reasonOf(const char* text) {
    if (std::any_of(text, text + std::strlen(text),
                    [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        return text;
    }
    if (contains(text, "Not a PNG file") || contains(text, "ASCII conversion")) {
        return "Файл не является изображением PNG";
    }
    if (contains(text, "CRC")) {
        return "Файл PNG повреждён: неверная контрольная сумма";
    }
    if (contains(text, "exceeds") || contains(text, "too large")) {
        return "Изображение PNG слишком велико";
    }
    if (contains(text, "memory")) {
        return "Недостаточно памяти для изображения";
    }
    if (contains(text, "Not enough image data") || contains(text, "end of file")) {
        return "Неожиданный конец файла PNG";
    }
    return "Файл PNG повреждён";
}

void onError(png_structp png, png_const_charp text) {
    setMessage(*static_cast<PngJob*>(png_get_error_ptr(png)), reasonOf(text));
    png_longjmp(png, 1);
}

// libpng warns about ancillary trouble (a bad checksum on a text chunk, an odd colour profile) and carries on
// with the pixels intact; the picture is shown.
void onWarning(png_structp, png_const_charp) {}

// A read that cannot be served in full fails: libpng must never see bytes that are not in the file.
void readData(png_structp png, png_bytep target, png_size_t length) {
    auto& job = *static_cast<PngJob*>(png_get_io_ptr(png));
    if (length > job.size - job.position) {
        png_error(png, "Неожиданный конец файла PNG");
    }
    std::memcpy(target, job.data + job.position, length);
    job.position += length;
}

// The C++ callback; it catches everything, an exception must not cross the C-style function.
bool prepareOutput(PngJob& job, png_uint_32 width, png_uint_32 height, bool alpha) {
    try {
        checkFrameSize(width, height);
        job.output->image = newImage(static_cast<int>(width), static_cast<int>(height),
                                     alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (job.output->image.isNull()) {
            setMessage(job, "Недостаточно памяти для изображения");
            return false;
        }
        return true;
    } catch (const std::exception& failure) {
        setMessage(job, failure.what());
        return false;
    }
}

unsigned char* rowTarget(PngJob& job, png_uint_32 row) {
    return job.output->image.scanLine(static_cast<int>(row));
}

// Every colour type and depth becomes 32-bit B, G, R, A bytes (0xAARRGGBB words), opaque ones with A = 0xff.
bool setTransforms(PngJob& job) {
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    png_get_IHDR(job.png, job.info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    const bool transparentColour = png_get_valid(job.png, job.info, PNG_INFO_tRNS) != 0;
    const bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || transparentColour;
    if (depth == 16) {
        png_set_strip_16(job.png);
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(job.png);
    }
    if ((colourType & PNG_COLOR_MASK_COLOR) == 0) {
        if (depth < 8) {
            png_set_expand_gray_1_2_4_to_8(job.png);
        }
        png_set_gray_to_rgb(job.png);
    }
    if (transparentColour) {
        png_set_tRNS_to_alpha(job.png);
    }
    if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        png_set_bgr(job.png);
        if (!alpha) {
            png_set_filler(job.png, 0xff, PNG_FILLER_AFTER);
        }
    } else {
        png_set_swap_alpha(job.png);
        if (!alpha) {
            png_set_filler(job.png, 0xff, PNG_FILLER_BEFORE);
        }
    }
    return prepareOutput(job, width, height, alpha);
}

// The whole libpng conversation, C-style: it owns nothing with a destructor, so libpng may jump out of it.
bool runDecode(PngJob& job) {
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
    if (job.png == nullptr) {
        setMessage(job, "Недостаточно памяти для изображения");
        return false;
    }
    job.info = png_create_info_struct(job.png);
    if (job.info == nullptr) {
        png_destroy_read_struct(&job.png, nullptr, nullptr);
        setMessage(job, "Недостаточно памяти для изображения");
        return false;
    }
    if (setjmp(png_jmpbuf(job.png)) != 0) {
        png_destroy_read_struct(&job.png, &job.info, nullptr);
        return false;
    }
    png_set_read_fn(job.png, &job, readData);
    png_set_user_limits(job.png, static_cast<png_uint_32>(picture_limits::kMaxFramePixels),
                        static_cast<png_uint_32>(picture_limits::kMaxFramePixels));
    png_set_chunk_cache_max(job.png, kMaxCachedChunks);
    png_set_chunk_malloc_max(job.png, kMaxChunkBytes);
    // Each image data chunk's CRC already guards its bytes (libpng refuses a mismatch in a critical chunk);
    // zlib's Adler-32 over the same bytes again costs a tenth of the decode and catches nothing more.
    png_set_option(job.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(job.png, job.info);
    if (!setTransforms(job)) {
        png_destroy_read_struct(&job.png, &job.info, nullptr);
        return false;
    }
    const int passes = png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
    const png_uint_32 height = png_get_image_height(job.png, job.info);
    if (png_get_rowbytes(job.png, job.info) !=
        static_cast<png_size_t>(png_get_image_width(job.png, job.info)) * 4) {
        png_error(job.png, "Этот вид изображений PNG не поддерживается");
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 row = 0; row < height; ++row) {
            png_read_row(job.png, rowTarget(job, row), nullptr);
        }
    }
    // No png_read_end: every pixel is in, and the chunks after the image data do not change it.
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    return true;
}

}  // namespace

QImage decodePng(const unsigned char* data, std::size_t size) {
    PngOutput output;
    auto job = std::make_unique<PngJob>();
    job->data = data;
    job->size = size;
    job->output = &output;
    if (!runDecode(*job)) {
        throw PictureError(job->message);
    }
    return output.image;
}
