// A frame in a real window: what reaches the screen, and input injected with XTest.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <thread>

#include "KitRecorder.h"
#include "XTestSupport.h"
#include "editor/CBitmap.h"
#include "editor/CDrawContext.h"
#include "editor/CFrame.h"
#include "editor/CKnob.h"
#include "editor/COnOffButton.h"

using namespace VSTGUI;
using ka813::paneltest::Recorder;
using ka813::paneltest::Rgb;
using ka813::paneltest::TestDisplay;

namespace {

constexpr int kParentX = 60, kParentY = 200;
constexpr int kKnobSize = 20;
const Rgb kBackground{20, 40, 90};

// Image i of the strip is one opaque colour whose red channel tells i.
Rgb knobColour(int image) { return {image * 2, 255 - image * 2, 77}; }
int premultipliedOpaque(int c) { return c * 255 >> 8; }

CBitmap* makeBitmap(int width, int height, const std::function<Rgb(int x, int y)>& colour) {
    std::vector<uint8_t> rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            rgba.insert(rgba.end(), {static_cast<uint8_t>(c.red), static_cast<uint8_t>(c.green),
                                     static_cast<uint8_t>(c.blue), 255});
        }
    const auto png = ka813::paneltest::encodePng(width, height, rgba);
    return new CBitmap(png.data(), png.size());
}

// Spies on drawing.
class CountingView : public CView {
public:
    using CView::CView;
    void draw(CDrawContext* context) override {
        ++draws;
        CView::draw(context);
    }
    int draws = 0;
};

class FrameWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ok()) << "no X display";
        background = makeBitmap(300, 120, [](int, int) { return kBackground; });
        strip = makeBitmap(kKnobSize, kKnobSize * 101,
                           [](int, int y) { return knobColour(y / kKnobSize); });
        toggle = makeBitmap(10, 20, [](int, int y) { return y < 10 ? Rgb{255, 0, 0} : Rgb{0, 255, 0}; });
    }
    void TearDown() override {
        if (frame)
            frame->forget();
        if (parent)
            display.destroy(parent);
        for (CBitmap* b : {background, strip, toggle})
            if (b)
                b->forget();
    }

    void openFrame(bool mapped = true) {
        parent = display.createParent(kParentX, kParentY, 300, 120);
        if (!mapped) {
            XUnmapWindow(display.get(), parent);
            display.sync();
        }
        frame = new CFrame(CRect(0, 0, 300, 120), reinterpret_cast<void*>(parent), &recorder);
        frame->setBackground(background);
        knob = new CAnimKnob(CRect(100, 50, 120, 70), &recorder, 4, 101, kKnobSize, strip);
        knob->setValue(0.5f);
        frame->addView(knob);
        toggleButton = new COnOffButton(CRect(200, 50, 210, 60), &recorder, 9, toggle);
        frame->addView(toggleButton);
        recorder.onIdle = [this] {
            frame->idle();
            ka813::platform::sleepMilliseconds(1);
        };
    }
    bool idleUntilDrawn() {
        return ka813::paneltest::waitFor([&] { return frame->hasDrawnOnce(); }, [&] { frame->idle(); });
    }
    ::Window child() {
        const auto list = display.children(parent);
        return list.empty() ? 0 : list.front();
    }
    int imageShownAt(int x, int y) {
        const Rgb p = display.pixel(child(), x, y);
        for (int i = 0; i <= 100; ++i)
            if (premultipliedOpaque(knobColour(i).red) == p.red &&
                premultipliedOpaque(knobColour(i).green) == p.green)
                return i;
        return -1;
    }
    bool showsBackground(int x, int y) {
        const Rgb p = display.pixel(child(), x, y);
        return p.red == premultipliedOpaque(kBackground.red) &&
               p.blue == premultipliedOpaque(kBackground.blue);
    }

    // Presses the button over (x, y) of the frame, runs `moves` on another
    // connection while the knob tracks the mouse, releases, and answers the
    // knob's value. Each move is followed by a few passes of the tracking loop,
    // so the knob has seen it before the next one.
    float drag(int x, int y, const std::vector<std::function<void(TestDisplay&)>>& moves) {
        display.movePointer(kParentX + x, kParentY + y);
        display.button(1, true);
        std::atomic<bool> finished{false};
        std::thread injector([&] {
            TestDisplay input;
            ka813::paneltest::waitFor([&] { return recorder.editing.load(); });
            for (const auto& move : moves) {
                move(input);
                const int target = recorder.idlePasses + 3;
                ka813::paneltest::waitFor([&] { return recorder.idlePasses >= target; });
            }
            input.button(1, false);
            finished = true;
        });
        ka813::paneltest::waitFor([&] { return finished.load(); }, [&] { frame->idle(); });
        injector.join();
        frame->idle();
        return knob->getValue();
    }
    std::function<void(TestDisplay&)> moveTo(int x, int y) {
        return [x, y](TestDisplay& d) { d.movePointer(kParentX + x, kParentY + y); };
    }
    std::function<void(TestDisplay&)> shift(bool down) {
        return [down](TestDisplay& d) { d.key(XK_Shift_L, down); };
    }

    TestDisplay display;
    Recorder recorder;
    ::Window parent = 0;
    CFrame* frame = nullptr;
    CAnimKnob* knob = nullptr;
    COnOffButton* toggleButton = nullptr;
    CBitmap* background = nullptr;
    CBitmap* strip = nullptr;
    CBitmap* toggle = nullptr;
};

}  // namespace

