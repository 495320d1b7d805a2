#include "editor/platform/CairoSurface.h"

namespace ka813::platform {

Image* Image::create(int32_t width, int32_t height, int32_t scale) {
    if (width <= 0 || height <= 0 || scale < 1)
        return nullptr;
    // Starts all zero: fully transparent.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return new CairoImage(surface, scale);
}

Surface* createMemorySurface(int32_t width, int32_t height, int32_t scale) {
    if (width <= 0 || height <= 0 || scale < 1)
        return nullptr;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width * scale, height * scale);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return new CairoSurface(surface, width, height, scale);
}

CairoSurface::CairoSurface(cairo_surface_t* target, int32_t width, int32_t height, int32_t scale)
    : surface(target), cr(cairo_create(target)), w(width), h(height), s(scale) {}

CairoSurface::~CairoSurface() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void CairoSurface::paintBlock(Image& image, const CRect& dest, const CPoint& source,
                              const CRect& clip, cairo_operator_t op, double alpha) {
    if (dest.isEmpty())
        return;
    // Sizes and offsets are in layout pixels; the image has k of its own for each.
    const int32_t k = image.scale();
    // A block that leaves the image draws nothing, rather than whatever lies beyond it.
    if (source.h < 0 || source.v < 0 || (source.h + dest.width()) * k > image.width() ||
        (source.v + dest.height()) * k > image.height())
        return;
    CRect area(dest);
    area.bound(clip);
    if (area.isEmpty())
        return;
    cairo_save(cr);
    cairo_rectangle(cr, area.left * s, area.top * s, area.width() * s, area.height() * s);
    cairo_clip(cr);
    // The image's origin lands where the block's source offset puts it.
    cairo_translate(cr, (dest.left - source.h) * s, (dest.top - source.v) * s);
    if (k != s)
        cairo_scale(cr, static_cast<double>(s) / k, static_cast<double>(s) / k);
    cairo_set_source_surface(cr, static_cast<CairoImage&>(image).handle(), 0, 0);
    cairo_set_operator(cr, op);
    if (alpha >= 1.0)
        cairo_paint(cr);
    else
        cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void CairoSurface::blendImage(Image& image, const CRect& dest, const CPoint& source,
                              int32_t constantAlpha, const CRect& clip) {
    if (constantAlpha <= 0)
        return;
    paintBlock(image, dest, source, clip, CAIRO_OPERATOR_OVER,
               constantAlpha >= 255 ? 1.0 : constantAlpha / 255.0);
}

void CairoSurface::copyImage(Image& image, const CRect& dest, const CPoint& source,
                             const CRect& clip) {
    paintBlock(image, dest, source, clip, CAIRO_OPERATOR_SOURCE, 1.0);
}

void CairoSurface::fillRect(const CRect& rect, const CColor& color, const CRect& clip) {
    CRect area(rect);
    area.bound(clip);
    if (area.isEmpty())
        return;
    cairo_save(cr);
    cairo_rectangle(cr, area.left * s, area.top * s, area.width() * s, area.height() * s);
    cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0,
                          color.alpha / 255.0);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_fill(cr);
    cairo_restore(cr);
}

void CairoSurface::copyFrom(Surface& source, const CRect& rect) {
    CRect area(rect);
    area.bound(CRect(0, 0, w, h));
    if (area.isEmpty())
        return;
    auto& from = static_cast<CairoSurface&>(source);
    cairo_save(cr);
    cairo_rectangle(cr, area.left * s, area.top * s, area.width() * s, area.height() * s);
    if (from.s != s)
        cairo_scale(cr, static_cast<double>(s) / from.s, static_cast<double>(s) / from.s);
    cairo_set_source_surface(cr, from.handle(), 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_fill(cr);
    cairo_restore(cr);
}

void CairoSurface::flush() {
    cairo_surface_flush(surface);
    if (afterFlush)
        afterFlush(afterFlushArgument);
}

}  // namespace ka813::platform
