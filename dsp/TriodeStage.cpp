#include "dsp/TriodeStage.h"

#include <cmath>

namespace ka813 {

namespace {
// Grid current per volt squared of positive grid-to-cathode voltage.
constexpr double kGridConductance = 0.000375;
// Keeps the reciprocals finite for zero component values.
constexpr double kTiny = 1e-20;
// The quiescent solve relaxes a fixed number of times with this step.
constexpr int kOperatingPointSteps = 50;
constexpr double kRelaxation = 0.1;
}  // namespace

void TriodeStage::setup(double gridResistorOhms, double cathodeResistorOhms,
                        double cathodeCapacitorFarads, double supplyVolts,
                        double plateResistorOhms, double initialPlateVoltage,
                        double couplingResistorAOhms, double couplingResistorBOhms,
                        double couplingCapacitorFarads, double rate)
{
    gridResistor = gridResistorOhms;
    cathodeResistor = cathodeResistorOhms;
    cathodeCapacitor = cathodeCapacitorFarads;
    supplyVoltage = supplyVolts;
    plateResistor = plateResistorOhms;
    couplingResistorA = couplingResistorAOhms;
    couplingResistorB = couplingResistorBOhms;
    couplingCapacitor = couplingCapacitorFarads;
    for (int i = 0; i < 13; ++i)
        curve[i] = kTriodeCurve[i];

    gridCurrentFactor = gridResistor * kGridConductance + kTiny;
    halfInvGridFactor = 1.0 / (2.0 * gridCurrentFactor);

    // Quiescent point with the grid at 0 V: relax the plate voltage towards the
    // curve along the load line. A fixed count, no convergence test, so every
    // stage starts from the same, reproducible state.
    const double load = plateResistor + kTiny;
    plateVoltage = initialPlateVoltage;
    for (int step = 0; step < kOperatingPointSteps; ++step) {
        plateCurrent = (supplyVoltage - plateVoltage) / load;
        cathodeVoltage = plateCurrent * cathodeResistor;
        plateVoltage = plateVoltage
                       + kRelaxation * (cathodeVoltage + triodeCurve(-cathodeVoltage) - plateVoltage);
    }

    gridVoltage = 0.0;
    gridCurrent = 0.0;
    output = 0.0;

    // From here on the supply is the curve's own cutoff value, so the plate
    // current is exactly zero when the valve is cut off.
    supplyVoltage = triodeCurve(kTriodeCutoffVoltage);

    invPlateResistor = 1.0 / (plateResistor + kTiny);
    invGridResistor = 1.0 / (gridResistor + kTiny);
    const double period = 1.0 / rate;
    cathodeCoefficient = period * cathodeResistor / (cathodeResistor * cathodeCapacitor + period);
    const double tau = (couplingResistorA + couplingResistorB) * couplingCapacitor;
    couplingCoefficient = tau / (period + tau);
}

// The per-sample recursion with the grid at 0 V rests where the cathode
// voltage is the cathode resistor times the plate current that this cathode
// voltage lets through. setup's relaxation stops near that point, not on
// it, and the stage would drift there for a second; this finds it by
// bisection to the last bit. The difference below rises with the cathode
// voltage (more bias, less current), so the root is unique.
void TriodeStage::settle()
{
    auto plateToCathodeAt = [this](double cathode) {
        const double v = -cathode;
        return v < kTriodeCutoffVoltage ? supplyVoltage : evaluateTriodeCurve(curve, v);
    };
    auto excess = [&](double cathode) {
        const double current = (supplyVoltage - (cathode + plateToCathodeAt(cathode))) * invPlateResistor;
        return cathode - current * cathodeResistor;
    };
    double low = 0.0, high = supplyVoltage;
    for (;;) {
        const double middle = 0.5 * (low + high);
        if (middle <= low || middle >= high)
            break;
        (excess(middle) > 0.0 ? high : low) = middle;
    }
    cathodeVoltage = std::fabs(excess(low)) <= std::fabs(excess(high)) ? low : high;
    gridVoltage = 0.0;
    gridCurrent = 0.0;
    plateVoltage = cathodeVoltage + plateToCathodeAt(cathodeVoltage);
    plateCurrent = (supplyVoltage - plateVoltage) * invPlateResistor;
    output = 0.0;
}

void TriodeStage::setRate(double period)
{
    cathodeCoefficient = period * cathodeResistor / (period + cathodeResistor * cathodeCapacitor);
    const double tau = (couplingResistorA + couplingResistorB) * couplingCapacitor;
    couplingCoefficient = tau / (tau + period);
}

}  // namespace ka813
