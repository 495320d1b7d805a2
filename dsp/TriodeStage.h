#pragma once

#include <cstddef>

#include "dsp/Lanes.h"

namespace ka813 {

// Plate-to-cathode voltage of the triode (load line included) as a rational
// function of the grid-to-cathode voltage v, degree six over six, stored
// interleaved: p0, q1, p1, q2, p2, q3, p3, q4, p4, q5, p5, q6, p6.
// N(v) = p0 + p1 v + ... + p6 v^6, D(v) = 1 + q1 v + ... + q6 v^6.
inline constexpr double kTriodeCurve[13] = {
    142.8171727640615,     -0.3422120436979589,   -123.6087522970126,
    0.09505440254949774,   36.22436698154447,     0.04008296491168297,
    -0.1438583704939422,   0.007959757890130313,  -0.9070123258972268,
    0.0009378363331753669, 0.008098036474826214,  6.441500399984654e-05,
    0.01556417689168246};

// Below this grid-to-cathode voltage the valve is cut off and the fit is not used.
constexpr double kTriodeCutoffVoltage = -10.0;

// The curve's coefficients as the stage's own, the same in every lane:
// each is broadcast where it is used.
template <class Lane>
struct BroadcastCurve {
    const double* coefficients;
    [[gnu::always_inline]] Lane operator[](int k) const { return splat<Lane>(coefficients[k]); }
};

// The curve by Horner's rule, numerator and denominator, in any lane type,
// with the coefficients as curve[k] gives them.
template <class Lane, class Curve>
[[gnu::always_inline]] inline Lane evaluateTriodeCurve(const Curve& curve, Lane v)
{
    Lane numerator = curve[12];
    numerator = numerator * v + curve[10];
    numerator = numerator * v + curve[8];
    numerator = numerator * v + curve[6];
    numerator = numerator * v + curve[4];
    numerator = numerator * v + curve[2];
    numerator = numerator * v + curve[0];
    Lane denominator = curve[11];
    denominator = denominator * v + curve[9];
    denominator = denominator * v + curve[7];
    denominator = denominator * v + curve[5];
    denominator = denominator * v + curve[3];
    denominator = denominator * v + curve[1];
    denominator = denominator * v + splat<Lane>(1.0);
    return numerator / denominator;
}

template <class Lane>
inline Lane evaluateTriodeCurve(const double* curve, Lane v)
{
    return evaluateTriodeCurve(BroadcastCurve<Lane>{curve}, v);
}

// R(v) of the shared curve.
inline double triodeCurve(double v) { return evaluateTriodeCurve(kTriodeCurve, v); }

// One common-cathode triode gain stage: grid resistor with square-law grid
// current, bypassed cathode resistor, plate load from a fixed supply and an RC
// coupling high-pass towards the next stage. Volts, amperes, ohms, farads,
// seconds. Inverting: a rising grid lowers the plate.
struct TriodeStage {
    // Components.
    double gridResistor;
    double cathodeResistor;
    double cathodeCapacitor;
    double supplyVoltage;  // the given supply while solving, then R(-10)
    double plateResistor;
    double couplingResistorA;
    double couplingResistorB;
    double couplingCapacitor;

    // Derived.
    double gridCurrentFactor;  // h = Rg * 0.000375 + 1e-20
    double halfInvGridFactor;  // 1 / (2h)
    double invPlateResistor;
    double invGridResistor;
    double cathodeCoefficient;  // T Rk / (T + Rk Ck)
    double couplingCoefficient; // tau / (tau + T)
    double curve[13];

    // State.
    double gridVoltage;
    double gridCurrent;
    double cathodeVoltage;
    double plateVoltage;
    double plateCurrent;
    double output;

    // Configures the stage and solves its quiescent operating point.
    void setup(double gridResistor, double cathodeResistor, double cathodeCapacitor,
               double supplyVoltage, double plateResistor, double initialPlateVoltage,
               double couplingResistorA, double couplingResistorB, double couplingCapacitor,
               double rate);

    // The state the stage holds still in with the grid at 0 V, solved
    // exactly; the coupling filter's output is then 0.
    void settle();

    // New oversampled period: only the two rate-dependent coefficients change.
    void setRate(double period);

    // One oversampled sample: sample is the grid drive in volts, replaced by the
    // AC-coupled plate voltage.
    void process(double& sample, const double& rate);
};

// The per-sample formula of a stage in any lane type, with the state held
// in locals from construction to store: a chain of these steps every element
// in registers. A branch runs when any lane takes it; the lanes that do not
// take it discard what it gave, whatever that was. Curve gives the curve's
// coefficients as lanes (see BroadcastCurve).
template <class Lane, class Curve = BroadcastCurve<Lane>>
struct TriodeStepper {
    Curve curve;
    Lane fourH, twoH, halfInvGridFactor, invGridResistor, invPlateResistor, supply, coupling;
    Lane cathodeCapacitor, cathodeCoefficient, sampleRate;
    Lane gridVoltage, gridCurrent, cathodeVoltage, plateVoltage, plateCurrent, output;

