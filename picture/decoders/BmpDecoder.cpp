#include "picture/decoders/BmpDecoder.h"

#include <cstdint>
#include <string>

#include "picture/decoders/DibDecoder.h"

namespace {

constexpr std::size_t kFileHeaderBytes = 14;

[[noreturn]] void fail(const std::string& text) {
    throw PictureError("Неверный файл BMP: " + text);
}

std::uint32_t u32(const unsigned char* p) {
    return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

}  // namespace

// The file header says where the pixels begin; the bitmap's header, masks and colours lie between it and
// them.
QImage decodeBmp(const unsigned char* data, std::size_t size) {
    if (size < kFileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M') {
        fail("нет подписи BM");
    }
    const std::uint32_t pixelOffset = u32(data + 10);
    if (pixelOffset < kFileHeaderBytes || pixelOffset >= size) {
        fail("смещение точек " + std::to_string(pixelOffset) + " вне файла");
    }
    try {
        return dib::decodeDib({data + kFileHeaderBytes, pixelOffset - kFileHeaderBytes},
                              {data + pixelOffset, size - pixelOffset})
            .image;
    } catch (const dib::DibError& error) {
        fail(error.what());
    }
}
