// The widgets' own rules, without a window: values, dirty state, hit testing,
// focus and keys, ownership.
#include <gtest/gtest.h>

#include <limits>

#include "KitRecorder.h"
#include "XTestSupport.h"
#include "editor/CBitmap.h"
#include "editor/CDrawContext.h"
#include "editor/CFrame.h"
#include "editor/CKnob.h"
#include "editor/COnOffButton.h"

using namespace VSTGUI;
using ka813::paneltest::Recorder;
using Events = std::vector<std::string>;

namespace {

CBitmap* solidStrip(int width, int frameHeight, int frames) {
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * frameHeight * frames * 4, 255);
    const auto png = ka813::paneltest::encodePng(width, frameHeight * frames, rgba);
    return new CBitmap(png.data(), png.size());
}

class Widgets : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new CFrame(CRect(0, 0, 720, 280), nullptr, &recorder);
        knobStrip = solidStrip(33, 33, 101);
        switchStrip = solidStrip(22, 35, 2);
    }
    void TearDown() override {
        frame->forget();
        knobStrip->forget();
        switchStrip->forget();
    }
    CAnimKnob* addKnob(int left, int top, int tag) {
        auto* knob = new CAnimKnob(CRect(left, top, left + 33, top + 33), &recorder, tag, 101, 33,
                                   knobStrip);
        frame->addView(knob);
        return knob;
    }
    COnOffButton* addSwitch(int left, int top, int tag) {
        auto* button = new COnOffButton(CRect(left, top, left + 22, top + 35), &recorder, tag,
                                        switchStrip);
        frame->addView(button);
        return button;
    }
    void click(int x, int y, int32_t buttons = kLButton) {
        CPoint where(x, y);
        frame->mouse(nullptr, where, buttons);
    }

    Recorder recorder;
    CFrame* frame = nullptr;
    CBitmap* knobStrip = nullptr;
    CBitmap* switchStrip = nullptr;
};

}  // namespace

TEST_F(Widgets, AnimatedKnobPicksItsImageFromTheValue) {
    CAnimKnob* knob = addKnob(0, 0, 0);
    const int h = 33;
    const std::pair<float, int> cases[] = {{0.f, 0},     {0.5f, 50},  {0.999f, 99}, {1.f, 100},
                                           {-0.3f, 0},   {0.014f, 1}, {0.0099f, 0}};
    for (const auto& [value, image] : cases) {
        knob->setValue(value);
        EXPECT_EQ(knob->imageOffset(), image * h) << "value " << value;
    }
    knob->setInverseBitmap(true);
    knob->setValue(0.f);
    EXPECT_EQ(knob->imageOffset(), 100 * h);
    // Above 1 the offset runs past the strip; drawing it must show nothing.
    knob->setInverseBitmap(false);
    knob->setValue(1.5f);
    EXPECT_GT(knob->imageOffset() + h, 101 * h);
    // However far past it a host sends the value, it never wraps round to an image.
    for (float huge : {1e10f, 3e38f, std::numeric_limits<float>::infinity()}) {
        knob->setValue(huge);
        EXPECT_GT(knob->imageOffset() + h, 101 * h) << "value " << huge;
    }
}

TEST_F(Widgets, DirtyRules) {
    CAnimKnob* knob = addKnob(0, 0, 0);
    COnOffButton* button = addSwitch(100, 0, 1);
    COffscreenContext* context = new COffscreenContext(frame, 720, 280);

    EXPECT_TRUE(knob->isDirty());  // new controls ask to be drawn
    knob->setValue(0.5f);
    knob->draw(context);
    EXPECT_FALSE(knob->isDirty());
    // A change smaller than a pixel of the handle's path is no reason to redraw...
    knob->setValue(0.5001f);
    EXPECT_FALSE(knob->isDirty());
    // ... unless somebody asks for it.
    knob->setDirty(true);
    EXPECT_TRUE(knob->isDirty());
    knob->draw(context);
    knob->setValue(0.6f);
    EXPECT_TRUE(knob->isDirty());

    button->draw(context);
    EXPECT_FALSE(button->isDirty());
    button->setValue(1.f);
    EXPECT_TRUE(button->isDirty());
    button->draw(context);
    button->setValue(-1.f);  // setDirty must still make old and new value differ
    button->setDirty(false);
    button->setDirty(true);
    EXPECT_TRUE(button->isDirty());
    context->forget();
}

