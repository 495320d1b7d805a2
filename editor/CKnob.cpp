#include "editor/CKnob.h"

#include <cmath>

#include "editor/CBitmap.h"
#include "editor/CDrawContext.h"
#include "editor/CFrame.h"

namespace VSTGUI {

namespace {
constexpr float kPi = 3.1415926536f;
constexpr int32_t kDragRange = 200;  // pixels for the whole value range
}  // namespace

CKnob::CKnob(const CRect& rect, CControlListener* controlListener, int32_t controlTag,
             CBitmap* background, CBitmap* handle, const CPoint& imageOffset)
    : CControl(rect, controlListener, controlTag, background), offset(imageOffset), pHandle(handle) {
    if (pHandle)
        pHandle->remember();
    radius = static_cast<float>(size.right - size.left) / 2.f;
    setWantsFocus(true);
    compute();
}

CKnob::~CKnob() {
    if (pHandle)
        pHandle->forget();
}

void CKnob::compute() {
    halfAngle = (2.f * kPi - std::fabs(rangeAngle)) * 0.5f;
    aCoef = (vmax - vmin) / rangeAngle;
    bCoef = vmin - aCoef * startAngle;
    setDirty(true);
}

void CKnob::setStartAngle(float val) {
    startAngle = val;
    compute();
}

void CKnob::setRangeAngle(float val) {
    rangeAngle = val;
    compute();
}

void CKnob::setColorShadowHandle(const CColor& color) {
    colorShadowHandle = color;
    setDirty(true);
}

void CKnob::setColorHandle(const CColor& color) {
    colorHandle = color;
    setDirty(true);
}

void CKnob::setHandleBitmap(CBitmap* bitmap) {
    if (bitmap)
        bitmap->remember();
    if (pHandle)
        pHandle->forget();
    pHandle = bitmap;
    setDirty(true);
}

void CKnob::draw(CDrawContext* context) {
    drawBackgroundImage(context, size, offset);
    drawHandle(context);
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context) {
    // The panel's knobs are all filmstrips; a plain knob shows its handle bitmap
    // centred on the handle point, when it has one.
    if (!pHandle)
        return;
    CPoint where;
    valueToPoint(where);
    const int32_t w = pHandle->getWidth();
    const int32_t h = pHandle->getHeight();
    CRect r(where.h - w / 2, where.v - h / 2, where.h - w / 2 + w, where.v - h / 2 + h);
    r.offset(size.left, size.top);
    pHandle->drawTransparent(context, r);
}

void CKnob::valueToPoint(CPoint& point) const {
    const float alpha = (value - bCoef) / aCoef;
    if (!std::isfinite(alpha)) {  // no point on the dial for an infinite or NaN value
        point = CPoint();
        return;
    }
    point.h = static_cast<int32_t>(radius + std::cos(alpha) * (radius - inset) + 0.5f);
    point.v = static_cast<int32_t>(radius - std::sin(alpha) * (radius - inset) + 0.5f);
}

float CKnob::valueFromPoint(const CPoint& point) const {
    const float x = static_cast<float>(point.h) - radius;
    const float y = radius - static_cast<float>(point.v);
    float alpha = std::atan2(y, x);
    if (alpha < -kPi / 2.f)  // the dead zone below the knob sits across the -pi/pi seam
        alpha += 2.f * kPi;
    float v = aCoef * alpha + bCoef;
    if (v < vmin)
        v = vmin;
    else if (v > vmax)
        v = vmax;
    return v;
}

void CKnob::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    if (!takesClick(context, buttons))
        return;
    if (checkDefaultValue(context, buttons))
        return;

    float entryValue = value;
    // The knob mode is read for the host's sake, but every mode drags linearly.
    if (pParentFrame)
        (void)pParentFrame->getKnobMode();
    float range = static_cast<float>(kDragRange);
    if (buttons & kShift)
        range *= zoomFactor;
    float coef = (vmax - vmin) / range;
    const CPoint firstPoint = where;
    CPoint lastPoint(-1, -1);
    int32_t oldButtons = buttons;

