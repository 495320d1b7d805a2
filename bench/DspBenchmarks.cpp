// Cost per sample of the amplifier's building blocks at the oversampled rate.
// Each benchmark runs blocks of kBlock samples; the "per_sample" counter is
// the time per sample.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>

#include "dsp/AmpChain.h"
#include "dsp/FilterDesign.h"
#include "dsp/HalfBand.h"
#include "dsp/HalfBandLanes.h"
#include "dsp/ToneStack.h"
#include "dsp/TriodeStage.h"

using namespace ka813;

namespace {

constexpr int kBlock = 256;
constexpr double kRate = 176400.0;

void countSamples(benchmark::State& state)
{
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kBlock,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

std::array<double, kBlock> sine(double offset, double amplitude)
{
    std::array<double, kBlock> block{};
    for (int n = 0; n < kBlock; ++n)
        block[n] = offset + amplitude * std::sin(2.0 * 3.141592653589793 * 4.0 * n / kBlock);
    return block;
}

TriodeStage channelAFirstStage()
{
    TriodeStage stage{};
    stage.setup(68000, 1000, 1.6e-5, 449.8, 100000, 250, 0, 2200000, 4.7e-8, kRate);
    return stage;
}

void runTriode(benchmark::State& state, const std::array<double, kBlock>& input)
{
    TriodeStage stage = channelAFirstStage();
    const double rate = kRate;
    for (auto _ : state) {
        for (double x : input) {
            stage.process(x, rate);
            benchmark::DoNotOptimize(x);
        }
    }
    countSamples(state);
}

// Grid below the cathode all the time: the rational curve only.
void BM_TriodeNotConducting(benchmark::State& state) { runTriode(state, sine(0.0, 0.5)); }
BENCHMARK(BM_TriodeNotConducting);

// Grid far above the cathode all the time: the square root every sample.
void BM_TriodeConducting(benchmark::State& state) { runTriode(state, sine(20.0, 5.0)); }
BENCHMARK(BM_TriodeConducting);

void BM_Biquad(benchmark::State& state)
{
    Biquad section{};
    designLowpass(section, 3000, 0.7, kRate);
    const auto input = sine(0.0, 1.0);
    for (auto _ : state) {
        for (double x : input) {
            section.process(x);
            benchmark::DoNotOptimize(x);
        }
    }
    countSamples(state);
}
BENCHMARK(BM_Biquad);

// The bright shelf with its gain moving every sample (a drive glide).
void BM_ShelvingBiquadGainGlide(benchmark::State& state)
{
    ShelvingBiquad shelf{};
    designHighShelf(shelf, 3000, 0.7, 0.333, kRate);
    const auto input = sine(0.0, 1.0);
    double gain = 0.3;
    for (auto _ : state) {
        for (double x : input) {
            gain = gain * 0.999 + 0.0005;
            const double root = std::sqrt(2.0 * gain);
            shelf.processWithGain(gain, root, x);
            benchmark::DoNotOptimize(x);
        }
    }
    countSamples(state);
}
BENCHMARK(BM_ShelvingBiquadGainGlide);

void runToneStack(benchmark::State& state, bool moveKnob)
{
    ToneStack stack{};
    stack.design(kToneStackOpen, kRate);
    const auto input = sine(0.0, 1.0);
    const double bass = 0.5, mid = 0.5, contour = 1.0;
    double treble = 0.5;
    for (auto _ : state) {
        for (double x : input) {
            if (moveKnob)
                treble = treble == 0.5 ? 0.6 : 0.5;
            stack.process(bass, mid, treble, contour, x);
            benchmark::DoNotOptimize(x);
        }
    }
    countSamples(state);
}

void BM_ToneStackSteady(benchmark::State& state) { runToneStack(state, false); }
BENCHMARK(BM_ToneStackSteady);

// Worst case: a knob moves every sample, so every sample recomputes.
void BM_ToneStackKnobMoving(benchmark::State& state) { runToneStack(state, true); }
BENCHMARK(BM_ToneStackKnobMoving);

template <int N>
void BM_HalfBandUp(benchmark::State& state, const double (&set)[N])
{
    HalfBandUpsampler<N> up{};
    up.setCoefficients(set);
    const auto input = sine(0.0, 1.0);
    for (auto _ : state) {
        for (double x : input) {
            float a, b;
            up.processSample(static_cast<float>(x), a, b);
            benchmark::DoNotOptimize(a);
            benchmark::DoNotOptimize(b);
        }
    }
    countSamples(state);  // per input sample (two out)
}
BENCHMARK_CAPTURE(BM_HalfBandUp, 12, kHalfBand12);
BENCHMARK_CAPTURE(BM_HalfBandUp, 8, kHalfBand8);
BENCHMARK_CAPTURE(BM_HalfBandUp, 4, kHalfBand4);

template <int N>
void BM_HalfBandDown(benchmark::State& state, const double (&set)[N])
{
    HalfBandDownsampler<N> down{};
    down.setCoefficients(set);
    const auto input = sine(0.0, 1.0);
    for (auto _ : state) {
        for (int n = 0; n < kBlock; n += 2) {
            float y = down.processSample(static_cast<float>(input[n]),
                                         static_cast<float>(input[n + 1]));
            y = down.processSample(static_cast<float>(input[n + 1]), static_cast<float>(input[n]));
            benchmark::DoNotOptimize(y);
        }
    }
    countSamples(state);  // per output sample (two in)
}
BENCHMARK_CAPTURE(BM_HalfBandDown, 12, kHalfBand12);
BENCHMARK_CAPTURE(BM_HalfBandDown, 8, kHalfBand8);
BENCHMARK_CAPTURE(BM_HalfBandDown, 4, kHalfBand4);

// The runners the chain is built from, as it steps them: state in
// registers through a block. "per_sample" is per sample of each lane group
// (two sides in stereo, four stages in the AVX2 triode runner).

void BM_TriodeStepperTwoLane(benchmark::State& state)
{
    TriodeStage l = channelAFirstStage(), r = channelAFirstStage();
    const auto left = sine(0.0, 10.0), right = sine(5.0, 10.0);
    for (auto _ : state) {
        TriodeStepper<DoublePair> stage(l, r, kRate);
        for (int n = 0; n < kBlock; ++n) {
            DoublePair y = stage.step(DoublePair(left[n], right[n]));
            benchmark::DoNotOptimize(y);
        }
        stage.store(l, r);
    }
    countSamples(state);
}
BENCHMARK(BM_TriodeStepperTwoLane);

#if KA813_AVX2_PATH
// Four stages in one 256-bit register, as the AVX2 path steps them.
void BM_TriodeFourLanesAvx2(benchmark::State& state)
{
    if (ka813::fastestPath() != ka813::Path::kAvx2) {
        state.SkipWithError("this processor has no AVX2");
        return;
    }
    TriodeStage stages[4] = {channelAFirstStage(), channelAFirstStage(), channelAFirstStage(),
                             channelAFirstStage()};
    TriodeStage* const lanes[4] = {&stages[0], &stages[1], &stages[2], &stages[3]};
    const auto input = sine(0.0, 10.0);
    std::array<double, 4 * kBlock> block{};
    for (auto _ : state) {
        for (int n = 0; n < kBlock; ++n)
            for (int i = 0; i < 4; ++i)
                block[4 * n + i] = input[n] + i;
        ka813::stepFourTriodesAvx2(lanes, block.data(), kBlock, kRate);
        benchmark::DoNotOptimize(block);
    }
    countSamples(state);
}
BENCHMARK(BM_TriodeFourLanesAvx2);
#endif

void BM_BiquadStepperTwoLane(benchmark::State& state)
{
    Biquad l{}, r{};
    designLowpass(l, 3000, 0.7, kRate);
    designLowpass(r, 3000, 0.7, kRate);
    const auto input = sine(0.0, 1.0);
    for (auto _ : state) {
        BiquadStepper<DoublePair> section(l, r);
        for (double x : input) {
            DoublePair y = section.step(DoublePair(x, -x));
            benchmark::DoNotOptimize(y);
        }
        section.store(l, r);
    }
    countSamples(state);
}
BENCHMARK(BM_BiquadStepperTwoLane);

void BM_ToneStackStepperTwoLane(benchmark::State& state)
{
    ToneStack l{}, r{};
    l.design(kToneStackOpen, kRate);
    r.design(kToneStackOpen, kRate);
    l.follow(0.5, 0.5, 0.5, 1.0);
    r.follow(0.5, 0.5, 0.5, 1.0);
    const auto input = sine(0.0, 1.0);
    for (auto _ : state) {
        ToneStackStepper<DoublePair> stack(l, r);
        for (double x : input) {
            DoublePair y = stack.step(DoublePair(x, -x));
            benchmark::DoNotOptimize(y);
        }
        stack.store(l, r);
    }
    countSamples(state);
}
BENCHMARK(BM_ToneStackStepperTwoLane);

// Both sides and both chains of an up-sampling stage in four float lanes;
// per input sample of each side.
template <int N>
void BM_HalfBandUpFourLanes(benchmark::State& state, const double (&set)[N])
{
    HalfBandUpsampler<N> l{}, r{};
    l.setCoefficients(set);
    r.setCoefficients(set);
    const auto input = sine(0.0, 1.0);
    for (auto _ : state) {
        HalfBandQuad<N> stage(l, r);
        for (double x : input) {
            Float4 y = stage.step(ka813::simd::float4(float(x), float(x), float(-x), float(-x)));
            benchmark::DoNotOptimize(y);
        }
        stage.store(l, r);
    }
    countSamples(state);
}
BENCHMARK_CAPTURE(BM_HalfBandUpFourLanes, 12, kHalfBand12);
BENCHMARK_CAPTURE(BM_HalfBandUpFourLanes, 8, kHalfBand8);
BENCHMARK_CAPTURE(BM_HalfBandUpFourLanes, 4, kHalfBand4);

// How a chunk runs: one design, or one channel gliding between its designs
// (every switch half way). While the channel switch moves, each channel runs
// a chunk of its own: twice the cost of one.
enum class Glides { kNone, kSwitches };

// A whole channel over a chunk of 64 frames at 4x (256 samples), in a mode,
// layout and path; per oversampled sample (of both sides in stereo).
void runChannelChunk(benchmark::State& state, bool channelB, bool stereo, ka813::Path path,
                     Glides glides = Glides::kNone)
{
    if (path == ka813::Path::kAvx2 && ka813::fastestPath() != ka813::Path::kAvx2) {
        state.SkipWithError("this processor has no AVX2");
        return;
    }
    AmpSettings settings;
    settings.setChannelB(channelB ? 1 : 0);
    settings.setHighGainB(1);
    settings.setDriveA(0.5);
    settings.setDriveB(0.5);
    settings.setContourA(0.5);
    settings.setContourB(0.5);
    settings.setLowA(0.5), settings.setMidA(0.5), settings.setHighA(0.5);
    settings.setLowB(0.5), settings.setMidB(0.5), settings.setHighB(0.5);
    auto model = std::make_unique<AmpModel>();
    model->start(settings, 44100.f);
    model->chainPath = path;
    std::array<double, kBlock / 4> drives;
    drives.fill(model->driveB);
    ka813::FrameValues frames{};
    frames.driveA = frames.driveB = drives.data();
    frames.shift = 2;
    frames.contourA = model->contourAShaped;
    frames.contourB = model->contourBShaped;
    const ka813::Circuit circuit{model->channelB == 1,
                                 glides != Glides::kNone ? ka813::Form::kGliding
                                 : (model->channelB == 1 ? model->highGainB : model->crunchA) == 1
                                     ? ka813::Form::kSecond
                                     : ka813::Form::kFirst};
    std::array<double, kBlock / 4> halfWay, ones4;
    halfWay.fill(0.5);
    ones4.fill(1.0);
    for (int32_t g = 0; g < ka813::kGlideCount; ++g)
        frames.glideA[g] = frames.glideB[g] = halfWay.data();
    frames.gainsOverCleanA = ones4.data();
    // A guitar-like level at the first grid: the stages conduct and cut off.
    const auto left = sine(0.0, 3.0), right = sine(0.5, 2.0);
    std::array<DoublePair, kBlock> pairs;
    std::array<double, kBlock> ones;
    for (auto _ : state) {
        if (stereo) {
            for (int n = 0; n < kBlock; ++n)
                pairs[n] = DoublePair(left[n], right[n]);
            ka813::processChannelChunk(*model, circuit, model->oversampledRate, model->left, model->right,
                                       pairs.data(), kBlock, frames);
            benchmark::DoNotOptimize(pairs);
        } else {
            ones = left;
            ka813::processChannelChunk(*model, circuit, model->oversampledRate, model->left, model->left,
                                       ones.data(), kBlock, frames);
            benchmark::DoNotOptimize(ones);
        }
    }
    countSamples(state);
}
BENCHMARK_CAPTURE(runChannelChunk, A_mono_two_lane, false, false, ka813::Path::kTwoLane);
BENCHMARK_CAPTURE(runChannelChunk, A_mono_avx2, false, false, ka813::Path::kAvx2);
BENCHMARK_CAPTURE(runChannelChunk, A_stereo_two_lane, false, true, ka813::Path::kTwoLane);
BENCHMARK_CAPTURE(runChannelChunk, A_stereo_avx2, false, true, ka813::Path::kAvx2);
BENCHMARK_CAPTURE(runChannelChunk, B_high_mono_two_lane, true, false, ka813::Path::kTwoLane);
BENCHMARK_CAPTURE(runChannelChunk, B_high_mono_avx2, true, false, ka813::Path::kAvx2);
BENCHMARK_CAPTURE(runChannelChunk, B_high_stereo_two_lane, true, true, ka813::Path::kTwoLane);
BENCHMARK_CAPTURE(runChannelChunk, B_high_stereo_avx2, true, true, ka813::Path::kAvx2);
// The cost of a switch's glide.
BENCHMARK_CAPTURE(runChannelChunk, A_stereo_gliding_avx2, false, true, ka813::Path::kAvx2, Glides::kSwitches);
BENCHMARK_CAPTURE(runChannelChunk, B_stereo_gliding_avx2, true, true, ka813::Path::kAvx2, Glides::kSwitches);
BENCHMARK_CAPTURE(runChannelChunk, B_stereo_gliding_two_lane, true, true, ka813::Path::kTwoLane,
                  Glides::kSwitches);

}  // namespace