TEST_F(Widgets, SwitchTogglesOnThePressAndReportsAfterRedrawing) {
    COnOffButton* button = addSwitch(230, 204, 2);
    const std::pair<float, float> cases[] = {{0.f, 1.f},   {1.f, 0.f},  {0.7f, 1.f}, {1.5f, 0.f},
                                             {0.5f, 1.f},  {-0.5f, 1.f}, {-2.f, 0.f}, {3e9f, 0.f},
                                             {std::numeric_limits<float>::quiet_NaN(), 0.f}};
    for (const auto& [before, after] : cases) {
        button->setValue(before);
        click(240, 220);
        EXPECT_EQ(button->getValue(), after) << "from " << before;
    }
    recorder.events.clear();
    button->setValue(0.f);
    click(240, 220);
    EXPECT_EQ(recorder.events, (Events{"idle", "begin 2", "changed 2", "end 2"}));

    button->setStyle(kListenerBeforeRedraw);
    recorder.events.clear();
    click(240, 220);
    EXPECT_EQ(recorder.events, (Events{"begin 2", "changed 2", "end 2", "idle"}));

    // Right or middle button alone, or a disabled switch: nothing.
    recorder.events.clear();
    click(240, 220, kRButton);
    click(240, 220, kMButton);
    button->setMouseEnabled(false);
    click(240, 220);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(Widgets, SharedEdgeColumnGoesToTheLaterKnob) {
    addKnob(294, 197, 5);
    addKnob(327, 197, 6);
    click(327, 210);  // right edge of the first, left edge of the second
    EXPECT_EQ(recorder.edits().front(), "begin 6");
    recorder.events.clear();
    click(326, 210);
    EXPECT_EQ(recorder.edits().front(), "begin 5");
    // Borders count: the bottom row of the knob still hits it.
    recorder.events.clear();
    click(300, 230);
    EXPECT_EQ(recorder.edits().front(), "begin 5");
    // Outside every control: nothing but the focus cleared.
    recorder.events.clear();
    click(10, 10);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(Widgets, ControlClickResetsButControlShiftDoesNot) {
    CAnimKnob* knob = addKnob(187, 197, 4);
    knob->setValue(0.9f);
    click(200, 210, kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(recorder.edits(), (Events{"begin 4", "changed 4", "end 4"}));

    knob->setValue(0.9f);
    click(200, 210, kLButton | kControl | kShift);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.9f);
}

TEST_F(Widgets, ModifierClicksAreOfferedToTheListenerFirst) {
    CAnimKnob* knob = addKnob(187, 197, 4);
    COnOffButton* button = addSwitch(230, 204, 2);
    knob->setValue(0.9f);
    // Taken by the listener: neither the reset nor the toggle happens.
    recorder.modifierClickAnswer = 1;
    click(200, 210, kLButton | kControl);
    click(240, 220, kLButton | kShift);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.9f);
    EXPECT_EQ(button->getValue(), 0.f);
    EXPECT_TRUE(recorder.edits().empty());
    const std::vector<std::pair<int32_t, int32_t>> offered = {{4, kLButton | kControl}, {2, kLButton | kShift}};
    EXPECT_EQ(recorder.modifierClicks, offered);

    // Left alone: the click proceeds; a plain click is never offered.
    recorder.modifierClickAnswer = 0;
    recorder.modifierClicks.clear();
    click(200, 210, kLButton | kControl);
    click(240, 220, kLButton | kShift);
    click(240, 220);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(button->getValue(), 0.f);
    EXPECT_EQ(recorder.modifierClicks, offered);
    EXPECT_EQ(recorder.edits(), (Events{"begin 4", "changed 4", "end 4", "begin 2", "changed 2", "end 2",
                                        "begin 2", "changed 2", "end 2"}));
}

TEST_F(Widgets, WheelStepsAndClampsAtTheEnds) {
    CAnimKnob* knob = addKnob(187, 197, 4);
    knob->setValue(0.5f);
    EXPECT_TRUE(frame->onWheel(nullptr, CPoint(200, 210), 1.f));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
    EXPECT_EQ(recorder.edits(), (Events{"begin 4", "changed 4", "end 4"}));
    knob->setValue(0.95f);
    frame->onWheel(nullptr, CPoint(200, 210), 1.f);
    EXPECT_FLOAT_EQ(knob->getValue(), 1.f);
    frame->onWheel(nullptr, CPoint(200, 210), -2.f);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.8f);
    // Nothing under the pointer, or a disabled knob: not taken.
    EXPECT_FALSE(frame->onWheel(nullptr, CPoint(5, 5), 1.f));
    knob->setMouseEnabled(false);
    EXPECT_FALSE(frame->onWheel(nullptr, CPoint(200, 210), 1.f));
}