    beginEdit();
    int32_t diff = 0;
    int32_t liveButtons;
    do {
        liveButtons = context ? context->getMouseButtons() : 0;
        bool changed = false;
        if (where != lastPoint) {
            lastPoint = where;
            // Up and right both increase the value.
            diff = (firstPoint.v - where.v) + (where.h - firstPoint.h);
            changed = true;
        }
        if (liveButtons != oldButtons) {
            // Shift pressed or released mid-drag changes the rate from here on,
            // without a jump of the value.
            float newRange = static_cast<float>(kDragRange);
            if (liveButtons & kShift)
                newRange *= zoomFactor;
            const float newCoef = (vmax - vmin) / newRange;
            entryValue += static_cast<float>(diff) * (coef - newCoef);
            coef = newCoef;
            oldButtons = liveButtons;
            changed = true;
        }
        if (changed) {
            // The entry value is never clamped: after an overshoot the pointer
            // has to come back the whole way before the value moves again.
            value = entryValue + static_cast<float>(diff) * coef;
            bounceValue();
            if (isDirty() && listener)
                listener->valueChanged(context, this);
        }
        getMouseLocation(context, where);
        doIdleStuff();
    } while (liveButtons & kLButton);
    endEdit();
}

bool CKnob::onWheel(CDrawContext* context, const CPoint& /*where*/, float distance) {
    if (!bMouseEnabled)
        return false;
    const int32_t live = context ? context->getMouseButtons() : 0;
    stepValue(context, distance, (live & kShift) != 0);
    return true;
}

int32_t CKnob::onKeyDown(VstKeyCode& keyCode) {
    float step;
    switch (keyCode.virt) {
    case VKEY_UP:
    case VKEY_RIGHT:
        step = 1.f;
        break;
    case VKEY_DOWN:
    case VKEY_LEFT:
        step = -1.f;
        break;
    default:
        return -1;
    }
    stepValue(nullptr, step, (keyCode.modifier & MODIFIER_SHIFT) != 0);
    return 1;
}

void CKnob::stepValue(CDrawContext* context, float steps, bool fine) {
    if (fine)
        value += 0.1f * steps * wheelInc;
    else
        value += steps * wheelInc;
    bounceValue();
    if (isDirty() && listener) {
        beginEdit();
        listener->valueChanged(context, this);
        endEdit();
    }
}

bool CKnob::isTypeOf(const char* className) const {
    return sameTypeName(className, "CKnob") || CControl::isTypeOf(className);
}

CAnimKnob::CAnimKnob(const CRect& rect, CControlListener* controlListener, int32_t controlTag,
                     int32_t numImages, int32_t imageHeight, CBitmap* background,
                     const CPoint& imageOffset)
    : CKnob(rect, controlListener, controlTag, background, nullptr, imageOffset),
      subPixmaps(numImages),
      heightOfOneImage(imageHeight) {
    inset = 0;
}

int32_t CAnimKnob::imageOffset() const {
    int32_t y = 0;
    if (value >= 0.f && subPixmaps > 0 && heightOfOneImage > 0) {
        const int32_t span = heightOfOneImage * (subPixmaps - 1);
        const float position = bInverseBitmap ? (1.f - value) : value;
        const float scaled = position * static_cast<float>(span);
        // A host may send any value: far past the strip is simply past it, and
        // must not overflow the conversion (which would wrap to the first image).
        const int32_t pastStrip = span + heightOfOneImage;
        if (!(scaled < static_cast<float>(pastStrip)))
            y = pastStrip;
        else if (scaled < 0.f)
            y = 0;
        else
            y = static_cast<int32_t>(scaled);
        // Snap down to the image the value falls in; a value of 1 (or above)
        // keeps its offset, so 1 shows the last image.
        for (int32_t k = 0; k <= span; k += heightOfOneImage) {
            if (k > y) {
                y = k - heightOfOneImage;
                if (y < 0)
                    y = 0;
                break;
            }
        }
    }
    return y;
}

void CAnimKnob::draw(CDrawContext* context) {
    drawBackgroundImage(context, size, CPoint(offset.h, offset.v + imageOffset()));
    valueToPoint(lastDrawnPoint);
    setDirty(false);
}

bool CAnimKnob::isDirty() const {
    if (!bDirty) {
        CPoint p;
        valueToPoint(p);
        if (p == lastDrawnPoint)
            return false;
    }
    return CKnob::isDirty();
}

bool CAnimKnob::isTypeOf(const char* className) const {
    return sameTypeName(className, "CAnimKnob") || CKnob::isTypeOf(className);
}

}  // namespace VSTGUI