    // Coefficients from l: both sides' stages are always set up alike.
    [[gnu::always_inline]] TriodeStepper(const TriodeStage& l, const TriodeStage& r, const double& rate)
        : curve{l.curve},
          fourH(splat<Lane>(4.0 * l.gridCurrentFactor)),
          twoH(splat<Lane>(2.0 * l.gridCurrentFactor)),
          halfInvGridFactor(splat<Lane>(l.halfInvGridFactor)),
          invGridResistor(splat<Lane>(l.invGridResistor)),
          invPlateResistor(splat<Lane>(l.invPlateResistor)),
          supply(splat<Lane>(l.supplyVoltage)),
          coupling(splat<Lane>(l.couplingCoefficient)),
          cathodeCapacitor(splat<Lane>(l.cathodeCapacitor)),
          cathodeCoefficient(splat<Lane>(l.cathodeCoefficient)),
          sampleRate(splat<Lane>(rate)),
          gridVoltage(loadLanes<Lane>(l.gridVoltage, r.gridVoltage)),
          gridCurrent(loadLanes<Lane>(l.gridCurrent, r.gridCurrent)),
          cathodeVoltage(loadLanes<Lane>(l.cathodeVoltage, r.cathodeVoltage)),
          plateVoltage(loadLanes<Lane>(l.plateVoltage, r.plateVoltage)),
          plateCurrent(loadLanes<Lane>(l.plateCurrent, r.plateCurrent)),
          output(loadLanes<Lane>(l.output, r.output))
    {
    }

    // For lanes that hold different stages: the caller fills every member.
    TriodeStepper() = default;

    Lane step(const Lane x) { return stepInlined(x); }

    // The formula itself, for callers that must have it inlined into their
    // loop (out of line every state register passes through memory).
    [[gnu::always_inline]] inline Lane stepInlined(const Lane x)
    {
        const Lane one = splat<Lane>(1.0), zero = splat<Lane>(0.0);
        gridVoltage = x;
        const auto conducts = greaterThan(x - cathodeVoltage, zero);
        if (anyLane(conducts)) {
            // Grid conduction: root of h u^2 + u = x - Vk, u = Vg - Vk.
            const Lane root = squareRoot(one - fourH * cathodeVoltage + fourH * x);
            gridVoltage = select(conducts, (root + twoH * cathodeVoltage - one) * halfInvGridFactor, x);
        }
        gridCurrent = (x - gridVoltage) * invGridResistor;

        const Lane v = gridVoltage - cathodeVoltage;
        const auto cutOff = lessThan(v, splat<Lane>(kTriodeCutoffVoltage));
        Lane plateToCathode = supply;
        if (!allLanes(cutOff)) {
            plateToCathode = evaluateTriodeCurve(curve, v);
            if (anyLane(cutOff))
                plateToCathode = select(cutOff, supply, plateToCathode);
        }

        const Lane previousPlateVoltage = plateVoltage;
        plateVoltage = cathodeVoltage + plateToCathode;
        plateCurrent = (supply - plateVoltage) * invPlateResistor;
        output = coupling * (output + plateVoltage - previousPlateVoltage);

        // Backward Euler of Ck dVk/dt = Ip + Ig - Vk / Rk; the cathode cannot go negative.
        const Lane cathode =
            (cathodeCapacitor * cathodeVoltage * sampleRate + plateCurrent + gridCurrent)
            * cathodeCoefficient;
        cathodeVoltage = select(greaterThan(cathode, zero), cathode, zero);
        return output;
    }

    [[gnu::always_inline]] void store(TriodeStage& l, TriodeStage& r) const
    {
        storeLanes(gridVoltage, l.gridVoltage, r.gridVoltage);
        storeLanes(gridCurrent, l.gridCurrent, r.gridCurrent);
        storeLanes(cathodeVoltage, l.cathodeVoltage, r.cathodeVoltage);
        storeLanes(plateVoltage, l.plateVoltage, r.plateVoltage);
        storeLanes(plateCurrent, l.plateCurrent, r.plateCurrent);
        storeLanes(output, l.output, r.output);
    }
};

template <class Lane, size_t G>
inline void runGroup(TriodeStage& l, TriodeStage& r, Lane (&samples)[G], const double& rate)
{
    TriodeStepper<Lane> stage(l, r, rate);
    for (Lane& sample : samples)
        sample = stage.step(sample);
    stage.store(l, r);
}

inline void TriodeStage::process(double& sample, const double& rate) { runAlone(*this, sample, rate); }

}  // namespace ka813
