// The panel under the user's hand: input injected with XTest into the window a
// host made, checked on the host's side and on the screen.
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>

#include "PanelHost.h"

using namespace ka813::paneltest;

namespace {

class EditorInput : public PanelHost {
protected:
    void SetUp() override {
        PanelHost::SetUp();
        ASSERT_TRUE(open(*plugin, parent));
        ASSERT_TRUE(idleUntilPainted());
    }
    void idleUntil(const std::function<bool()>& done) { ASSERT_TRUE(waitFor(done, [&] { idle(); })); }
    std::vector<std::pair<int32_t, int32_t>> edits() {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (const auto& r : plugin->log())
            if (r.opcode == audioMasterBeginEdit || r.opcode == audioMasterAutomate ||
                r.opcode == audioMasterEndEdit)
                out.emplace_back(r.opcode, r.index);
        return out;
    }
    intptr_t key(uint8_t virtualKey, float modifiers = 0.f) {
        return plugin->dispatch(effEditKeyDown, 0, virtualKey, nullptr, modifiers);
    }
};

// Centre of the CHA Drive knob (187, 197, 33 x 33).
constexpr int kDriveX = 203, kDriveY = 213;

}  // namespace

TEST_F(EditorInput, DraggingAKnobAutomatesItsParameter) {
    drag(kDriveX, kDriveY, {moveTo(kDriveX, kDriveY - 100)});
    EXPECT_FLOAT_EQ(plugin->getParameter(4), 1.f);
    const auto automates = plugin->requests(audioMasterAutomate);
    ASSERT_FALSE(automates.empty());
    EXPECT_EQ(automates.back().index, 4);
    EXPECT_FLOAT_EQ(automates.back().opt, 1.f);
    EXPECT_EQ(edits().front(), std::make_pair(int32_t{audioMasterBeginEdit}, int32_t{4}));
    EXPECT_EQ(edits().back(), std::make_pair(int32_t{audioMasterEndEdit}, int32_t{4}));
    idle();
    EXPECT_EQ(shownImage(4), 100);

    plugin->setParameter(4, 0.5f);
    drag(kDriveX, kDriveY, {moveTo(kDriveX - 50, kDriveY - 50)});
    EXPECT_FLOAT_EQ(plugin->getParameter(4), 0.5f);

    display.key(XK_Shift_L, true);
    drag(kDriveX, kDriveY, {moveTo(kDriveX, kDriveY - 100)});
    display.key(XK_Shift_L, false);
    EXPECT_NEAR(plugin->getParameter(4), 0.5f + 100.f / 300.f, 1e-5);
}

TEST_F(EditorInput, ControlClickResetsAndTheWheelSteps) {
    const std::vector<std::pair<int32_t, int32_t>> oneGesture = {
        {audioMasterBeginEdit, 4}, {audioMasterAutomate, 4}, {audioMasterEndEdit, 4}};
    plugin->setParameter(4, 0.9f);
    plugin->clearLog();
    display.key(XK_Control_L, true);
    click(kDriveX, kDriveY);
    idleUntil([&] { return plugin->getParameter(4) == 0.5f; });
    display.key(XK_Control_L, false);
    EXPECT_EQ(edits(), oneGesture);

    // The host's window hears of the wheel too, as it would without a panel in it.
    XSelectInput(display.get(), parent, StructureNotifyMask | ButtonPressMask);
    display.sync();
    display.movePointer(screenX(kDriveX), screenY(kDriveY));
    plugin->clearLog();
    display.button(4, true);
    display.button(4, false);
    idleUntil([&] { return plugin->getParameter(4) > 0.55f; });
    EXPECT_FLOAT_EQ(plugin->getParameter(4), 0.6f);
    EXPECT_EQ(edits(), oneGesture);
    idle();
    EXPECT_EQ(shownImage(4), 60);
    XEvent forwarded;
    ASSERT_TRUE(waitFor([&] {
        return XCheckTypedWindowEvent(display.get(), parent, ButtonPress, &forwarded) == True;
    }));
    EXPECT_EQ(forwarded.xbutton.button, 4u);
}

TEST_F(EditorInput, ClickingASwitchTogglesItBetweenEditBrackets) {
    plugin->clearLog();
    click(488, 220);  // CHA Bottom
    idleUntil([&] { return plugin->getParameter(10) == 1.f; });
    const std::vector<std::pair<int32_t, int32_t>> expected = {
        {audioMasterBeginEdit, 10}, {audioMasterAutomate, 10}, {audioMasterEndEdit, 10}};
    EXPECT_EQ(edits(), expected);
    idle();
    EXPECT_EQ(shownImage(10), 1);
}

