// The panel's LV2 UI in a host-like harness on a real X server: which port
// each control shows and writes under the mode switches, gestures as the host
// sees them, the host's scale, and what opening and closing leaves behind.
#include <gtest/gtest.h>

#include <dirent.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "editor/PanelLayout.h"
#include "lv2/Ports.h"
#include "UiHost.h"

using namespace ka813;
using namespace ka813::lv2uitest;
using paneltest::waitFor;

namespace {

// The ports of the global switches, and the first of the four modes' ten.
enum : uint32_t { kChannelPort = 4, kCleanCrunchPort, kLowHighPort, kStereoPort, kQualityPort };
constexpr uint32_t kModeBase = 9;
enum Mode : uint32_t { kAClean, kACrunch, kBLow, kBHigh };

// Which mode each control follows: channel A's own ('A'), channel B's own
// ('B') or the mode that plays ('*'), and its control within the mode.
struct Shows {
    int tag;
    char follows;
    uint32_t control;
};
constexpr Shows kShows[] = {
    {kTagInput, '*', 0},   {kTagVolume, '*', 6},   {kTagDriveA, 'A', 1},  {kTagLowA, 'A', 2},
    {kTagMidA, 'A', 3},    {kTagHighA, 'A', 4},    {kTagContourA, 'A', 5}, {kTagFocusA, 'A', 7},
    {kTagBottomA, 'A', 8}, {kTagBrightA, 'A', 9},  {kTagDriveB, 'B', 1},  {kTagLowB, 'B', 2},
    {kTagMidB, 'B', 3},    {kTagHighB, 'B', 4},    {kTagContourB, 'B', 5}, {kTagFocusB, 'B', 7},
    {kTagBottomB, 'B', 8}, {kTagBrightB, 'B', 9},
};

// The three mode switches as ports hold them.
struct Switches {
    int channel, cleanCrunch, lowHigh;
    Mode a() const { return cleanCrunch ? kACrunch : kAClean; }
    Mode b() const { return lowHigh ? kBHigh : kBLow; }
    Mode active() const { return channel ? b() : a(); }
};

uint32_t portShown(const Shows& s, const Switches& w) {
    const Mode mode = s.follows == 'A' ? w.a() : s.follows == 'B' ? w.b() : w.active();
    return kModeBase + mode * 10 + s.control;
}

// A value of its own for every mode port, so that the image tells which port
// a control shows: knobs three frames apart (a knob set by the host redraws
// only when its pointer moves by a pixel), switches alternating.
bool isSwitchControl(uint32_t control) { return control >= 7; }
int frameOfPort(uint32_t port) {
    const uint32_t mode = (port - kModeBase) / 10, control = (port - kModeBase) % 10;
    return isSwitchControl(control) ? static_cast<int>(port % 2)
                                    : 2 + 3 * static_cast<int>(mode * 7 + control);
}
float valueOfPort(uint32_t port) {
    const int frame = frameOfPort(port);
    return isSwitchControl((port - kModeBase) % 10) ? static_cast<float>(frame)
                                                    : (static_cast<float>(frame) + 0.25f) / 100.f;
}

size_t openDescriptors() {
    size_t n = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir))
            ++n;
        closedir(dir);
    }
    return n;
}

size_t windowsUnder(paneltest::TestDisplay& display, ::Window window) {
    size_t n = 0;
    for (::Window child : display.children(window))
        n += 1 + windowsUnder(display, child);
    return n;
}

