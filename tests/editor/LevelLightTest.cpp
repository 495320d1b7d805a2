// The level lights: the colour rule, the light's redraw rule, and the panel
// showing the levels the effect reports at its next idle, at both scales.
#include <gtest/gtest.h>

#include <cmath>

#include "FakeEffect.h"
#include "ShownImage.h"
#include "editor/CFrame.h"
#include "editor/CLight.h"
#include "editor/LevelLight.h"
#include "editor/SDEditor.h"

using namespace ka813;
using paneltest::FakeEffect;

namespace {

constexpr PanelMeter kIn = PanelMeter::input, kOut = PanelMeter::output;
constexpr LightColour kDark = LightColour::dark, kGreen = LightColour::green, kAmber = LightColour::amber,
                      kRed = LightColour::red;

}  // namespace

TEST(LevelLight, ColourRule) {
    const struct {
        PanelMeter meter;
        float db;
        LightColour colour;
    } cases[] = {
        {kIn, -70.f, kDark},      {kIn, -60.01f, kDark},    {kIn, -60.f, kGreen},    {kIn, -30.f, kGreen},
        {kIn, -12.f, kGreen},     {kIn, -11.99f, kAmber},   {kIn, -6.f, kAmber},     {kIn, -0.01f, kAmber},
        {kIn, 0.f, kRed},         {kIn, 30.f, kRed},        {kOut, -70.f, kDark},    {kOut, -60.f, kGreen},
        {kOut, -11.f, kGreen},    {kOut, -6.f, kGreen},     {kOut, -5.99f, kAmber},  {kOut, -0.01f, kAmber},
        {kOut, 0.f, kRed},        {kOut, 16.f, kRed},       {kIn, NAN, kDark},       {kOut, -INFINITY, kDark},
        {kOut, INFINITY, kRed},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lightColour(c.meter, c.db), c.colour)
            << (c.meter == kIn ? "input " : "output ") << c.db << " dBFS";
}

TEST(LevelLight, AsksForARedrawOnlyWhenItsFrameChanges) {
    VSTGUI::CLight light(VSTGUI::CRect(0, 0, 16, 16), nullptr, kLightFrames);
    EXPECT_FALSE(light.getMouseEnabled());
    const struct {
        int32_t frame;
        int32_t shown;
        bool dirty;
    } steps[] = {{0, 0, false}, {2, 2, true}, {2, 2, false}, {kLightFrames, 2, false}, {-1, 2, false}, {3, 3, true}};
    for (const auto& s : steps) {
        light.setDirty(false);
        light.setFrame(s.frame);
        EXPECT_EQ(light.getFrame(), s.shown) << s.frame;
        EXPECT_EQ(light.isDirty(), s.dirty) << s.frame;
    }
}

TEST(LevelLight, ThePanelShowsTheEffectsLevelsAtItsNextIdleAtBothScales) {
    paneltest::TestDisplay display;
    ASSERT_TRUE(display.ok()) << "no X display";
    const struct {
        const char* name;
        float inputDb, outputDb;
        LightColour input, output;
    } levels[] = {
        {"a signal", -30.f, -20.f, kGreen, kGreen},
        {"a hot signal", -8.f, -3.f, kAmber, kAmber},
        {"a clipping output", -8.f, 4.f, kAmber, kRed},
        {"a clipped input", 0.f, -10.f, kRed, kGreen},
        {"silence", -70.f, -70.f, kDark, kDark},
    };
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const ::Window parent = display.createParent(0, 0, kPanelWidth * scale, kPanelHeight * scale);
        FakeEffect effect;
        effect.levels[0] = -30.f;  // the input light opens lit
        SDEditor editor(&effect);
        editor.setHostScale(scale);
        ASSERT_TRUE(editor.open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent))));
        ASSERT_TRUE(paneltest::waitFor([&] { return editor.getFrame()->hasDrawnOnce(); }, [&] { editor.idle(); }));
        const ::Window window = display.children(parent).front();
        EXPECT_EQ(paneltest::shownLight(display, window, kIn, scale), int(kGreen));
        EXPECT_EQ(paneltest::shownLight(display, window, kOut, scale), int(kDark));
        for (const auto& l : levels) {
            SCOPED_TRACE(l.name);
            effect.levels[0] = l.inputDb;
            effect.levels[1] = l.outputDb;
            editor.idle();
            double error[2] = {};
            EXPECT_EQ(paneltest::shownLight(display, window, kIn, scale, &error[0]), int(l.input));
            EXPECT_EQ(paneltest::shownLight(display, window, kOut, scale, &error[1]), int(l.output));
            EXPECT_LT(error[0] + error[1], 3.0);
            EXPECT_EQ(editor.lightFor(kOut)->getFrame(), int(l.output));
        }
        editor.close();
        EXPECT_EQ(editor.lightFor(kIn), nullptr);
        display.destroy(parent);
    }
}