TEST_F(FrameWindow, OpensAMappedChildAndPaintsTheControlsOverTheBackground) {
    openFrame();
    ASSERT_NE(child(), 0u);
    int width = 0, height = 0;
    display.size(child(), &width, &height);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 120);
    EXPECT_TRUE(display.isMapped(child()));

    ASSERT_TRUE(idleUntilDrawn());
    EXPECT_EQ(imageShownAt(110, 60), 50);
    EXPECT_TRUE(showsBackground(5, 5));
    EXPECT_EQ(display.pixel(child(), 205, 55).red, 254);  // switch at 0: upper half
    EXPECT_TRUE(showsBackground(99, 60));                 // left of the knob
    EXPECT_TRUE(showsBackground(120, 60));                // right is exclusive
}

TEST_F(FrameWindow, NothingIsDrawnFromIdleBeforeTheFirstPaint) {
    openFrame(/*mapped=*/false);
    auto* spy = new CountingView(CRect(10, 10, 20, 20));
    frame->addView(spy);
    spy->setDirty(true);
    for (int i = 0; i < 5; ++i)
        frame->idle();
    EXPECT_EQ(spy->draws, 0);
    EXPECT_FALSE(frame->hasDrawnOnce());

    XMapWindow(display.get(), parent);
    display.sync();
    ASSERT_TRUE(idleUntilDrawn());
    EXPECT_GT(spy->draws, 0);
}

TEST_F(FrameWindow, ValueChangesShowAtTheNextIdleAndNotBefore) {
    openFrame();
    ASSERT_TRUE(idleUntilDrawn());
    knob->setValue(1.f);
    toggleButton->setValue(0.5f);
    EXPECT_EQ(imageShownAt(110, 60), 50);
    frame->idle();
    EXPECT_EQ(imageShownAt(110, 60), 100);
    EXPECT_EQ(display.pixel(child(), 205, 55).green, 254);  // lower half from 0.5 up

    // Past the end of the strip there is no image to show: only background.
    knob->setValue(1.5f);
    frame->idle();
    EXPECT_TRUE(showsBackground(110, 60));
}

TEST_F(FrameWindow, DraggingIsLinearAndShiftMakesItFine) {
    openFrame();
    ASSERT_TRUE(idleUntilDrawn());

    knob->setValue(0.5f);
    EXPECT_FLOAT_EQ(drag(110, 60, {moveTo(110, 10)}), 0.75f);  // 50 up: a quarter
    knob->setValue(0.5f);
    EXPECT_FLOAT_EQ(drag(110, 60, {moveTo(110, -40)}), 1.f);  // 100 up
    knob->setValue(0.5f);
    EXPECT_FLOAT_EQ(drag(110, 60, {moveTo(60, 10)}), 0.5f);  // 50 up and 50 left
    knob->setValue(0.5f);
    EXPECT_FLOAT_EQ(drag(110, 60, {moveTo(210, 60)}), 1.f);  // 100 right

    // Shift for the whole drag: 100 up gives 5/6.
    display.key(XK_Shift_L, true);
    knob->setValue(0.5f);
    EXPECT_NEAR(drag(110, 60, {moveTo(110, -40)}), 0.5f + 100.f / 300.f, 1e-5);
    display.key(XK_Shift_L, false);

    // Shift pressed halfway keeps the value and goes on at the finer rate.
    knob->setValue(0.5f);
    EXPECT_NEAR(drag(110, 60, {moveTo(110, 20), shift(true), moveTo(110, -40)}),
                0.5f + 40.f / 200.f + 60.f / 300.f, 1e-5);
    display.key(XK_Shift_L, false);

    // An overshoot is not forgotten: 150 up then 25 back leaves the value at 1.
    knob->setValue(0.5f);
    EXPECT_FLOAT_EQ(drag(110, 60, {moveTo(110, -90), moveTo(110, -65)}), 1.f);
    // The host heard one bracketed gesture per drag.
    EXPECT_EQ(recorder.edits().front(), "begin 4");
    EXPECT_EQ(recorder.edits().back(), "end 4");
}

TEST_F(FrameWindow, WheelNotchesAndClicksComeThroughTheWindow) {
    openFrame();
    ASSERT_TRUE(idleUntilDrawn());
    display.movePointer(kParentX + 110, kParentY + 60);
    knob->setValue(0.5f);
    display.button(4, true);
    display.button(4, false);
    ASSERT_TRUE(ka813::paneltest::waitFor([&] { return knob->getValue() > 0.55f; }, [&] { frame->idle(); }));
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);

    display.key(XK_Shift_L, true);
    display.button(5, true);
    display.button(5, false);
    ASSERT_TRUE(ka813::paneltest::waitFor([&] { return knob->getValue() < 0.595f; }, [&] { frame->idle(); }));
    display.key(XK_Shift_L, false);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.59f);

    // A quick click on the switch, released before the frame gets to it, still toggles.
    recorder.events.clear();
    display.movePointer(kParentX + 205, kParentY + 55);
    display.button(1, true);
    display.button(1, false);
    ASSERT_TRUE(ka813::paneltest::waitFor([&] { return toggleButton->getValue() == 1.f; },
                                          [&] { frame->idle(); }));
    EXPECT_EQ(recorder.edits(), (std::vector<std::string>{"begin 9", "changed 9", "end 9"}));
    frame->idle();
    EXPECT_EQ(display.pixel(child(), 205, 55).green, 254);
}

TEST_F(FrameWindow, AParentDestroyedUnderTheFrameClosesItQuietly) {
    openFrame();
    ASSERT_TRUE(idleUntilDrawn());
    display.destroy(parent);
    parent = 0;
    ASSERT_TRUE(ka813::paneltest::waitFor([&] { return !frame->isOpen(); }, [&] { frame->idle(); }));
    knob->setValue(0.1f);
    frame->idle();  // nothing left to draw on, and no error either
    EXPECT_FALSE(frame->isOpen());
}
