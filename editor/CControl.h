#pragma once
// A view with a float value, a tag and a listener that hears of user changes.
#include "editor/CView.h"

namespace VSTGUI {

class CControl;

class CControlListener {
public:
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // A non-zero answer consumes a click made with a modifier key.
    virtual int32_t controlModifierClicked(CDrawContext* /*context*/, CControl* /*control*/,
                                           int32_t /*button*/) {
        return 0;
    }

protected:
    virtual ~CControlListener() = default;
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener, int32_t tag,
             CBitmap* background = nullptr);

    bool isDirty() const override;
    void setDirty(bool state = true) override;
    bool isTypeOf(const char* className) const override;

    virtual void doIdleStuff();
    virtual void setValue(float val) { value = val; }
    virtual float getValue() const { return value; }
    virtual void setMin(float val) { vmin = val; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float val) { vmax = val; }
    virtual float getMax() const { return vmax; }
    virtual void setOldValue(float val) { oldValue = val; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float val) { defaultValue = val; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(int32_t val) { tag = val; }
    virtual int32_t getTag() const { return tag; }
    virtual void beginEdit();
    virtual void endEdit();
    virtual void setBackOffset(const CPoint& offset) { backOffset = offset; }
    virtual void copyBackOffset();
    virtual void setWheelInc(float val) { wheelInc = val; }
    virtual float getWheelInc() const { return wheelInc; }
    virtual void bounceValue();
    virtual bool checkDefaultValue(CDrawContext* context, int32_t button);

    CControlListener* getListener() const { return listener; }

protected:
    // Whether a press is this control's to act on: the mouse is enabled, the
    // left button is down and the listener took no modifier click. Reads the
    // live buttons when given -1.
    bool takesClick(CDrawContext* context, int32_t& buttons);

    CControlListener* listener;
    int32_t tag;
    float oldValue = 1.f;
    float defaultValue = 0.5f;
    float value = 0.f;
    float vmin = 0.f;
    float vmax = 1.f;
    float wheelInc = 0.1f;
    int32_t lastTicks = -1;
    int32_t delta;  // double-click interval, milliseconds
    CPoint backOffset;
};

}  // namespace VSTGUI
