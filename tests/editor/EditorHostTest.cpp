// The panel as a host sees it: window life cycle through the editor opcodes,
// and what the window shows for the parameter values.
#include "PanelHost.h"

#include <atomic>
#include <thread>

using namespace ka813::paneltest;

namespace {

class EditorHost : public PanelHost {};

}  // namespace

TEST_F(EditorHost, WindowLifeCycle) {
    // Size known before any open.
    ERect* rect = nullptr;
    ASSERT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 720);
    EXPECT_EQ(rect->bottom - rect->top, 280);
    EXPECT_EQ(plugin->effect()->flags & effFlagsHasEditor, effFlagsHasEditor);

    // Closing before any open does nothing.
    EXPECT_EQ(plugin->dispatch(effEditClose), 0);
    idle();

    ASSERT_TRUE(open(*plugin, parent));
    const ::Window panel = child();
    ASSERT_NE(panel, 0u);
    EXPECT_TRUE(display.isMapped(panel));
    int width = 0, height = 0;
    display.size(panel, &width, &height);
    EXPECT_EQ(width, 720);
    EXPECT_EQ(height, 280);

    plugin->dispatch(effEditClose);
    EXPECT_TRUE(display.children(parent).empty());
    plugin->dispatch(effEditClose);  // twice: still nothing
    idle();
    EXPECT_TRUE(display.children(parent).empty());

    // The host's own answers to the knob mode.
    EXPECT_EQ(plugin->dispatch(effSetEditKnobMode, 0, 0), 1);
}

TEST_F(EditorHost, AParentThatIsNoWindowGivesNoPanelAndALaterOpenWorks) {
    const uintptr_t notWindows[] = {0, 1, ~uintptr_t{0}, 0xdeadbeef};
    float volume = 0.f;
    for (uintptr_t handle : notWindows) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(handle)), 0);
        // As if never opened: changes and idles find no panel, close finds nothing to close.
        volume += 0.2f;
        plugin->setParameter(20, volume);
        idle();
        EXPECT_EQ(plugin->dispatch(effEditClose), 0);

        ASSERT_TRUE(open(*plugin, parent));
        ASSERT_TRUE(idleUntilPainted());
        EXPECT_EQ(shownImage(20), static_cast<int>(volume * 100 + 0.5f));
        plugin->dispatch(effEditClose);
        EXPECT_TRUE(display.children(parent).empty());
    }
}

TEST_F(EditorHost, TwoInstancesShowTwoPanelsAtOnce) {
    auto second = loadPlugin();
    ASSERT_TRUE(second);
    const ::Window otherParent = display.createParent(parentX, parentY + 300, 720, 280);
    second->setParameter(0, 1.f);
    ASSERT_TRUE(open(*plugin, parent));
    ASSERT_TRUE(open(*second, otherParent));
    ASSERT_TRUE(idleUntilPainted());
    ASSERT_TRUE(waitFor([&] { return display.children(otherParent).size() == 1; }));
    waitFor([&] { return false; }, [&] { second->dispatch(effEditIdle); }, 200);

    EXPECT_EQ(shownImage(0), 50);
    const ::Window mine = parent;
    parent = otherParent;
    EXPECT_EQ(shownImage(0), 100);
    parent = mine;

    // Closing one leaves the other working.
    second->dispatch(effEditClose);
    EXPECT_TRUE(display.children(otherParent).empty());
    plugin->setParameter(0, 0.f);
    idle();
    EXPECT_EQ(shownImage(0), 0);
    second.reset();
    display.destroy(otherParent);
}

TEST_F(EditorHost, EveryControlShowsTheImageItsValueSelects) {
    // Knobs at values that pick distinct images, switches at 0, 1 and 0.5.
    // The mode switches go first: they recall the mode's stored values.
    for (int tag : {1, 2, 3, 0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}) {
        const bool knob = ka813::panelControl(tag)->kind == ka813::ControlKind::knob;
        plugin->setParameter(tag, knob ? (tag * 7 % 101) / 100.f + 0.001f
                                       : (tag % 3 == 0 ? 0.f : tag % 3 == 1 ? 1.f : 0.5f));
    }
    ASSERT_TRUE(open(*plugin, parent));
    ASSERT_TRUE(idleUntilPainted());
    for (const ka813::PanelControl& control : ka813::kPanelControls) {
        double error = 0;
        const int shown = shownImage(control.tag, &error);
        const int expected = control.kind == ka813::ControlKind::knob ? control.tag * 7 % 101 : (control.tag % 3 ? 1 : 0);
        EXPECT_EQ(shown, expected) << "tag " << control.tag;
        EXPECT_LT(error, 1.5) << "tag " << control.tag;
    }
}

