#include "picture/decoders/JpegDecoder.h"

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "picture/ImageBuffer.h"
#include "picture/PictureError.h"
#include "picture/PictureLimits.h"
#include "picture/decoders/ExifOrientation.h"

namespace {

constexpr long kMaxDecoderMemory = 512L
                                   << 20;  // libjpeg's own buffers, mostly a progressive file's coefficients
constexpr int kMaxScans = 1000;            // a progressive file may not make the decoder pass over it forever
constexpr std::size_t kMessageBytes = 512;

// The C++ side of a decode: where the pixels go. Reached from the C-style decoding function only through the
// plain callbacks below, each of which returns before libjpeg can jump again.
struct JpegOutput {
    QImage image;
    std::vector<unsigned char> cmykRow;
    bool cmyk = false;
    bool adobeInverted = false;
    int orientation = 1;
};

// Everything the C-style function uses. Plain data only: a longjmp out of libjpeg must skip no destructor.
struct JpegJob {
    jpeg_decompress_struct cinfo;  // first, so libjpeg's callbacks can find the job from the cinfo they get
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf failure;
    char message[kMessageBytes];
    const unsigned char* data;
    unsigned long size;
    JpegOutput* output;
};

JpegJob& jobOf(j_common_ptr cinfo) {
    return *reinterpret_cast<JpegJob*>(cinfo);
}

void setMessage(JpegJob& job, const char* text) {
    std::strncpy(job.message, text, kMessageBytes - 1);
    job.message[kMessageBytes - 1] = '\0';
}

// What is wrong, in the program's words, for libjpeg's message code.
const char* reasonOf(int code) {
    switch (code) {
        case JERR_NO_SOI:
        case JERR_SOI_DUPLICATE:
            return "Файл не является изображением JPEG";
        case JERR_INPUT_EMPTY:
            return "Файл JPEG пуст";
        case JERR_INPUT_EOF:
        case JWRN_JPEG_EOF:
            return "Неожиданный конец файла JPEG";
        case JERR_OUT_OF_MEMORY:
            return "Недостаточно памяти для изображения";
        case JERR_IMAGE_TOO_BIG:
        case JERR_WIDTH_OVERFLOW:
            return "Изображение JPEG слишком велико";
        case JERR_EMPTY_IMAGE:
            return "Изображение JPEG нулевого размера";
        case JERR_ARITH_NOTIMPL:
        case JERR_NOTIMPL:
        case JERR_NOT_COMPILED:
        case JERR_CONVERSION_NOTIMPL:
        case JERR_FRACT_SAMPLE_NOTIMPL:
        case JERR_SOF_UNSUPPORTED:
        case JERR_BAD_PRECISION:
            return "Этот вид изображений JPEG не поддерживается";
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_BOGUS_PROGRESSION:
            return "Данные изображения JPEG повреждены";
        default:
            return "Файл JPEG повреждён";
    }
}

[[noreturn]] void failWithReason(j_common_ptr cinfo) {
    JpegJob& job = jobOf(cinfo);
    setMessage(job, reasonOf(cinfo->err->msg_code));
    std::longjmp(job.failure, 1);
}

// Warnings that mean the pixels are damaged. libjpeg only warns when the data ends early (JWRN_JPEG_EOF): its
// source manager supplies a fake end-of-image marker and the rest of the picture decodes as flat grey.
// Showing that as the picture would pass a cut-off or corrupt file off as a sound one, so these warnings end
// the decode. Other warnings (extraneous bytes between markers, an unknown JFIF
// revision) are harmless and ignored.
bool damagesPixels(int code) {
    switch (code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_BOGUS_PROGRESSION:
            return true;
        default:
            return false;
    }
}

void emitMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && damagesPixels(cinfo->err->msg_code)) {
        failWithReason(cinfo);
    }
}

void outputMessage(j_common_ptr) {}

void limitScans(j_common_ptr cinfo) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompress->input_scan_number > kMaxScans) {
        JpegJob& job = jobOf(cinfo);
        setMessage(job, "Слишком много проходов в прогрессивном JPEG");
        std::longjmp(job.failure, 1);
    }
}