TEST_F(EditorInput, SwitchesLookAsTheySoundWhereverTheirValueCameFrom) {
    // The sound takes a switch as on from 0.5 up, and so does its picture. A
    // click still turns any value below 1 into 1 and 1 or more into 0.
    enum Source { fromHost, fromChunk, byClick };
    struct {
        Source source;
        float value;
        int shown;  // 0: upper half (off), 1: lower half (on)
    } const cases[] = {
        {fromHost, 0.f, 0},   {fromHost, 0.3f, 0},   {fromHost, 0.5f, 1},  {fromHost, 0.7f, 1}, {fromHost, 1.f, 1},
        {fromChunk, 0.3f, 0}, {fromChunk, 0.7f, 1},  {byClick, 0.3f, 1}, {byClick, 0.7f, 1}, {byClick, 1.f, 0},
    };
    constexpr int kBottomA = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "source " << c.source << " value " << c.value);
        if (c.source == fromChunk) {
            // The program as stored, with the switch's value put wherever the
            // effect keeps it (the program's values and the mode's memory).
            const float marker = 0.123f, value = c.value;
            plugin->setParameter(kBottomA, marker);
            std::vector<uint8_t> program = plugin->chunk(true);
            const auto* m = reinterpret_cast<const uint8_t*>(&marker);
            int found = 0;
            for (auto at = program.begin();
                 (at = std::search(at, program.end(), m, m + sizeof marker)) != program.end(); ++found)
                std::memcpy(&*at, &value, sizeof value);
            ASSERT_GT(found, 0);
            plugin->setParameter(kBottomA, 1.f - c.shown);  // the other picture before the load
            idle();
            ASSERT_TRUE(plugin->setChunk(program, true));
            ASSERT_EQ(plugin->getParameter(kBottomA), c.value);
        } else {
            plugin->setParameter(kBottomA, c.value);
        }
        if (c.source == byClick) {
            idle();
            const float before = plugin->getParameter(kBottomA);
            click(488, 220);
            idleUntil([&] { return plugin->getParameter(kBottomA) != before; });
        }
        idle();
        EXPECT_EQ(shownImage(kBottomA), c.shown);
    }
}

TEST_F(EditorInput, TheSharedEdgeColumnBelongsToTheLaterKnob) {
    plugin->clearLog();
    click(327, 213);  // right edge of CHA Low, left edge of CHA Mid
    idleUntil([&] { return countRequests(audioMasterEndEdit) > 0; });
    EXPECT_EQ(edits().front(), std::make_pair(int32_t{audioMasterBeginEdit}, int32_t{6}));
}

TEST_F(EditorInput, ArrowKeysMoveTheFocusedKnobAndTabWalksTheKnobs) {
    EXPECT_EQ(key(12), 0);  // nothing has the focus yet
    click(86, 190);                    // Input
    idleUntil([&] { return countRequests(audioMasterEndEdit) > 0; });
    plugin->clearLog();
    EXPECT_EQ(key(12), 1);
    EXPECT_FLOAT_EQ(plugin->getParameter(0), 0.6f);
    const std::vector<std::pair<int32_t, int32_t>> oneStep = {
        {audioMasterBeginEdit, 0}, {audioMasterAutomate, 0}, {audioMasterEndEdit, 0}};
    EXPECT_EQ(edits(), oneStep);
    EXPECT_EQ(key(14, 1.f /* Shift */), 1);
    EXPECT_FLOAT_EQ(plugin->getParameter(0), 0.59f);

    // Tab visits the knobs in the order they were added, then leaves the panel.
    const int order[] = {4, 5, 6, 7, 8, 12, 13, 14, 15, 16, 20};
    for (int tag : order) {
        ASSERT_EQ(key(2), 1);
        const float before = plugin->getParameter(tag);
        ASSERT_EQ(key(13), 1);
        EXPECT_FLOAT_EQ(plugin->getParameter(tag), before + 0.1f) << "tag " << tag;
    }
    EXPECT_EQ(key(2), 0);
    EXPECT_EQ(key(12), 0);
    EXPECT_EQ(key(2), 1);
    EXPECT_EQ(key(12), 1);
    EXPECT_FLOAT_EQ(plugin->getParameter(0), 0.69f);
}

TEST_F(EditorInput, TheChannelSwitchBringsBackEachChannelsInputAndVolume) {
    plugin->setParameter(0, 0.2f);
    plugin->setParameter(20, 0.3f);
    click(145, 190);  // channel switch: to channel B
    idleUntil([&] { return plugin->getParameter(1) == 1.f; });
    idle();
    EXPECT_EQ(shownImage(1), 1);
    EXPECT_EQ(shownImage(0), 50);
    EXPECT_EQ(shownImage(20), 50);

    click(145, 190);  // back to channel A, with its own settings
    idleUntil([&] { return plugin->getParameter(1) == 0.f; });
    idle();
    EXPECT_EQ(shownImage(0), 20);
    EXPECT_EQ(shownImage(20), 30);
}
