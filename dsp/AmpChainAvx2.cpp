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
// The channels' wiring and the triode formulas are the shared templates of
// the two-lane path, instantiated here with this file's own lane types.
// Every function and type here has internal linkage: the lane types live in
// an anonymous namespace, so that every template instantiated with them is
// this file's own. No inline function compiled for AVX2 can then stand in
// for the plain one elsewhere in the program (a test checks the object's
// symbols).
#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "dsp/AmpModel.h"
#include "dsp/ChainPath.h"
#include "dsp/ChannelCircuit.h"

namespace ka813 {

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

// Four values, [lane 0, ..., lane 3]: four triode stages side by side.
struct Quad {
    __m256d v;
};
inline Quad operator+(Quad a, Quad b) { return {_mm256_add_pd(a.v, b.v)}; }
inline Quad operator-(Quad a, Quad b) { return {_mm256_sub_pd(a.v, b.v)}; }
inline Quad operator*(Quad a, Quad b) { return {_mm256_mul_pd(a.v, b.v)}; }
inline Quad operator/(Quad a, Quad b) { return {_mm256_div_pd(a.v, b.v)}; }

struct QuadMask {
    __m256d v;
};
inline QuadMask greaterThan(Quad a, Quad b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
inline QuadMask lessThan(Quad a, Quad b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
inline bool anyLane(QuadMask mask) { return _mm256_movemask_pd(mask.v) != 0; }
inline bool allLanes(QuadMask mask) { return _mm256_movemask_pd(mask.v) == 15; }
inline Quad select(QuadMask mask, Quad whereTrue, Quad whereFalse)
{
    return {_mm256_blendv_pd(whereFalse.v, whereTrue.v, mask.v)};
}
inline Quad squareRoot(Quad a) { return {_mm256_sqrt_pd(a.v)}; }

// Lanes from and to an array of doubles, one per lane.
inline void loadEach(Quad& lanes, const double* values) { lanes.v = _mm256_loadu_pd(values); }
inline void loadEach(Pair& lanes, const double* values) { lanes.v = _mm_loadu_pd(values); }
inline void storeEach(double* values, Quad lanes) { _mm256_storeu_pd(values, lanes.v); }
inline void storeEach(double* values, Pair lanes) { _mm_storeu_pd(values, lanes.v); }

template <class Lane>
constexpr int kLanesOf = sizeof(Lane) / sizeof(double);

}  // namespace

template <>
inline Quad splat<Quad>(double value)
{
    return {_mm256_set1_pd(value)};
}

namespace {

// The curve's coefficients lane by lane, each lane's from its own stage.
template <class Lane>
struct LaneCurve {
    Lane coefficients[13];
    [[gnu::always_inline]] Lane operator[](int k) const { return coefficients[k]; }
};

// Triode stages, one per lane, each with its own coefficients: the
// formulas of TriodeStepper, its state loaded from and stored to a
// different stage in each lane.
template <class Lane>
struct TriodeLanes : TriodeStepper<Lane, LaneCurve<Lane>> {
    using Mask = decltype(greaterThan(Lane(), Lane()));
    static constexpr int kLanes = kLanesOf<Lane>;
    TriodeStage* stage[kLanes];

    TriodeLanes(TriodeStage* const (&stages)[kLanes], const double& rate)
    {
        for (int i = 0; i < kLanes; ++i)
            stage[i] = stages[i];
        auto lanes = [&](Lane& into, auto member) {
            double values[kLanes];
            for (int i = 0; i < kLanes; ++i)
                values[i] = member(*stage[i]);
            loadEach(into, values);
        };
        for (int k = 0; k < 13; ++k)
            lanes(this->curve.coefficients[k], [k](const TriodeStage& t) { return t.curve[k]; });
        lanes(this->fourH, [](const TriodeStage& t) { return 4.0 * t.gridCurrentFactor; });
        lanes(this->twoH, [](const TriodeStage& t) { return 2.0 * t.gridCurrentFactor; });
        lanes(this->halfInvGridFactor, [](const TriodeStage& t) { return t.halfInvGridFactor; });
        lanes(this->invGridResistor, [](const TriodeStage& t) { return t.invGridResistor; });
        lanes(this->invPlateResistor, [](const TriodeStage& t) { return t.invPlateResistor; });
        lanes(this->supply, [](const TriodeStage& t) { return t.supplyVoltage; });
        lanes(this->coupling, [](const TriodeStage& t) { return t.couplingCoefficient; });
        lanes(this->cathodeCapacitor, [](const TriodeStage& t) { return t.cathodeCapacitor; });
        lanes(this->cathodeCoefficient, [](const TriodeStage& t) { return t.cathodeCoefficient; });
        lanes(this->gridVoltage, [](const TriodeStage& t) { return t.gridVoltage; });
        lanes(this->gridCurrent, [](const TriodeStage& t) { return t.gridCurrent; });
        lanes(this->cathodeVoltage, [](const TriodeStage& t) { return t.cathodeVoltage; });
        lanes(this->plateVoltage, [](const TriodeStage& t) { return t.plateVoltage; });
        lanes(this->plateCurrent, [](const TriodeStage& t) { return t.plateCurrent; });
        lanes(this->output, [](const TriodeStage& t) { return t.output; });
        this->sampleRate = splat<Lane>(rate);
    }

    [[gnu::always_inline]] inline Lane step(const Lane x) { return this->stepInlined(x); }

    // A step in which only the lanes of active take a sample; the others
    // keep their state.
    Lane stepSome(const Lane x, const Mask active)
    {
        const Lane keep[6] = {this->gridVoltage,   this->gridCurrent,  this->cathodeVoltage,
                              this->plateVoltage,  this->plateCurrent, this->output};
        const Lane y = step(x);
        this->gridVoltage = select(active, this->gridVoltage, keep[0]);
        this->gridCurrent = select(active, this->gridCurrent, keep[1]);
        this->cathodeVoltage = select(active, this->cathodeVoltage, keep[2]);
        this->plateVoltage = select(active, this->plateVoltage, keep[3]);
        this->plateCurrent = select(active, this->plateCurrent, keep[4]);
        this->output = select(active, this->output, keep[5]);
        return y;
    }

    // Lane by lane in order: a stage that fills two lanes gets the same
    // state from both.
    void store() const
    {
        double lanes[6][kLanes];
        const Lane* state[6] = {&this->gridVoltage,  &this->gridCurrent,  &this->cathodeVoltage,
                                &this->plateVoltage, &this->plateCurrent, &this->output};
        for (int s = 0; s < 6; ++s)
            storeEach(lanes[s], *state[s]);
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

using TriodeQuad = TriodeLanes<Quad>;
using TriodeDuo = TriodeLanes<Pair>;

inline QuadMask activeLanes(bool a, bool b, bool c, bool d)
{
    return {_mm256_castsi256_pd(_mm256_setr_epi64x(-int64_t(a), -int64_t(b), -int64_t(c), -int64_t(d)))};
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
    [[gnu::always_inline]] inline void step(const Pair (&in)[4], const bool (&active)[4], Pair (&out)[4])
    {
        const Quad a{_mm256_insertf128_pd(_mm256_castpd128_pd256(in[0].v), in[1].v, 1)};
        const Quad b{_mm256_insertf128_pd(_mm256_castpd128_pd256(in[2].v), in[3].v, 1)};
        Quad x, y;
        if (Edge) {
            x = low.stepSome(a, activeLanes(active[0], active[0], active[1], active[1]));
            y = high.stepSome(b, activeLanes(active[2], active[2], active[3], active[3]));
        } else {
            x = low.step(a);
            y = high.step(b);
        }
        out[0].v = _mm256_castpd256_pd128(x.v);
        out[1].v = _mm256_extractf128_pd(x.v, 1);
        out[2].v = _mm256_castpd256_pd128(y.v);
        out[3].v = _mm256_extractf128_pd(y.v, 1);
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
    [[gnu::always_inline]] inline void step(const Pair (&in)[3], const bool (&active)[3], Pair (&out)[3])
    {
        const Quad a{_mm256_insertf128_pd(_mm256_castpd128_pd256(in[0].v), in[1].v, 1)};
        const Quad x = Edge ? low.stepSome(a, activeLanes(active[0], active[0], active[1], active[1])) : low.step(a);
        out[0].v = _mm256_castpd256_pd128(x.v);
        out[1].v = _mm256_extractf128_pd(x.v, 1);
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
    [[gnu::always_inline]] inline void step(const Single (&in)[4], const bool (&active)[4], Single (&out)[4])
    {
        const Pair a{_mm_setr_pd(in[0].v, in[1].v)};
        const Pair b{_mm_setr_pd(in[2].v, in[3].v)};
        Pair x, y;
        if (Edge) {
            x = first.stepSome(a, {_mm_castsi128_pd(_mm_set_epi64x(-int64_t(active[1]), -int64_t(active[0])))});
            y = second.stepSome(b, {_mm_castsi128_pd(_mm_set_epi64x(-int64_t(active[3]), -int64_t(active[2])))});
        } else {
            x = first.step(a);
            y = second.step(b);
        }
        out[0].v = _mm_cvtsd_f64(x.v);
        out[1].v = _mm_cvtsd_f64(_mm_unpackhi_pd(x.v, x.v));
        out[2].v = _mm_cvtsd_f64(y.v);
        out[3].v = _mm_cvtsd_f64(_mm_unpackhi_pd(y.v, y.v));
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
    [[gnu::always_inline]] inline void step(const Single (&in)[3], const bool (&active)[3], Single (&out)[3])
    {
        const Quad x{_mm256_setr_pd(in[0].v, in[1].v, in[2].v, in[2].v)};
        alignas(32) double y[4];
        if (Edge)
            _mm256_store_pd(y, quad.stepSome(x, activeLanes(active[0], active[1], active[2], active[2])).v);
        else
            _mm256_store_pd(y, quad.step(x).v);
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

// A channel's work after each of its triodes as the segments of the skew.
template <class Channel, class Lane, size_t S, size_t... g>
inline void runStages(Channel& channel, Lane* samples, size_t count, TriodeBank<Lane, S>& triodes,
                      std::index_sequence<g...>)
{
    runSkewedByTwo(count, samples, triodes, [&](size_t i, Lane x) __attribute__((always_inline)) { channel.template after<g>(i, x); }...);
}

// A channel with its triodes in the banks above.
template <class Channel, class Lane>
void runChannel(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r, Lane* samples,
                size_t count, const FrameValues& frames)
{
    constexpr size_t first = Channel::kFirstTriode;
    Channel channel(model, l, r, samples, frames);
    TriodeBank<Lane, Channel::kTriodes> triodes(&l.triode[first], &r.triode[first], rate);
    runStages(channel, samples, count, triodes, std::make_index_sequence<Channel::kTriodes>());
    triodes.store();
    channel.store();
}

template <class Lane>
void processChunk(const AmpModel& model, Circuit circuit, const double& rate, AmpSide& l, AmpSide& r,
                  Lane* samples, size_t count, const FrameValues& frames)
{
    forCircuit<Lane>(circuit, [&](auto tag) {
        runChannel<typename decltype(tag)::Type>(model, rate, l, r, samples, count, frames);
    });
}

}  // namespace

void processChannelChunkAvx2(const AmpModel& model, Circuit circuit, const double& rate, AmpSide& l,
                             AmpSide& r, int32_t sides, double* samples, size_t count,
                             const FrameValues& frames)
{
    static_assert(sizeof(Pair) == 2 * sizeof(double) && sizeof(Single) == sizeof(double),
                  "lanes are plain doubles");
    if (sides == 2)
        processChunk(model, circuit, rate, l, r, reinterpret_cast<Pair*>(samples), count, frames);
    else
        processChunk(model, circuit, rate, l, l, reinterpret_cast<Single*>(samples), count, frames);
}

void stepFourTriodesAvx2(TriodeStage* const (&stages)[4], double* inputs, size_t count, const double& rate)
{
    TriodeQuad quad(stages, rate);
    for (size_t n = 0; n < count; ++n)
        _mm256_storeu_pd(inputs + 4 * n, quad.step(Quad{_mm256_loadu_pd(inputs + 4 * n)}).v);
    quad.store();
}

}  // namespace ka813
