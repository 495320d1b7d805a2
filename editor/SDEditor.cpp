#include "editor/SDEditor.h"

#include "editor/CBitmap.h"
#include "editor/CFrame.h"
#include "editor/CKnob.h"
#include "editor/COnOffButton.h"
#include "shell/AudioEffectX.h"
#include "shell/EditorFactory.h"

using namespace VSTGUI;
using namespace ka813;

namespace {

// Numbers of the panel's PNG resources.
enum PanelBitmap : int32_t {
    kBackgroundBitmap = 1,
    kLargeKnobBitmap = 2,
    kSmallKnobBitmap = 3,
    kChannelSwitchBitmap = 4,
    kToggleBitmap = 5,
};

constexpr int32_t kKnobImages = 101;

enum class ControlKind { Knob, Switch };

struct PanelControl {
    int32_t tag;
    ControlKind kind;
    PanelBitmap bitmap;
    int32_t left, top;  // the size comes from the bitmap
};

// In the order the controls are made and added: the later one of two
// neighbours with a shared edge column takes the clicks on that column.
constexpr PanelControl kPanel[] = {
    {kParamInput, ControlKind::Knob, kLargeKnobBitmap, 66, 170},
    {kParamChannel, ControlKind::Switch, kChannelSwitchBitmap, 118, 159},
    {kParamCleanCrunch, ControlKind::Switch, kToggleBitmap, 230, 204},
    {kParamDriveA, ControlKind::Knob, kSmallKnobBitmap, 187, 197},
    {kParamLowA, ControlKind::Knob, kSmallKnobBitmap, 294, 197},
    {kParamMidA, ControlKind::Knob, kSmallKnobBitmap, 327, 197},
    {kParamHighA, ControlKind::Knob, kSmallKnobBitmap, 360, 197},
    {kParamContourA, ControlKind::Knob, kSmallKnobBitmap, 393, 197},
    {kParamFocusA, ControlKind::Switch, kToggleBitmap, 442, 204},
    {kParamBottomA, ControlKind::Switch, kToggleBitmap, 477, 204},
    {kParamBrightA, ControlKind::Switch, kToggleBitmap, 513, 204},
    {kParamLowHighGain, ControlKind::Switch, kToggleBitmap, 230, 163},
    {kParamDriveB, ControlKind::Knob, kSmallKnobBitmap, 187, 155},
    {kParamLowB, ControlKind::Knob, kSmallKnobBitmap, 294, 155},
    {kParamMidB, ControlKind::Knob, kSmallKnobBitmap, 327, 155},
    {kParamHighB, ControlKind::Knob, kSmallKnobBitmap, 360, 155},
    {kParamContourB, ControlKind::Knob, kSmallKnobBitmap, 393, 155},
    {kParamFocusB, ControlKind::Switch, kToggleBitmap, 442, 163},
    {kParamBottomB, ControlKind::Switch, kToggleBitmap, 477, 163},
    {kParamBrightB, ControlKind::Switch, kToggleBitmap, 513, 163},
    {kParamVolume, ControlKind::Knob, kLargeKnobBitmap, 552, 170},
    {kParamHighQuality, ControlKind::Switch, kToggleBitmap, 600, 203},
    {kParamStereo, ControlKind::Switch, kToggleBitmap, 600, 161},
};
static_assert(sizeof(kPanel) / sizeof(kPanel[0]) == kNumParameters, "one control per parameter");

bool validTag(int32_t tag) { return static_cast<uint32_t>(tag) < static_cast<uint32_t>(kNumParameters); }

}  // namespace

AEffEditor* createEditor(AudioEffectX* effect) { return new SDEditor(effect); }

SDEditor::SDEditor(AudioEffectX* effect) : AEffGUIEditor(effect) {
    if (effect)
        effect->setEditor(this);
    hBackground = new CBitmap(kBackgroundBitmap);
    rect.left = 0;
    rect.top = 0;
    rect.right = static_cast<int16_t>(hBackground->getWidth());
    rect.bottom = static_cast<int16_t>(hBackground->getHeight());
}

