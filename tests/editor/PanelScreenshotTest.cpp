// The panel as a user sees it: the panel tool opens the plug-in's editor in a
// real X window, as a host does, and reads the pixels back. They must show
// the background with, on every control, the image its parameter selects,
// and both level lights dark.

#include "ResourceImages.h"
#include "editor/PanelLayout.h"
#include "resources/EmbeddedResources.h"
#include "tools/host/VstHost.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Last: its macros would clash with the names above.
#include <X11/Xlib.h>

extern char** environ;

namespace {

using namespace ka813;
using resourcetest::Image;

int run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The image a control shows for a value: a knob picks image floor(value x 100)
// at pixel precision, a switch its lower half from 0.5 up.
unsigned frameFor(const Image& strip, ControlKind kind, float value) {
    if (kind == ControlKind::onOffSwitch) return value >= 0.5f ? 1 : 0;
    const unsigned h = strip.height / kKnobFrames, span = h * (kKnobFrames - 1);
    if (!(value > 0)) return 0;
    const double y = std::floor(value * span);
    return y >= span ? kKnobFrames - 1 : static_cast<unsigned>(y) / h;
}

// Runs the panel tool at a scale and checks what it read back.
void checkScreenshot(int scale) {
    const std::string shot = testing::TempDir() + "ka813_panel_screenshot.png";
    // By name (any case) and by index, as a user of the tool would; the
    // channel switch recalls channel B's stored settings first.
    ASSERT_EQ(run({KA813_PANEL_TOOL, "--set", "Channel=1", "--set", "chb drive=0.25", "--set", "14=1",
                   "--set", "Volume=0.999", "--set", "Mono/Stereo=0", "--set", "CHB Bright=0.3",
                   "--scale", std::to_string(scale), "--screenshot", shot, KA813_PLUGIN}),
              0);

    // The same settings in a plug-in of our own give the values to expect.
    std::string error;
    auto plugin = vsthost::Plugin::load(KA813_PLUGIN, &error);
    ASSERT_TRUE(plugin) << error;
    plugin->setParameter(1, 1.f);
    plugin->setParameter(12, 0.25f);
    plugin->setParameter(14, 1.f);
    plugin->setParameter(20, 0.999f);
    plugin->setParameter(21, 0.f);
    plugin->setParameter(19, 0.3f);
    float values[kNumTags];
    for (int i = 0; i < kNumTags; ++i) values[i] = plugin->getParameter(i);
    ASSERT_EQ(values[12], 0.25f);

    const unsigned width = kPanelWidth * scale, height = kPanelHeight * scale;
    Image screen, strips[kNumPanelImages + 1];
    ASSERT_TRUE(resourcetest::decodeFile(shot, screen));
    ASSERT_EQ(screen.width, width);
    ASSERT_EQ(screen.height, height);
    for (int id = 1; id <= kNumPanelImages; ++id)
        ASSERT_TRUE(resourcetest::decodeEmbedded(resourceAtScale(id, scale), strips[id]));

    // Compose what the panel should look like: each strip image blended
    // over the background.
    std::vector<double> expected(width * height * 3);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) expected[(y * width + x) * 3 + c] = strips[kBackgroundImage].at(x, y)[c];
    for (const PanelControl& p : kPanelControls) {
        const Image& s = strips[p.image];
        const unsigned h = s.height / framesOf(p.kind);
        const unsigned top = frameFor(s, p.kind, values[p.tag]) * h;
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < s.width; ++x) {
                const uint8_t* src = s.at(x, top + y);
                const double a = src[3] / 255.0;
                double* dst = &expected[((p.top * scale + y) * width + p.left * scale + x) * 3];
                for (int c = 0; c < 3; ++c) dst[c] = src[c] * a + dst[c] * (1 - a);
            }
    }
    // The tool plays no audio: both level lights are dark, their first image.
    const Image& light = strips[kLevelLightImage];
    const unsigned lightHeight = light.height / kLightFrames;
    for (const PanelLight& l : kPanelLights)
        for (unsigned y = 0; y < lightHeight; ++y)
            for (unsigned x = 0; x < light.width; ++x) {
                const uint8_t* src = light.at(x, y);
                const double a = src[3] / 255.0;
                double* dst = &expected[((l.top * scale + y) * width + l.left * scale + x) * 3];
                for (int c = 0; c < 3; ++c) dst[c] = src[c] * a + dst[c] * (1 - a);
            }
    auto meanDifference = [&](unsigned left, unsigned top, unsigned right, unsigned bottom) {
        double sum = 0;
        for (unsigned y = top; y < bottom; ++y)
            for (unsigned x = left; x < right; ++x)
                for (int c = 0; c < 3; ++c) sum += std::fabs(screen.at(x, y)[c] - expected[(y * width + x) * 3 + c]);
        return sum / ((right - left) * (bottom - top) * 3);
    };
    EXPECT_LT(meanDifference(0, 0, width, height), 2.0);
    for (const PanelControl& p : kPanelControls) {
        const Image& s = strips[p.image];
        const unsigned h = s.height / framesOf(p.kind);
        EXPECT_LT(meanDifference(p.left * scale, p.top * scale, p.left * scale + s.width, p.top * scale + h), 4.0)
            << "control " << p.tag << " at value " << values[p.tag];
    }
    for (const PanelLight& l : kPanelLights)
        EXPECT_LT(meanDifference(l.left * scale, l.top * scale, l.left * scale + light.width,
                                 l.top * scale + lightHeight), 4.0)
            << "level light " << static_cast<int>(l.meter);
    // Channel B selected: its red lamp, the upper one, glows; the lower is dark.
    auto lampMean = [&](unsigned cx, unsigned cy, int c) {
        double sum = 0;
        for (unsigned y = cy - 3; y <= cy + 3; ++y)
            for (unsigned x = cx - 3; x <= cx + 3; ++x) sum += screen.at(x, y)[c];
        return sum / 49;
    };
    const PanelControl& channel = *panelControl(kTagChannel);
    const unsigned lampX = (channel.left + 42) * scale, upperY = (channel.top + 14) * scale,
                   lowerY = (channel.top + 53) * scale;
    EXPECT_GT(lampMean(lampX, upperY, 0), 150);
    EXPECT_GT(lampMean(lampX, upperY, 0), 1.5 * lampMean(lampX, upperY, 1));
    EXPECT_GT(lampMean(lampX, upperY, 0) + lampMean(lampX, upperY, 1),
              2 * (lampMean(lampX, lowerY, 0) + lampMean(lampX, lowerY, 1)));
    std::remove(shot.c_str());
}

bool screenHolds(unsigned width, unsigned height) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const int screen = DefaultScreen(display);
    const bool holds = DisplayWidth(display, screen) >= int(width) && DisplayHeight(display, screen) >= int(height);
    XCloseDisplay(display);
    return holds;
}

} // namespace

TEST(PanelScreenshot, ShowsEveryControlAtTheValueTheEffectReports) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    checkScreenshot(1);
}

// Its own test command gives it a screen large enough.
TEST(PanelScreenshot, AtScale2TheLargerImagesAreShown) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    if (!screenHolds(2 * kPanelWidth, 2 * kPanelHeight)) GTEST_SKIP() << "the X screen is smaller than the panel";
    checkScreenshot(2);
}
