// The editor against a fake of the effect, without any of the effect's or the
// host's classes: what the user does reaches the effect through the seam, and
// what the effect changes shows on the panel.
#include <gtest/gtest.h>

#include "FakeEffect.h"
#include "XTestSupport.h"
#include "editor/CFrame.h"
#include "editor/SDEditor.h"

using namespace ka813;
using paneltest::FakeEffect;
using Requests = std::vector<std::string>;

TEST(EditorSeam, GesturesReachTheEffectAndItsChangesShow) {
    paneltest::TestDisplay display;
    ASSERT_TRUE(display.ok()) << "no X display";
    const int x0 = 40, y0 = 500;
    const ::Window parent = display.createParent(x0, y0, kPanelWidth, kPanelHeight);
    FakeEffect effect;
    effect.values[kTagDriveA] = 0.5f;
    SDEditor editor(&effect);
    effect.editor = &editor;
    ASSERT_TRUE(editor.open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent))));
    ASSERT_TRUE(paneltest::waitFor([&] { return editor.getFrame()->hasDrawnOnce(); }, [&] { editor.idle(); }));

    // A click on CHA Bottom, a wheel notch on CHA Drive: one bracketed edit each.
    const struct {
        int x, y;
        unsigned button;
        int tag;
        float value;
    } gestures[] = {{488, 220, 1, kTagBottomA, 1.f}, {203, 213, 4, kTagDriveA, 0.6f}};
    for (const auto& g : gestures) {
        SCOPED_TRACE(g.tag);
        effect.clearLog();
        display.movePointer(x0 + g.x, y0 + g.y);
        display.button(g.button, true);
        display.button(g.button, false);
        ASSERT_TRUE(paneltest::waitFor([&] { return effect.requests().size() == 3; }, [&] { editor.idle(); }));
        const std::string tag = std::to_string(g.tag);
        EXPECT_EQ(effect.requests(), (Requests{"begin " + tag, "automate " + tag, "end " + tag}));
        EXPECT_FLOAT_EQ(effect.values[g.tag], g.value);
    }
    EXPECT_GT(effect.idles, 0);  // the switch let the host idle while it redrew

    // The effect's own change, as a mode recall makes it, shows what the
    // effect reports, from the next idle on.
    effect.values[kTagVolume] = 0.3f;
    editor.setParameter(kTagVolume, 0.9f);
    editor.idle();
    EXPECT_EQ(editor.controlForTag(kTagVolume)->getValue(), 0.3f);
    editor.setParameter(kNumTags, 1.f);  // no such control: ignored
    editor.close();
    EXPECT_FALSE(editor.isOpen());
    display.destroy(parent);
}
