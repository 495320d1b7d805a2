// The control layout: its rules, and the panel the editor builds from it.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "editor/CBitmap.h"
#include "editor/CFrame.h"
#include "editor/CKnob.h"
#include "editor/PanelLayout.h"
#include "editor/SDEditor.h"
#include "FakeEffect.h"
#include "XTestSupport.h"

using namespace ka813;

namespace {

int orderOf(int32_t tag) { return static_cast<int>(panelControl(tag) - kPanelControls); }

PanelRect rectOf(int32_t tag) { return panelRect(*panelControl(tag)); }

}  // namespace

TEST(PanelLayout, ImagesHaveTheSizesOfTheResourceTable) {
    struct {
        PanelImage image;
        int32_t width, height, frames;
    } const resources[] = {
        {kBackgroundImage, 720, 280, 1}, {kLargeKnobImage, 40, 4040, 101}, {kSmallKnobImage, 33, 3333, 101},
        {kChannelSwitchImage, 54, 134, 2}, {kToggleImage, 22, 70, 2}, {kLevelLightImage, 16, 64, 4},
    };
    for (const auto& r : resources) {
        SCOPED_TRACE(r.image);
        const PanelImageShape shape = panelImageShape(r.image);
        EXPECT_EQ(shape.width, r.width);
        EXPECT_EQ(shape.frameHeight * shape.frames, r.height);
        EXPECT_EQ(shape.frames, r.frames);
    }
}

TEST(PanelLayout, ControlsSitInTwoChannelRowsWithoutOverlapping) {
    for (const PanelControl& c : kPanelControls) {
        SCOPED_TRACE(c.tag);
        const PanelRect r = panelRect(c);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= kPanelWidth && r.bottom <= kPanelHeight);
        for (const PanelControl& other : kPanelControls) {
            const PanelRect o = panelRect(other);
            if (&other == &c)
                continue;
            EXPECT_FALSE(r.left < o.right && o.left < r.right && r.top < o.bottom && o.top < r.bottom)
                << "overlaps " << other.tag;
        }
    }
    // Channel B's row above channel A's, control over control.
    const int32_t offsetB = kTagDriveB - kTagDriveA;
    for (int32_t a = kTagDriveA; a <= kTagBrightA; ++a) {
        SCOPED_TRACE(a);
        EXPECT_EQ(rectOf(a + offsetB).left, rectOf(a).left);
        EXPECT_LE(rectOf(a + offsetB).bottom, rectOf(a).top);
    }
    EXPECT_EQ(rectOf(kTagLowHighGain).left, rectOf(kTagCleanCrunch).left);
    EXPECT_LE(rectOf(kTagLowHighGain).bottom, rectOf(kTagCleanCrunch).top);

    // From the drive knob 107 pixels to the first tone knob, then 33 between
    // tone knobs: neighbours share an edge column, which the later one takes.
    for (int32_t drive : {kTagDriveA, kTagDriveB}) {
        SCOPED_TRACE(drive);
        EXPECT_EQ(rectOf(drive + 1).left - rectOf(drive).left, 107);
        for (int32_t tone = drive + 1; tone < drive + 4; ++tone) {
            EXPECT_EQ(rectOf(tone + 1).left - rectOf(tone).left, 33);
            EXPECT_EQ(rectOf(tone + 1).left, rectOf(tone).right);
            EXPECT_EQ(rectOf(tone + 1).top, rectOf(tone).top);
            EXPECT_GT(orderOf(tone + 1), orderOf(tone));
        }
        // The three toggles: focus, bottom, bright.
        EXPECT_EQ(rectOf(drive + 6).left - rectOf(drive + 5).left, 35);
        EXPECT_EQ(rectOf(drive + 7).left - rectOf(drive + 6).left, 36);
        EXPECT_EQ(rectOf(drive + 6).top, rectOf(drive + 5).top);
        EXPECT_EQ(rectOf(drive + 7).top, rectOf(drive + 5).top);
    }
}

