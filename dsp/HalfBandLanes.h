// The half-band resamplers of both sides in four single-precision lanes:
// [left a, left b, right a, right b], a the chain of even coefficients and
// b that of odd ones. Each lane does exactly the float operations of the
// one-side filter, so the results equal it to the last bit. In mono the
// left side's record stands in for both halves and the right pair of lanes
// repeats the left.
#pragma once

#include "dsp/HalfBand.h"
#include "dsp/LaneRegisters.h"

namespace ka813 {

using ka813::simd::Float4;

template <int N>
struct HalfBandQuad {
    static constexpr int kSections = N / 2;
    Float4 coef[kSections], x[kSections], y[kSections];

    HalfBandQuad(const HalfBandChains<N>& l, const HalfBandChains<N>& r)
    {
        for (int p = 0; p < kSections; ++p) {
            const int k = 2 * p;
            coef[p] = ka813::simd::float4(l.coef[k], l.coef[k + 1], r.coef[k], r.coef[k + 1]);
            x[p] = ka813::simd::float4(l.x[k], l.x[k + 1], r.x[k], r.x[k + 1]);
            y[p] = ka813::simd::float4(l.y[k], l.y[k + 1], r.y[k], r.y[k + 1]);
        }
    }

    // s: what goes into the first section of each chain; the result is what
    // the last sections give.
    Float4 step(Float4 s)
    {
        for (int p = 0; p < kSections; ++p) {
            const Float4 t = ka813::simd::add(ka813::simd::mul(ka813::simd::sub(s, y[p]), coef[p]), x[p]);
            x[p] = s;
            y[p] = t;
            s = t;
        }
        return s;
    }

    // Right before left, so that in mono the left lanes are the ones kept.
    void store(HalfBandChains<N>& l, HalfBandChains<N>& r) const
    {
        for (int p = 0; p < kSections; ++p) {
            const int k = 2 * p;
            alignas(16) float lanes[4];
            ka813::simd::store4(lanes, x[p]);
            r.x[k] = lanes[2];
            r.x[k + 1] = lanes[3];
            l.x[k] = lanes[0];
            l.x[k + 1] = lanes[1];
            ka813::simd::store4(lanes, y[p]);
            r.y[k] = lanes[2];
            r.y[k + 1] = lanes[3];
            l.y[k] = lanes[0];
            l.y[k + 1] = lanes[1];
        }
    }
};

// Vectors of one value per side, [left, right, left, right], to and from the
// four lanes of a resampler.

// One sample per side into both chains of an up-sampler: [L, L, R, R].
inline Float4 intoBothChains(Float4 sides) { return ka813::simd::interleaveLow(sides, sides); }

// An up-sampler's outputs [L a, L b, R a, R b] as two vectors per side, the
// earlier output (a) first: [L a, R a, ...] and [L b, R b, ...].
inline Float4 earlierOutputs(Float4 chains) { return ka813::simd::evenLanes(chains); }
inline Float4 laterOutputs(Float4 chains) { return ka813::simd::oddLanes(chains); }

// A down-sampler's input from the earlier and the later sample of each side:
// the later one takes the chain of even coefficients, [L1, L0, R1, R0].
inline Float4 downInputs(Float4 earlier, Float4 later) { return ka813::simd::interleaveLow(later, earlier); }

// 0.5 (a + b) per side from a down-sampler's chains: [L, R, L, R].
inline Float4 downOutput(Float4 chains)
{
    return ka813::simd::mul(ka813::simd::splat4(0.5f), ka813::simd::pairSums(chains));
}

}  // namespace ka813
