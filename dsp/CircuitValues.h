// The fixed values of the amplifier: the parts of its circuit (ohms, farads,
// volts, hertz), the scalings between its stages and what each compensates,
// and the constants of the parameter mapping. Both chain paths, the set-up
// and the mapping read them from here, so that a circuit value lives in one
// place.
#pragma once

namespace ka813 {

// The model's own value for two pi. It is deliberately not the exact constant:
// every designer and the anti-denormal oscillator use this one, so filter corners
// land where the tuned circuit expects them.
constexpr double kTwoPi = 6.28319304;

// ---- Triode stages ----

// One triode stage's own parts; grid resistor, supply, plate load and the
// first coupling resistor are common to all seven.
struct TriodeParts {
    double cathodeResistor;      // ohms
    double cathodeCapacitor;     // farads
    double initialPlateVoltage;  // volts, start of the operating-point solve
    double couplingResistor;     // ohms
    double couplingCapacitor;    // farads
};

constexpr double kGridResistor = 68000.0;   // ohms
constexpr double kSupplyVoltage = 449.8;    // volts
constexpr double kPlateResistor = 100000.0; // ohms
constexpr double kFirstCouplingResistor = 0.0;  // ohms

// triode[0] to [3]: channel B; [4] to [6]: channel A.
constexpr TriodeParts kTriodeParts[7] = {
    {820.0, 9.7e-7, 238.7, 2200000.0, 4.7e-8},
    {1500.0, 3e-7, 238.7, 2200000.0, 4.7e-8},
    {3300.0, 2.4e-7, 322.0, 470000.0, 4.7e-8},
    {1500.0, 3e-7, 238.7, 2200000.0, 1e-7},
    {1000.0, 1.6e-5, 250.0, 2200000.0, 4.7e-8},
    {1500.0, 1.1e-5, 276.0, 2200000.0, 4.7e-8},
    {1500.0, 1.1e-5, 276.0, 2200000.0, 1e-7},
};

// ---- Filters between the stages ----

// A second-order section: corner or centre in hertz, quality factor, and
// for shelves and peaks the gain (a ratio).
struct SectionValues {
    double frequency;
    double q;
    double gain;
};

constexpr SectionValues kLowpass3k{3000.0, 0.7, 1.0};  // channel B, after each of its first three triodes
constexpr SectionValues kLowpass5k{5000.0, 0.7, 1.0};  // channel B twice, channel A once
constexpr SectionValues kShelfB1{5000.0, 0.7, 0.333};          // high shelf, channel B after its first triode
constexpr SectionValues kLowGainShelfB{300.0, 0.7, 0.666};     // high shelf, channel B low gain
constexpr SectionValues kHighGainShelfB{500.0, 0.7, 0.45};     // high shelf, channel B high gain
constexpr SectionValues kBottomShelfB{300.0, 0.7, 1.75};       // high shelf, channel B Bottom on
constexpr SectionValues kBrightPeakB{4000.0, 1.0, 1.333};      // peak, channel B Bright on
constexpr SectionValues kBottomShelfA{300.0, 0.7, 1.333};      // high shelf, channel A Bottom on
// High shelf, channel A Bright on. The gain is the designed one; the shelf
// then follows channel A's second drive gain.
constexpr SectionValues kBrightShelfA{3000.0, 0.7, 0.333};
constexpr SectionValues kCleanLowShelfA{2000.0, 0.7, 7.0};     // low shelf, channel A clean
constexpr SectionValues kCrunchShelfA{500.0, 0.7, 0.45};       // high shelf, channel A crunch

// Time constant of channel A's bottom high-pass in seconds: 250 Hz, as
// 1 / (kTwoPi 250 Hz) rounded to five figures (the tuned value). The
// first-order lowpasses of channel B are it divided by their multiple of
// 250 Hz.
constexpr double kBottomTimeConstant = 0.00063662;
constexpr double kOnePole750Multiple = 3.0;    // 750 Hz, channel B after its first triode
constexpr double kOnePole3000Multiple = 12.0;  // 3000 Hz, channel B low gain
constexpr double kOnePole2700Multiple = 10.8;  // 2700 Hz, channel B high gain
constexpr double kOnePole3250Multiple = 13.0;  // 3250 Hz, channel B after its third triode

// The output high-pass after the chain: it takes the DC that the plates'
// operating points leave in the signal.
constexpr double kOutputHighpassCorner = 2.0;  // hertz
constexpr double kOutputHighpassQ = 0.7;

// ---- Scalings in the chain ----

// The last triode swings its plate by up to hundreds of volts; this brings
// the chain's output to the host's full scale before the output high-pass.
constexpr double kPlateToOutputScale = 0.01;

// Channel B: the dividers after its first, second and third triodes; the
// second one depends on the gain switch.
constexpr double kFirstDividerB = 0.75;
constexpr double kLowGainDividerB = 0.325;
constexpr double kHighGainDividerB = 0.716;
constexpr double kThirdDividerB = 0.8;

// Channel A: with Bottom on, the 300 Hz shelf lifts the bass by 1.333; this
// takes the lift back to unity, so that Bottom changes the balance, not the
// level.
constexpr double kBottomShelfMakeUpA = 0.75;
// The divider after channel A's second triode: clean feeds the 2000 Hz low
// shelf (bass gain 7) from a much lower level than crunch feeds its shelf.
constexpr double kCleanDividerA = 0.018;
constexpr double kCrunchDividerA = 0.527;
// How much more of the second triode's output crunch passes on than clean,
// below both mode shelves.
constexpr double kCrunchOverCleanA = kCrunchDividerA * kCrunchShelfA.gain / kCleanDividerA;
// Clean divides the second drive gain out again after the third triode, with
// this much of level on top: make-up = 3 / (driveAShaped + kMakeUpGuard).
constexpr double kCleanMakeUpA = 3.0;
// Channel A's level against channel B's, after its tone stack.
constexpr double kOutputGainA = 1.58;

// ---- Parameter mapping ----

// The input gain never quite closes: at Input 0 a trace of the signal passes.
constexpr double kInputGainFloor = 0.0001;
// Clean channel A takes half the input and drive gains of the other modes:
// the input gain is the position (clean A) or this times it, plus the floor.
constexpr double kInputGainScale = 2.0;
constexpr double kCleanDriveScale = 0.5;
// Keeps clean channel A's make-up factor finite with the second drive gain at 0.
constexpr double kMakeUpGuard = 0.00001;

// ---- Set-up ----

// Host rates below this run oversampled four times, others twice (doubled
// in high quality): every rate then runs the chain near or above 176 kHz.
constexpr float kFourTimesBelowRate = 50000.f;

// ---- Block processing ----

// Per-frame glide of the smoothed gains: new = 0.001 target + 0.999 old.
constexpr double kGlideTarget = 0.001;
constexpr double kGlideKeep = 0.999;

// A switch that alters the circuit glides between its two designs over
// this time: long enough for the stages after it to follow the new level
// without a bias thump (a sustained note overshoots its settled level by at
// most a tenth), short enough that the switch still answers at once.
constexpr double kSwitchGlideSeconds = 0.05;
// Clean/Crunch also changes channel A's gains, which glide to their new
// values with a time constant of a thousand frames. Towards clean the
// circuit's glide outlasts theirs, so that the clean design is made up for
// the gains it is given until they are its own. Towards crunch the third
// triode saturates and takes the new level at once; a slower glide would
// only hold the unsaturated mix, louder than either design, for longer.
constexpr double kToCleanGlideSeconds = 0.15;
constexpr double kToCrunchGlideSeconds = 0.01;
// The Channel switch cross-fades the two channels' outputs over this time.
// Both channels play the whole input meanwhile, so neither's stages have a
// new level to follow; the fade only has to be smooth enough not to click.
// Their outputs are partly opposite in polarity, so the longer the fade, the
// longer the level sags in its middle: on a held note every 5 ms of an 8 ms
// fade stay within 1.3 dB of the quieter channel; over 50 ms they sag by up
// to 2.8 dB.
constexpr double kChannelFadeSeconds = 0.008;
// A tone knob's jump slews at this many seconds for the knob's whole travel.
constexpr double kToneGlideSeconds = 0.05;

// A sine of 1e-8 added to the input keeps the recursive filters' states out
// of the denormal range in silence. Its argument is the frames left in the
// block times this times the oversampled period.
constexpr double kAntiDenormalAmplitude = 1e-8;
constexpr double kAntiDenormalPhase = 10000.0 * kTwoPi;

}  // namespace ka813
