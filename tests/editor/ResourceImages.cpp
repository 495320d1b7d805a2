#include "ResourceImages.h"

#include "resources/EmbeddedResources.h"

#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace ka813::resourcetest {

namespace {

struct Reader {
    const unsigned char* data;
    size_t size, pos;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (n > r->size - r->pos) png_error(png, "read past the end of the data");
    std::memcpy(out, r->data + r->pos, n);
    r->pos += n;
}

} // namespace

bool decodePng(const unsigned char* bytes, size_t size, Image& img) {
    Reader reader{bytes, size, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &reader, readFromMemory);
        png_read_info(png, info);
        img.width = png_get_image_width(png, info);
        img.height = png_get_image_height(png, info);
        img.bitDepth = png_get_bit_depth(png, info);
        img.colourType = png_get_color_type(png, info);
        const unsigned channels = img.colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                                  : img.colourType == PNG_COLOR_TYPE_RGB     ? 3
                                                                             : 0;
        if (img.bitDepth == 8 && channels) {
            img.data.assign(static_cast<size_t>(img.width) * img.height * channels, 0);
            for (unsigned y = 0; y < img.height; ++y)
                png_read_row(png, &img.data[static_cast<size_t>(y) * img.width * channels], nullptr);
            png_read_end(png, nullptr);
            img.channels = channels;
            ok = true;
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

bool decodeEmbedded(int id, Image& out) {
    EmbeddedResource res{nullptr, 0};
    return findEmbeddedResource(id, &res) && decodePng(res.data, res.size, out);
}

bool decodeFile(const std::string& path, Image& out) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return !bytes.empty() && decodePng(bytes.data(), bytes.size(), out);
}

} // namespace ka813::resourcetest
