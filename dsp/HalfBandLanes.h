// The half-band resamplers of both sides in four single-precision lanes:
// [left a, left b, right a, right b], a the chain of even coefficients and
// b that of odd ones. Each lane does exactly the float operations of the
// one-side filter, so the results equal it to the last bit. In mono the
// left side's record stands in for both halves and the right pair of lanes
// repeats the left.
#pragma once

#include <pmmintrin.h>

#include "dsp/HalfBand.h"

template <int N>
struct HalfBandQuad {
    static constexpr int kSections = N / 2;
    __m128 coef[kSections], x[kSections], y[kSections];

    HalfBandQuad(const HalfBandChains<N>& l, const HalfBandChains<N>& r)
    {
        for (int p = 0; p < kSections; ++p) {
            const int k = 2 * p;
            coef[p] = _mm_setr_ps(l.coef[k], l.coef[k + 1], r.coef[k], r.coef[k + 1]);
            x[p] = _mm_setr_ps(l.x[k], l.x[k + 1], r.x[k], r.x[k + 1]);
            y[p] = _mm_setr_ps(l.y[k], l.y[k + 1], r.y[k], r.y[k + 1]);
        }
    }

    // s: what goes into the first section of each chain; the result is what
    // the last sections give.
    __m128 step(__m128 s)
    {
        for (int p = 0; p < kSections; ++p) {
            const __m128 t = _mm_add_ps(_mm_mul_ps(_mm_sub_ps(s, y[p]), coef[p]), x[p]);
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
            _mm_store_ps(lanes, x[p]);
            r.x[k] = lanes[2];
            r.x[k + 1] = lanes[3];
            l.x[k] = lanes[0];
            l.x[k + 1] = lanes[1];
            _mm_store_ps(lanes, y[p]);
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
inline __m128 intoBothChains(__m128 sides) { return _mm_unpacklo_ps(sides, sides); }

// An up-sampler's outputs [L a, L b, R a, R b] as two vectors per side, the
// earlier output (a) first: [L a, R a, ...] and [L b, R b, ...].
inline __m128 earlierOutputs(__m128 chains) { return _mm_shuffle_ps(chains, chains, _MM_SHUFFLE(2, 0, 2, 0)); }
inline __m128 laterOutputs(__m128 chains) { return _mm_shuffle_ps(chains, chains, _MM_SHUFFLE(3, 1, 3, 1)); }

// A down-sampler's input from the earlier and the later sample of each side:
// the later one takes the chain of even coefficients, [L1, L0, R1, R0].
inline __m128 downInputs(__m128 earlier, __m128 later) { return _mm_unpacklo_ps(later, earlier); }

// 0.5 (a + b) per side from a down-sampler's chains: [L, R, L, R].
inline __m128 downOutput(__m128 chains)
{
    const __m128 sum = _mm_hadd_ps(chains, chains);
    return _mm_mul_ps(_mm_set1_ps(0.5f), sum);
}
