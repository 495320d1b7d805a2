// Block processing: per host frame the gain glides, the anti-denormal signal, the oversampled core and the volume.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/AmpChain.h"
#include "dsp/CircuitValues.h"
#include "dsp/HalfBandLanes.h"
#include "dsp/ParameterCurves.h"

namespace {

inline double antiDenormalAt(int32_t framesLeft, double period)
{
    return kAntiDenormalAmplitude * std::sin(framesLeft * kAntiDenormalPhase * period);
}

using ampchain::kChunkFrames;

// Per-frame values of a chunk, worked out before the chain runs.
struct ChunkValues {
    double inputGain[kChunkFrames];
    double driveA[kChunkFrames];
    double driveB[kChunkFrames];
    // Switch positions, filled only while they move.
    double glideA[ampchain::kGlideCount][kChunkFrames];
    double glideB[ampchain::kGlideCount][kChunkFrames];
    double channel[kChunkFrames];
    double gainsOverCleanA[kChunkFrames];
    // What the chunk runs, and each channel's contour gain for it.
    ampchain::Circuit circuit;
    bool channelMoves;
    double contourA, contourB;

    ampchain::FrameValues forChain(int32_t shift) const
    {
        ampchain::FrameValues v{driveA,   driveB, shift, contourA, contourB, {}, {}, channelMoves ? channel : nullptr,
                                gainsOverCleanA};
        for (int32_t k = 0; k < ampchain::kGlideCount; ++k) {
            v.glideA[k] = glideA[k];
            v.glideB[k] = glideB[k];
        }
        return v;
    }
};

// One step of a position gliding in a straight line to its target over
// the travel 0 to 1; a position or a target beyond it (hosts may send any
// value, NaN included) goes to the target at once.
inline double towards(double position, double target, double step)
{
    const bool onTravel = position >= 0.0 && position <= 1.0 && target >= 0.0 && target <= 1.0;
    if (!onTravel || !(std::fabs(position - target) > step))
        return target;
    return position < target ? position + step : position - step;
}

// A value per side to and from the lanes of the resamplers, [left, right]
// in the low two; in mono the one side fills every lane.
inline Float4 sidesOf(float x) { return ka813::simd::splat4(x); }
inline Float4 sidesOf(FloatPair x) { return ka813::simd::float4(x.left, x.right, x.left, x.right); }
inline Float4 narrowSides(double x) { return ka813::simd::splat4(static_cast<float>(x)); }
inline Float4 narrowSides(DoublePair x) { return ka813::simd::narrow(x.v); }
inline void widenSides(Float4 sides, double& x) { x = ka813::simd::lane0(sides); }
inline void widenSides(Float4 sides, DoublePair& x) { x = DoublePair(ka813::simd::widenLow(sides)); }
inline void storeSides(Float4 sides, float& y) { y = ka813::simd::lane0(sides); }
inline void storeSides(Float4 sides, FloatPair& y)
{
    y.left = ka813::simd::lane0(sides);
    y.right = ka813::simd::lane1(sides);
}

// The oversampled core of a chunk of frames, for the left side alone (Lane
// double, l and r the same record) or for both sides in lanes. Every
// resampler and every element of the chain sees its samples in time order;
// each resampler runs over the whole chunk before the next takes over.
template <class Lane>
class Core {
public:
    using Float = typename LaneTraits<Lane>::Float;

    Core(const AmpModel& model, double rate, AmpSide& l, AmpSide& r)
        : model(model), rate(rate), l(l), r(r)
    {
    }

