// Where the editor places its controls on the panel, and the image strips
// they show. The art is drawn around these rectangles: nothing painted on
// the background may hide under a control.
#pragma once

namespace panelart {

enum class Strip { background = 1, largeKnob = 2, smallKnob = 3, channelSwitch = 4, toggle = 5 };

struct StripSize {
    int width;
    int frameHeight;
    int frames;
};

constexpr int kPanelWidth = 720;
constexpr int kPanelHeight = 280;
constexpr int kKnobFrames = 101;

constexpr StripSize stripSize(Strip s) {
    switch (s) {
    case Strip::background: return {kPanelWidth, kPanelHeight, 1};
    case Strip::largeKnob: return {40, 40, kKnobFrames};
    case Strip::smallKnob: return {33, 33, kKnobFrames};
    case Strip::channelSwitch: return {54, 67, 2};
    case Strip::toggle: return {22, 35, 2};
    }
    return {0, 0, 0};
}

struct PanelControl {
    int tag;          // parameter index
    Strip strip;
    int left, top;    // the rectangle's size comes from the strip
    double value;     // shown in previews

    int right() const { return left + stripSize(strip).width; }
    int bottom() const { return top + stripSize(strip).frameHeight; }
    double centreX() const { return left + stripSize(strip).width * 0.5; }
    double centreY() const { return top + stripSize(strip).frameHeight * 0.5; }
};

// In the order the editor adds them; upper row channel B, lower row channel A.
constexpr PanelControl kControls[] = {
    {0, Strip::largeKnob, 66, 170, 0.5},      // Input
    {1, Strip::channelSwitch, 118, 159, 0},   // Channel
    {2, Strip::toggle, 230, 204, 1},          // Clean/Crunch
    {4, Strip::smallKnob, 187, 197, 0.4},     // CHA Drive
    {5, Strip::smallKnob, 294, 197, 0.5},     // CHA Low
    {6, Strip::smallKnob, 327, 197, 0.6},     // CHA Mid
    {7, Strip::smallKnob, 360, 197, 0.55},    // CHA High
    {8, Strip::smallKnob, 393, 197, 0.3},     // CHA Contour
    {9, Strip::toggle, 442, 204, 0},          // CHA Open/Focus
    {10, Strip::toggle, 477, 204, 1},         // CHA Bottom
    {11, Strip::toggle, 513, 204, 0},         // CHA Bright
    {3, Strip::toggle, 230, 163, 0},          // Low/High Gain
    {12, Strip::smallKnob, 187, 155, 0.7},    // CHB Drive
    {13, Strip::smallKnob, 294, 155, 0.5},    // CHB Low
    {14, Strip::smallKnob, 327, 155, 0.45},   // CHB Mid
    {15, Strip::smallKnob, 360, 155, 0.6},    // CHB High
    {16, Strip::smallKnob, 393, 155, 0.65},   // CHB Contour
    {17, Strip::toggle, 442, 163, 1},         // CHB Open/Focus
    {18, Strip::toggle, 477, 163, 0},         // CHB Bottom
    {19, Strip::toggle, 513, 163, 1},         // CHB Bright
    {20, Strip::largeKnob, 552, 170, 0.5},    // Volume
    {22, Strip::toggle, 600, 203, 1},         // LowQ/HighQ
    {21, Strip::toggle, 600, 161, 1},         // Mono/Stereo
};

inline const PanelControl* controlForTag(int tag) {
    for (const PanelControl& c : kControls)
        if (c.tag == tag) return &c;
    return nullptr;
}

} // namespace panelart
