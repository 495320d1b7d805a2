#pragma once
// Drawing with cairo: decoded images are cairo image surfaces in the kit's own
// pixel format (premultiplied, blue-green-red-alpha in memory on little-endian).
#include <cairo.h>

#include "editor/platform/Platform.h"

namespace ka813::platform {

class CairoImage final : public Image {
public:
    CairoImage(cairo_surface_t* surface, int32_t scale) : surface(surface), pixelScale(scale) {}
    ~CairoImage() override { cairo_surface_destroy(surface); }
    int32_t width() const override { return cairo_image_surface_get_width(surface); }
    int32_t height() const override { return cairo_image_surface_get_height(surface); }
    int32_t scale() const override { return pixelScale; }
    uint8_t* row(int32_t y) override {
        cairo_surface_flush(surface);
        return cairo_image_surface_get_data(surface) + static_cast<size_t>(y) * stride();
    }
    int32_t stride() const override { return cairo_image_surface_get_stride(surface); }
    void pixelsChanged() override { cairo_surface_mark_dirty(surface); }
    cairo_surface_t* handle() const { return surface; }

private:
    cairo_surface_t* surface;
    int32_t pixelScale;
};

// A surface with one cairo context kept for its whole life, so that drawing
// allocates no context per call.
class CairoSurface final : public Surface {
public:
    // Takes over the surface reference; width and height in layout pixels, the
    // surface itself scale times as large.
    CairoSurface(cairo_surface_t* surface, int32_t width, int32_t height, int32_t scale);
    ~CairoSurface() override;
    int32_t width() const override { return w; }
    int32_t height() const override { return h; }
    int32_t scale() const override { return s; }
    void blendImage(Image& image, const CRect& dest, const CPoint& source, int32_t constantAlpha,
                    const CRect& clip) override;
    void copyImage(Image& image, const CRect& dest, const CPoint& source,
                   const CRect& clip) override;
    void fillRect(const CRect& area, const CColor& color, const CRect& clip) override;
    void copyFrom(Surface& source, const CRect& area) override;
    void flush() override;
    cairo_surface_t* handle() const { return surface; }
    // Called after a flush so that the display has done the drawing (windows).
    void setAfterFlush(void (*callback)(void*), void* argument) {
        afterFlush = callback;
        afterFlushArgument = argument;
    }

private:
    void paintBlock(Image& image, const CRect& dest, const CPoint& source, const CRect& clip,
                    cairo_operator_t op, double alpha);

    cairo_surface_t* surface;
    cairo_t* cr;
    int32_t w, h, s;
    void (*afterFlush)(void*) = nullptr;
    void* afterFlushArgument = nullptr;
};

}  // namespace ka813::platform
