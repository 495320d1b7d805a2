// The vector registers the lanes are made of, and the few operations the
// model does on them, for the processor the build is for: SSE3 on x86-64,
// Advanced SIMD on aarch64. The formulas are written once over the lane
// types (Lanes.h, HalfBandLanes.h); only this file knows the processor.
// Add, subtract, multiply, divide, square root and the conversions between
// float and double are the IEEE operations, rounded to nearest, on both, so
// the same formula gives the same bits on either processor (provided the
// compiler fuses no multiply-add: the build says -ffp-contract=off).
#pragma once

#if defined(__aarch64__)
#include <arm_neon.h>
#elif defined(__x86_64__)
#include <pmmintrin.h>
#else
#error "the model's lanes are written for x86-64 and aarch64"
#endif

namespace ka813::simd {

#if defined(__aarch64__)

using Double2 = float64x2_t;
using Mask2 = uint64x2_t;  // all ones in a lane where a comparison holds
using Float4 = float32x4_t;

inline Double2 double2(double low, double high) { return vsetq_lane_f64(high, vdupq_n_f64(low), 1); }
inline Double2 splat2(double value) { return vdupq_n_f64(value); }
inline Double2 add(Double2 a, Double2 b) { return vaddq_f64(a, b); }
inline Double2 sub(Double2 a, Double2 b) { return vsubq_f64(a, b); }
inline Double2 mul(Double2 a, Double2 b) { return vmulq_f64(a, b); }
inline Double2 div(Double2 a, Double2 b) { return vdivq_f64(a, b); }
inline Double2 sqrt(Double2 a) { return vsqrtq_f64(a); }
inline double low(Double2 a) { return vgetq_lane_f64(a, 0); }
inline double high(Double2 a) { return vgetq_lane_f64(a, 1); }
inline Double2 load2(const double& low, const double& high) { return vld1q_lane_f64(&high, vld1q_dup_f64(&low), 1); }
inline void store2(Double2 a, double& low, double& high)
{
    vst1q_lane_f64(&low, a, 0);
    vst1q_lane_f64(&high, a, 1);
}
inline Mask2 greater(Double2 a, Double2 b) { return vcgtq_f64(a, b); }
inline Mask2 less(Double2 a, Double2 b) { return vcltq_f64(a, b); }
inline bool any(Mask2 mask) { return vmaxvq_u32(vreinterpretq_u32_u64(mask)) != 0; }
inline bool all(Mask2 mask) { return vminvq_u32(vreinterpretq_u32_u64(mask)) != 0; }
inline Double2 select(Mask2 mask, Double2 whereTrue, Double2 whereFalse) { return vbslq_f64(mask, whereTrue, whereFalse); }

inline Float4 float4(float a, float b, float c, float d)
{
    const float lanes[4] = {a, b, c, d};
    return vld1q_f32(lanes);
}
inline Float4 splat4(float value) { return vdupq_n_f32(value); }
inline Float4 add(Float4 a, Float4 b) { return vaddq_f32(a, b); }
inline Float4 sub(Float4 a, Float4 b) { return vsubq_f32(a, b); }
inline Float4 mul(Float4 a, Float4 b) { return vmulq_f32(a, b); }
inline float lane0(Float4 a) { return vgetq_lane_f32(a, 0); }
inline float lane1(Float4 a) { return vgetq_lane_f32(a, 1); }
inline void store4(float* lanes, Float4 a) { vst1q_f32(lanes, a); }
// [a0, b0, a1, b1]
inline Float4 interleaveLow(Float4 a, Float4 b) { return vzip1q_f32(a, b); }
// [a0, a2, a0, a2] and [a1, a3, a1, a3]
inline Float4 evenLanes(Float4 a) { return vuzp1q_f32(a, a); }
inline Float4 oddLanes(Float4 a) { return vuzp2q_f32(a, a); }
// [a0 + a1, a2 + a3, a0 + a1, a2 + a3]
inline Float4 pairSums(Float4 a) { return vpaddq_f32(a, a); }
// [float(low), float(high), 0, 0]
inline Float4 narrow(Double2 a) { return vcombine_f32(vcvt_f32_f64(a), vdup_n_f32(0.f)); }
// [a0, a1] as doubles
inline Double2 widenLow(Float4 a) { return vcvt_f64_f32(vget_low_f32(a)); }

#else

using Double2 = __m128d;
using Mask2 = __m128d;  // all ones in a lane where a comparison holds
using Float4 = __m128;

inline Double2 double2(double low, double high) { return _mm_set_pd(high, low); }
inline Double2 splat2(double value) { return _mm_set1_pd(value); }
inline Double2 add(Double2 a, Double2 b) { return _mm_add_pd(a, b); }
inline Double2 sub(Double2 a, Double2 b) { return _mm_sub_pd(a, b); }
inline Double2 mul(Double2 a, Double2 b) { return _mm_mul_pd(a, b); }
inline Double2 div(Double2 a, Double2 b) { return _mm_div_pd(a, b); }
inline Double2 sqrt(Double2 a) { return _mm_sqrt_pd(a); }
inline double low(Double2 a) { return _mm_cvtsd_f64(a); }
inline double high(Double2 a) { return _mm_cvtsd_f64(_mm_unpackhi_pd(a, a)); }
inline Double2 load2(const double& low, const double& high) { return _mm_loadh_pd(_mm_load_sd(&low), &high); }
inline void store2(Double2 a, double& low, double& high)
{
    _mm_storel_pd(&low, a);
    _mm_storeh_pd(&high, a);
}
inline Mask2 greater(Double2 a, Double2 b) { return _mm_cmpgt_pd(a, b); }
inline Mask2 less(Double2 a, Double2 b) { return _mm_cmplt_pd(a, b); }
inline bool any(Mask2 mask) { return _mm_movemask_pd(mask) != 0; }
inline bool all(Mask2 mask) { return _mm_movemask_pd(mask) == 3; }
inline Double2 select(Mask2 mask, Double2 whereTrue, Double2 whereFalse)
{
    return _mm_or_pd(_mm_and_pd(mask, whereTrue), _mm_andnot_pd(mask, whereFalse));
}

inline Float4 float4(float a, float b, float c, float d) { return _mm_setr_ps(a, b, c, d); }
inline Float4 splat4(float value) { return _mm_set1_ps(value); }
inline Float4 add(Float4 a, Float4 b) { return _mm_add_ps(a, b); }
inline Float4 sub(Float4 a, Float4 b) { return _mm_sub_ps(a, b); }
inline Float4 mul(Float4 a, Float4 b) { return _mm_mul_ps(a, b); }
inline float lane0(Float4 a) { return _mm_cvtss_f32(a); }
inline float lane1(Float4 a) { return _mm_cvtss_f32(_mm_shuffle_ps(a, a, 1)); }
inline void store4(float* lanes, Float4 a) { _mm_storeu_ps(lanes, a); }
// [a0, b0, a1, b1]
inline Float4 interleaveLow(Float4 a, Float4 b) { return _mm_unpacklo_ps(a, b); }
// [a0, a2, a0, a2] and [a1, a3, a1, a3]
inline Float4 evenLanes(Float4 a) { return _mm_shuffle_ps(a, a, _MM_SHUFFLE(2, 0, 2, 0)); }
inline Float4 oddLanes(Float4 a) { return _mm_shuffle_ps(a, a, _MM_SHUFFLE(3, 1, 3, 1)); }
// [a0 + a1, a2 + a3, a0 + a1, a2 + a3]
inline Float4 pairSums(Float4 a) { return _mm_hadd_ps(a, a); }
// [float(low), float(high), 0, 0]
inline Float4 narrow(Double2 a) { return _mm_cvtpd_ps(a); }
// [a0, a1] as doubles
inline Double2 widenLow(Float4 a) { return _mm_cvtps_pd(a); }

#endif

// Whether this processor runs the lanes the build made: every aarch64 one
// has Advanced SIMD; an x86-64 one may predate SSE3. The entries ask, so
// that such a processor gets no effect rather than an illegal instruction
// in the audio thread.
inline bool processorRunsLanes()
{
#if defined(__x86_64__)
    return __builtin_cpu_supports("sse3");
#else
    return true;
#endif
}

}  // namespace ka813::simd
