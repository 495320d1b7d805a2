// What a user hears, through the built library: drive, tone knobs, channel
// layout, block sizes, quality switching, saved and reloaded state.
#include <complex>

#include "dsp/ToneStack.h"
#include "tests/model/HostedEffect.h"

using namespace ka813;
using namespace ka813::test;

namespace {

constexpr double kRate = 44100.0;

// Amplitude of the component at frequency (Hz) over the window from the
// given frame on; the window holds whole cycles for whole-numbered hertz.
double amplitude(const std::vector<float>& y, double frequency, size_t from)
{
    std::complex<double> sum = 0.0;
    for (size_t n = from; n < y.size(); ++n)
        sum += static_cast<double>(y[n]) * std::polar(1.0, -2.0 * M_PI * frequency * n / kRate);
    return 2.0 * std::abs(sum) / static_cast<double>(y.size() - from);
}

double dB(double ratio) { return 20.0 * std::log10(ratio); }

// Two seconds of a sine; the second is measured.
std::vector<float> measuredRun(const std::vector<std::pair<int32_t, float>>& settings,
                               double frequency, double level)
{
    auto plugin = loadEffect();
    for (auto [index, value] : settings)
        plugin->setParameter(index, value);
    return render(*plugin, both(sine(frequency, level, 2 * static_cast<int>(kRate))), 512).left;
}

struct Mode {
    const char* name;
    std::vector<std::pair<int32_t, float>> switches;
    int32_t drive;
    double level;  // an input that leaves the mode room to distort more
};

const Mode kModes[] = {
    {"A clean", {}, kDriveA, 0.03},
    {"A crunch", {{kCleanCrunch, 1.f}}, kDriveA, 0.003},
    {"B low gain", {{kChannel, 1.f}}, kDriveB, 0.001},
    {"B high gain", {{kChannel, 1.f}, {kLowHighGain, 1.f}}, kDriveB, 0.001},
};

}  // namespace

TEST(Sound, DriveRaisesGainAndHarmonicsInEveryMode)
{
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        double lastGain = -1e9, lastDistortion = -1e9;
        for (float drive : {0.25f, 0.5f, 0.75f, 1.f}) {
            auto settings = mode.switches;
            settings.push_back({mode.drive, drive});
            const std::vector<float> y = measuredRun(settings, 1000.0, mode.level);
            const size_t from = static_cast<size_t>(kRate);
            const double fundamental = amplitude(y, 1000.0, from);
            double harmonics = 0.0;
            for (int k = 2; k <= 20; ++k)
                harmonics += std::pow(amplitude(y, 1000.0 * k, from), 2);
            const double gain = dB(fundamental / mode.level);
            const double distortion = 10.0 * std::log10(harmonics) - dB(fundamental);
            EXPECT_GT(gain, lastGain + 0.3) << "drive " << drive;
            EXPECT_GT(distortion, lastDistortion + 1.0) << "drive " << drive;
            lastGain = gain;
            lastDistortion = distortion;
        }
    }
}

// At a level where the channel is all but linear, turning a tone knob from
// 0 to 1 changes the output as it changes the tone stack's own response
// (the Contour knob also scales the channel's output by its curve).
TEST(Sound, ToneKnobsMoveTheResponseAsTheToneStackPredicts)
{
    auto stackGain = [](int knob, double position, double frequency) {
        ToneStack stack{};
        stack.design(kToneStackOpen, 176400.0);
        double knobs[4] = {0.5, 0.5, 0.5, 0.5};
        knobs[knob] = position;
        std::complex<double> sum = 0.0;
        const int length = 176400;
        for (int n = 0; n < 2 * length; ++n) {
            double x = std::cos(2.0 * M_PI * frequency * n / 176400.0);
            stack.process(knobs[0], knobs[1], knobs[2], knobs[3], x);
            if (n >= length)
                sum += x * std::polar(1.0, -2.0 * M_PI * frequency * n / 176400.0);
        }
        return 2.0 * std::abs(sum) / length;
    };
    const struct {
        const char* name;
        std::vector<std::pair<int32_t, float>> switches;
        int32_t low;
        double level;
    } channels[] = {{"A clean", {}, kLowA, 0.01}, {"B low gain", {{kChannel, 1.f}}, kLowB, 0.00003}};
    for (const auto& channel : channels) {
        for (int knob = 0; knob < 4; ++knob) {
            for (double frequency : {100.0, 1000.0, 5000.0}) {
                SCOPED_TRACE(std::string(channel.name) + ", knob " + std::to_string(knob) + ", "
                             + std::to_string(int(frequency)) + " Hz");
                auto settings = channel.switches;
                settings.push_back({channel.low + knob, 0.f});
                const std::vector<float> down = measuredRun(settings, frequency, channel.level);
                settings.back().second = 1.f;
                const std::vector<float> up = measuredRun(settings, frequency, channel.level);
                const size_t from = static_cast<size_t>(kRate);
                const double heard = dB(amplitude(up, frequency, from) / amplitude(down, frequency, from));
                double predicted = dB(stackGain(knob, 1.0, frequency) / stackGain(knob, 0.0, frequency));
                if (knob == 3)
                    predicted += dB(1.4446 / 0.5225);
                EXPECT_NEAR(heard, predicted, 0.1);
            }
        }
    }
}

