// The level lights through the built plug-in, as a host drives it: the
// effect measures what it plays, and the panel shows it at the next idle.
#include <cmath>

#include "PanelHost.h"
#include "editor/LevelLight.h"

using namespace ka813::paneltest;
using ka813::LightColour;
using ka813::PanelMeter;

namespace {

constexpr float kRate = 48000.f;
constexpr int32_t kBlock = 512;

class EditorLights : public PanelHost {
protected:
    // Plays seconds of a 1 kHz sine peaking at `db` dBFS on both inputs;
    // silence for a db of -inf.
    void play(double seconds, double db) {
        const float peak = static_cast<float>(std::pow(10.0, db / 20.0));
        float inL[kBlock], inR[kBlock], outL[kBlock], outR[kBlock];
        float* ins[2] = {inL, inR};
        float* outs[2] = {outL, outR};
        for (long end = frame + static_cast<long>(seconds * kRate); frame < end; frame += kBlock) {
            for (int32_t k = 0; k < kBlock; ++k)
                inL[k] = inR[k] = peak * static_cast<float>(std::sin(2 * M_PI * 1000.0 * (frame + k) / kRate));
            plugin->processReplacing(ins, outs, kBlock);
        }
    }
    long frame = 0;
};

}  // namespace

TEST_F(EditorLights, ShowWhatThePluginMeasuresAtTheNextIdle) {
    plugin->setSampleRateAndBlockSize(kRate, kBlock);
    plugin->resume();
    ASSERT_TRUE(open(*plugin, parent));
    ASSERT_TRUE(idleUntilPainted());
    EXPECT_EQ(shownLight(display, child(), PanelMeter::input), int(LightColour::dark));
    EXPECT_EQ(shownLight(display, child(), PanelMeter::output), int(LightColour::dark));

    constexpr double kSilence = -INFINITY;
    const struct {
        const char* name;
        float volume;
        double seconds, db;
        LightColour input, output;
    } steps[] = {
        // Channel A clean at its defaults. The output peaks near -34 dBFS,
        // -2, +7 and -3 dBFS in the steps that play; each step is louder than
        // the one before it or comes after a silence, as the meters hold.
        {"a quiet guitar", 0.05f, 0.5, -30.0, LightColour::green, LightColour::green},
        {"picked hard", 0.07f, 0.5, -6.0, LightColour::amber, LightColour::amber},
        {"Volume up", 0.5f, 0.5, -6.0, LightColour::amber, LightColour::red},
        {"a moment after stopping: the peaks hold", 0.5f, 0.5, kSilence, LightColour::amber, LightColour::red},
        {"after the hold and the fall", 0.5f, 8.0, kSilence, LightColour::dark, LightColour::dark},
        {"an input at full scale", 0.03f, 0.5, 0.0, LightColour::red, LightColour::amber},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        plugin->setParameter(20, s.volume);
        play(s.seconds, s.db);
        idle();
        EXPECT_EQ(shownLight(display, child(), PanelMeter::input), int(s.input));
        EXPECT_EQ(shownLight(display, child(), PanelMeter::output), int(s.output));
    }
}
