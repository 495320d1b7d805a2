#pragma once
// The front panel's layout: the images it is made of and, for every
// parameter, the control that shows it, which image it shows and where it
// sits. Plain data, so that the art generator draws around the very table the
// editor builds its controls from, and the tests read it too. Sizes and places
// are in layout pixels: on a dense screen the panel draws each as 2 x 2 of the
// display's, from images drawn at twice the size, and this table stays as it is.
#include <cstdint>

namespace ka813 {

// The parameter each control shows, by the effect's parameter index: the
// panel speaks to the effect in these numbers only. The effect checks, where
// it binds the panel, that they are its own.
enum PanelTag : int32_t {
    kTagInput = 0,
    kTagChannel,
    kTagCleanCrunch,
    kTagLowHighGain,
    kTagDriveA,
    kTagLowA,
    kTagMidA,
    kTagHighA,
    kTagContourA,
    kTagFocusA,
    kTagBottomA,
    kTagBrightA,
    kTagDriveB,
    kTagLowB,
    kTagMidB,
    kTagHighB,
    kTagContourB,
    kTagFocusB,
    kTagBottomB,
    kTagBrightB,
    kTagVolume,
    kTagStereo,
    kTagHighQuality,
    kNumTags
};

// The panel's PNG resources, by number.
enum PanelImage : int32_t {
    kBackgroundImage = 1,
    kLargeKnobImage = 2,
    kSmallKnobImage = 3,
    kChannelSwitchImage = 4,
    kToggleImage = 5,
    kLevelLightImage = 6,
};
constexpr int32_t kNumPanelImages = 6;

constexpr int32_t kPanelWidth = 720;
constexpr int32_t kPanelHeight = 280;
constexpr int32_t kKnobFrames = 101;
constexpr int32_t kSwitchFrames = 2;
constexpr int32_t kLightFrames = 4;  // dark, green, amber, red

// An image as drawn: one frame's size and the number of frames stacked top
// to bottom. The editor sizes its controls from the decoded bitmaps instead,
// so that a missing image gives an empty control rather than a wrong one.
struct PanelImageShape {
    int32_t width;
    int32_t frameHeight;
    int32_t frames;
};

constexpr PanelImageShape panelImageShape(PanelImage image) {
    switch (image) {
    case kBackgroundImage: return {kPanelWidth, kPanelHeight, 1};
    case kLargeKnobImage: return {40, 40, kKnobFrames};
    case kSmallKnobImage: return {33, 33, kKnobFrames};
    case kChannelSwitchImage: return {54, 67, kSwitchFrames};
    case kToggleImage: return {22, 35, kSwitchFrames};
    case kLevelLightImage: return {16, 16, kLightFrames};
    }
    return {0, 0, 0};
}

enum class ControlKind { knob, onOffSwitch };

constexpr int32_t framesOf(ControlKind kind) {
    return kind == ControlKind::knob ? kKnobFrames : kSwitchFrames;
}

struct PanelControl {
    int32_t tag;  // the parameter index
    ControlKind kind;
    PanelImage image;
    int32_t left, top;  // the size comes from the image
};

// In the order the editor makes and adds them: of two neighbours sharing an
// edge column, the later one takes the clicks on it. The upper row is
// channel B, the lower row channel A.
constexpr PanelControl kPanelControls[] = {
    {kTagInput, ControlKind::knob, kLargeKnobImage, 66, 170},
    {kTagChannel, ControlKind::onOffSwitch, kChannelSwitchImage, 118, 159},
    {kTagCleanCrunch, ControlKind::onOffSwitch, kToggleImage, 230, 204},
    {kTagDriveA, ControlKind::knob, kSmallKnobImage, 187, 197},
    {kTagLowA, ControlKind::knob, kSmallKnobImage, 294, 197},
    {kTagMidA, ControlKind::knob, kSmallKnobImage, 327, 197},
    {kTagHighA, ControlKind::knob, kSmallKnobImage, 360, 197},
    {kTagContourA, ControlKind::knob, kSmallKnobImage, 393, 197},
    {kTagFocusA, ControlKind::onOffSwitch, kToggleImage, 442, 204},
    {kTagBottomA, ControlKind::onOffSwitch, kToggleImage, 477, 204},
    {kTagBrightA, ControlKind::onOffSwitch, kToggleImage, 513, 204},
    {kTagLowHighGain, ControlKind::onOffSwitch, kToggleImage, 230, 163},
    {kTagDriveB, ControlKind::knob, kSmallKnobImage, 187, 155},
    {kTagLowB, ControlKind::knob, kSmallKnobImage, 294, 155},
    {kTagMidB, ControlKind::knob, kSmallKnobImage, 327, 155},
    {kTagHighB, ControlKind::knob, kSmallKnobImage, 360, 155},
    {kTagContourB, ControlKind::knob, kSmallKnobImage, 393, 155},
    {kTagFocusB, ControlKind::onOffSwitch, kToggleImage, 442, 163},
    {kTagBottomB, ControlKind::onOffSwitch, kToggleImage, 477, 163},
    {kTagBrightB, ControlKind::onOffSwitch, kToggleImage, 513, 163},
    {kTagVolume, ControlKind::knob, kLargeKnobImage, 552, 170},
    {kTagHighQuality, ControlKind::onOffSwitch, kToggleImage, 600, 203},
    {kTagStereo, ControlKind::onOffSwitch, kToggleImage, 600, 161},
};
static_assert(sizeof(kPanelControls) / sizeof(kPanelControls[0]) == kNumTags, "one control per parameter");

// The control showing a parameter; null for an index outside the table.
constexpr const PanelControl* panelControl(int32_t tag) {
    for (const PanelControl& control : kPanelControls)
        if (control.tag == tag)
            return &control;
    return nullptr;
}

// The level lights: one over Input for what arrives, one over Volume for
// what leaves. They only show; no parameter stands behind them.
enum class PanelMeter : int32_t { input, output };
constexpr int32_t kNumPanelMeters = 2;

struct PanelLight {
    PanelMeter meter;
    int32_t left, top;  // the size comes from kLevelLightImage
};

// In meter order. The lamp sits at the middle of its image.
constexpr PanelLight kPanelLights[kNumPanelMeters] = {
    {PanelMeter::input, 87, 141},
    {PanelMeter::output, 573, 141},
};

// Where a control sits when its image has the shape it is drawn at; right
// and bottom are exclusive.
struct PanelRect {
    int32_t left, top, right, bottom;
};

constexpr PanelRect panelRect(const PanelControl& control) {
    const PanelImageShape shape = panelImageShape(control.image);
    return {control.left, control.top, control.left + shape.width, control.top + shape.frameHeight};
}

constexpr bool everyImageFitsItsControl() {
    for (const PanelControl& control : kPanelControls)
        if (panelImageShape(control.image).frames != framesOf(control.kind))
            return false;
    return true;
}
static_assert(everyImageFitsItsControl(), "knobs show filmstrips, switches two-frame images");

constexpr PanelRect panelRect(const PanelLight& light) {
    const PanelImageShape shape = panelImageShape(kLevelLightImage);
    return {light.left, light.top, light.left + shape.width, light.top + shape.frameHeight};
}

constexpr bool lightsAreInMeterOrder() {
    for (int32_t i = 0; i < kNumPanelMeters; ++i)
        if (static_cast<int32_t>(kPanelLights[i].meter) != i)
            return false;
    return true;
}
static_assert(lightsAreInMeterOrder(), "kPanelLights[meter] is that meter's light");

}  // namespace ka813
