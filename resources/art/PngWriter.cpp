#include "PngWriter.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace ka813::panelart {

bool writeRgbaPng(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) return false;

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<size_t>(w) * 4);
    bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level(png, 9);
        png_write_info(png, info);
        for (int y = 0; y < h; ++y) {
            const auto* src = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
            for (int x = 0; x < w; ++x) {
                // Cairo keeps colours premultiplied; PNG wants them straight.
                const uint32_t p = src[x];
                const unsigned a = p >> 24;
                png_byte* out = &row[static_cast<size_t>(x) * 4];
                for (int c = 0; c < 3; ++c) {
                    const unsigned v = (p >> (16 - 8 * c)) & 0xffu;
                    out[c] = static_cast<png_byte>(a ? (v * 255 + a / 2) / a : 0);
                }
                out[3] = static_cast<png_byte>(a);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, info);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0 && ok;
}

} // namespace ka813::panelart
