#include "editor/CBitmap.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

#include "editor/CDrawContext.h"
#include "editor/PanelImages.h"
#include "editor/platform/Platform.h"

namespace VSTGUI {

namespace {

// Our resources are panel-sized; anything far larger is a damaged header, not art.
constexpr png_uint_32 kMaxDimension = 16384;

struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t position;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->size - source->position)
        png_error(png, "resource ends early");
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

// libpng's messages have nowhere to go in a plug-in; errors just end the decoding.
void ignoreWarning(png_structp, png_const_charp) {}
[[noreturn]] void stopDecoding(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Premultiplies one decoded row in place; a fully transparent pixel becomes all zero.
void premultiplyRow(uint8_t* row, int32_t width) {
    for (int32_t x = 0; x < width; ++x, row += 4) {
        const unsigned alpha = row[3];
        if (alpha == 0) {
            row[0] = row[1] = row[2] = 0;
        } else {
            // A shift, not a division: an opaque 255 is stored as 254.
            row[0] = static_cast<uint8_t>((row[0] * alpha) >> 8);
            row[1] = static_cast<uint8_t>((row[1] * alpha) >> 8);
            row[2] = static_cast<uint8_t>((row[2] * alpha) >> 8);
        }
    }
}

}  // namespace

CBitmap::CBitmap(int32_t id, int32_t imageScale) { loadFromResource(id, imageScale); }

CBitmap::CBitmap(const uint8_t* pngData, size_t pngSize, int32_t imageScale) {
    loadFromPng(pngData, pngSize, imageScale);
}

CBitmap::~CBitmap() { dispose(); }

void CBitmap::dispose() {
    delete image;
    image = nullptr;
    width = 0;
    height = 0;
    scale = 1;
}

bool CBitmap::isLoaded() const { return image != nullptr && width > 0 && height > 0; }

bool CBitmap::loadFromResource(int32_t id, int32_t imageScale) {
    dispose();
    resourceID = id;
    const uint8_t* data = nullptr;
    size_t bytes = 0;
    if (imageScale > 1 && !findPanelImage(id, &data, &bytes, imageScale))
        imageScale = 1;  // the plain image will do, enlarged
    if (!data && !findPanelImage(id, &data, &bytes)) {
        // The library holds PNG resources only; nothing else can stand in.
        noAlpha = true;
        return false;
    }
    return loadFromPng(data, bytes, imageScale);
}

bool CBitmap::loadFromPng(const uint8_t* pngData, size_t pngSize, int32_t imageScale) {
    dispose();
    noAlpha = false;
    if (!pngData || pngSize < 8 || png_sig_cmp(pngData, 0, 8) != 0 || imageScale < 1)
        return false;

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stopDecoding, ignoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }

    PngSource source{pngData, pngSize, 0};
    // Everything the error path looks at lives outside the jump.
    volatile int32_t rowsDone = 0;
    ka813::platform::Image* volatile target = nullptr;

    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &source, readFromMemory);
        png_set_user_limits(png, kMaxDimension, kMaxDimension);
        // Small reads of the picture data: a resource cut short then still
        // yields every row its bytes hold.
        png_set_compression_buffer_size(png, 256);
        png_read_info(png, info);
        png_uint_32 w = 0, h = 0;
        int bitDepth = 0, colorType = 0, interlace = 0;
        png_get_IHDR(png, info, &w, &h, &bitDepth, &colorType, &interlace, nullptr, nullptr);
        // The image's own pixels; the sizes the panel sees are set at the end.
        width = static_cast<int32_t>(w);
        height = static_cast<int32_t>(h);

        target = ka813::platform::Image::create(width, height, imageScale);
        if (target) {
            if (colorType == PNG_COLOR_TYPE_PALETTE)
                png_set_palette_to_rgb(png);
            if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
                png_set_gray_to_rgb(png);
            if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
                png_set_expand_gray_1_2_4_to_8(png);
            if (png_get_valid(png, info, PNG_INFO_tRNS))
                png_set_tRNS_to_alpha(png);
            else
                png_set_filler(png, 0xff, PNG_FILLER_AFTER);
            if (bitDepth == 16) {
                png_set_swap(png);
                png_set_strip_16(png);
            }
            png_set_bgr(png);
            const int passes = png_set_interlace_handling(png);
            png_read_update_info(png, info);
            if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4)
                png_error(png, "unexpected row layout");

            // Interlaced images are refined in place pass by pass.
            for (int pass = 0; pass < passes; ++pass) {
                for (int32_t y = 0; y < height; ++y) {
                    png_bytep row = target->row(y);
                    png_read_rows(png, &row, nullptr, 1);
                    if (y + 1 > rowsDone)
                        rowsDone = y + 1;
                }
            }
            png_read_end(png, nullptr);
        }
    }
    // Reached normally or from a decoding error: rows read so far are kept and
    // premultiplied like the rest, unread rows stay transparent.
    if (target) {
        for (int32_t y = 0; y < rowsDone; ++y)
            premultiplyRow(target->row(y), width);
        target->pixelsChanged();
        image = target;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    scale = imageScale;
    width /= scale;
    height /= scale;
    return isLoaded();
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    if (!noAlpha) {
        drawAlphaBlend(context, rect, offset, 255);
        return;
    }
    CRect dest, clip;
    if (ka813::platform::Surface* surface = targetOf(context, rect, dest, clip))
        surface->copyImage(*image, dest, offset, clip);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    // Decoded bitmaps carry their own alpha; plain colour-keyed bitmaps do not exist here.
    draw(context, rect, offset);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                             uint8_t alpha) {
    CRect dest, clip;
    if (ka813::platform::Surface* surface = targetOf(context, rect, dest, clip))
        surface->blendImage(*image, dest, offset, alpha, clip);
}

ka813::platform::Surface* CBitmap::targetOf(CDrawContext* context, const CRect& rect, CRect& dest,
                                            CRect& clip) const {
    if (!image || !context || !context->getSurface())
        return nullptr;
    dest = rect;
    dest.offset(context->offset.h, context->offset.v);
    context->getClipRect(clip);
    clip.offset(context->offset.h, context->offset.v);
    return context->getSurface();
}

}  // namespace VSTGUI