TEST(Sound, MonoIgnoresTheRightInputAndFeedsBothOutputs)
{
    const std::vector<float> guitar = sine(220.0, 0.3, 8000);
    auto quiet = loadEffect();
    auto noisy = loadEffect();
    const Stereo a = render(*quiet, {guitar, std::vector<float>(8000, 0.f)}, 256);
    const Stereo b = render(*noisy, {guitar, sine(3000.0, 0.9, 8000)}, 256);
    EXPECT_TRUE(sameBits(a.left, b.left));
    EXPECT_TRUE(sameBits(a.left, a.right));
    EXPECT_TRUE(sameBits(b.left, b.right));
    EXPECT_GT(peak(a.left), 0.05);
}

// Both sides run together in stereo; each must sound exactly as it would
// alone in mono.
TEST(Sound, StereoSidesEqualTwoMonoRuns)
{
    const std::vector<float> left = sine(110.0, 0.5, 12000);
    const std::vector<float> right = sine(330.0, 0.2, 12000);
    const std::vector<std::vector<std::pair<int32_t, float>>> settings = {
        {},
        {{kChannel, 1.f}, {kLowHighGain, 1.f}, {kQuality, 1.f}, {kBrightB, 1.f}},
        {{kCleanCrunch, 1.f}, {kBrightA, 1.f}, {kBottomA, 1.f}, {kFocusA, 1.f}},
    };
    for (const auto& setting : settings) {
        auto stereo = loadEffect();
        auto monoLeft = loadEffect();
        auto monoRight = loadEffect();
        for (auto [index, value] : setting) {
            stereo->setParameter(index, value);
            monoLeft->setParameter(index, value);
            monoRight->setParameter(index, value);
        }
        stereo->setParameter(kStereo, 1.f);
        const Stereo s = render(*stereo, {left, right}, 300);
        const Stereo l = render(*monoLeft, {left, right}, 300);
        const Stereo r = render(*monoRight, {right, left}, 300);
        EXPECT_TRUE(sameBits(s.left, l.left));
        EXPECT_TRUE(sameBits(s.right, r.left));
        EXPECT_FALSE(sameBits(s.left, s.right));
    }
}

// The right side keeps its state through a stretch of mono and resumes
// from it as if the stretch had not been.
TEST(Sound, RightSideResumesAfterMono)
{
    const std::vector<float> left = sine(110.0, 0.5, 25000);
    const std::vector<float> right = sine(330.0, 0.2, 25000);
    auto slice = [](const std::vector<float>& x, size_t from, size_t to) {
        return std::vector<float>(x.begin() + from, x.begin() + to);
    };
    auto effect = loadEffect();
    effect->setParameter(kStereo, 1.f);
    render(*effect, {slice(left, 0, 20000), slice(right, 0, 20000)}, 500);
    effect->setParameter(kStereo, 0.f);
    const Stereo monoPart = render(*effect, {slice(left, 0, 5000), slice(left, 0, 5000)}, 500);
    effect->setParameter(kStereo, 1.f);
    const Stereo resumed = render(*effect, {slice(left, 20000, 25000), slice(right, 20000, 25000)}, 500);

    auto reference = loadEffect();
    reference->setParameter(kStereo, 1.f);
    const Stereo straight = render(*reference, {left, right}, 500);
    double difference = 0.0;
    for (size_t i = 0; i < resumed.right.size(); ++i)
        difference = std::max(difference, std::fabs(double(resumed.right[i]) - straight.right[i + 20000]));
    // Only the shared smoothed gains glided on meanwhile, by next to nothing.
    EXPECT_LT(difference, 1e-6);
    EXPECT_GT(peak(resumed.right), 0.1);
    EXPECT_TRUE(sameBits(monoPart.left, monoPart.right));
}

