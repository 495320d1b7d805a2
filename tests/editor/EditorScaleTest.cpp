// The panel with twice the pixels, as a dense screen gets it: chosen from the
// environment or the X server's resources, drawn from the larger images, and
// still as far to drag under the user's hand.
#include <cstdlib>

#include "PanelHost.h"

using namespace ka813::paneltest;

namespace {

// How the user asks for a scale: the environment variable, the server's
// resources (as xrdb leaves them), both or neither.
struct Request {
    const char* variable;  // KA813_UI_SCALE, or null for unset
    const char* resources;
    int scale;
};

class EditorScale : public PanelHost {
protected:
    void ask(const Request& r) {
        if (r.variable)
            setenv("KA813_UI_SCALE", r.variable, 1);
        else
            unsetenv("KA813_UI_SCALE");
        display.setResources(r.resources ? r.resources : "");
    }
    void TearDown() override {
        PanelHost::TearDown();
        ask({nullptr, nullptr, 1});
    }
    void sizeOf(int* width, int* height) {
        ERect* rect = nullptr;
        *width = *height = 0;
        if (plugin->dispatch(effEditGetRect, 0, 0, &rect) == 1 && rect) {
            *width = rect->right - rect->left;
            *height = rect->bottom - rect->top;
        }
    }
};

const Request kDense[] = {
    {nullptr, "Xft.dpi:\t192\n", 2},
    {"2", nullptr, 2},
};

// At scale 2 the host's window sits at the screen's left edge, so that every
// control is on a 1280-pixel-wide screen.
class EditorAtScale2 : public EditorScale {
protected:
    void SetUp() override {
        scale = 2;
        parentX = 0;
        EditorScale::SetUp();
    }
};

}  // namespace

TEST_F(EditorScale, TheVariableOrTheServersDpiChooseTheScale) {
    const Request cases[] = {
        {nullptr, nullptr, 1},
        {nullptr, "Xft.dpi:\t96\n", 1},
        {nullptr, "Xft.antialias:\t1\nXft.dpi:\t144\n", 2},
        {nullptr, "Xft.dpi:\t192\n", 2},
        {"2", nullptr, 2},
        {"1", "Xft.dpi:\t192\n", 1},  // the variable wins
        {"3", "Xft.dpi:\t192\n", 2},  // not a scale: the server decides
    };
    for (const Request& r : cases) {
        SCOPED_TRACE(testing::Message() << (r.variable ? r.variable : "-") << " "
                                        << (r.resources ? r.resources : "-"));
        ask(r);
        int width = 0, height = 0;
        sizeOf(&width, &height);  // before the open: the host sizes its window
        EXPECT_EQ(width, 720 * r.scale);
        EXPECT_EQ(height, 280 * r.scale);
        ASSERT_TRUE(open(*plugin, parent));
        sizeOf(&width, &height);
        EXPECT_EQ(width, 720 * r.scale);
        EXPECT_EQ(height, 280 * r.scale);
        display.size(child(), &width, &height);
        EXPECT_EQ(width, 720 * r.scale);
        EXPECT_EQ(height, 280 * r.scale);
        plugin->dispatch(effEditClose);
    }
}

TEST_F(EditorAtScale2, EveryControlShowsTheLargerImageItsValueSelects) {
    for (int tag : {1, 2, 3, 0, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}) {
        const bool knob = ka813::panelControl(tag)->kind == ka813::ControlKind::knob;
        plugin->setParameter(tag, knob ? (tag * 7 % 101) / 100.f + 0.001f : (tag % 2 ? 0.7f : 0.3f));
    }
    for (const Request& way : kDense) {
        SCOPED_TRACE(way.variable ? "variable" : "resources");
        ask(way);
        ASSERT_TRUE(open(*plugin, parent));
        ASSERT_TRUE(idleUntilPainted());
        for (const ka813::PanelControl& control : ka813::kPanelControls) {
            double error = 0;
            const int expected =
                control.kind == ka813::ControlKind::knob ? control.tag * 7 % 101 : control.tag % 2;
            EXPECT_EQ(shownImage(control.tag, &error), expected) << "tag " << control.tag;
            EXPECT_LT(error, 1.5) << "tag " << control.tag;
        }
        plugin->dispatch(effEditClose);
    }
}

TEST_F(EditorAtScale2, DragsSpanTheRangeInLayoutPixelsAndClicksToggle) {
    ask(kDense[0]);
    ASSERT_TRUE(open(*plugin, parent));
    ASSERT_TRUE(idleUntilPainted());
    // CHA Drive's centre, in layout pixels; the moves are in the screen's.
    constexpr int kDriveX = 203, kDriveY = 213;
    const struct {
        int dx, dy;
        float value;
    } drags[] = {
        {0, -200, 1.f},    // 100 layout pixels up: from the middle to the top
        {0, -100, 0.75f},  // half as far
        {200, 0, 1.f},     // right counts as up
        {0, 200, 0.f},
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(testing::Message() << d.dx << ", " << d.dy);
        plugin->setParameter(4, 0.5f);
        const int x = screenX(kDriveX) + d.dx, y = screenY(kDriveY) + d.dy;
        drag(kDriveX, kDriveY, {[x, y](TestDisplay& input) { input.movePointer(x, y); }});
        EXPECT_FLOAT_EQ(plugin->getParameter(4), d.value);
        idle();
        EXPECT_EQ(shownImage(4), static_cast<int>(d.value * 100));
    }

    const int switches[] = {10, 1, 22};  // CHA Bottom, the channel, LowQ/HighQ
    for (int tag : switches) {
        SCOPED_TRACE(tag);
        const ka813::PanelRect r = ka813::panelRect(*ka813::panelControl(tag));
        const float before = plugin->getParameter(tag);
        click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ASSERT_TRUE(waitFor([&] { return plugin->getParameter(tag) != before; }, [&] { idle(); }));
        idle();
        EXPECT_EQ(shownImage(tag), 1);
    }
}
