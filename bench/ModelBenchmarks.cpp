// Realtime factors of the whole effect: audio seconds processed per CPU
// second (the "realtime" counter), per amplifier mode, quality, rate, block
// size and channel layout. A guitar-like signal: a decaying 110 Hz tone
// with harmonics at about -10 dBFS.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "shell/Ka813.h"

namespace {

intptr_t quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

enum Mode { kCleanA, kHighGainB };

std::unique_ptr<Ka813> makeEffect(Mode mode, bool highQuality, bool stereo, float rate)
{
    auto effect = std::make_unique<Ka813>(quietHost);
    effect->setSampleRate(rate);
    if (mode == kHighGainB) {
        effect->setParameter(ka813::kParamChannel, 1.f);
        effect->setParameter(ka813::kParamLowHighGain, 1.f);
        effect->setParameter(ka813::kParamDriveB, 0.8f);
    }
    effect->setParameter(ka813::kParamStereo, stereo ? 1.f : 0.f);
    effect->setParameter(ka813::kParamHighQuality, highQuality ? 1.f : 0.f);
    return effect;
}

std::vector<float> guitarLike(int frames, float rate)
{
    std::vector<float> signal(static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n) {
        const double t = n / static_cast<double>(rate);
        const double pluck = std::exp(-3.0 * std::fmod(t, 0.5));
        double x = 0.0;
        for (int h = 1; h <= 6; ++h)
            x += std::sin(2.0 * M_PI * 110.0 * h * t) / h;
        signal[static_cast<size_t>(n)] = static_cast<float>(0.2 * pluck * x);
    }
    return signal;
}

// args: mode, high quality, stereo, rate, block
void BM_Effect(benchmark::State& state)
{
    const Mode mode = static_cast<Mode>(state.range(0));
    const bool highQuality = state.range(1) != 0;
    const bool stereo = state.range(2) != 0;
    const float rate = static_cast<float>(state.range(3));
    const int block = static_cast<int>(state.range(4));
    auto effect = makeEffect(mode, highQuality, stereo, rate);

    const int length = static_cast<int>(rate);  // one second, looped
    const std::vector<float> signal = guitarLike(length, rate);
    std::vector<float> outL(static_cast<size_t>(block)), outR(static_cast<size_t>(block));
    int position = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        if (position + block > length)
            position = 0;
        float* inputs[] = {const_cast<float*>(&signal[static_cast<size_t>(position)]),
                           const_cast<float*>(&signal[static_cast<size_t>(position)])};
        float* outputs[] = {outL.data(), outR.data()};
        effect->processReplacing(inputs, outputs, block);
        benchmark::DoNotOptimize(outL.data());
        position += block;
        frames += block;
    }
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(frames) / rate, benchmark::Counter::kIsRate);
}

void effectCases(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"mode", "hq", "stereo", "rate", "block"});
    for (int mode : {kCleanA, kHighGainB})
        for (int hq : {0, 1})
            for (int stereo : {0, 1})
                b->Args({mode, hq, stereo, 44100, 512});
    for (int rate : {48000, 96000})
        for (int hq : {0, 1})
            b->Args({kHighGainB, hq, 1, rate, 512});
    b->Args({kHighGainB, 0, 1, 44100, 64});
    b->Args({kCleanA, 0, 1, 44100, 64});
}
BENCHMARK(BM_Effect)->Apply(effectCases)->MinTime(1.0);

// Silence after a loud burst: with the anti-denormal signal the decaying
// states never turn denormal, so this should cost what signal costs.
void BM_SilenceAfterBurst(benchmark::State& state)
{
    const Mode mode = static_cast<Mode>(state.range(0));
    auto effect = makeEffect(mode, false, true, 44100.f);
    const int block = 512;
    std::vector<float> burst(static_cast<size_t>(block)), silence(static_cast<size_t>(block), 0.f);
    std::vector<float> outL(static_cast<size_t>(block)), outR(static_cast<size_t>(block));
    for (int n = 0; n < block; ++n)
        burst[static_cast<size_t>(n)] = 0.9f * static_cast<float>(std::sin(0.07 * n));
    float* outputs[] = {outL.data(), outR.data()};
    for (int i = 0; i < 100; ++i) {
        float* inputs[] = {burst.data(), burst.data()};
        effect->processReplacing(inputs, outputs, block);
    }
    int64_t frames = 0;
    for (auto _ : state) {
        float* inputs[] = {silence.data(), silence.data()};
        effect->processReplacing(inputs, outputs, block);
        frames += block;
    }
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SilenceAfterBurst)->ArgName("mode")->Arg(kCleanA)->Arg(kHighGainB)->MinTime(1.0);

}  // namespace