    void chunk(const Float* x, Float* y, int32_t frames, const ChunkValues& values, int32_t factor)
    {
        const int32_t shift = factor < 4 ? 1 : (factor == 4 ? 2 : 3);
        Lane c[8 * kChunkFrames];
        up(x, frames, values.inputGain, factor, c);
        const ampchain::FrameValues frameValues = values.forChain(shift);
        ampchain::processChannelChunk(model, values.circuit, rate, l, r, c, static_cast<size_t>(frames << shift),
                                      frameValues);
        down(c, frames, factor, y);
    }

private:
    // A chunk up to the oversampled rate: 2, 4 or 8 samples a frame into c.
    void up(const Float* x, int32_t frames, const double* inputGain, int32_t factor, Lane* c)
    {
        Float4 u[kChunkFrames];
        {
            HalfBandQuad<12> stage(l.stage1Up, r.stage1Up);
            for (int32_t k = 0; k < frames; ++k)
                u[k] = stage.step(intoBothChains(sidesOf(x[k])));
            stage.store(l.stage1Up, r.stage1Up);
        }
        if (factor < 4) {
            for (int32_t k = 0; k < frames; ++k) {
                widenSides(earlierOutputs(u[k]), c[2 * k]);
                widenSides(laterOutputs(u[k]), c[2 * k + 1]);
                c[2 * k] = c[2 * k] * inputGain[k];
                c[2 * k + 1] = c[2 * k + 1] * inputGain[k];
            }
            return;
        }
        Float4 e[2 * kChunkFrames];
        {
            HalfBandQuad<8> stage(l.stage2Up, r.stage2Up);
            for (int32_t k = 0; k < frames; ++k) {
                Lane d[2];
                widenSides(earlierOutputs(u[k]), d[0]);
                widenSides(laterOutputs(u[k]), d[1]);
                for (int i = 0; i < 2; ++i)
                    e[2 * k + i] = stage.step(intoBothChains(narrowSides(d[i] * inputGain[k])));
            }
            stage.store(l.stage2Up, r.stage2Up);
        }
        if (factor == 4) {
            for (int32_t j = 0; j < 2 * frames; ++j) {
                widenSides(earlierOutputs(e[j]), c[2 * j]);
                widenSides(laterOutputs(e[j]), c[2 * j + 1]);
            }
            return;
        }
        HalfBandQuad<4> stage(l.stage3Up, r.stage3Up);
        for (int32_t j = 0; j < 2 * frames; ++j) {
            const Float4 t0 = stage.step(intoBothChains(earlierOutputs(e[j])));
            const Float4 t1 = stage.step(intoBothChains(laterOutputs(e[j])));
            widenSides(earlierOutputs(t0), c[4 * j]);
            widenSides(laterOutputs(t0), c[4 * j + 1]);
            widenSides(earlierOutputs(t1), c[4 * j + 2]);
            widenSides(laterOutputs(t1), c[4 * j + 3]);
        }
        stage.store(l.stage3Up, r.stage3Up);
    }

    // The chain's outputs of a chunk back down to the host rate.
    void down(const Lane* c, int32_t frames, int32_t factor, Float* y)
    {
        // Pairs of the innermost rate, narrowed to floats.
        const int32_t pairs = frames << (factor < 4 ? 0 : (factor == 4 ? 1 : 2));
        Float4 w[4 * kChunkFrames];
        for (int32_t j = 0; j < pairs; ++j)
            w[j] = downInputs(narrowSides(c[2 * j]), narrowSides(c[2 * j + 1]));
        if (factor > 4) {
            HalfBandQuad<4> stage(l.stage3Down, r.stage3Down);
            for (int32_t j = 0; j < pairs / 2; ++j) {
                const Float4 earlier = downOutput(stage.step(w[2 * j]));
                const Float4 later = downOutput(stage.step(w[2 * j + 1]));
                w[j] = downInputs(earlier, later);
            }
            stage.store(l.stage3Down, r.stage3Down);
        }
        if (factor >= 4) {
            HalfBandQuad<8> stage(l.stage2Down, r.stage2Down);
            for (int32_t k = 0; k < frames; ++k) {
                const Float4 earlier = downOutput(stage.step(w[2 * k]));
                const Float4 later = downOutput(stage.step(w[2 * k + 1]));
                w[k] = downInputs(earlier, later);
            }
            stage.store(l.stage2Down, r.stage2Down);
        }
        HalfBandQuad<12> stage(l.stage1Down, r.stage1Down);
        for (int32_t k = 0; k < frames; ++k)
            storeSides(downOutput(stage.step(w[k])), y[k]);
        stage.store(l.stage1Down, r.stage1Down);
    }

    const AmpModel& model;
    const double rate;
    AmpSide& l;
    AmpSide& r;
};

template <class Float>
Float crossfade(Float from, Float to, float weightOfFrom)
{
    return to * (1.f - weightOfFrom) + from * weightOfFrom;
}

FloatPair crossfade(FloatPair from, FloatPair to, float weightOfFrom)
{
    return {crossfade(from.left, to.left, weightOfFrom),
            crossfade(from.right, to.right, weightOfFrom)};
}

// Guitar input is at most a little over full scale, and a hot signal from
// an earlier plug-in a few times that: 64 (+36 dBFS) passes anything real.
// A sample beyond it, or a NaN or an infinity, is an error upstream (a host
// bug, an overflow, garbage in a buffer), not sound. It is replaced by the
// last good sample of its side: clipping it instead would hand the circuit
// a real full-scale click, which the grids answer by shifting their bias
// for a tenth of a second, and 1e20 would charge the cathodes for seconds.
constexpr float kInputLimit = 64.f;

inline float sanitisedInput(float x, float& lastGood)
{
    if (std::fabs(x) <= kInputLimit)  // false for a NaN
        lastGood = x;
    return lastGood;
}

// The loudest any setting gives is about 45 (full-scale noise, every knob at
// its end), about 128 with knobs jumping every block; +60 dBFS is far past
// both. Beyond it the circuit has been driven by absurd parameter values.
constexpr float kImplausibleLevel = 1000.f;

// True when any sample is NaN, infinite or beyond the plausible level. On
// the bit patterns, so that a NaN compares too: without the sign, a larger
// pattern is a larger magnitude, and NaNs and infinities are the largest.
bool anyImplausible(const float* samples, int32_t frames)
{
    uint32_t limit;
    std::memcpy(&limit, &kImplausibleLevel, sizeof limit);
    uint32_t found = 0;
    for (int32_t k = 0; k < frames; ++k) {
        uint32_t bits;
        std::memcpy(&bits, samples + k, sizeof bits);
        found |= (bits & 0x7fffffffu) > limit;
    }
    return found != 0;
}

}  // namespace

