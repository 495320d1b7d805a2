// The chain with four triode lanes in one 256-bit register, compiled for
// AVX2 and run only where the processor has it. In stereo one register holds
// two stages of both sides, [stage g left, stage g right, stage g+1 left,
// stage g+1 right]; in mono channel A's three stages share one, and channel
// B's four stages go two by two into 128-bit registers. The filters between
// the stages stay in two lanes (stereo) or one (mono).
//
// Stage g works on sample t - 2g at step t: its input left the filters
// after stage g-1 two steps earlier, so the stages of one register never
// wait for each other. At the edges of a chunk a stage with no sample
// steps anyway and a blend keeps its old state.
//
// Every function and type here has internal linkage: the lane types live in
// an anonymous namespace, so that every template instantiated with them is
// this file's own. No inline function compiled for AVX2 can then stand in
// for the plain one elsewhere in the program.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "dsp/AmpModel.h"
#include "dsp/ChainPath.h"

namespace {

// One side's value (mono).
struct Single {
    double v;
};
inline Single operator+(Single a, Single b) { return {a.v + b.v}; }
inline Single operator-(Single a, Single b) { return {a.v - b.v}; }
inline Single operator*(Single a, Single b) { return {a.v * b.v}; }
inline Single operator*(double a, Single b) { return {a * b.v}; }
inline Single operator*(Single a, double b) { return {a.v * b}; }

// Both sides' values, [left, right].
struct Pair {
    __m128d v;
};
inline Pair operator+(Pair a, Pair b) { return {_mm_add_pd(a.v, b.v)}; }
inline Pair operator-(Pair a, Pair b) { return {_mm_sub_pd(a.v, b.v)}; }
inline Pair operator*(Pair a, Pair b) { return {_mm_mul_pd(a.v, b.v)}; }
inline Pair operator/(Pair a, Pair b) { return {_mm_div_pd(a.v, b.v)}; }
inline Pair operator*(double a, Pair b) { return {_mm_mul_pd(_mm_set1_pd(a), b.v)}; }
inline Pair operator*(Pair a, double b) { return {_mm_mul_pd(a.v, _mm_set1_pd(b))}; }

struct PairMask {
    __m128d v;
};
inline PairMask greaterThan(Pair a, Pair b) { return {_mm_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
inline PairMask lessThan(Pair a, Pair b) { return {_mm_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
inline bool anyLane(PairMask mask) { return _mm_movemask_pd(mask.v) != 0; }
inline bool allLanes(PairMask mask) { return _mm_movemask_pd(mask.v) == 3; }
inline Pair select(PairMask mask, Pair whereTrue, Pair whereFalse)
{
    return {_mm_blendv_pd(whereFalse.v, whereTrue.v, mask.v)};
}
inline Pair squareRoot(Pair a) { return {_mm_sqrt_pd(a.v)}; }

inline void storeLanes(Single value, double& left, double&) { left = value.v; }
inline void storeLanes(Pair value, double& left, double& right)
{
    _mm_storel_pd(&left, value.v);
    _mm_storeh_pd(&right, value.v);
}

}  // namespace

template <>
inline Single splat<Single>(double value)
{
    return {value};
}
template <>
inline Pair splat<Pair>(double value)
{
    return {_mm_set1_pd(value)};
}
template <>
inline Single loadLanes<Single>(const double& left, const double&)
{
    return {left};
}
template <>
inline Pair loadLanes<Pair>(const double& left, const double& right)
{
    return {_mm_loadh_pd(_mm_load_sd(&left), &right)};
}

namespace {

// The operations of the triode lanes on a register of four doubles or of two.
struct Wide {
    using V = __m256d;
    static constexpr int kLanes = 4;
    static V add(V a, V b) { return _mm256_add_pd(a, b); }
    static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
    static V div(V a, V b) { return _mm256_div_pd(a, b); }
    static V sqrt(V a) { return _mm256_sqrt_pd(a); }
    static V set1(double a) { return _mm256_set1_pd(a); }
    static V greater(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
    static V less(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
    static V blend(V whereFalse, V whereTrue, V mask) { return _mm256_blendv_pd(whereFalse, whereTrue, mask); }
    static int mask(V a) { return _mm256_movemask_pd(a); }
    static V load(const double* a) { return _mm256_loadu_pd(a); }
    static void store(double* a, V v) { _mm256_storeu_pd(a, v); }
};
struct Narrow {
    using V = __m128d;
    static constexpr int kLanes = 2;
    static V add(V a, V b) { return _mm_add_pd(a, b); }
    static V sub(V a, V b) { return _mm_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm_mul_pd(a, b); }
    static V div(V a, V b) { return _mm_div_pd(a, b); }
    static V sqrt(V a) { return _mm_sqrt_pd(a); }
    static V set1(double a) { return _mm_set1_pd(a); }
    static V greater(V a, V b) { return _mm_cmp_pd(a, b, _CMP_GT_OQ); }
    static V less(V a, V b) { return _mm_cmp_pd(a, b, _CMP_LT_OQ); }
    static V blend(V whereFalse, V whereTrue, V mask) { return _mm_blendv_pd(whereFalse, whereTrue, mask); }
    static int mask(V a) { return _mm_movemask_pd(a); }
    static V load(const double* a) { return _mm_loadu_pd(a); }
    static void store(double* a, V v) { _mm_storeu_pd(a, v); }
};

// Triode stages, one per lane, each with its own coefficients; the formulas
// of TriodeStepper in the same order.
template <class Ops>
struct TriodeLanes {
    using V = typename Ops::V;
    static constexpr int kLanes = Ops::kLanes;
    TriodeStage* stage[kLanes];
    V curve[13];
    V fourH, twoH, halfInvGridFactor, invGridResistor, invPlateResistor, supply, coupling;
    V cathodeCapacitor, cathodeCoefficient, sampleRate;
    V gridVoltage, gridCurrent, cathodeVoltage, plateVoltage, plateCurrent, output;

    TriodeLanes(TriodeStage* const (&stages)[kLanes], const double& rate)
    {
        for (int i = 0; i < kLanes; ++i)
            stage[i] = stages[i];
        auto lanes = [&](auto member) {
            double values[kLanes];
            for (int i = 0; i < kLanes; ++i)
                values[i] = member(*stage[i]);
            return Ops::load(values);
        };
        for (int k = 0; k < 13; ++k)
            curve[k] = lanes([k](const TriodeStage& t) { return t.curve[k]; });
        fourH = lanes([](const TriodeStage& t) { return 4.0 * t.gridCurrentFactor; });
        twoH = lanes([](const TriodeStage& t) { return 2.0 * t.gridCurrentFactor; });
        halfInvGridFactor = lanes([](const TriodeStage& t) { return t.halfInvGridFactor; });
        invGridResistor = lanes([](const TriodeStage& t) { return t.invGridResistor; });
        invPlateResistor = lanes([](const TriodeStage& t) { return t.invPlateResistor; });
        supply = lanes([](const TriodeStage& t) { return t.supplyVoltage; });
        coupling = lanes([](const TriodeStage& t) { return t.couplingCoefficient; });
        cathodeCapacitor = lanes([](const TriodeStage& t) { return t.cathodeCapacitor; });
        cathodeCoefficient = lanes([](const TriodeStage& t) { return t.cathodeCoefficient; });
        gridVoltage = lanes([](const TriodeStage& t) { return t.gridVoltage; });
        gridCurrent = lanes([](const TriodeStage& t) { return t.gridCurrent; });
        cathodeVoltage = lanes([](const TriodeStage& t) { return t.cathodeVoltage; });
        plateVoltage = lanes([](const TriodeStage& t) { return t.plateVoltage; });
        plateCurrent = lanes([](const TriodeStage& t) { return t.plateCurrent; });
        output = lanes([](const TriodeStage& t) { return t.output; });
        sampleRate = Ops::set1(rate);
    }

    V evaluateCurve(V v) const
    {
        V numerator = curve[12];
        for (int i = 10; i >= 0; i -= 2)
            numerator = Ops::add(Ops::mul(numerator, v), curve[i]);
        V denominator = curve[11];
        for (int i = 9; i >= 1; i -= 2)
            denominator = Ops::add(Ops::mul(denominator, v), curve[i]);
        denominator = Ops::add(Ops::mul(denominator, v), Ops::set1(1.0));
        return Ops::div(numerator, denominator);
    }

    V step(const V x)
    {
        const V one = Ops::set1(1.0), zero = Ops::set1(0.0);
        gridVoltage = x;
        const V conducts = Ops::greater(Ops::sub(x, cathodeVoltage), zero);
        if (Ops::mask(conducts) != 0) {
            const V root = Ops::sqrt(
                Ops::add(Ops::sub(one, Ops::mul(fourH, cathodeVoltage)), Ops::mul(fourH, x)));
            const V conducting =
                Ops::mul(Ops::sub(Ops::add(root, Ops::mul(twoH, cathodeVoltage)), one), halfInvGridFactor);
            gridVoltage = Ops::blend(x, conducting, conducts);
        }
        gridCurrent = Ops::mul(Ops::sub(x, gridVoltage), invGridResistor);

        const V v = Ops::sub(gridVoltage, cathodeVoltage);
        const V cutOff = Ops::less(v, Ops::set1(kTriodeCutoffVoltage));
        const int cutOffLanes = Ops::mask(cutOff);
        V plateToCathode = supply;
        if (cutOffLanes != (1 << kLanes) - 1) {
            plateToCathode = evaluateCurve(v);
            if (cutOffLanes != 0)
                plateToCathode = Ops::blend(plateToCathode, supply, cutOff);
        }

        const V previousPlateVoltage = plateVoltage;
        plateVoltage = Ops::add(cathodeVoltage, plateToCathode);
        plateCurrent = Ops::mul(Ops::sub(supply, plateVoltage), invPlateResistor);
        output = Ops::mul(coupling, Ops::sub(Ops::add(output, plateVoltage), previousPlateVoltage));

        const V cathode = Ops::mul(
            Ops::add(Ops::add(Ops::mul(Ops::mul(cathodeCapacitor, cathodeVoltage), sampleRate), plateCurrent),
                     gridCurrent),
            cathodeCoefficient);
        cathodeVoltage = Ops::blend(zero, cathode, Ops::greater(cathode, zero));
        return output;
    }

    // A step in which only the lanes of active take a sample; the others
    // keep their state.
    V stepSome(const V x, const V active)
    {
        const V keep[6] = {gridVoltage, gridCurrent, cathodeVoltage, plateVoltage, plateCurrent, output};
        const V y = step(x);
        gridVoltage = Ops::blend(keep[0], gridVoltage, active);
        gridCurrent = Ops::blend(keep[1], gridCurrent, active);
        cathodeVoltage = Ops::blend(keep[2], cathodeVoltage, active);
        plateVoltage = Ops::blend(keep[3], plateVoltage, active);
        plateCurrent = Ops::blend(keep[4], plateCurrent, active);
        output = Ops::blend(keep[5], output, active);
        return y;
    }

    // Lane by lane in order: a stage that fills two lanes gets the same
    // state from both.
    void store() const
    {
        double lanes[6][kLanes];
        const V* state[6] = {&gridVoltage, &gridCurrent, &cathodeVoltage, &plateVoltage, &plateCurrent, &output};
        for (int s = 0; s < 6; ++s)
            Ops::store(lanes[s], *state[s]);
        for (int i = 0; i < kLanes; ++i) {
            stage[i]->gridVoltage = lanes[0][i];
            stage[i]->gridCurrent = lanes[1][i];
            stage[i]->cathodeVoltage = lanes[2][i];
            stage[i]->plateVoltage = lanes[3][i];
            stage[i]->plateCurrent = lanes[4][i];
            stage[i]->output = lanes[5][i];
        }
    }
};

using Quad = __m256d;
using TriodeQuad = TriodeLanes<Wide>;
using TriodeDuo = TriodeLanes<Narrow>;

inline Quad activeLanes(bool a, bool b, bool c, bool d)
{
    return _mm256_castsi256_pd(_mm256_setr_epi64x(-int64_t(a), -int64_t(b), -int64_t(c), -int64_t(d)));
}

// The triode stages of a channel, S of them, for one lane type. step runs
// stage g on in[g] (only where active[g], when Edge) and gives its outputs.
template <class Lane, size_t S>
struct TriodeBank;

// Stereo, four stages: two registers.
template <>
struct TriodeBank<Pair, 4> {
    TriodeQuad low, high;
    TriodeBank(TriodeStage* l, TriodeStage* r, const double& rate)
        : low({&l[0], &r[0], &l[1], &r[1]}, rate), high({&l[2], &r[2], &l[3], &r[3]}, rate)
    {
    }
    template <bool Edge>
    void step(const Pair (&in)[4], const bool (&active)[4], Pair (&out)[4])
    {
        const Quad a = _mm256_insertf128_pd(_mm256_castpd128_pd256(in[0].v), in[1].v, 1);
        const Quad b = _mm256_insertf128_pd(_mm256_castpd128_pd256(in[2].v), in[3].v, 1);
        Quad x, y;
        if (Edge) {
            x = low.stepSome(a, activeLanes(active[0], active[0], active[1], active[1]));
            y = high.stepSome(b, activeLanes(active[2], active[2], active[3], active[3]));
        } else {
            x = low.step(a);
            y = high.step(b);
        }
        out[0].v = _mm256_castpd256_pd128(x);
        out[1].v = _mm256_extractf128_pd(x, 1);
        out[2].v = _mm256_castpd256_pd128(y);
        out[3].v = _mm256_extractf128_pd(y, 1);
    }
    void store() const
    {
        low.store();
        high.store();
    }
};

// Stereo, three stages: one register and the last stage in two lanes.
template <>
struct TriodeBank<Pair, 3> {
    TriodeQuad low;
    TriodeStepper<Pair> last;
    TriodeStage& lastLeft;
    TriodeStage& lastRight;
    TriodeBank(TriodeStage* l, TriodeStage* r, const double& rate)
        : low({&l[0], &r[0], &l[1], &r[1]}, rate), last(l[2], r[2], rate), lastLeft(l[2]), lastRight(r[2])
    {
    }
    template <bool Edge>
    void step(const Pair (&in)[3], const bool (&active)[3], Pair (&out)[3])
    {
        const Quad a = _mm256_insertf128_pd(_mm256_castpd128_pd256(in[0].v), in[1].v, 1);
        const Quad x = Edge ? low.stepSome(a, activeLanes(active[0], active[0], active[1], active[1])) : low.step(a);
        out[0].v = _mm256_castpd256_pd128(x);
        out[1].v = _mm256_extractf128_pd(x, 1);
        if (!Edge || active[2])
            out[2] = last.step(in[2]);
    }
    void store()
    {
        low.store();
        last.store(lastLeft, lastRight);
    }
};

// Mono, four stages: two registers of two stages each, so that a stage
// waits only for the one it shares a register with; a 256-bit register of
// four would make every stage wait for the slowest.
struct MonoFourTriodes {
    TriodeDuo first, second;
    MonoFourTriodes(TriodeStage* l, const double& rate) : first({&l[0], &l[1]}, rate), second({&l[2], &l[3]}, rate)
    {
    }
    template <bool Edge>
    void step(const Single (&in)[4], const bool (&active)[4], Single (&out)[4])
    {
        const __m128d a = _mm_setr_pd(in[0].v, in[1].v);
        const __m128d b = _mm_setr_pd(in[2].v, in[3].v);
        __m128d x, y;
        if (Edge) {
            x = first.stepSome(a, _mm_castsi128_pd(_mm_set_epi64x(-int64_t(active[1]), -int64_t(active[0]))));
            y = second.stepSome(b, _mm_castsi128_pd(_mm_set_epi64x(-int64_t(active[3]), -int64_t(active[2]))));
        } else {
            x = first.step(a);
            y = second.step(b);
        }
        out[0].v = _mm_cvtsd_f64(x);
        out[1].v = _mm_cvtsd_f64(_mm_unpackhi_pd(x, x));
        out[2].v = _mm_cvtsd_f64(y);
        out[3].v = _mm_cvtsd_f64(_mm_unpackhi_pd(y, y));
    }
    void store() const
    {
        first.store();
        second.store();
    }
};

// Mono, three stages: one 256-bit register, the last stage in two lanes
// (there the divider, not the wait, is what limits).
struct MonoThreeTriodes {
    TriodeQuad quad;
    MonoThreeTriodes(TriodeStage* l, const double& rate) : quad({&l[0], &l[1], &l[2], &l[2]}, rate) {}
    template <bool Edge>
    void step(const Single (&in)[3], const bool (&active)[3], Single (&out)[3])
    {
        const Quad x = _mm256_setr_pd(in[0].v, in[1].v, in[2].v, in[2].v);
        alignas(32) double y[4];
        if (Edge)
            _mm256_store_pd(y, quad.stepSome(x, activeLanes(active[0], active[1], active[2], active[2])));
        else
            _mm256_store_pd(y, quad.step(x));
        for (size_t g = 0; g < 3; ++g)
            out[g].v = y[g];
    }
    void store() const { quad.store(); }
};
template <>
struct TriodeBank<Single, 4> : MonoFourTriodes {
    TriodeBank(TriodeStage* l, TriodeStage*, const double& rate) : MonoFourTriodes(l, rate) {}
};
template <>
struct TriodeBank<Single, 3> : MonoThreeTriodes {
    TriodeBank(TriodeStage* l, TriodeStage*, const double& rate) : MonoThreeTriodes(l, rate) {}
};

// The chain's S segments skewed by two samples: at step t segment g runs
// its triode and then after(i, x) on sample i = t - 2g.
template <class Lane, size_t S, class... After>
inline void runSkewedByTwo(size_t count, Lane* samples, TriodeBank<Lane, S>& triodes, const After&... after)
{
    static_assert(sizeof...(After) == S, "one segment per stage");
    const Lane zero = splat<Lane>(0.0);
    auto at = [&](size_t t, auto edge) {
        constexpr bool Edge = decltype(edge)::value;
        Lane in[S], out[S];
        bool active[S];
        for (size_t g = 0; g < S; ++g) {
            active[g] = !Edge || (t >= 2 * g && t - 2 * g < count);
            in[g] = active[g] ? samples[t - 2 * g] : zero;
        }
        triodes.template step<Edge>(in, active, out);
        size_t g = 0;
        ((active[g] ? after(t - 2 * g, out[g]) : void(), ++g), ...);
    };
    const size_t fill = 2 * (S - 1);
    const size_t steps = count + fill;
    size_t t = 0;
    for (; t < fill && t < steps; ++t)
        at(t, std::true_type());
    for (; t < count; ++t)
        at(t, std::false_type());
    for (; t < steps; ++t)
        at(t, std::true_type());
}

template <class Lane>
struct OutputStepper : BiquadStepper<Lane> {
    OutputStepper(const AmpSide& l, const AmpSide& r) : BiquadStepper<Lane>(l.outputFilter, r.outputFilter) {}
    Lane step(const Lane x) { return BiquadStepper<Lane>::step(0.01 * x); }
    void store(AmpSide& l, AmpSide& r) const { BiquadStepper<Lane>::store(l.outputFilter, r.outputFilter); }
};

// The same elements, constants and order as the two-lane channel B.
template <bool highGain, class Lane>
void channelB(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r, Lane* samples,
              size_t count, const ampchain::FrameValues& frames)
{
    const int32_t bottom = model.bottomB;
    const int32_t bright = model.brightB;
    const int32_t focus = model.focusB != 0 ? 1 : 0;
    const double contourGain = model.contourBShaped;
    ToneStack& stackL = l.toneStackB[focus];
    ToneStack& stackR = r.toneStackB[focus];
    Biquad& gainShelfL = highGain ? l.highGainShelfB : l.lowGainShelfB;
    Biquad& gainShelfR = highGain ? r.highGainShelfB : r.lowGainShelfB;
    OnePoleLowpass& gainPoleL = highGain ? l.onePole2700 : l.onePole3000;
    OnePoleLowpass& gainPoleR = highGain ? r.onePole2700 : r.onePole3000;
    constexpr double gainScale = highGain ? 0.716 : 0.325;

    TriodeBank<Lane, 4> triodes(&l.triode[0], &r.triode[0], rate);
    OnePoleLowpassStepper<Lane> onePole750(l.onePole750, r.onePole750);
    BiquadStepper<Lane> shelf1(l.shelfB1, r.shelfB1);
    BiquadStepper<Lane> lowpass3k0(l.lowpass3k[0], r.lowpass3k[0]);
    BiquadStepper<Lane> gainShelf(gainShelfL, gainShelfR);
    OnePoleLowpassStepper<Lane> gainPole(gainPoleL, gainPoleR);
    BiquadStepper<Lane> lowpass3k1(l.lowpass3k[1], r.lowpass3k[1]);
    BiquadStepper<Lane> lowpass5k0(l.lowpass5k[0], r.lowpass5k[0]);
    OnePoleLowpassStepper<Lane> onePole3250(l.onePole3250, r.onePole3250);
    BiquadStepper<Lane> lowpass3k2(l.lowpass3k[2], r.lowpass3k[2]);
    BiquadStepper<Lane> lowpass5k1(l.lowpass5k[1], r.lowpass5k[1]);
    BiquadStepper<Lane> bottomShelf(l.bottomShelfB, r.bottomShelfB);
    BiquadStepper<Lane> brightPeak(l.brightPeakB, r.brightPeakB);
    ToneStackStepper<Lane> toneStack(stackL, stackR);
    OutputStepper<Lane> output(l, r);

    const double* drive = frames.driveB;
    const int32_t shift = frames.shift;
    runSkewedByTwo(
        count, samples, triodes,
        [&](size_t i, Lane x) {
            x = onePole750.step(x * 0.75);
            x = shelf1.step(x);
            samples[i] = lowpass3k0.step(x * drive[i >> shift]);
        },
        [&](size_t i, Lane x) {
            x = gainPole.step(gainShelf.step(x) * gainScale);
            samples[i] = lowpass5k0.step(lowpass3k1.step(x));
        },
        [&](size_t i, Lane x) {
            x = onePole3250.step(x) * 0.8;
            samples[i] = lowpass5k1.step(lowpass3k2.step(x));
        },
        [&](size_t i, Lane x) {
            if (bottom == 1)
                x = bottomShelf.step(x);
            if (bright == 1)
                x = brightPeak.step(x);
            samples[i] = output.step(toneStack.step(x) * contourGain);
        });

    triodes.store();
    onePole750.store(l.onePole750, r.onePole750);
    shelf1.store(l.shelfB1, r.shelfB1);
    lowpass3k0.store(l.lowpass3k[0], r.lowpass3k[0]);
    gainShelf.store(gainShelfL, gainShelfR);
    gainPole.store(gainPoleL, gainPoleR);
    lowpass3k1.store(l.lowpass3k[1], r.lowpass3k[1]);
    lowpass5k0.store(l.lowpass5k[0], r.lowpass5k[0]);
    onePole3250.store(l.onePole3250, r.onePole3250);
    lowpass3k2.store(l.lowpass3k[2], r.lowpass3k[2]);
    lowpass5k1.store(l.lowpass5k[1], r.lowpass5k[1]);
    bottomShelf.store(l.bottomShelfB, r.bottomShelfB);
    brightPeak.store(l.brightPeakB, r.brightPeakB);
    toneStack.store(stackL, stackR);
    output.store(l, r);
}

// The same elements, constants and order as the two-lane channel A.
template <bool crunch, class Lane>
void channelA(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r, Lane* samples,
              size_t count, const ampchain::FrameValues& frames)
{
    const double shaped = model.driveAShaped;
    const double makeUp = 3.0 * model.driveAShapedInv;
    const int32_t bottom = model.bottomA;
    const int32_t bright = model.brightA;
    const int32_t focus = model.focusA != 0 ? 1 : 0;
    const double contourGain = model.contourAShaped;
    ToneStack& stackL = l.toneStackA[focus];
    ToneStack& stackR = r.toneStackA[focus];
    Biquad& modeShelfL = crunch ? l.crunchShelfA : l.cleanLowShelfA;
    Biquad& modeShelfR = crunch ? r.crunchShelfA : r.cleanLowShelfA;
    constexpr double modeScale = crunch ? 0.527 : 0.018;

    TriodeBank<Lane, 3> triodes(&l.triode[4], &r.triode[4], rate);
    OnePoleHighpassStepper<Lane> bottomHighpass(l.bottomHighpassA, r.bottomHighpassA);
    BiquadStepper<Lane> bottomShelf(l.bottomShelfA, r.bottomShelfA);
    BiquadStepper<Lane> brightShelf(l.brightShelfA, r.brightShelfA);
    BiquadStepper<Lane> modeShelf(modeShelfL, modeShelfR);
    BiquadStepper<Lane> lowpass5k(l.lowpass5k[2], r.lowpass5k[2]);
    ToneStackStepper<Lane> toneStack(stackL, stackR);
    OutputStepper<Lane> output(l, r);

    const double* drive = frames.driveA;
    const int32_t shift = frames.shift;
    runSkewedByTwo(
        count, samples, triodes,
        [&](size_t i, Lane x) {
            if (bottom == 0)
                x = bottomHighpass.step(x);
            else
                x = bottomShelf.step(x) * 0.75;
            x = x * drive[i >> shift];
            samples[i] = bright == 0 ? x * shaped : brightShelf.step(x);
        },
        [&](size_t i, Lane x) {
            x = modeShelf.step(x * modeScale);
            samples[i] = lowpass5k.step(x);
        },
        [&](size_t i, Lane x) {
            if (!crunch)
                x = x * makeUp;
            x = toneStack.step(x) * contourGain;
            samples[i] = output.step(x * 1.58);
        });

    triodes.store();
    bottomHighpass.store(l.bottomHighpassA, r.bottomHighpassA);
    bottomShelf.store(l.bottomShelfA, r.bottomShelfA);
    brightShelf.store(l.brightShelfA, r.brightShelfA);
    modeShelf.store(modeShelfL, modeShelfR);
    lowpass5k.store(l.lowpass5k[2], r.lowpass5k[2]);
    toneStack.store(stackL, stackR);
    output.store(l, r);
}

template <class Lane>
void processChunk(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r, Lane* samples,
                  size_t count, const ampchain::FrameValues& frames)
{
    if (model.channelB == 1) {
        if (model.highGainB == 0)
            channelB<false>(model, rate, l, r, samples, count, frames);
        else
            channelB<true>(model, rate, l, r, samples, count, frames);
    } else {
        if (model.crunchA == 0)
            channelA<false>(model, rate, l, r, samples, count, frames);
        else
            channelA<true>(model, rate, l, r, samples, count, frames);
    }
}

}  // namespace

namespace ampchain {

void processChannelChunkAvx2(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                             int32_t sides, double* samples, size_t count, const FrameValues& frames)
{
    static_assert(sizeof(Pair) == 2 * sizeof(double) && sizeof(Single) == sizeof(double),
                  "lanes are plain doubles");
    if (sides == 2)
        processChunk(model, rate, l, r, reinterpret_cast<Pair*>(samples), count, frames);
    else
        processChunk(model, rate, l, l, reinterpret_cast<Single*>(samples), count, frames);
}

void stepFourTriodesAvx2(TriodeStage* const (&stages)[4], double* inputs, size_t count, const double& rate)
{
    TriodeQuad quad(stages, rate);
    for (size_t n = 0; n < count; ++n)
        _mm256_storeu_pd(inputs + 4 * n, quad.step(_mm256_loadu_pd(inputs + 4 * n)));
    quad.store();
}

}  // namespace ampchain
