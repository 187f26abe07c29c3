#include "picture/PictureLimits.h"

#include "picture/PictureError.h"

#include <string>

void checkFrameSize(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0) {
        throw PictureError("Изображение нулевого размера: " + std::to_string(width) + " × " +
                           std::to_string(height) + " точек");
    }
    if (width > picture_limits::kMaxFramePixels || height > picture_limits::kMaxFramePixels ||
        width * height > picture_limits::kMaxFramePixels) {
        throw PictureError("Изображение слишком велико: " + std::to_string(width) + " × " +
                           std::to_string(height) + " точек (можно не больше " +
                           std::to_string(picture_limits::kMaxFramePixels / 1'000'000) + " миллионов точек)");
    }
}
