#pragma once

#include <cmath>

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

// Horner evaluation of the curve's numerator and denominator.
inline double evaluateTriodeCurve(const double (&curve)[13], double v)
{
    double numerator = curve[12];
    numerator = numerator * v + curve[10];
    numerator = numerator * v + curve[8];
    numerator = numerator * v + curve[6];
    numerator = numerator * v + curve[4];
    numerator = numerator * v + curve[2];
    numerator = numerator * v + curve[0];
    double denominator = curve[11];
    denominator = denominator * v + curve[9];
    denominator = denominator * v + curve[7];
    denominator = denominator * v + curve[5];
    denominator = denominator * v + curve[3];
    denominator = denominator * v + curve[1];
    denominator = denominator * v + 1.0;
    return numerator / denominator;
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

    // New oversampled period: only the two rate-dependent coefficients change.
    void setRate(double period);

    // One oversampled sample: sample is the grid drive in volts, replaced by the
    // AC-coupled plate voltage.
    void process(double& sample, const double& rate)
    {
        const double x = sample;
        gridVoltage = x;
        if (x - cathodeVoltage > 0.0) {
            // Grid conduction: root of h u^2 + u = x - Vk, u = Vg - Vk.
            const double h = gridCurrentFactor;
            gridVoltage = (std::sqrt(1.0 - 4.0 * h * cathodeVoltage + 4.0 * h * x)
                           + 2.0 * h * cathodeVoltage - 1.0)
                          * halfInvGridFactor;
        }
        gridCurrent = (x - gridVoltage) * invGridResistor;

        const double v = gridVoltage - cathodeVoltage;
        const double plateToCathode =
            v < kTriodeCutoffVoltage ? supplyVoltage : evaluateTriodeCurve(curve, v);

        const double previousPlateVoltage = plateVoltage;
        plateVoltage = cathodeVoltage + plateToCathode;
        plateCurrent = (supplyVoltage - plateVoltage) * invPlateResistor;

        output = couplingCoefficient * (output + plateVoltage - previousPlateVoltage);
        sample = output;

        // Backward Euler of Ck dVk/dt = Ip + Ig - Vk / Rk; the cathode cannot go negative.
        const double cathode =
            (cathodeCapacitor * cathodeVoltage * rate + plateCurrent + gridCurrent)
            * cathodeCoefficient;
        cathodeVoltage = cathode > 0.0 ? cathode : 0.0;
    }
};