void AmpModel::processBlock(const float* const* inputs, float* const* outputs, int32_t frames)
{
    if (frames <= 0)
        return;
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    playedSinceSettle = true;

    // Settings only change between blocks; the gains glide per frame and go
    // into the chunk's arrays before the chain runs.
    // n counts the frames left after a frame: the anti-denormal phase
    // starts anew with each block and runs backwards through it.
    if (antiDenormalPeriod != oversampledPeriod) {
        antiDenormalPeriod = oversampledPeriod;
        antiDenormalCount = 0;
    }
    for (const int32_t kept = frames < kAntiDenormalKept ? frames : kAntiDenormalKept;
         antiDenormalCount < kept; ++antiDenormalCount)
        antiDenormal[antiDenormalCount] = antiDenormalAt(antiDenormalCount, oversampledPeriod);

    const int32_t factor = oversamplingFactor;
    // Switches glide over a fixed time at any rate.
    const double glideStep = 1.0 / (kSwitchGlideSeconds * sampleRate);
    const double crunchGlideStep = 1.0 / (kToCrunchGlideSeconds * sampleRate);
    const double cleanGlideStep = 1.0 / (kToCleanGlideSeconds * sampleRate);
    ChunkValues values;
    for (int32_t start = 0; start < frames;) {
        int32_t count = frames - start < kChunkFrames ? frames - start : kChunkFrames;
        // A chunk lies wholly inside or wholly after the rebuild cross-fade.
        if (fadeFramesLeft > 0 && fadeFramesLeft < count)
            count = fadeFramesLeft;

        // What the switches make of this chunk. The channel that does not
        // run, and does not glide in, takes its switches at once.
        double targetA[ampchain::kGlideCount], targetB[ampchain::kGlideCount];
        glideTargets(targetA, targetB);
        const bool channelMoves = channelPosition != channelB;
        if (!channelMoves)
            std::copy(channelB == 1 ? targetA : targetB, (channelB == 1 ? targetA : targetB) + ampchain::kGlideCount,
                      channelB == 1 ? glideA : glideB);
        const bool glidesA = !std::equal(glideA, glideA + ampchain::kGlideCount, targetA);
        const bool glidesB = !std::equal(glideB, glideB + ampchain::kGlideCount, targetB);
        const bool bothSides = stereo == 1;
        values.channelMoves = channelMoves;
        values.circuit.channelB = channelB == 1;
        const bool glides = channelB == 1 ? glidesB : glidesA;
        values.circuit.form = glides ? ampchain::Form::kGliding
                                     : ((channelB == 1 ? highGainB : crunchA) == 1 ? ampchain::Form::kSecond
                                                                                   : ampchain::Form::kFirst);
        slewToneKnobs(count);
        // Clean channel A's gains: half the input (above its floor) of the
        // other modes, half the drive of crunch.
        const bool cleanInput = channelB == 0 && crunchA == 0;
        const double cleanGains =
            (cleanInput ? inputGainTarget : (inputGainTarget - kInputGainFloor) / kInputGainScale + kInputGainFloor)
            * (crunchA == 0 ? driveATarget : driveATarget * kCleanDriveScale);
        values.contourA = toneA[3] == contourA ? contourAShaped : contourCurve(toneA[3]);
        values.contourB = toneB[3] == contourB ? contourBShaped : contourCurve(toneB[3]);

        float xLeft[kChunkFrames], xRight[kChunkFrames];
        for (int32_t i = 0; i < count; ++i) {
            const int32_t k = start + i;
            const int32_t n = frames - 1 - k;
            inputGain = kGlideTarget * inputGainTarget + kGlideKeep * inputGain;
            driveA = kGlideTarget * driveATarget + kGlideKeep * driveA;
            driveB = kGlideTarget * driveBTarget + kGlideKeep * driveB;
            values.inputGain[i] = inputGain;
            values.driveA[i] = driveA;
            values.driveB[i] = driveB;
            const double signal = n < antiDenormalCount ? antiDenormal[n] : antiDenormalAt(n, oversampledPeriod);
            // Every input of the chunk is read before any output is written.
            xLeft[i] = static_cast<float>(sanitisedInput(inLeft[k], lastGoodInput[0]) + signal);
            if (bothSides)
                xRight[i] = static_cast<float>(sanitisedInput(inRight[k], lastGoodInput[1]) + signal);
        }

        // The switches' positions frame by frame, while any moves.
        if (glidesA || channelMoves) {
            double steps[ampchain::kGlideCount] = {glideStep, glideStep, glideStep,
                                                   crunchA == 1 ? crunchGlideStep : cleanGlideStep};
            for (int32_t g = 0; g < ampchain::kGlideCount; ++g)
                for (int32_t i = 0; i < count; ++i)
                    values.glideA[g][i] = glideA[g] = towards(glideA[g], targetA[g], steps[g]);
            for (int32_t i = 0; i < count; ++i)
                values.gainsOverCleanA[i] = values.inputGain[i] * values.driveA[i] / cleanGains;
        }
        if (glidesB || channelMoves)
            for (int32_t g = 0; g < ampchain::kGlideCount; ++g)
                for (int32_t i = 0; i < count; ++i)
                    values.glideB[g][i] = glideB[g] = towards(glideB[g], targetB[g], glideStep);
        if (channelMoves)
            for (int32_t i = 0; i < count; ++i)
                values.channel[i] = channelPosition = towards(channelPosition, channelB, glideStep);

        if (bothSides) {
            FloatPair x[kChunkFrames], y[kChunkFrames], old[kChunkFrames];
            for (int32_t i = 0; i < count; ++i)
                x[i] = {xLeft[i], xRight[i]};
            Core<DoublePair>(*this, oversampledRate, left, right).chunk(x, y, count, values, factor);
            const bool fading = fadeFramesLeft > 0;
            if (fading)
                Core<DoublePair>(*this, fadeRate, fadeLeft, fadeRight).chunk(x, old, count, values, fadeFactor);
            const float level = volume;
            for (int32_t i = 0; i < count; ++i) {
                FloatPair out = y[i];
                if (fading)
                    out = crossfade(old[i], out, fadeFramesLeft-- / (kRebuildFadeFrames + 1.f));
                outLeft[start + i] = level * out.left;
                outRight[start + i] = level * out.right;
            }
        } else {
            float y[kChunkFrames], old[kChunkFrames];
            Core<double>(*this, oversampledRate, left, left).chunk(xLeft, y, count, values, factor);
            const bool fading = fadeFramesLeft > 0;
            if (fading)
                Core<double>(*this, fadeRate, fadeLeft, fadeLeft).chunk(xLeft, old, count, values, fadeFactor);
            for (int32_t i = 0; i < count; ++i) {
                float out = y[i];
                if (fading)
                    out = crossfade(old[i], out, fadeFramesLeft-- / (kRebuildFadeFrames + 1.f));
                out = volume * out;
                outLeft[start + i] = out;
                outRight[start + i] = out;
            }
        }
        start += count;
    }

    recoverFromRunaway(outputs, frames);
}

