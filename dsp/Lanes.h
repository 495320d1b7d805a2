// Lane types for running the left and right sides in one pass: a stereo
// frame carries both sides' values side by side in one SSE2 register. Every
// operation is the IEEE operation of the scalar code on each lane, in the
// same order, so a stereo result equals two mono results to the last bit.
#pragma once

#include <emmintrin.h>

struct DoublePair {
    __m128d v;  // low lane: left side, high lane: right side

    DoublePair() = default;
    explicit DoublePair(__m128d lanes) : v(lanes) {}
    DoublePair(double left, double right) : v(_mm_set_pd(right, left)) {}

    double left() const { return _mm_cvtsd_f64(v); }
    double right() const { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
};

inline DoublePair broadcast(double value) { return DoublePair(_mm_set1_pd(value)); }

// The same member of the two sides' records, side by side.
inline DoublePair loadPair(const double& left, const double& right)
{
    return DoublePair(_mm_loadh_pd(_mm_load_sd(&left), &right));
}

inline void storePair(const DoublePair& value, double& left, double& right)
{
    _mm_storel_pd(&left, value.v);
    _mm_storeh_pd(&right, value.v);
}

inline DoublePair operator+(DoublePair a, DoublePair b) { return DoublePair(_mm_add_pd(a.v, b.v)); }
inline DoublePair operator-(DoublePair a, DoublePair b) { return DoublePair(_mm_sub_pd(a.v, b.v)); }
inline DoublePair operator*(DoublePair a, DoublePair b) { return DoublePair(_mm_mul_pd(a.v, b.v)); }
inline DoublePair operator/(DoublePair a, DoublePair b) { return DoublePair(_mm_div_pd(a.v, b.v)); }
inline DoublePair operator*(double a, DoublePair b) { return broadcast(a) * b; }
inline DoublePair operator*(DoublePair a, double b) { return a * broadcast(b); }
inline DoublePair operator-(double a, DoublePair b) { return broadcast(a) - b; }
inline DoublePair& operator*=(DoublePair& a, double b) { return a = a * b; }

inline DoublePair squareRoot(DoublePair a) { return DoublePair(_mm_sqrt_pd(a.v)); }

// Lane-wise choice: whereTrue where the mask lane is all ones, else whereFalse.
inline DoublePair select(__m128d mask, DoublePair whereTrue, DoublePair whereFalse)
{
    return DoublePair(_mm_or_pd(_mm_and_pd(mask, whereTrue.v), _mm_andnot_pd(mask, whereFalse.v)));
}

// Single-precision values of the two sides.
struct FloatPair {
    float left, right;
};

inline DoublePair widen(FloatPair value) { return DoublePair(value.left, value.right); }

inline FloatPair narrow(DoublePair value)
{
    const __m128 lanes = _mm_cvtpd_ps(value.v);
    FloatPair result;
    result.left = _mm_cvtss_f32(lanes);
    result.right = _mm_cvtss_f32(_mm_shuffle_ps(lanes, lanes, 1));
    return result;
}

// The mono counterparts, so one template serves both.
inline double widen(float value) { return value; }
inline float narrow(double value) { return static_cast<float>(value); }

// The lanes of a frame: one double and one float for mono, pairs for stereo.
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
