#include "PictureSamples.h"

#include <gif_lib.h>
#include <png.h>

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <cstring>
#include <fstream>
#include <stdexcept>

Bytes encodeWithQt(const QImage& image, const char* format, int quality) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image)) {
        throw std::runtime_error("Qt could not write " + std::string(format));
    }
    return Bytes(encoded.begin(), encoded.end());
}

namespace {

void appendPng(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushPng(png_structp) {}

int appendGif(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

ColorMapObject* colourMap(const std::vector<QRgb>& colours) {
    std::vector<GifColorType> entries;
    for (const QRgb colour : colours) {
        entries.push_back(GifColorType{static_cast<GifByteType>(qRed(colour)),
                                       static_cast<GifByteType>(qGreen(colour)),
                                       static_cast<GifByteType>(qBlue(colour))});
    }
    return GifMakeMapObject(static_cast<int>(entries.size()), entries.data());
}

void require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

}  // namespace

Bytes encodePng(const PngSample& sample) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng could not write the sample");
    }
    png_set_write_fn(png, &out, appendPng, flushPng);
    png_set_IHDR(png, info, static_cast<png_uint_32>(sample.width), static_cast<png_uint_32>(sample.height),
                 sample.bitDepth, sample.colourType,
                 sample.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (const QRgb colour : sample.palette) {
        palette.push_back(png_color{static_cast<png_byte>(qRed(colour)),
                                    static_cast<png_byte>(qGreen(colour)),
                                    static_cast<png_byte>(qBlue(colour))});
    }
    if (!palette.empty()) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    if (!sample.paletteAlpha.empty()) {
        png_set_tRNS(png, info, sample.paletteAlpha.data(), static_cast<int>(sample.paletteAlpha.size()),
                     nullptr);
    }
    png_write_info(png, info);
    const std::size_t stride = sample.rows.size() / static_cast<std::size_t>(sample.height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < sample.height; ++y) {
        rows.push_back(const_cast<png_bytep>(sample.rows.data()) + stride * static_cast<std::size_t>(y));
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes encodeGif(const GifSample& sample) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendGif, &error);
    require(gif != nullptr, "giflib could not start");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = sample.colours.empty() ? nullptr : colourMap(sample.colours);
    require(EGifPutScreenDesc(gif, sample.width, sample.height, 8, 0, global) == GIF_OK, "screen");
    GifFreeMapObject(global);
    if (sample.loopCount >= 0) {
        const unsigned char loop[3] = {1, static_cast<unsigned char>(sample.loopCount & 0xFF),
                                       static_cast<unsigned char>(sample.loopCount >> 8)};
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const GifFrameSample& frame : sample.frames) {
        GraphicsControlBlock control{};
        control.DisposalMode = frame.disposal;
        control.DelayTime = frame.delayCs;
        control.TransparentColor = frame.transparentIndex;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
        ColorMapObject* local = frame.localColours.empty() ? nullptr : colourMap(frame.localColours);
        require(EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced,
                                 local) == GIF_OK,
                "image");
        GifFreeMapObject(local);
        std::vector<int> order;
        if (frame.interlaced) {
            const int starts[] = {0, 4, 2, 1};
            const int steps[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int row = starts[pass]; row < frame.height; row += steps[pass]) {
                    order.push_back(row);
                }
            }
        } else {
            for (int row = 0; row < frame.height; ++row) {
                order.push_back(row);
            }
        }
        for (const int row : order) {
            Bytes line(frame.indices.begin() + row * frame.width,
                       frame.indices.begin() + (row + 1) * frame.width);
            require(EGifPutLine(gif, line.data(), frame.width) == GIF_OK, "line");
        }
    }
    require(EGifCloseFile(gif, &error) == GIF_OK, "close");
    return out;
}

void putU16(Bytes& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

void putU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    putU16(bytes, at, value & 0xFFFF);
    putU16(bytes, at + 2, value >> 16);
}

Bytes encodeBmp(const BmpSample& sample) {
    const std::size_t paletteBytes = sample.palette.size() * 4 + sample.masks.size() * 4;
    const std::size_t pixelOffset = 14 + 40 + paletteBytes;
    Bytes out(pixelOffset, 0);
    out[0] = 'B';
    out[1] = 'M';
    putU32(out, 2, static_cast<std::uint32_t>(pixelOffset + sample.pixels.size()));
    putU32(out, 10, static_cast<std::uint32_t>(pixelOffset));
    putU32(out, 14, 40);
    putU32(out, 18, static_cast<std::uint32_t>(sample.width));
    putU32(out, 22, static_cast<std::uint32_t>(sample.height));
    putU16(out, 26, 1);
    putU16(out, 28, static_cast<std::uint32_t>(sample.bitsPerPixel));
    putU32(out, 30, sample.compression);
    putU32(out, 34, static_cast<std::uint32_t>(sample.pixels.size()));
    putU32(out, 46, static_cast<std::uint32_t>(sample.palette.size()));
    std::size_t at = 54;
    for (const std::uint32_t mask : sample.masks) {
        putU32(out, at, mask);
        at += 4;
    }
    for (const QRgb colour : sample.palette) {
        putU32(out, at, colour & 0xFFFFFF);
        at += 4;
    }
    out.insert(out.end(), sample.pixels.begin(), sample.pixels.end());
    return out;
}

Bytes truncated(const Bytes& bytes, std::size_t length) {
    return Bytes(bytes.begin(), bytes.begin() + length);
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    require(out.good(), "could not write a sample file");
}

QImage markedPicture(int width, int height, QRgb background, QRgb mark, QImage::Format format) {
    QImage image(width, height, format);
    image.fill(QColor::fromRgba(background));
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(0, 0, width / 2, height / 2, QColor::fromRgba(mark));
    return image;
}
