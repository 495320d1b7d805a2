#pragma once
// Reference-counted bitmaps decoded from the library's PNG resources into
// premultiplied pixels, drawn with per-pixel alpha.
#include <cstddef>

#include "editor/VSTGUITypes.h"

namespace ka813::platform {
class Image;
class Surface;
}  // namespace ka813::platform

namespace VSTGUI {

class CDrawContext;

// A bitmap's width and height are in the panel's layout pixels; one loaded at
// a scale of 2 has twice as many pixels each way, drawn at the same size.
class CBitmap : public CReferenceCounter {
public:
    // The resource drawn at the given scale; the plain one, enlarged when
    // drawn, if the library has none at that scale.
    explicit CBitmap(int32_t resourceID, int32_t scale = 1);
    // Decodes PNG bytes held by the caller (resources and tools).
    CBitmap(const uint8_t* pngData, size_t pngSize, int32_t scale = 1);
    ~CBitmap() override;

    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0));
    void drawTransparent(CDrawContext* context, const CRect& rect,
                         const CPoint& offset = CPoint(0, 0));
    void drawAlphaBlend(CDrawContext* context, const CRect& rect,
                        const CPoint& offset = CPoint(0, 0), uint8_t alpha = 128);

    void dispose();
    // Answers true when there is something to draw.
    bool loadFromResource(int32_t resourceID, int32_t scale = 1);
    bool loadFromPng(const uint8_t* pngData, size_t pngSize, int32_t scale = 1);
    bool isLoaded() const;

    int32_t getResourceID() const { return resourceID; }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    // Pixels of the image for each layout pixel.
    int32_t getScale() const { return scale; }
    bool hasAlpha() const { return !noAlpha; }
    void setTransparentColor(const CColor& color) { transparentColor = color; }
    CColor getTransparentColor() const { return transparentColor; }
    ka813::platform::Image* getImage() const { return image; }

private:
    // The surface a context draws on, with the destination and the clip
    // moved into its pixels; null when there is nothing to draw or to draw on.
    ka813::platform::Surface* targetOf(CDrawContext* context, const CRect& rect, CRect& dest,
                                       CRect& clip) const;

    int32_t resourceID = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t scale = 1;
    CColor transparentColor{255, 255, 255, 0};
    bool noAlpha = true;
    ka813::platform::Image* image = nullptr;
};

}  // namespace VSTGUI