class LV2Panel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.ok()) << "no X display";
        unsetenv("KA813_UI_SCALE");
        host = std::make_unique<UiHost>(KA813_UI_BINARY);
        ASSERT_TRUE(host->descriptor()) << host->error();
        parent = display.createParent(kParentX, kParentY, 720, 280, 0xff00ff);
    }
    void TearDown() override {
        host.reset();
        if (parent)
            display.destroy(parent);
    }

    // Opens the UI, gives it what the host would at once, and waits for the first paint.
    void openPainted(const Offer& offer = {}, const Switches* switches = nullptr) {
        ASSERT_TRUE(host->instantiate(parent, offer));
        if (switches) {
            sendEveryModePort();
            sendSwitches(*switches);
        }
        ASSERT_TRUE(idleUntilPainted(*host, display));
    }
    void sendSwitches(const Switches& w) {
        host->portEvent(kChannelPort, static_cast<float>(w.channel));
        host->portEvent(kCleanCrunchPort, static_cast<float>(w.cleanCrunch));
        host->portEvent(kLowHighPort, static_cast<float>(w.lowHigh));
    }
    void sendEveryModePort() {
        for (uint32_t port = kModeBase; port < kModeBase + 40; ++port)
            host->portEvent(port, valueOfPort(port));
    }
    // Idles a few times, then checks every control against the ports it follows.
    void expectControlsShow(const Switches& w) {
        for (int i = 0; i < 5; ++i)
            host->idle();
        EXPECT_EQ(shownImage(display, host->widget(), kTagChannel), w.channel);
        EXPECT_EQ(shownImage(display, host->widget(), kTagCleanCrunch), w.cleanCrunch);
        EXPECT_EQ(shownImage(display, host->widget(), kTagLowHighGain), w.lowHigh);
        for (const Shows& s : kShows)
            EXPECT_EQ(shownImage(display, host->widget(), s.tag), frameOfPort(portShown(s, w)))
                << "tag " << s.tag << " in modes " << w.a() << "/" << w.b() << " channel " << w.channel;
    }
    int screenX(int tag) const { return kParentX + panelControl(tag)->left + 10; }
    int screenY(int tag) const { return kParentY + panelControl(tag)->top + 10; }

    static constexpr int kParentX = 100, kParentY = 300;
    paneltest::TestDisplay display;
    std::unique_ptr<UiHost> host;
    ::Window parent = 0;
};

TEST_F(LV2Panel, DescriptorIsTheUisOwn) {
    EXPECT_STREQ(host->descriptor()->URI, lv2::kUiUri);
    EXPECT_TRUE(host->descriptor()->extension_data(LV2_UI__idleInterface));
    // An X11 UI has nowhere to go without the host's window.
    EXPECT_FALSE(host->instantiate(0));
}

// Port events from the host, switches moved between them: every control shows
// the port of the mode it follows, and a mode switch moves them all at once.
TEST_F(LV2Panel, ControlsShowThePortsOfTheSelectedModes) {
    const Switches kSteps[] = {
        {0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}, {0, 0, 1}, {1, 0, 0},
    };
    openPainted({}, &kSteps[0]);
    for (const Switches& w : kSteps) {
        sendSwitches(w);
        expectControlsShow(w);
    }
    EXPECT_TRUE(host->calls().empty()) << "the host's own values are not written back";
}

// The level outputs as the host reports them: the lights show them from the
// next idle on, and nothing is written back.
TEST_F(LV2Panel, LevelLightsShowTheLevelPortsAtTheNextIdle) {
    openPainted();
    const struct {
        float inputDb, outputDb;
        int input, output;  // 0 dark, 1 green, 2 amber, 3 red
    } kSteps[] = {
        {-30.f, -20.f, 1, 1}, {-9.f, -3.f, 2, 2}, {0.f, 2.5f, 3, 3}, {-70.f, -70.f, 0, 0}, {-50.f, 0.f, 1, 3},
    };
    int shown[2] = {0, 0};
    for (const auto& step : kSteps) {
        SCOPED_TRACE(testing::Message() << step.inputDb << " / " << step.outputDb << " dBFS");
        host->portEvent(lv2::kInputLevelPort, step.inputDb);
        host->portEvent(lv2::kOutputLevelPort, step.outputDb);
        EXPECT_EQ(shownLight(display, host->widget(), PanelMeter::input), shown[0]);
        EXPECT_EQ(shownLight(display, host->widget(), PanelMeter::output), shown[1]);
        host->idle();
        EXPECT_EQ(shownLight(display, host->widget(), PanelMeter::input), step.input);
        EXPECT_EQ(shownLight(display, host->widget(), PanelMeter::output), step.output);
        shown[0] = step.input;
        shown[1] = step.output;
    }
    EXPECT_TRUE(host->calls().empty());
}