SDEditor::~SDEditor() {
    // A host that forgets effEditClose before effClose would otherwise leave
    // the window and every control behind.
    if (frame)
        close();
    hBackground->forget();
    hBackground = nullptr;
}

bool SDEditor::open(void* parentWindow) {
    if (frame)  // opened twice without a close: start afresh
        close();
    AEffGUIEditor::open(parentWindow);

    CFrame* newFrame = new CFrame(CRect(0, 0, hBackground->getWidth(), hBackground->getHeight()),
                                  parentWindow, this);
    newFrame->setBackground(hBackground);

    CBitmap* strips[6] = {};
    for (int32_t id = kLargeKnobBitmap; id <= kToggleBitmap; ++id)
        strips[id] = new CBitmap(id);

    CControl* made[kNumParameters] = {};
    for (const PanelControl& entry : kPanel) {
        CBitmap* bitmap = strips[entry.bitmap];
        CControl* control;
        if (entry.kind == ControlKind::Knob) {
            const int32_t imageHeight = bitmap->getHeight() / kKnobImages;
            const CRect size(entry.left, entry.top, entry.left + bitmap->getWidth(),
                             entry.top + imageHeight);
            control = new CAnimKnob(size, this, entry.tag, kKnobImages, imageHeight, bitmap,
                                    CPoint(0, 0));
        } else {
            const CRect size(entry.left, entry.top, entry.left + bitmap->getWidth(),
                             entry.top + bitmap->getHeight() / 2);
            control = new COnOffButton(size, this, entry.tag, bitmap, kListenerAfterRedraw);
        }
        control->setValue(effect->getParameter(entry.tag));
        newFrame->addView(control);
        made[entry.tag] = control;
    }
    // The controls hold their own references: the strips live exactly as long as they do.
    for (CBitmap* strip : strips)
        if (strip)
            strip->forget();

    {
        std::lock_guard<std::mutex> lock(controlsGuard);
        for (int32_t tag = 0; tag < kNumParameters; ++tag) {
            controls[tag] = made[tag];
            // Whatever changed while the panel was being built.
            controls[tag]->setValue(effect->getParameter(tag));
        }
        frame = newFrame;
    }
    return true;
}

void SDEditor::close() {
    CFrame* old;
    {
        std::lock_guard<std::mutex> lock(controlsGuard);
        old = frame;
        frame = nullptr;
        for (CControl*& control : controls)
            control = nullptr;
    }
    if (old)
        old->forget();  // destroys the window, every control and its bitmaps
    AEffEditor::close();
}

void SDEditor::idle() {
    if (resyncPending.exchange(false)) {
        std::lock_guard<std::mutex> lock(controlsGuard);
        for (int32_t tag = 0; tag < kNumParameters; ++tag)
            if (controls[tag])
                controls[tag]->setValue(effect->getParameter(tag));
    }
    AEffGUIEditor::idle();
}

bool SDEditor::setKnobMode(int /*mode*/) {
    // The panel's knobs always drag linearly, whatever the host prefers.
    return AEffGUIEditor::setKnobMode(2);
}

void SDEditor::setParameter(int index, float /*value*/) {
    if (!validTag(index))
        return;
    // Never waits: this may run on the host's audio thread.
    std::unique_lock<std::mutex> lock(controlsGuard, std::try_to_lock);
    if (!lock.owns_lock()) {
        resyncPending = true;
        return;
    }
    // The control shows what the effect reports, not the value passed along;
    // it is redrawn at the next idle if that changed its look.
    if (frame && controls[index])
        controls[index]->setValue(effect->getParameter(index));
}

void SDEditor::valueChanged(CDrawContext* /*context*/, CControl* control) {
    if (!control)
        return;
    const int32_t tag = control->getTag();
    if (!validTag(tag))
        return;
    effect->setParameterAutomated(tag, control->getValue());
    control->setDirty(true);
}

CControl* SDEditor::controlForTag(int32_t tag) const {
    return frame && validTag(tag) ? controls[tag] : nullptr;
}