TEST_F(EditorHost, HostChangesShowAtTheNextIdleAndAfterReopening) {
    ASSERT_TRUE(open(*plugin, parent));
    ASSERT_TRUE(idleUntilPainted());
    ASSERT_EQ(shownImage(1), 0);   // channel A: upper half
    ASSERT_EQ(shownImage(20), 50);

    plugin->setParameter(1, 1.f);
    plugin->setParameter(20, 0.25f);
    EXPECT_EQ(shownImage(1), 0);  // not before the idle
    EXPECT_EQ(shownImage(20), 50);
    idle();
    EXPECT_EQ(shownImage(1), 1);
    EXPECT_EQ(shownImage(20), 25);

    // Out-of-range indices reach the editor too and change nothing.
    plugin->setParameter(23, 1.f);
    plugin->setParameter(-1, 1.f);
    idle();

    plugin->dispatch(effEditClose);
    plugin->setParameter(1, 0.f);  // recalls channel A's volume; then the new one
    plugin->setParameter(20, 0.75f);
    ASSERT_TRUE(open(*plugin, parent));
    ASSERT_TRUE(idleUntilPainted());
    EXPECT_EQ(shownImage(20), 75);
    EXPECT_EQ(shownImage(1), 0);
}

TEST_F(EditorHost, OpenCloseCyclesLeaveNothingBehind) {
    // Under the sanitizer build, LeakSanitizer checks every window, bitmap and
    // control of these cycles at exit.
    for (int cycle = 0; cycle < 200; ++cycle) {
        ASSERT_TRUE(open(*plugin, parent));
        idle();
        plugin->dispatch(effEditClose);
    }
    EXPECT_TRUE(display.children(parent).empty());
    ASSERT_TRUE(open(*plugin, parent));
    EXPECT_TRUE(idleUntilPainted());
}

TEST_F(EditorHost, HostAutomationFromAnotherThreadMeetsOpenAndClose) {
    std::atomic<bool> stop{false};
    std::thread automation([&] {
        for (int i = 0; !stop; ++i)
            plugin->setParameter(i % 23, static_cast<float>(i % 100) / 100.f);
    });
    for (int cycle = 0; cycle < 30; ++cycle) {
        ASSERT_TRUE(open(*plugin, parent));
        idle();
        plugin->dispatch(effEditClose);
    }
    stop = true;
    automation.join();
    // Whatever raced with the opening, the panel ends up showing the effect's values.
    plugin->setParameter(20, 0.33f);
    ASSERT_TRUE(open(*plugin, parent));
    ASSERT_TRUE(idleUntilPainted());
    EXPECT_EQ(shownImage(20), 33);
}

TEST_F(EditorHost, TwoInstancesOpenAndClosePanelsOnTwoThreadsAtOnce) {
    // They share the library's one connection to the display.
    auto second = loadPlugin();
    ASSERT_TRUE(second);
    const ::Window otherParent = display.createParent(parentX, parentY + 300, 720, 280);
    std::thread other([&] {
        for (int cycle = 0; cycle < 40; ++cycle) {
            EXPECT_TRUE(open(*second, otherParent));
            second->dispatch(effEditIdle);
            second->dispatch(effEditClose);
        }
    });
    for (int cycle = 0; cycle < 40; ++cycle) {
        EXPECT_TRUE(open(*plugin, parent));
        idle();
        plugin->dispatch(effEditClose);
    }
    other.join();
    EXPECT_TRUE(display.children(otherParent).empty());
    ASSERT_TRUE(open(*plugin, parent));
    EXPECT_TRUE(idleUntilPainted());
    second.reset();
    display.destroy(otherParent);
}

TEST_F(EditorHost, ClosingTheEffectWithThePanelOpenTakesThePanelAlong) {
    ASSERT_TRUE(open(*plugin, parent));
    ASSERT_TRUE(idleUntilPainted());
    plugin.reset();  // effClose without effEditClose
    EXPECT_TRUE(waitFor([&] { return display.children(parent).empty(); }));
}
