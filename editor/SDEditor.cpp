#include "editor/SDEditor.h"

#include "editor/CBitmap.h"
#include "editor/CFrame.h"
#include "editor/CKnob.h"
#include "editor/CLight.h"
#include "editor/COnOffButton.h"
#include "editor/LevelLight.h"
#include "editor/UiScale.h"
#include "editor/platform/Platform.h"

using namespace VSTGUI;

namespace ka813 {

namespace {

bool validTag(int32_t tag) { return static_cast<uint32_t>(tag) < static_cast<uint32_t>(kNumTags); }

}  // namespace

SDEditor::SDEditor(EditorEffect* effect) : AEffGUIEditor(effect) {
    hBackground = new CBitmap(kBackgroundImage);
    rect = CRect(0, 0, hBackground->getWidth(), hBackground->getHeight());
}

SDEditor::~SDEditor() {
    // A host that forgets effEditClose before effClose would otherwise leave
    // the window and every control behind.
    if (frame)
        close();
    hBackground->forget();
    hBackground = nullptr;
}

const CRect& SDEditor::getRect() {
    // A host usually asks before it opens the panel, to size its window.
    if (!frame)
        scale = scaleToOpenAt();
    rect = CRect(0, 0, hBackground->getWidth() * scale, hBackground->getHeight() * scale);
    return rect;
}

bool SDEditor::open(void* parentWindow) {
    const platform::DisplayUse display;  // one connection for the scale and the window
    const int32_t newScale = scaleToOpenAt();
    // The layout is the same at every scale: sizes come from the plain background.
    CFrame* newFrame = new CFrame(CRect(0, 0, hBackground->getWidth(), hBackground->getHeight()),
                                  parentWindow, this, newScale);
    if (!newFrame->getPlatformWindow()) {
        // No usable parent window: no panel, and nothing kept of the attempt.
        newFrame->forget();
        return false;
    }
    if (frame)  // opened twice without a close: start afresh
        close();
    AEffGUIEditor::open(parentWindow);
    scale = newScale;
    if (scale == 1) {
        newFrame->setBackground(hBackground);
    } else {
        CBitmap* background = new CBitmap(kBackgroundImage, scale);
        newFrame->setBackground(background);
        background->forget();
    }

    CBitmap* images[kNumPanelImages + 1] = {};
    for (int32_t id = kLargeKnobImage; id <= kLevelLightImage; ++id)
        images[id] = new CBitmap(id, scale);

    CControl* made[kNumTags] = {};
    for (const PanelControl& entry : kPanelControls) {
        CBitmap* bitmap = images[entry.image];
        const int32_t frames = framesOf(entry.kind);
        const int32_t imageHeight = bitmap->getHeight() / frames;
        const CRect size(entry.left, entry.top, entry.left + bitmap->getWidth(),
                         entry.top + imageHeight);
        CControl* control;
        if (entry.kind == ControlKind::knob)
            control = new CAnimKnob(size, this, entry.tag, frames, imageHeight, bitmap,
                                    CPoint(0, 0));
        else
            control = new COnOffButton(size, this, entry.tag, bitmap, kListenerAfterRedraw);
        control->setValue(effect->getParameter(entry.tag));
        newFrame->addView(control);
        made[entry.tag] = control;
    }
    // The lights come after every control, which keep their places in the
    // frame; they take no clicks, so none is lost under them.
    CLight* madeLights[kNumPanelMeters] = {};
    for (const PanelLight& entry : kPanelLights) {
        CBitmap* strip = images[kLevelLightImage];
        const CRect size(entry.left, entry.top, entry.left + strip->getWidth(),
                         entry.top + strip->getHeight() / kLightFrames);
        CLight* light = new CLight(size, strip, kLightFrames);
        newFrame->addView(light);
        madeLights[static_cast<int32_t>(entry.meter)] = light;
    }
    // The controls hold their own references: the images live exactly as long as they do.
    for (CBitmap* image : images)
        if (image)
            image->forget();

    changedTags.store(0);
    for (int32_t tag = 0; tag < kNumTags; ++tag) {
        controls[tag] = made[tag];
        // Whatever changed while the panel was being built.
        controls[tag]->setValue(effect->getParameter(tag));
    }
    for (int32_t meter = 0; meter < kNumPanelMeters; ++meter)
        lights[meter] = madeLights[meter];
    showLevels();
    frame = newFrame;
    return true;
}

void SDEditor::close() {
    CFrame* old = frame;
    frame = nullptr;
    for (CControl*& control : controls)
        control = nullptr;
    for (CLight*& light : lights)
        light = nullptr;
    if (old)
        old->forget();  // destroys the window, every control and its bitmaps
    AEffGUIEditor::close();
}

void SDEditor::idle() {
    const uint32_t changed = changedTags.exchange(0);
    for (int32_t tag = 0; tag < kNumTags; ++tag)
        if ((changed >> tag & 1u) && controls[tag])
            controls[tag]->setValue(effect->getParameter(tag));
    showLevels();
    AEffGUIEditor::idle();
}

void SDEditor::showLevels() {
    for (int32_t index = 0; index < kNumPanelMeters; ++index) {
        if (!lights[index])
            continue;
        const PanelMeter meter = static_cast<PanelMeter>(index);
        lights[index]->setFrame(static_cast<int32_t>(lightColour(meter, effect->level(meter))));
    }
}

bool SDEditor::setKnobMode(int /*mode*/) {
    // The panel's knobs always drag linearly, whatever the host prefers.
    return AEffGUIEditor::setKnobMode(2);
}

void SDEditor::setParameter(int index, float /*value*/) {
    if (!validTag(index))
        return;
    // Never waits and never touches a control: this may run on any thread.
    // The control shows what the effect reports, not the value passed along,
    // from the next idle on.
    changedTags.fetch_or(1u << index);
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

void SDEditor::setHostScale(int32_t requested) {
    hostScale = requested == 1 || requested == 2 ? requested : 0;
}

int32_t SDEditor::scaleToOpenAt() const { return hostScale ? hostScale : uiScale(); }

CControl* SDEditor::controlForTag(int32_t tag) const {
    return frame && validTag(tag) ? controls[tag] : nullptr;
}

CLight* SDEditor::lightFor(PanelMeter meter) const {
    const uint32_t index = static_cast<uint32_t>(meter);
    return frame && index < static_cast<uint32_t>(kNumPanelMeters) ? lights[index] : nullptr;
}

}  // namespace ka813
