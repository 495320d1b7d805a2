#pragma once
// Knobs: the plain knob with its drag, wheel and arrow-key handling, and the
// animated knob that picks one image out of a vertical strip.
#include "editor/CControl.h"

namespace VSTGUI {

class CKnob : public CControl {
public:
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
          CBitmap* handle, const CPoint& offset = CPoint(0, 0));
    ~CKnob() override;

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    using CView::onWheel;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool isTypeOf(const char* className) const override;

    virtual void drawHandle(CDrawContext* context);
    virtual void setStartAngle(float val);
    virtual float getStartAngle() const { return startAngle; }
    virtual void setRangeAngle(float val);
    virtual float getRangeAngle() const { return rangeAngle; }
    virtual void valueToPoint(CPoint& point) const;
    virtual float valueFromPoint(const CPoint& point) const;
    virtual void setInsetValue(int32_t val) { inset = val; }
    virtual void setColorShadowHandle(const CColor& color);
    virtual void setColorHandle(const CColor& color);
    virtual void setHandleBitmap(CBitmap* bitmap);
    virtual void setZoomFactor(float val) { zoomFactor = val; }
    virtual float getZoomFactor() const { return zoomFactor; }

protected:
    void compute();
    // One wheel notch or arrow key: `steps` wheel increments, a tenth of that
    // when fine, reported to the listener between edit brackets.
    void stepValue(CDrawContext* context, float steps, bool fine);

    CPoint offset;
    CColor colorHandle{255, 255, 255, 255};
    CColor colorShadowHandle{127, 127, 127, 255};
    CBitmap* pHandle = nullptr;
    int32_t inset = 3;
    float startAngle = 3.9269907f;  // 5 pi / 4: value 0 at 225 degrees
    float rangeAngle = -4.712389f;  // -3 pi / 2: turning clockwise
    float halfAngle = 0.f;
    float aCoef = 0.f;
    float bCoef = 0.f;
    float radius = 0.f;
    float zoomFactor = 1.5f;  // fine-drag factor
};

class CAnimKnob : public CKnob {
public:
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
              int32_t heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    bool isDirty() const override;
    bool isTypeOf(const char* className) const override;

    void setInverseBitmap(bool state) { bInverseBitmap = state; }
    int32_t getNumSubPixmaps() const { return subPixmaps; }
    int32_t getHeightOfOneImage() const { return heightOfOneImage; }
    // Source offset into the strip for the current value.
    int32_t imageOffset() const;

protected:
    int32_t subPixmaps;
    int32_t heightOfOneImage;
    bool bInverseBitmap = false;
    CPoint lastDrawnPoint;
};

}  // namespace VSTGUI
