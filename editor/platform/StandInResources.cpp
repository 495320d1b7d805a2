// Plain stand-in panel images with the sizes and frame counts of the real ones,
// used while the library is built without its painted resources.
#include <png.h>

#include <vector>

#include "editor/platform/Platform.h"

namespace VSTGUI {
namespace platform {

namespace {

std::vector<uint8_t> encode(int width, int height, const std::vector<uint8_t>& rgba) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr);
    out.resize(size);
    return out;
}

std::vector<uint8_t> strip(int width, int frameHeight, int frames) {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < frameHeight * frames; ++y) {
        const int frame = y / frameHeight;
        for (int x = 0; x < width; ++x) {
            const bool corner = (x < 3 || x >= width - 3) && (y % frameHeight < 3);
            rgba.insert(rgba.end(), {static_cast<uint8_t>(frame * 2), static_cast<uint8_t>(200 - frame),
                                     90, static_cast<uint8_t>(corner ? 0 : 255)});
        }
    }
    return encode(width, frameHeight * frames, rgba);
}

}  // namespace

bool findStandInResource(int32_t id, const uint8_t** data, size_t* size) {
    static const std::vector<uint8_t> images[5] = {
        strip(720, 280, 1),
        strip(40, 40, 101),
        strip(33, 33, 101),
        strip(54, 67, 2),
        strip(22, 35, 2),
    };
    if (id < 1 || id > 5)
        return false;
    *data = images[id - 1].data();
    *size = images[id - 1].size();
    return true;
}

}  // namespace platform
}  // namespace VSTGUI
