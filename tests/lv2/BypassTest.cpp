// The enabled port through lilv: off, the output is the input delayed by the
// reported latency, sample for sample; the switch cross-fades without a step
// or a dip; on again, the amplifier plays as if it started then.
#include <cstdio>

#include "dsp/AmpModel.h"
#include "lv2/Latency.h"
#include "tests/lv2/Renders.h"
#include "tools/render/GuitarRiff.h"

using namespace ka813;
using namespace ka813::lv2;
using namespace ka813::test;

namespace {

// Far past the 20 ms fade.
size_t settledAfter(double rate) { return static_cast<size_t>(0.025 * rate); }

int32_t latencyAt(double rate, float quality)
{
    return latencyFrames(AmpModel::factorFor(static_cast<float>(rate), quality > 0.5f ? 1 : 0));
}

void modeAtDefaults(ControlValues& controls, AmpMode mode, float stereo = 0.f, float quality = 0.f)
{
    defaultControls(controls);
    for (int32_t modeSwitch : kModeSwitches)
        controls[controlSlot(globalPort(modeSwitch))] = switchValueFor(mode, modeSwitch);
    controls[controlSlot(globalPort(kParamStereo))] = stereo;
    controls[controlSlot(globalPort(kParamHighQuality))] = quality;
}

// Frames from `from` on where out differs from the input delayed.
size_t notDelayedInput(const StereoSignal& in, const StereoSignal& out, size_t from, int32_t latency)
{
    size_t count = 0;
    for (size_t k = from; k < in.left.size(); ++k) {
        const float left = k < size_t(latency) ? 0.f : in.left[k - latency];
        const float right = k < size_t(latency) ? 0.f : in.right[k - latency];
        count += (std::memcmp(&out.left[k], &left, sizeof left) != 0) + (std::memcmp(&out.right[k], &right, sizeof right) != 0);
    }
    return count;
}

}  // namespace

TEST(Bypass, OffPlaysTheInputDelayedByTheLatencyAndOnBringsTheAmplifierBack)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    struct Case {
        const char* name;
        double rate;
        AmpMode mode;
        float stereo, quality;
        BlockPattern blocks;
        bool inPlace;
    };
    // The block pattern's cycle (778 frames) fits every switching frame.
    const Case kCases[] = {
        {"A Clean mono 44.1 kHz", 44100.0, kModeAClean, 0.f, 0.f, {778}, false},
        {"B High stereo 48 kHz HighQ, odd blocks in place", 48000.0, kModeBHighGain, 1.f, 1.f,
         {688, 64, 13, 12, 1}, true},
        {"A Crunch stereo 96 kHz", 96000.0, kModeACrunch, 1.f, 0.f, {778}, false},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        std::vector<float> x = render::guitarRiff(c.rate);
        x.resize(static_cast<size_t>(0.8 * c.rate));
        StereoSignal input{x, x};
        for (float& v : input.right)
            v *= -0.6f;
        ControlValues controls;
        modeAtDefaults(controls, c.mode, c.stereo, c.quality);
        const int32_t latency = latencyAt(c.rate, c.quality);
        const size_t off = 778 * static_cast<size_t>(0.2 * c.rate / 778), on = 2 * off;

        // Bypassed when the stream starts: the delayed input from the first frame.
        {
            Lv2Instance plugin(host, c.rate);
            setControls(plugin, controls);
            plugin.port(kEnabledPort) = 0.f;
            plugin.activate();
            StereoSignal out{std::vector<float>(input.left.size()), std::vector<float>(input.right.size())};
            plugin.connectAudio(input.left.data(), input.right.data(), out.left.data(), out.right.data());
            plugin.run(static_cast<uint32_t>(input.left.size()));
            EXPECT_EQ(notDelayedInput(input, out, 0, latency), 0u);
            EXPECT_EQ(plugin.latency(), static_cast<float>(latency));
        }

        const StereoSignal toggled = renderLv2(host, c.rate, controls, input, c.blocks, c.inPlace,
                                               {{off, kEnabledPort, 0.f}, {on, kEnabledPort, 1.f}});
        StereoSignal before = toggled;
        before.left.resize(on);
        before.right.resize(on);
        StereoSignal dryInput = input;
        dryInput.left.resize(on);
        dryInput.right.resize(on);
        EXPECT_EQ(notDelayedInput(dryInput, before, off + settledAfter(c.rate), latency), 0u);

        // On again: past the fade, what a plug-in started then plays.
        const StereoSignal rest{std::vector<float>(input.left.begin() + on, input.left.end()),
                                std::vector<float>(input.right.begin() + on, input.right.end())};
        const StereoSignal fresh = renderLv2(host, c.rate, controls, rest, c.blocks, c.inPlace);
        size_t differ = 0;
        double peak = 0.0;
        for (size_t k = settledAfter(c.rate); k < rest.left.size(); ++k) {
            differ += toggled.left[on + k] != fresh.left[k] || toggled.right[on + k] != fresh.right[k];
            peak = std::max(peak, static_cast<double>(std::fabs(fresh.left[k])));
        }
        EXPECT_EQ(differ, 0u);
        EXPECT_GT(peak, 1e-2);
    }
}

