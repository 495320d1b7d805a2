// Lane types for running the model on one side (mono: a plain double) or on
// the left and right sides in one pass (stereo: both sides' values side by
// side in one SSE2 register). Every operation is the IEEE operation of the
// scalar formula on each lane, in the same order, so a stereo result equals
// two mono results to the last bit.
//
// Each building block's per-sample formula is written once, as a stepper
// over the lane type (BiquadStepper, TriodeStepper, ...): constructed from
// the left and right records (mono: the same record twice, only the left one
// used), it loads the state once, step runs one sample in registers and
// store writes the state back. runGroup runs a block's stepper over a group
// of consecutive samples; the block's own process is a group of one.
#pragma once

#include <cmath>
#include <cstddef>
#include <emmintrin.h>

struct DoublePair {
    __m128d v;  // low lane: left side, high lane: right side

    DoublePair() = default;
    explicit DoublePair(__m128d lanes) : v(lanes) {}
    DoublePair(double left, double right) : v(_mm_set_pd(right, left)) {}

    double left() const { return _mm_cvtsd_f64(v); }
    double right() const { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
};

inline DoublePair operator+(DoublePair a, DoublePair b) { return DoublePair(_mm_add_pd(a.v, b.v)); }
inline DoublePair operator-(DoublePair a, DoublePair b) { return DoublePair(_mm_sub_pd(a.v, b.v)); }
inline DoublePair operator*(DoublePair a, DoublePair b) { return DoublePair(_mm_mul_pd(a.v, b.v)); }
inline DoublePair operator/(DoublePair a, DoublePair b) { return DoublePair(_mm_div_pd(a.v, b.v)); }
inline DoublePair operator*(double a, DoublePair b) { return DoublePair(_mm_set1_pd(a)) * b; }
inline DoublePair operator*(DoublePair a, double b) { return a * DoublePair(_mm_set1_pd(b)); }

// The same value in every lane.
template <class Lane>
Lane splat(double value);
template <>
inline double splat<double>(double value)
{
    return value;
}
template <>
inline DoublePair splat<DoublePair>(double value)
{
    return DoublePair(_mm_set1_pd(value));
}

// A member of the left side's record and the same member of the right
// side's; mono reads and writes the left one only.
template <class Lane>
Lane loadLanes(const double& left, const double& right);
template <>
inline double loadLanes<double>(const double& left, const double&)
{
    return left;
}
template <>
inline DoublePair loadLanes<DoublePair>(const double& left, const double& right)
{
    return DoublePair(_mm_loadh_pd(_mm_load_sd(&left), &right));
}

inline void storeLanes(double value, double& left, double&) { left = value; }
inline void storeLanes(DoublePair value, double& left, double& right)
{
    _mm_storel_pd(&left, value.v);
    _mm_storeh_pd(&right, value.v);
}

inline double squareRoot(double a) { return std::sqrt(a); }
inline DoublePair squareRoot(DoublePair a) { return DoublePair(_mm_sqrt_pd(a.v)); }

// Comparisons give a mask per lane (a bool for mono); NaN compares false.
inline bool greaterThan(double a, double b) { return a > b; }
inline __m128d greaterThan(DoublePair a, DoublePair b) { return _mm_cmpgt_pd(a.v, b.v); }
inline bool lessThan(double a, double b) { return a < b; }
inline __m128d lessThan(DoublePair a, DoublePair b) { return _mm_cmplt_pd(a.v, b.v); }

inline bool anyLane(bool mask) { return mask; }
inline bool anyLane(__m128d mask) { return _mm_movemask_pd(mask) != 0; }
inline bool allLanes(bool mask) { return mask; }
inline bool allLanes(__m128d mask) { return _mm_movemask_pd(mask) == 3; }

// whereTrue in the lanes whose mask is set, whereFalse in the others.
inline double select(bool mask, double whereTrue, double whereFalse)
{
    return mask ? whereTrue : whereFalse;
}
inline DoublePair select(__m128d mask, DoublePair whereTrue, DoublePair whereFalse)
{
    return DoublePair(_mm_or_pd(_mm_and_pd(mask, whereTrue.v), _mm_andnot_pd(mask, whereFalse.v)));
}

// Single-precision values of the two sides.
struct FloatPair {
    float left, right;
};

// The single-precision lane that goes with a double-precision one.
template <class Lane>
struct LaneTraits;
template <>
struct LaneTraits<double> {
    using Float = float;
};
template <>
struct LaneTraits<DoublePair> {
    using Float = FloatPair;
};

// One sample of one side through a block's group runner.
template <class Block, class... Arguments>
inline void runAlone(Block& block, double& sample, const Arguments&... arguments)
{
    double group[1] = {sample};
    runGroup(block, block, group, arguments...);
    sample = group[0];
}