TEST_F(Widgets, ArrowKeysMoveTheFocusedKnobAndTabWalksTheKnobs) {
    CAnimKnob* first = addKnob(100, 100, 4);
    addSwitch(140, 100, 9);
    CAnimKnob* second = addKnob(200, 100, 5);
    CAnimKnob* third = addKnob(240, 100, 6);
    VstKeyCode up{0, VKEY_UP, 0};
    VstKeyCode left{0, VKEY_LEFT, 0};
    VstKeyCode fineUp{0, VKEY_UP, MODIFIER_SHIFT};
    VstKeyCode letter{'a', 0, 0};
    VstKeyCode tab{0, VKEY_TAB, 0};
    VstKeyCode backTab{0, VKEY_TAB, MODIFIER_SHIFT};

    // No focus yet: arrows are not taken.
    EXPECT_EQ(frame->onKeyDown(up), -1);

    click(110, 110);  // a click gives the knob the focus
    EXPECT_EQ(frame->getFocusView(), first);
    first->setValue(0.5f);
    EXPECT_EQ(frame->onKeyDown(up), 1);
    EXPECT_FLOAT_EQ(first->getValue(), 0.6f);
    EXPECT_EQ(frame->onKeyDown(left), 1);
    EXPECT_FLOAT_EQ(first->getValue(), 0.5f);
    EXPECT_EQ(frame->onKeyDown(fineUp), 1);
    EXPECT_FLOAT_EQ(first->getValue(), 0.51f);
    EXPECT_EQ(frame->onKeyDown(letter), -1);

    // Tab skips the switch, leaves the panel after the last knob, then starts over.
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), second);
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), third);
    EXPECT_EQ(frame->onKeyDown(tab), -1);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), first);
    frame->setFocusView(third);
    EXPECT_EQ(frame->onKeyDown(backTab), 1);
    EXPECT_EQ(frame->getFocusView(), second);
}

TEST_F(Widgets, ContainersOwnTheirViewsAndViewsShareBitmaps) {
    const int32_t before = knobStrip->getNbReference();
    CAnimKnob* knob = addKnob(0, 0, 0);
    EXPECT_EQ(knobStrip->getNbReference(), before + 1);
    EXPECT_EQ(knob->getNbReference(), 2);  // the creator's, taken over, and the list's
    EXPECT_TRUE(knob->isTypeOf("CAnimKnob"));
    EXPECT_TRUE(knob->isTypeOf("CKnob"));
    EXPECT_TRUE(knob->isTypeOf("CControl"));
    EXPECT_TRUE(knob->isTypeOf("CView"));
    EXPECT_FALSE(knob->isTypeOf("COnOffButton"));
    EXPECT_TRUE(frame->isTypeOf("CViewContainer"));
    EXPECT_EQ(frame->notify(nullptr, "kMsgCheckIfViewContainer"), 1);

    frame->forget();  // releases both references of every child
    frame = new CFrame(CRect(0, 0, 720, 280), nullptr, &recorder);
    EXPECT_EQ(knobStrip->getNbReference(), before);
}