void AmpModel::slewToneKnobs(int32_t frames)
{
    const double a[4] = {lowA, midA, highA, contourA};
    const double b[4] = {lowB, midB, highB, contourB};
    // The channel that does not run takes its knobs at once.
    const bool channelMoves = channelPosition != channelB;
    const double step = frames / (kToneGlideSeconds * sampleRate);
    for (int k = 0; k < 4; ++k) {
        toneA[k] = channelB == 1 && !channelMoves ? a[k] : towards(toneA[k], a[k], step);
        toneB[k] = channelB == 0 && !channelMoves ? b[k] : towards(toneB[k], b[k], step);
    }
}

// A circuit driven by absurd parameter values (a NaN, an infinity, 1e30
// from the host or a loaded program) would stay non-finite for good, or
// take seconds to come back. Once per block: if anything non-finite or
// implausibly loud reached the output, that block goes out silent and the
// model starts again from its quiet operating point.
void AmpModel::recoverFromRunaway(float* const* outputs, int32_t frames)
{
    if (!anyImplausible(outputs[0], frames) && !anyImplausible(outputs[1], frames))
        return;
    std::memset(outputs[0], 0, sizeof(float) * static_cast<size_t>(frames));
    std::memset(outputs[1], 0, sizeof(float) * static_cast<size_t>(frames));
    settle();
}