// A click on a mode switch writes its port inside a touch and the knobs
// follow the mode it selected.
TEST_F(LV2Panel, ClickedModeSwitchWritesItsPortAndMovesTheKnobs) {
    struct Row {
        Switches before;
        int tag;
        uint32_t port;
        Switches after;
    };
    const Row kRows[] = {
        {{0, 0, 0}, kTagCleanCrunch, kCleanCrunchPort, {0, 1, 0}},
        {{0, 1, 0}, kTagChannel, kChannelPort, {1, 1, 0}},
        {{1, 1, 0}, kTagLowHighGain, kLowHighPort, {1, 1, 1}},
    };
    openPainted({}, &kRows[0].before);
    for (const Row& row : kRows) {
        sendSwitches(row.before);
        expectControlsShow(row.before);
        host->clearCalls();
        display.movePointer(screenX(row.tag), screenY(row.tag));
        display.button(1, true);
        display.button(1, false);
        ASSERT_TRUE(waitFor([&] { return host->countCalls(HostCall::Release) > 0; },
                            [&] { host->idle(); }));
        const auto calls = host->calls();
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[0].kind, HostCall::Touch);
        EXPECT_EQ(calls[1].kind, HostCall::Write);
        EXPECT_EQ(calls[1].value, 1.f);
        EXPECT_EQ(calls[2].kind, HostCall::Release);
        for (const HostCall& call : calls)
            EXPECT_EQ(call.port, row.port);
        expectControlsShow(row.after);
    }
}

// A knob dragged with the mouse writes the port of the mode it follows, the
// whole drag inside one touch gesture on that port.
TEST_F(LV2Panel, DragWritesTheModesPortInsideOneTouch) {
    struct Row {
        Switches modes;
        int tag;
        uint32_t port;
    };
    const Row kRows[] = {
        {{1, 0, 1}, kTagDriveB, kModeBase + kBHigh * 10 + 1},
        {{0, 1, 0}, kTagInput, kModeBase + kACrunch * 10 + 0},
        {{1, 1, 0}, kTagVolume, kModeBase + kBLow * 10 + 6},
        {{1, 0, 0}, kTagLowA, kModeBase + kAClean * 10 + 2},
    };
    openPainted();
    for (const Row& row : kRows) {
        sendSwitches(row.modes);
        host->portEvent(row.port, 0.3f);
        for (int i = 0; i < 3; ++i)
            host->idle();
        host->clearCalls();
        const int x = screenX(row.tag), y = screenY(row.tag);
        display.movePointer(x, y);
        display.button(1, true);
        std::atomic<bool> released{false};
        std::thread input([&] {
            paneltest::TestDisplay mouse;
            waitFor([&] { return host->countCalls(HostCall::Touch) > 0; });
            for (int step = 1; step <= 4; ++step) {
                const size_t writes = host->countCalls(HostCall::Write);
                mouse.movePointer(x, y - 10 * step);
                waitFor([&] { return host->countCalls(HostCall::Write) > writes; });
            }
            mouse.button(1, false);
            released = true;
        });
        waitFor([&] { return released.load(); }, [&] { host->idle(); });
        input.join();
        ASSERT_TRUE(waitFor([&] { return host->countCalls(HostCall::Release) > 0; },
                            [&] { host->idle(); }));

        const auto calls = host->calls();
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls.front().kind, HostCall::Touch);
        EXPECT_EQ(calls.back().kind, HostCall::Release);
        EXPECT_EQ(host->countCalls(HostCall::Touch), 1u);
        EXPECT_EQ(host->countCalls(HostCall::Release), 1u);
        EXPECT_GE(host->countCalls(HostCall::Write), 4u);
        for (const HostCall& call : calls)
            EXPECT_EQ(call.port, row.port) << "tag " << row.tag;
        // 40 pixels up of the knob's 200 for the whole range.
        EXPECT_NEAR(calls[calls.size() - 2].value, 0.5f, 1e-5f);
        for (int i = 0; i < 3; ++i)
            host->idle();
        EXPECT_EQ(shownImage(display, host->widget(), row.tag), 50);
    }
}

