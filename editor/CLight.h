#pragma once
// A light on the panel: shows one frame of an image strip, takes no input
// and stands for no parameter. It asks to be redrawn only when its frame
// changes, so a light that keeps its colour costs nothing at idle.
#include "editor/CView.h"

namespace VSTGUI {

class CLight : public CView {
public:
    // `strip` holds `frames` frames of the view's size, stacked top to bottom.
    CLight(const CRect& size, CBitmap* strip, int32_t frames);

    // Frames outside the strip are ignored.
    void setFrame(int32_t frame);
    int32_t getFrame() const { return frame; }

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* className) const override;

private:
    int32_t frames;
    int32_t frame = 0;
};

}  // namespace VSTGUI