// The C++ callbacks. They catch everything: an exception must not cross the C-style function.
bool prepareOutput(JpegJob& job) {
    try {
        const auto& cinfo = job.cinfo;
        checkFrameSize(cinfo.output_width, cinfo.output_height);
        JpegOutput& output = *job.output;
        output.image = newImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                                QImage::Format_RGB32);
        if (output.image.isNull()) {
            setMessage(job, "Недостаточно памяти для изображения");
            return false;
        }
        if (output.cmyk) {
            output.cmykRow.resize(static_cast<std::size_t>(cinfo.output_width) * 4);
        }
        return true;
    } catch (const std::exception& failure) {
        setMessage(job, failure.what());
        return false;
    }
}

unsigned char* rowTarget(JpegJob& job, unsigned row) {
    JpegOutput& output = *job.output;
    return output.cmyk ? output.cmykRow.data() : output.image.scanLine(static_cast<int>(row));
}

// Photoshop writes CMYK inverted (and says so with its Adobe marker); other writers store it plain.
void convertCmykRow(JpegOutput& output, unsigned row) {
    auto* target = reinterpret_cast<QRgb*>(output.image.scanLine(static_cast<int>(row)));
    const unsigned char* source = output.cmykRow.data();
    for (int x = 0; x < output.image.width(); ++x, source += 4) {
        int c = source[0], m = source[1], y = source[2], k = source[3];
        if (!output.adobeInverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        target[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

// The orientation the Exif block among the kept APP1 markers gives (other APP1 blocks, as XMP, give none).
int orientationOf(const jpeg_decompress_struct& cinfo) {
    for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker != nullptr; marker = marker->next) {
        const int orientation = exifOrientation(marker->data, marker->data_length);
        if (orientation != 1) {
            return orientation;
        }
    }
    return 1;
}

// The whole libjpeg conversation, C-style: it owns nothing with a destructor, so libjpeg may jump out of it.
bool runDecode(JpegJob& job) {
    job.cinfo.err = jpeg_std_error(&job.errors);
    job.errors.error_exit = failWithReason;
    job.errors.emit_message = emitMessage;
    job.errors.output_message = outputMessage;
    if (setjmp(job.failure) != 0) {
        jpeg_destroy_decompress(&job.cinfo);
        return false;
    }
    jpeg_create_decompress(&job.cinfo);
    job.cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    job.progress.progress_monitor = limitScans;
    job.cinfo.progress = &job.progress;
    jpeg_mem_src(&job.cinfo, job.data, job.size);
    jpeg_save_markers(&job.cinfo, JPEG_APP0 + 1, 0xFFFF);  // Exif
    jpeg_read_header(&job.cinfo, TRUE);
    job.output->orientation = orientationOf(job.cinfo);
    const bool cmyk = job.cinfo.jpeg_color_space == JCS_CMYK || job.cinfo.jpeg_color_space == JCS_YCCK;
    job.output->cmyk = cmyk;
    job.output->adobeInverted = job.cinfo.saw_Adobe_marker;
    // 0xffRRGGBB words straight from the decoder, as Format_RGB32 stores them.
    job.cinfo.out_color_space =
        cmyk ? JCS_CMYK : (Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB);
    jpeg_calc_output_dimensions(&job.cinfo);
    if (!prepareOutput(job)) {
        jpeg_destroy_decompress(&job.cinfo);
        return false;
    }
    jpeg_start_decompress(&job.cinfo);
    while (job.cinfo.output_scanline < job.cinfo.output_height) {
        const unsigned row = job.cinfo.output_scanline;
        JSAMPROW target = rowTarget(job, row);
        jpeg_read_scanlines(&job.cinfo, &target, 1);
        if (cmyk) {
            convertCmykRow(*job.output, row);
        }
    }
    // No jpeg_finish_decompress: every pixel is in, and what follows the last scan does not matter.
    jpeg_destroy_decompress(&job.cinfo);
    return true;
}

}  // namespace

QImage decodeJpeg(const unsigned char* data, std::size_t size) {
    JpegOutput output;
    auto job = std::make_unique<JpegJob>();
    job->data = data;
    job->size = static_cast<unsigned long>(size);
    job->output = &output;
    job->message[0] = '\0';
    if (!runDecode(*job)) {
        throw PictureError(job->message);
    }
    QImage upright = uprightPicture(output.image, output.orientation);
    if (upright.isNull()) {
        throw PictureError("Недостаточно памяти для изображения");
    }
    return upright;
}