// The host's scale factor decides the panel's scale; without one the panel's
// own rule does (the environment here, and a plain screen otherwise).
TEST_F(LV2Panel, HostScaleFactorDecidesThePanelsSize) {
    struct Row {
        float factor;
        const char* environment;
        int scale;
    };
    const Row kRows[] = {
        {1.f, nullptr, 1}, {2.f, nullptr, 2}, {1.25f, nullptr, 1}, {1.5f, nullptr, 2},
        {0.f, nullptr, 1}, {0.f, "2", 2},     {1.f, "2", 1},       {2.f, "1", 2},
    };
    for (const Row& row : kRows) {
        if (row.environment)
            setenv("KA813_UI_SCALE", row.environment, 1);
        else
            unsetenv("KA813_UI_SCALE");
        Offer offer;
        offer.scaleFactor = row.factor;
        ASSERT_TRUE(host->instantiate(parent, offer));
        int width = 0, height = 0;
        display.size(host->widget(), &width, &height);
        EXPECT_EQ(width, 720 * row.scale) << "factor " << row.factor;
        EXPECT_EQ(height, 280 * row.scale) << "factor " << row.factor;
        EXPECT_EQ(host->resizedWidth, 720 * row.scale);
        EXPECT_EQ(host->resizedHeight, 280 * row.scale);
        host->cleanup();
    }
    unsetenv("KA813_UI_SCALE");
}

// Without the optional features the UI still opens and its knobs still write.
TEST_F(LV2Panel, WorksWithoutTouchOrResize) {
    Offer offer;
    offer.touch = offer.resize = false;
    openPainted(offer);
    EXPECT_EQ(host->resizedWidth, 0);
    display.movePointer(screenX(kTagStereo), screenY(kTagStereo));
    display.button(1, true);
    display.button(1, false);
    ASSERT_TRUE(waitFor([&] { return host->countCalls(HostCall::Write) > 0; },
                        [&] { host->idle(); }));
    const auto calls = host->calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].port, kStereoPort);
}

// Twenty times opened, shown and closed: no window on the server, no
// connection to it, no descriptor and no memory in the process stays behind.
TEST_F(LV2Panel, OpeningAndClosingLeavesNothingBehind) {
    const ::Window root = DefaultRootWindow(display.get());
    const size_t windowsBefore = windowsUnder(display, root);
    const size_t descriptorsBefore = openDescriptors();
    size_t heapAfterFirst = 0;
    for (int cycle = 0; cycle < 20; ++cycle) {
        openPainted();
        sendSwitches({cycle % 2, 1, 0});
        host->idle();
        EXPECT_EQ(display.children(parent).size(), 1u);
        host->cleanup();
        display.sync();
        EXPECT_TRUE(display.children(parent).empty()) << "cycle " << cycle;
        // The first cycle may leave the libraries' caches filled, no later one more.
        if (cycle == 0)
            heapAfterFirst = mallinfo2().uordblks;
    }
    // A panel left behind would hold its back buffer and images: megabytes.
    EXPECT_LT(mallinfo2().uordblks, heapAfterFirst + 16 * 1024);
    EXPECT_EQ(windowsUnder(display, root), windowsBefore);
    EXPECT_EQ(openDescriptors(), descriptorsBefore);
}

// A host that destroys its window under the panel is told at the next idle.
TEST_F(LV2Panel, IdleReportsTheWindowGone) {
    openPainted();
    EXPECT_EQ(host->idle(), 0);
    display.destroy(parent);
    parent = 0;
    EXPECT_TRUE(waitFor([&] { return host->idle() == 1; }));
    host->cleanup();
}

}  // namespace
