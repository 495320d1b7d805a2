// Around the steady state: single wild samples, and the first samples of a
// fresh, rebuilt or reloaded effect. Through the built library, as a host
// plays it.
#include <cfloat>
#include <limits>

#include "tests/model/AmpModes.h"
#include "tests/model/HostedEffect.h"

using namespace ka813;
using namespace ka813::test;

namespace {

std::unique_ptr<vsthost::Plugin> effectIn(const Mode& mode)
{
    auto effect = loadEffect();
    effect->setParameter(kStereo, 1.f);
    effect->setParameter(kCleanCrunch, mode.cleanCrunch);
    effect->setParameter(kLowHighGain, mode.lowHighGain);
    effect->setParameter(kChannel, mode.channel);
    return effect;
}

double largestDifference(const std::vector<float>& a, const std::vector<float>& b, size_t from)
{
    double d = 0.0;
    for (size_t i = from; i < a.size(); ++i)
        d = std::max(d, std::fabs(double(a[i]) - b[i]));
    return d;
}

// A few plucked notes, each a decaying pair of partials: the transients of
// a guitar DI at -10 dBFS.
std::vector<float> plucks(int frames)
{
    std::vector<float> x(static_cast<size_t>(frames));
    const double notes[] = {82.4, 110.0, 146.8, 196.0};
    for (int n = 0; n < frames; ++n) {
        double v = 0.0;
        for (int i = 0; i < 4; ++i) {
            const int start = i * frames / 4;
            if (n < start)
                continue;
            const double t = (n - start) / 44100.0;
            v += std::exp(-3.0 * t) * (std::sin(2 * M_PI * notes[i] * t)
                                       + 0.4 * std::sin(4 * M_PI * notes[i] * t));
        }
        x[static_cast<size_t>(n)] = static_cast<float>(0.2 * v);
    }
    return x;
}

}  // namespace

// One wild sample in a 0.3 sine: within 50 ms (150 ms for a NaN or an
// infinity) the output is back within 1% of the undisturbed output, and
// nothing on the way is louder than twice what a full-scale sine gives.
TEST(Disturbance, WildSamplesPassQuickly)
{
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const struct {
        float sample;
        int settleMs;
    } spikes[] = {{1e4f, 50},  {1e8f, 50},  {1e12f, 50}, {1e20f, 50},  {1e30f, 50},
                  {FLT_MAX, 50}, {-FLT_MAX, 50}, {std::nanf(""), 150}, {kInf, 150}, {-kInf, 150}};
    const int frames = 22050, at = 4410;
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        const Stereo quiet = both(sine(196.0, 0.3, frames));
        const Stereo clean = render(*effectIn(mode), quiet, 512);
        const double fullScale = peak(render(*effectIn(mode), both(sine(196.0, 1.0, frames)), 512).left);
        const double reference = peak(clean.left);
        for (const auto& spike : spikes) {
            SCOPED_TRACE(spike.sample);
            Stereo wild = quiet;
            wild.left[at] = wild.right[at + 7] = spike.sample;
            const Stereo out = render(*effectIn(mode), wild, 512);
            const size_t back = static_cast<size_t>(at + 7 + spike.settleMs * 441 / 10);
            EXPECT_LE(largestDifference(out.left, clean.left, back), 0.01 * reference);
            EXPECT_LE(largestDifference(out.right, clean.right, back), 0.01 * reference);
            ASSERT_TRUE(allFinite(out.left) && allFinite(out.right));
            EXPECT_LE(std::max(peak(out.left), peak(out.right)), 2.0 * fullScale);
        }
    }
}

// A new effect sounds from its first sample as one that has idled for two
// seconds, and so does one just rebuilt or reloaded: no glide up, no
// settling blip.
TEST(Disturbance, FreshRebuiltAndReloadedEffectsStartSettled)
{
    const struct {
        const char* what;
        void (*prepare)(vsthost::Plugin&);
    } starts[] = {
        {"fresh", [](vsthost::Plugin&) {}},
        {"rate change", [](vsthost::Plugin& e) { e.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.f);
                                                 e.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.f); }},
        {"quality change", [](vsthost::Plugin& e) { e.setParameter(kQuality, 1.f);
                                                    e.setParameter(kQuality, 0.f); }},
        {"program load", [](vsthost::Plugin& e) { e.dispatch(effSetProgram, 0, 0); }},
    };
    const int frames = 44100;
    const Stereo riff = both(plucks(frames));
    const Stereo silence = both(std::vector<float>(frames, 0.f));
    for (const Mode& mode : kModes) {
        SCOPED_TRACE(mode.name);
        auto idled = effectIn(mode);
        idled->setParameter(kDriveA, 1.f);
        idled->setParameter(kDriveB, 1.f);
        render(*idled, both(std::vector<float>(2 * frames, 0.f)), 512);
        const double settledNoise = peak(render(*idled, silence, 512).left);
        const Stereo expected = render(*idled, riff, 512);
        for (const auto& start : starts) {
            SCOPED_TRACE(start.what);
            auto fresh = effectIn(mode);
            fresh->setParameter(kDriveA, 1.f);
            fresh->setParameter(kDriveB, 1.f);
            start.prepare(*fresh);
            EXPECT_LE(peak(render(*fresh, silence, 512).left), 2.0 * settledNoise + 1e-7);
            auto other = effectIn(mode);
            other->setParameter(kDriveA, 1.f);
            other->setParameter(kDriveB, 1.f);
            start.prepare(*other);
            const Stereo heard = render(*other, riff, 512);
            EXPECT_LE(largestDifference(heard.left, expected.left, 0), 1e-3 * peak(expected.left));
        }
    }
}
