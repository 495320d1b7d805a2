// Cost per sample of the amplifier's building blocks at the oversampled rate.
// Each benchmark runs blocks of kBlock samples; the "per_sample" counter is
// the time per sample.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

#include "dsp/FilterDesign.h"
#include "dsp/HalfBand.h"
#include "dsp/ToneStack.h"
#include "dsp/TriodeStage.h"

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

}  // namespace
