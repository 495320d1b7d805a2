// The level outputs through lilv, as a host's meters read them: a known
// signal reads its peak, a peak holds for a second and falls 20 dB in
// 1.7 s, silence reaches the floor, a hot output reads above full scale.
#include <cmath>

#include "dsp/LevelMeter.h"
#include "tests/lv2/LilvHost.h"

using namespace ka813;
using namespace ka813::lv2;
using namespace ka813::test;

namespace {

constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 256;

struct Meters {
    Lv2Instance& plugin;
    std::vector<float> inLeft = std::vector<float>(kBlock), inRight = std::vector<float>(kBlock);
    std::vector<float> outLeft = std::vector<float>(kBlock), outRight = std::vector<float>(kBlock);
    size_t frame = 0;

    // Plays seconds of a 1 kHz sine at these peaks (0 for silence).
    void play(double seconds, float leftPeak, float rightPeak)
    {
        plugin.connectAudio(inLeft.data(), inRight.data(), outLeft.data(), outRight.data());
        for (size_t end = frame + static_cast<size_t>(seconds * kRate); frame < end; frame += kBlock) {
            for (uint32_t k = 0; k < kBlock; ++k) {
                const float s = static_cast<float>(std::sin(2 * M_PI * 1000.0 * (frame + k) / kRate));
                inLeft[k] = leftPeak * s;
                inRight[k] = rightPeak * s;
            }
            plugin.run(kBlock);
        }
    }
    float input() { return plugin.port(kInputLevelPort); }
    float output() { return plugin.port(kOutputLevelPort); }
};

float fromDb(double db) { return static_cast<float>(std::pow(10.0, db / 20.0)); }

}  // namespace

TEST(Levels, ThePortsReadKnownSignalsWithTheirHoldAndFall)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    struct Case {
        const char* name;
        float stereo;
        double leftDb, rightDb;
        double expectedInputDb;  // what the model reads: the left side alone in mono
    };
    const Case kCases[] = {
        {"mono, -6 dBFS", 0.f, -6.0, -40.0, -6.0},
        {"mono, the right side louder but not played", 0.f, -20.0, -3.0, -20.0},
        {"stereo, the louder side", 1.f, -30.0, -12.0, -12.0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Lv2Instance plugin(host, kRate);
        plugin.control("mono_stereo") = c.stereo;
        plugin.activate();
        Meters meters{plugin};
        meters.play(0.5, fromDb(c.leftDb), fromDb(c.rightDb));
        EXPECT_NEAR(meters.input(), c.expectedInputDb, 0.1);
        EXPECT_GT(meters.output(), -40.f);
        EXPECT_LT(meters.output(), 0.f);  // the port defaults are levelled
        // Held for a second, then 20 dB in 1.7 s.
        meters.play(0.9, 0.f, 0.f);
        EXPECT_NEAR(meters.input(), c.expectedInputDb, 0.1);
        meters.play(0.1 + 1.7, 0.f, 0.f);
        EXPECT_NEAR(meters.input(), c.expectedInputDb - 20.0, 0.3);
        meters.play(6.0, 0.f, 0.f);
        EXPECT_EQ(meters.input(), LevelMeter::kFloorDb);
        EXPECT_EQ(meters.output(), LevelMeter::kFloorDb);
        plugin.deactivate();
    }
}

TEST(Levels, AHotOutputReadsAboveFullScaleAndBypassShowsTheDrySignal)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    Lv2Instance plugin(host, kRate);
    plugin.control("a_clean_volume") = 1.f;
    plugin.activate();
    Meters meters{plugin};
    meters.play(0.3, 0.5f, 0.5f);
    EXPECT_GE(meters.output(), 0.f);
    EXPECT_LE(meters.output(), LevelMeter::kCeilingDb);
    // Bypassed, what leaves is what arrived.
    plugin.port(kEnabledPort) = 0.f;
    meters.play(6.0, 0.25f, 0.25f);
    EXPECT_NEAR(meters.input(), -12.04, 0.1);
    EXPECT_NEAR(meters.output(), -12.04, 0.1);
    plugin.deactivate();
}