TEST(PanelLayout, EachLevelLightSitsOverItsKnobClearOfEveryControl) {
    const int32_t knobOf[kNumPanelMeters] = {kTagInput, kTagVolume};
    for (const PanelLight& light : kPanelLights) {
        const PanelRect r = panelRect(light);
        const PanelRect knob = rectOf(knobOf[static_cast<int32_t>(light.meter)]);
        SCOPED_TRACE(static_cast<int32_t>(light.meter));
        EXPECT_LE(r.bottom + 12, knob.top);  // above the knob's scale
        EXPECT_GE(r.top, 140);               // on the plate
        EXPECT_GT(r.right, knob.left);
        EXPECT_LT(r.left, knob.right);
        for (const PanelControl& c : kPanelControls) {
            const PanelRect o = panelRect(c);
            EXPECT_FALSE(r.left < o.right && o.left < r.right && r.top < o.bottom && o.top < r.bottom)
                << "overlaps " << c.tag;
        }
    }
}

TEST(PanelLayout, RectanglesOfTheControlTable) {
    // Spot checks of the table: together with the row rules above they fix
    // every control.
    struct {
        int32_t tag;
        PanelRect rect;
    } const spots[] = {
        {kTagInput, {66, 170, 106, 210}},        {kTagChannel, {118, 159, 172, 226}},
        {kTagCleanCrunch, {230, 204, 252, 239}}, {kTagDriveA, {187, 197, 220, 230}},
        {kTagContourB, {393, 155, 426, 188}},    {kTagFocusA, {442, 204, 464, 239}},
        {kTagBrightB, {513, 163, 535, 198}},     {kTagVolume, {552, 170, 592, 210}},
        {kTagHighQuality, {600, 203, 622, 238}}, {kTagStereo, {600, 161, 622, 196}},
    };
    for (const auto& spot : spots) {
        const PanelRect r = rectOf(spot.tag);
        EXPECT_EQ(r.left, spot.rect.left) << spot.tag;
        EXPECT_EQ(r.top, spot.rect.top) << spot.tag;
        EXPECT_EQ(r.right, spot.rect.right) << spot.tag;
        EXPECT_EQ(r.bottom, spot.rect.bottom) << spot.tag;
    }
}

TEST(PanelLayout, TheEditorBuildsThePanelFromTheTableInItsOrder) {
    paneltest::TestDisplay display;
    ASSERT_TRUE(display.ok()) << "no X display";
    const ::Window parent = display.createParent(0, 0, kPanelWidth, kPanelHeight);
    paneltest::FakeEffect effect;
    for (int32_t tag = 0; tag < kNumTags; ++tag)
        effect.values[tag] = tag / 100.f;
    auto editor = std::make_unique<SDEditor>(&effect);
    ASSERT_TRUE(editor->open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent))));
    VSTGUI::CFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    // The controls first, then the two level lights.
    ASSERT_EQ(frame->getNbViews(), kNumTags + kNumPanelMeters);
    for (int32_t i = 0; i < kNumTags; ++i) {
        const PanelControl& entry = kPanelControls[i];
        SCOPED_TRACE(entry.tag);
        auto* control = dynamic_cast<VSTGUI::CControl*>(frame->getView(i));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control, editor->controlForTag(entry.tag));
        EXPECT_EQ(control->getTag(), entry.tag);
        EXPECT_EQ(control->getValue(), effect.getParameter(entry.tag));
        // Sized from the decoded images, which have the shapes they are drawn at.
        const PanelRect r = panelRect(entry);
        EXPECT_EQ(control->getViewSize(), VSTGUI::CRect(r.left, r.top, r.right, r.bottom));
        if (entry.kind == ControlKind::knob) {
            auto* knob = dynamic_cast<VSTGUI::CAnimKnob*>(control);
            ASSERT_NE(knob, nullptr);
            EXPECT_EQ(knob->getNumSubPixmaps(), kKnobFrames);
            EXPECT_EQ(knob->getHeightOfOneImage(), panelImageShape(entry.image).frameHeight);
        } else {
            EXPECT_TRUE(control->isTypeOf("COnOffButton"));
        }
        EXPECT_EQ(control->getBackground()->getResourceID(), entry.image);
    }
    editor->close();
    EXPECT_EQ(editor->controlForTag(kTagInput), nullptr);
    display.destroy(parent);
}
