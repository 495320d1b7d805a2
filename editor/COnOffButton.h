#pragma once
// A two-state switch showing the upper or the lower half of its bitmap.
#include "editor/CControl.h"

namespace VSTGUI {

enum {
    kListenerAfterRedraw = 0,   // the listener hears of a toggle after the redraw it causes
    kListenerBeforeRedraw = 1,  // ... or before it
};

class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 int32_t style = kListenerAfterRedraw);

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    bool isTypeOf(const char* className) const override;

    int32_t getStyle() const { return style; }
    void setStyle(int32_t val) { style = val; }

protected:
    int32_t style;
};

}  // namespace VSTGUI
