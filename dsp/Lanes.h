// Lane types for running the model on one side (mono: a plain double) or on
// the left and right sides in one pass (stereo: both sides' values side by
// side in one vector register, LaneRegisters.h). Every operation is the IEEE operation of the
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

#include "dsp/LaneRegisters.h"

namespace ka813 {

struct DoublePair {
    ka813::simd::Double2 v;  // low lane: left side, high lane: right side

    DoublePair() = default;
    explicit DoublePair(ka813::simd::Double2 lanes) : v(lanes) {}
    DoublePair(double left, double right) : v(ka813::simd::double2(left, right)) {}

    double left() const { return ka813::simd::low(v); }
    double right() const { return ka813::simd::high(v); }
};

inline DoublePair operator+(DoublePair a, DoublePair b) { return DoublePair(ka813::simd::add(a.v, b.v)); }
inline DoublePair operator-(DoublePair a, DoublePair b) { return DoublePair(ka813::simd::sub(a.v, b.v)); }
inline DoublePair operator*(DoublePair a, DoublePair b) { return DoublePair(ka813::simd::mul(a.v, b.v)); }
inline DoublePair operator/(DoublePair a, DoublePair b) { return DoublePair(ka813::simd::div(a.v, b.v)); }
inline DoublePair operator*(double a, DoublePair b) { return DoublePair(ka813::simd::splat2(a)) * b; }
inline DoublePair operator*(DoublePair a, double b) { return a * DoublePair(ka813::simd::splat2(b)); }

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
    return DoublePair(ka813::simd::splat2(value));
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
    return DoublePair(ka813::simd::load2(left, right));
}

inline void storeLanes(double value, double& left, double&) { left = value; }
inline void storeLanes(DoublePair value, double& left, double& right)
{
    ka813::simd::store2(value.v, left, right);
}

inline double squareRoot(double a) { return std::sqrt(a); }
inline DoublePair squareRoot(DoublePair a) { return DoublePair(ka813::simd::sqrt(a.v)); }

// Comparisons give a mask per lane (a bool for mono); NaN compares false.
inline bool greaterThan(double a, double b) { return a > b; }
inline ka813::simd::Mask2 greaterThan(DoublePair a, DoublePair b) { return ka813::simd::greater(a.v, b.v); }
inline bool lessThan(double a, double b) { return a < b; }
inline ka813::simd::Mask2 lessThan(DoublePair a, DoublePair b) { return ka813::simd::less(a.v, b.v); }

inline bool anyLane(bool mask) { return mask; }
inline bool anyLane(ka813::simd::Mask2 mask) { return ka813::simd::any(mask); }
inline bool allLanes(bool mask) { return mask; }
inline bool allLanes(ka813::simd::Mask2 mask) { return ka813::simd::all(mask); }

// whereTrue in the lanes whose mask is set, whereFalse in the others.
inline double select(bool mask, double whereTrue, double whereFalse)
{
    return mask ? whereTrue : whereFalse;
}
inline DoublePair select(ka813::simd::Mask2 mask, DoublePair whereTrue, DoublePair whereFalse)
{
    return DoublePair(ka813::simd::select(mask, whereTrue.v, whereFalse.v));
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

}  // namespace ka813
