// The control layout: its rules, and the panel the editor builds from it.
#include <gtest/gtest.h>

#include <set>

#include "editor/CBitmap.h"
#include "editor/CFrame.h"
#include "editor/CKnob.h"
#include "editor/PanelLayout.h"
#include "editor/SDEditor.h"
#include "shell/Ka813.h"
#include "XTestSupport.h"

using namespace ka813;

namespace {

intptr_t quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

int orderOf(int32_t tag) { return static_cast<int>(panelControl(tag) - kPanelControls); }

PanelRect rectOf(int32_t tag) { return panelRect(*panelControl(tag)); }

}  // namespace

TEST(PanelLayout, ImagesHaveTheSizesOfTheResourceTable) {
    struct {
        PanelImage image;
        int32_t width, height, frames;
    } const resources[] = {
        {kBackgroundImage, 720, 280, 1}, {kLargeKnobImage, 40, 4040, 101}, {kSmallKnobImage, 33, 3333, 101},
        {kChannelSwitchImage, 54, 134, 2}, {kToggleImage, 22, 70, 2},
    };
    for (const auto& r : resources) {
        SCOPED_TRACE(r.image);
        const PanelImageShape shape = panelImageShape(r.image);
        EXPECT_EQ(shape.width, r.width);
        EXPECT_EQ(shape.frameHeight * shape.frames, r.height);
        EXPECT_EQ(shape.frames, r.frames);
    }
}

TEST(PanelLayout, OneControlPerParameterOfTheRightKind) {
    std::set<int32_t> tags;
    int knobs = 0;
    for (const PanelControl& c : kPanelControls) {
        SCOPED_TRACE(c.tag);
        tags.insert(c.tag);
        const ParameterInfo* info = parameterInfo(c.tag);
        ASSERT_NE(info, nullptr);
        const bool knob = c.kind == ControlKind::knob;
        knobs += knob;
        EXPECT_EQ(knob, info->kind == ParameterKind::Continuous) << info->name;
        const bool large = c.tag == kParamInput || c.tag == kParamVolume;
        if (knob)
            EXPECT_EQ(c.image, large ? kLargeKnobImage : kSmallKnobImage);
        else
            EXPECT_EQ(c.image, c.tag == kParamChannel ? kChannelSwitchImage : kToggleImage);
    }
    EXPECT_EQ(tags.size(), static_cast<size_t>(kNumParameters));
    EXPECT_EQ(knobs, 12);
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
    const int32_t offsetB = kParamDriveB - kParamDriveA;
    for (int32_t a = kParamDriveA; a <= kParamBrightA; ++a) {
        SCOPED_TRACE(a);
        EXPECT_EQ(rectOf(a + offsetB).left, rectOf(a).left);
        EXPECT_LE(rectOf(a + offsetB).bottom, rectOf(a).top);
    }
    EXPECT_EQ(rectOf(kParamLowHighGain).left, rectOf(kParamCleanCrunch).left);
    EXPECT_LE(rectOf(kParamLowHighGain).bottom, rectOf(kParamCleanCrunch).top);

    // From the drive knob 107 pixels to the first tone knob, then 33 between
    // tone knobs: neighbours share an edge column, which the later one takes.
    for (int32_t drive : {kParamDriveA, kParamDriveB}) {
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

TEST(PanelLayout, RectanglesOfTheControlTable) {
    // Spot checks of the table: together with the row rules above they fix
    // every control.
    struct {
        int32_t tag;
        PanelRect rect;
    } const spots[] = {
        {kParamInput, {66, 170, 106, 210}},        {kParamChannel, {118, 159, 172, 226}},
        {kParamCleanCrunch, {230, 204, 252, 239}}, {kParamDriveA, {187, 197, 220, 230}},
        {kParamContourB, {393, 155, 426, 188}},    {kParamFocusA, {442, 204, 464, 239}},
        {kParamBrightB, {513, 163, 535, 198}},     {kParamVolume, {552, 170, 592, 210}},
        {kParamHighQuality, {600, 203, 622, 238}}, {kParamStereo, {600, 161, 622, 196}},
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
    Ka813 effect(quietHost);
    effect.setParameter(kParamVolume, 0.3f);
    effect.setParameter(kParamBottomA, 1.f);
    auto* editor = static_cast<SDEditor*>(effect.getEditor());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent))));
    VSTGUI::CFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->getNbViews(), kNumParameters);
    for (int32_t i = 0; i < kNumParameters; ++i) {
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
    EXPECT_EQ(editor->controlForTag(kParamInput), nullptr);
    display.destroy(parent);
}
