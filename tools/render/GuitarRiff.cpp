#include "tools/render/GuitarRiff.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ka813::render {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTempo = 120.0;                  // beats per minute
constexpr double kEighthSeconds = 30.0 / kTempo;  // one eighth note
constexpr double kStrumStepSeconds = 0.011;       // downstroke, low string first
constexpr int kStrings = 6;
// Open strings in standard tuning, as MIDI note numbers (E2 A2 D3 G3 B3 E4).
constexpr int kOpenNotes[kStrings] = {40, 45, 50, 55, 59, 64};

double noteFrequency(int midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// One pluck in the score; time and length in eighth notes.
struct Pluck {
    double start;
    double length;
    int string;  // 0 = low E
    int fret;
    double velocity;
    bool palmMuted;
};

// Xorshift noise: the same seed gives the same pick attack on any machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed ? seed : 1u) {}
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }

private:
    uint32_t state;
};

// A plucked string: a delay line closed by a two-point average (the string's
// frequency-dependent loss), a first-order allpass for the fractional part
// of the period, and a loop gain that sets the decay time. The pick injects
// one period of filtered noise, combed at the pick position.
class String {
public:
    explicit String(double sampleRate) : rate(sampleRate)
    {
        // Room for the lowest note at any rate, plus the fractional part.
        line.assign(static_cast<size_t>(rate / 60.0) + 8, 0.0);
    }

    void pluck(double frequency, double velocity, bool palmMuted, uint32_t seed)
    {
        const double period = rate / frequency;
        // Total loop delay = whole samples + allpass fraction + half a sample
        // of the averaging filter; keep the fraction in 0.1..1.1, where the
        // allpass delay is flat enough.
        delay = static_cast<int>(std::floor(period - 0.5 - 0.1));
        const double fraction = period - 0.5 - delay;
        allpassCoefficient = (1.0 - fraction) / (1.0 + fraction);
        setDecay(palmMuted ? 0.22 : 3.5, frequency);
        this->frequency = frequency;

        // The pick damps what still rings before it sets the string going.
        for (double& sample : line)
            sample *= 0.3;

        excitation.assign(static_cast<size_t>(delay), 0.0);
        Noise noise(seed);
        // A soft pick and the palm take the top off the attack.
        const double smoothing = palmMuted ? 0.25 : 0.3 + 0.4 * velocity;
        double smoothed = 0.0;
        for (double& sample : excitation) {
            smoothed += smoothing * (noise.next() - smoothed);
            sample = smoothed;
        }
        // Picking at 15 % of the string's length cancels every harmonic with
        // a node there.
        const size_t pickOffset = std::max<size_t>(1, static_cast<size_t>(0.15 * delay));
        for (size_t i = excitation.size(); i-- > pickOffset;)
            excitation[i] -= excitation[i - pickOffset];
        // The palm-muted attack is dug in harder.
        const double level = palmMuted ? 1.4 * velocity : velocity;
        for (double& sample : excitation)
            sample *= level;
        excitationPosition = 0;
    }

    // The finger lifts or the palm comes down: the note dies quickly.
    void release() { setDecay(0.09, frequency); }

    // One sample of the string as the bridge pickup senses it.
    double next()
    {
        const size_t size = line.size();
        const double delayed = line[(writePosition + size - static_cast<size_t>(delay)) % size];
        const double tuned = allpassCoefficient * (delayed - allpassOut) + allpassIn;
        allpassIn = delayed;
        allpassOut = tuned;
        double value = loopGain * 0.5 * (tuned + previousTuned);
        previousTuned = tuned;
        if (excitationPosition < excitation.size())
            value += excitation[excitationPosition++];
        line[writePosition] = value;
        writePosition = (writePosition + 1) % size;

        // The pickup sits at 20 % of the length: the difference of two
        // points on the travelling wave.
        const size_t pickupOffset = static_cast<size_t>(0.2 * delay) + 1;
        return value - line[(writePosition + size - 1 - pickupOffset) % size];
    }

private:
    void setDecay(double t60Seconds, double noteFrequency)
    {
        if (noteFrequency <= 0.0)
            return;
        // The loop runs once per period: reach -60 dB after t60 seconds.
        loopGain = std::pow(0.001, 1.0 / (noteFrequency * t60Seconds));
    }

    double rate;
    std::vector<double> line;
    size_t writePosition = 0;
    int delay = 1;
    double frequency = 0.0;
    double allpassCoefficient = 0.0, allpassIn = 0.0, allpassOut = 0.0;
    double previousTuned = 0.0;
    double loopGain = 0.0;
    std::vector<double> excitation;
    size_t excitationPosition = 0;
};