TEST(Sound, AnyBlockSizeInPlaceOrNot)
{
    std::vector<float> signal(20000);
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] = static_cast<float>(0.3 * std::sin(0.05 * i) * std::sin(0.0003 * i));
    auto reference = loadEffect();
    reference->setParameter(kStereo, 1.f);
    const Stereo expected = render(*reference, {signal, signal}, 512);
    for (int block : {1, 2, 3, 7, 64, 511, 4096, 8192}) {
        SCOPED_TRACE(block);
        auto outOfPlace = loadEffect();
        auto inPlace = loadEffect();
        outOfPlace->setParameter(kStereo, 1.f);
        inPlace->setParameter(kStereo, 1.f);
        const Stereo a = render(*outOfPlace, {signal, signal}, block);
        Stereo b{signal, signal};
        for (size_t start = 0; start < signal.size(); start += static_cast<size_t>(block)) {
            const int32_t count = static_cast<int32_t>(std::min(static_cast<size_t>(block), signal.size() - start));
            float* buffers[] = {b.left.data() + start, b.right.data() + start};
            inPlace->processReplacing(buffers, buffers, count);
        }
        EXPECT_TRUE(sameBits(a.left, b.left));
        EXPECT_TRUE(sameBits(a.right, b.right));
        // Only the anti-denormal signal's phase depends on the blocks.
        double difference = 0.0;
        for (size_t i = 0; i < signal.size(); ++i)
            difference = std::max(difference, std::fabs(double(a.left[i]) - expected.left[i]));
        EXPECT_LT(difference, 1e-5);
        EXPECT_GT(peak(a.left), 0.1);
    }
}

TEST(Sound, EmptyBlocksChangeNothing)
{
    const std::vector<float> signal = sine(440.0, 0.4, 3000);
    auto touched = loadEffect();
    auto untouched = loadEffect();
    touched->setParameter(kQuality, 1.f);
    untouched->setParameter(kQuality, 1.f);
    std::vector<float> canary(4, 0.25f);
    float* buffers[] = {canary.data(), canary.data()};
    touched->processReplacing(buffers, buffers, 0);
    touched->processReplacing(buffers, buffers, -5);
    EXPECT_EQ(canary, std::vector<float>(4, 0.25f));
    EXPECT_TRUE(sameBits(render(*touched, both(signal), 128).left,
                         render(*untouched, both(signal), 128).left));
}

TEST(Sound, SilenceGivesATinyButLiveOutput)
{
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        auto effect = loadEffect();
        for (auto [index, value] : mode.switches)
            effect->setParameter(index, value);
        const std::vector<float> y = render(*effect, both(std::vector<float>(88200, 0.f)), 512).left;
        const double tail = peak(y, 44100);
        EXPECT_LT(tail, 1e-5);
        EXPECT_GT(tail, 0.0);
    }
}

// The new quality takes over at once; the output glides across instead of
// clicking, also with the switch landing between odd-sized blocks.
TEST(Sound, QualitySwitchWhilePlayingDoesNotClick)
{
    const std::vector<float> signal = sine(1000.0, 0.1, 44100);
    for (float from : {0.f, 1.f}) {
        auto effect = loadEffect();
        effect->setParameter(kQuality, from);
        std::vector<float> out;
        for (size_t start = 0; start < signal.size(); start += 37) {
            if (start == 37 * 600)
                effect->setParameter(kQuality, 1.f - from);
            const size_t count = std::min<size_t>(37, signal.size() - start);
            std::vector<float> in(signal.begin() + start, signal.begin() + start + count);
            const Stereo y = render(*effect, both(in), 37);
            out.insert(out.end(), y.left.begin(), y.left.end());
        }
        ASSERT_TRUE(allFinite(out));
        double steady = 0.0, around = 0.0;
        for (size_t i = 15000; i < 22000; ++i)
            steady = std::max(steady, std::fabs(double(out[i]) - out[i - 1]));
        for (size_t i = 22200; i < 23500; ++i)
            around = std::max(around, std::fabs(double(out[i]) - out[i - 1]));
        EXPECT_GT(steady, 0.01);
        EXPECT_LT(around, 1.1 * steady) << "from quality " << from;
    }
}

TEST(Sound, SavedAndReloadedStateSoundsIdentical)
{
    auto original = loadEffect();
    original->dispatch(effSetProgram, 0, 5);
    original->setParameter(kChannel, 1.f);
    original->setParameter(kLowHighGain, 1.f);
    original->setParameter(kDriveB, 0.8f);
    original->setParameter(kMidB, 0.2f);
    original->setParameter(kBrightB, 1.f);
    original->setParameter(kStereo, 1.f);
    original->setParameter(kQuality, 1.f);
    const std::vector<unsigned char> bank = chunk(*original, false);

    auto restored = loadEffect();
    restored->dispatch(effSetProgram, 0, 5);
    ASSERT_EQ(loadChunk(*restored, bank, false), 1);
    // Both start playing as hosts start them.
    original->dispatch(effSetSampleRate, 0, 0, nullptr, 44100.f);
    restored->dispatch(effSetSampleRate, 0, 0, nullptr, 44100.f);
    for (int32_t index = 0; index < 23; ++index)
        EXPECT_EQ(restored->getParameter(index), original->getParameter(index)) << index;

    const Stereo input{sine(196.0, 0.3, 20000), sine(247.0, 0.3, 20000)};
    const Stereo a = render(*original, input, 256);
    const Stereo b = render(*restored, input, 256);
    EXPECT_TRUE(sameBits(a.left, b.left));
    EXPECT_TRUE(sameBits(a.right, b.right));
}