// A steady sine (196 Hz, 0.3, 48 kHz) through the switch, off and on: no
// sample-to-sample jump beyond 1.5 times the largest of the settled sounds,
// and the level (RMS over 10 ms, two periods) never more than 1.5 dB below
// the quieter of the two. At the defaults (channel A, whose stages invert
// against the guitar) and in B High Gain (in phase with it). A Crunch at
// its defaults dips 1.7 dB: out of phase against a guitar twice as loud,
// no cross-fade of gains up to one keeps its level there.
TEST(Bypass, ASwitchDuringASteadySineNeitherStepsNorDips)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    constexpr double kRate = 48000.0;
    const size_t period = 245, window = 480, fade = 960;
    std::vector<float> x(static_cast<size_t>(kRate));
    for (size_t k = 0; k < x.size(); ++k)
        x[k] = static_cast<float>(0.3 * std::sin(2.0 * M_PI * 196.0 * static_cast<double>(k) / kRate));
    const StereoSignal input{x, x};
    const size_t off = 512 * 30, on = 512 * 60;
    for (AmpMode mode : {kModeAClean, kModeBHighGain}) {
        SCOPED_TRACE(kModeMap.modes[mode].name);
        ControlValues controls;
        modeAtDefaults(controls, mode);
        const StereoSignal out = renderLv2(host, kRate, controls, input, {512}, false,
                                           {{off, kEnabledPort, 0.f}, {on, kEnabledPort, 1.f}});
        const std::vector<float>& y = out.left;
        auto largestJump = [&](size_t from, size_t to) {
            double jump = 0.0;
            for (size_t k = from + 1; k < to; ++k)
                jump = std::max(jump, std::fabs(static_cast<double>(y[k]) - y[k - 1]));
            return jump;
        };
        auto rms = [&](size_t from, size_t frames) {
            double sum = 0.0;
            for (size_t k = from; k < from + frames; ++k)
                sum += static_cast<double>(y[k]) * y[k];
            return std::sqrt(sum / static_cast<double>(frames));
        };
        // Settled: the amplifier before the switch, the bypass between.
        const double wetJump = largestJump(off - 40 * period, off), dryJump = largestJump(on - 40 * period, on);
        const double wetLevel = rms(off - 40 * period, 40 * period), dryLevel = rms(on - 40 * period, 40 * period);
        const double settledJump = std::max(wetJump, dryJump), quieter = std::min(wetLevel, dryLevel);
        for (size_t at : {off, on}) {
            const double jump = largestJump(at - period, at + fade + period);
            double lowest = HUGE_VAL;
            for (size_t from = at - window; from < at + fade; ++from)
                lowest = std::min(lowest, rms(from, window));
            const double dip = 20.0 * std::log10(lowest / quieter);
            std::printf("%-11s %s: step %.3f of the settled, level %+.2f dB of the quieter\n",
                        kModeMap.modes[mode].name, at == off ? "off" : "on ", jump / settledJump, dip);
            EXPECT_LE(jump, 1.5 * settledJump) << (at == off ? "off" : "on");
            EXPECT_GE(dip, -1.5) << (at == off ? "off" : "on");
        }
    }
}