// Second-order section in direct form I.
struct Section {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double run(double x)
    {
        double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// Resonant low-pass of a pickup's inductance against the cable's
// capacitance (bilinear transform of the analogue second-order low-pass).
Section pickupResonance(double sampleRate, double frequency, double q)
{
    const double w = 2.0 * kPi * frequency / sampleRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double cosw = std::cos(w);
    const double a0 = 1.0 + alpha;
    Section s;
    s.b0 = (1.0 - cosw) / 2.0 / a0;
    s.b1 = (1.0 - cosw) / a0;
    s.b2 = s.b0;
    s.a1 = -2.0 * cosw / a0;
    s.a2 = (1.0 - alpha) / a0;
    return s;
}

// A power chord: root, fifth and octave on three neighbouring low strings.
void powerChord(std::vector<Pluck>& score, double start, double length, int rootString, int fret,
                double velocity, bool palmMuted)
{
    score.push_back({start, length, rootString, fret, velocity, palmMuted});
    score.push_back({start, length, rootString + 1, fret + 2, velocity * 0.9, palmMuted});
    score.push_back({start, length, rootString + 2, fret + 2, velocity * 0.8, palmMuted});
}

std::vector<Pluck> riffScore()
{
    std::vector<Pluck> score;
    // A chug: root and fifth of E5, palm-muted.
    auto chug = [&score](double start) {
        score.push_back({start, 1.0, 0, 0, 1.0, true});
        score.push_back({start, 1.0, 1, 2, 0.9, true});
    };
    // Bar 1: chugs on E5, then G5 and A5.
    for (int i = 0; i < 4; ++i)
        chug(i);
    powerChord(score, 4, 2, 0, 3, 1.0, false);
    powerChord(score, 6, 2, 0, 5, 1.0, false);
    // Bar 2: chugs, C5 and B5 on the A string, A5.
    for (int i = 8; i < 12; ++i)
        chug(i);
    powerChord(score, 12, 1, 1, 3, 0.95, false);
    powerChord(score, 13, 1, 1, 2, 0.95, false);
    powerChord(score, 14, 2, 0, 5, 1.0, false);
    // Bar 3: a pentatonic lick in single notes, ending on a held G4.
    const int lick[][2] = {{2, 2}, {2, 5}, {3, 2}, {3, 4}, {4, 3}, {4, 5}};
    for (int i = 0; i < 6; ++i)
        score.push_back({16.0 + i, 0.95, lick[i][0], lick[i][1], 0.8, false});
    score.push_back({22, 2, 5, 3, 0.85, false});
    // Bar 4: E5 held, D5, two chugs, G5, A5.
    powerChord(score, 24, 3, 0, 0, 1.0, false);
    powerChord(score, 27, 1, 1, 5, 0.95, false);
    chug(28);
    chug(29);
    powerChord(score, 30, 1, 0, 3, 1.0, false);
    powerChord(score, 31, 1, 0, 5, 1.0, false);
    // Bar 5: a final E5 rings and is damped before the end.
    powerChord(score, 32, 6.5, 0, 0, 1.0, false);
    return score;
}

}  // namespace

std::vector<float> guitarRiff(double sampleRate)
{
    const size_t frames = static_cast<size_t>(std::lround(kRiffSeconds * sampleRate));
    std::vector<double> mix(frames, 0.0);

    // Events in time order, each on its own string; a strum staggers a
    // chord's strings.
    struct Event {
        size_t frame;
        bool isPluck;
        Pluck pluck;
        uint32_t seed;
    };
    std::vector<Event> events;
    const std::vector<Pluck> score = riffScore();
    for (size_t i = 0; i < score.size(); ++i) {
        const Pluck& p = score[i];
        int stringInChord = 0;
        for (size_t j = i; j-- > 0 && score[j].start == p.start;)
            ++stringInChord;
        const double onset = p.start * kEighthSeconds + stringInChord * kStrumStepSeconds;
        const double offset = (p.start + p.length) * kEighthSeconds;
        events.push_back({static_cast<size_t>(std::lround(onset * sampleRate)), true, p,
                          static_cast<uint32_t>(0x9E3779B9u * (i + 1))});
        events.push_back({static_cast<size_t>(std::lround(offset * sampleRate)), false, p, 0});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.frame < b.frame; });

    std::vector<String> strings(kStrings, String(sampleRate));
    // Which pluck each string plays now, so that a late release of an
    // earlier note does not cut a newer one.
    std::vector<double> sounding(kStrings, -1.0);
    size_t nextEvent = 0;
    for (size_t n = 0; n < frames; ++n) {
        for (; nextEvent < events.size() && events[nextEvent].frame <= n; ++nextEvent) {
            const Event& e = events[nextEvent];
            String& string = strings[static_cast<size_t>(e.pluck.string)];
            if (e.isPluck) {
                string.pluck(noteFrequency(kOpenNotes[e.pluck.string] + e.pluck.fret), e.pluck.velocity,
                             e.pluck.palmMuted, e.seed);
                sounding[static_cast<size_t>(e.pluck.string)] = e.pluck.start;
            } else if (sounding[static_cast<size_t>(e.pluck.string)] == e.pluck.start) {
                string.release();
            }
        }
        double sum = 0.0;
        for (String& string : strings)
            sum += string.next();
        mix[n] = sum;
    }

    // The pickup's resonance, then a high-pass far below the low E that
    // keeps the pickup's DC-free output centred.
    Section resonance = pickupResonance(sampleRate, 3200.0, 1.6);
    const double highPass = std::exp(-2.0 * kPi * 20.0 / sampleRate);
    double previousIn = 0.0, previousOut = 0.0, peak = 0.0;
    for (double& sample : mix) {
        const double resonant = resonance.run(sample);
        const double centred = highPass * (previousOut + resonant - previousIn);
        previousIn = resonant;
        previousOut = centred;
        sample = centred;
        peak = std::max(peak, std::fabs(centred));
    }

    const double scale = peak > 0.0 ? std::pow(10.0, kRiffPeakDecibels / 20.0) / peak : 0.0;
    std::vector<float> riff(frames);
    for (size_t n = 0; n < frames; ++n)
        riff[n] = static_cast<float>(mix[n] * scale);
    return riff;
}

}  // namespace ka813::render
