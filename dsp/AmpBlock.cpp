// Block processing: a host block in chunks of frames, each a short sequence
// of steps: the gains' glide, the switches' and tone knobs' glides, the
// circuit they make, the inputs, the oversampled chain and the output.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "dsp/AmpChain.h"
#include "dsp/ChannelCrossfade.h"
#include "dsp/CircuitValues.h"
#include "dsp/HalfBandLanes.h"
#include "dsp/ParameterCurves.h"

namespace ka813 {

// Per-frame values of a chunk, worked out before the chain runs.
struct ChunkValues {
    int32_t frames;
    double inputGain[kChunkFrames];
    double driveA[kChunkFrames];
    double driveB[kChunkFrames];
    // Switch positions, filled only while they move.
    double glideA[kGlideCount][kChunkFrames];
    double glideB[kGlideCount][kChunkFrames];
    double channel[kChunkFrames];
    // While the channel switch moves, per channel (A, B) its output's gain
    // and the form it runs in.
    double channelGain[2][kChunkFrames];
    Form channelForm[2];
    // Per host frame, the input gain the channel the switch moves from
    // played at, over the one that plays now.
    double leavingInputScale[kChunkFrames];
    double gainsOverCleanA[kChunkFrames];
    // Whether a channel's switches, or the channel switch, move in the chunk.
    bool glidesA, glidesB, channelMoves;
    // The channel switch starts to move: the channel it leaves takes a copy
    // of the stages after the chain. It turns back: the channels trade them.
    bool leavingStarts, leavingTurns;
    // What the chunk runs, and each channel's contour gain for it.
    Circuit circuit;
    double contourA, contourB;

    FrameValues forChain(int32_t shift) const
    {
        FrameValues v{driveA, driveB, shift, contourA, contourB, {}, {}, gainsOverCleanA};
        for (int32_t k = 0; k < kGlideCount; ++k) {
            v.glideA[k] = glideA[k];
            v.glideB[k] = glideB[k];
        }
        return v;
    }
};

namespace {

inline double antiDenormalAt(int32_t framesLeft, double period)
{
    return kAntiDenormalAmplitude * std::sin(framesLeft * kAntiDenormalPhase * period);
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

// A chunk of frames through the oversampled chain: up to the oversampled
// rate, through the channel circuit, back down; for the left side alone (Lane
// double, l and r the same record) or for both sides in lanes. Every
// resampler and every element of the chain sees its samples in time order;
// each resampler runs over the whole chunk before the next takes over.
template <class Lane>
class OversampledChunk {
public:
    using Float = typename LaneTraits<Lane>::Float;

    OversampledChunk(const AmpModel& model, double rate, AmpSide& l, AmpSide& r)
        : model(model), rate(rate), l(l), r(r)
    {
    }

    void run(const Float* x, Float* y, int32_t frames, const ChunkValues& values, int32_t factor)
    {
        const int32_t shift = factor < 4 ? 1 : (factor == 4 ? 2 : 3);
        const size_t count = static_cast<size_t>(frames << shift);
        Lane c[8 * kChunkFrames];
        up(x, frames, values.inputGain, factor, c);
        const FrameValues frameValues = values.forChain(shift);
        if (values.leavingStarts) {
            l.startLeaving();
            r.startLeaving();
        } else if (values.leavingTurns) {
            swapLeaving();
        }
        if (!values.channelMoves) {
            processChannelChunk(model, values.circuit, rate, l, r, c, count, frameValues);
            down(c, frames, factor, y);
            return;
        }
        // Both channels run on the whole input, each in its own form: the
        // one the switch moves to with the shared stages after the chain,
        // the one it moves from with those it left. Their outputs mix at the
        // host rate, each at its own Volume.
        const bool toB = model.channelB == 1;
        Lane from[8 * kChunkFrames];
        for (size_t i = 0; i < count; ++i)
            from[i] = c[i] * values.leavingInputScale[i >> shift];
        processChannelChunk(model, Circuit{toB, values.channelForm[toB]}, rate, l, r, c, count,
                                      frameValues);
        down(c, frames, factor, y);
        Float left[kChunkFrames];
        swapLeaving();
        processChannelChunk(model, Circuit{!toB, values.channelForm[!toB]}, rate, l, r, from,
                                      count, frameValues);
        down(from, frames, factor, left);
        swapLeaving();
        for (int32_t k = 0; k < frames; ++k)
            y[k] = mix(y[k], values.channelGain[toB][k], left[k], values.channelGain[!toB][k]);
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

    void swapLeaving()
    {
        l.swapLeaving();
        if (&r != &l)
            r.swapLeaving();
    }

    // In double, as the chain works, narrowed once.
    static float mix(float a, double gainA, float b, double gainB)
    {
        return static_cast<float>(a * gainA + b * gainB);
    }
    static FloatPair mix(FloatPair a, double gainA, FloatPair b, double gainB)
    {
        return {mix(a.left, gainA, b.left, gainB), mix(a.right, gainA, b.right, gainB)};
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

// One frame of the inputs, sanitised and with the anti-denormal signal: the
// left side alone, or both.
inline void readFrame(float& x, const float* const* inputs, int32_t k, double signal, float (&lastGood)[2])
{
    x = static_cast<float>(sanitisedInput(inputs[0][k], lastGood[0]) + signal);
}

inline void readFrame(FloatPair& x, const float* const* inputs, int32_t k, double signal, float (&lastGood)[2])
{
    x.left = static_cast<float>(sanitisedInput(inputs[0][k], lastGood[0]) + signal);
    x.right = static_cast<float>(sanitisedInput(inputs[1][k], lastGood[1]) + signal);
}

// One frame of the outputs at the volume: in mono the left side's result
// goes to both.
inline void writeFrame(float y, float level, float* const* outputs, int32_t k)
{
    const float out = level * y;
    outputs[0][k] = out;
    outputs[1][k] = out;
}

inline void writeFrame(FloatPair y, float level, float* const* outputs, int32_t k)
{
    outputs[0][k] = level * y.left;
    outputs[1][k] = level * y.right;
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
    playedSinceSettle = true;
    channelVolume[channelB == 1 ? 1 : 0] = volume;
    cacheAntiDenormal(frames);
    // Settings only change between blocks; what moves within one is worked
    // out frame by frame for a chunk before the chain runs over it.
    ChunkValues chunk;
    for (int32_t start = 0; start < frames; start += chunk.frames) {
        chunk.frames = chunkLength(frames - start);
        takeChannelInputGain();
        smoothGains(chunk);
        glideSwitches(chunk);
        chunk.circuit = circuitFor(chunk);
        slewToneKnobs(chunk);
        if (stereo == 1)
            playChunk<DoublePair>(inputs, outputs, start, frames, chunk);
        else
            playChunk<double>(inputs, outputs, start, frames, chunk);
    }
    recoverFromRunaway(outputs, frames);
}

// The anti-denormal signal by the frames left after a frame: its phase
// starts anew with each block and runs backwards through it, so every block
// at one rate has the same values and each is computed once.
void AmpModel::cacheAntiDenormal(int32_t frames)
{
    if (antiDenormalPeriod != oversampledPeriod) {
        antiDenormalPeriod = oversampledPeriod;
        antiDenormalCount = 0;
    }
    for (const int32_t kept = frames < kAntiDenormalKept ? frames : kAntiDenormalKept;
         antiDenormalCount < kept; ++antiDenormalCount)
        antiDenormal[antiDenormalCount] = antiDenormalAt(antiDenormalCount, oversampledPeriod);
}

// A chunk lies wholly inside or wholly after the rebuild cross-fade.
int32_t AmpModel::chunkLength(int32_t framesLeft) const
{
    const int32_t count = framesLeft < kChunkFrames ? framesLeft : kChunkFrames;
    return fadeFramesLeft > 0 && fadeFramesLeft < count ? fadeFramesLeft : count;
}

// The Channel switch recalls the Input of the mode it selects, and clean
// channel A takes half the input gain of the other modes: were the gain to
// glide there as a knob does, the channel coming in would first be driven
// at the other mode's gain and thump. It takes its own gain at once; while
// the switch moves, the channel it leaves plays on at the gain it had.
void AmpModel::takeChannelInputGain()
{
    if (channelServed == channelB)
        return;
    leavingInputGain = inputGain;
    inputGain = inputGainTarget;
}

void AmpModel::smoothGains(ChunkValues& chunk)
{
    for (int32_t i = 0; i < chunk.frames; ++i) {
        inputGain = kGlideTarget * inputGainTarget + kGlideKeep * inputGain;
        driveA = kGlideTarget * driveATarget + kGlideKeep * driveA;
        driveB = kGlideTarget * driveBTarget + kGlideKeep * driveB;
        chunk.inputGain[i] = inputGain;
        chunk.driveA[i] = driveA;
        chunk.driveB[i] = driveB;
    }
}

// The switches' positions frame by frame, while any of a channel's moves.
// The channel that does not run, and does not glide in, takes its switches
// at once.
void AmpModel::glideSwitches(ChunkValues& chunk)
{
    double targetA[kGlideCount], targetB[kGlideCount];
    glideTargets(targetA, targetB);
    chunk.channelMoves = !channelGlide.restsAt(channelB);
    chunk.leavingStarts = chunk.channelMoves && channelGlide.restsAt(1 - channelB);
    chunk.leavingTurns = chunk.channelMoves && !chunk.leavingStarts && channelServed != channelB;
    channelServed = channelB;
    chunk.glidesA = chunk.glidesB = false;
    for (int32_t g = 0; g < kGlideCount; ++g) {
        if (!chunk.channelMoves && channelB == 1)
            glideA[g].settle(targetA[g]);
        if (!chunk.channelMoves && channelB == 0)
            glideB[g].settle(targetB[g]);
        chunk.glidesA = chunk.glidesA || !glideA[g].restsAt(targetA[g]);
        chunk.glidesB = chunk.glidesB || !glideB[g].restsAt(targetB[g]);
    }
    if (chunk.glidesA || chunk.channelMoves) {
        for (int32_t g = 0; g < kGlideCount; ++g)
            glideA[g].run(targetA[g], sampleRate, chunk.glideA[g], chunk.frames);
        // The gains that play against those the clean design is made up for.
        const double cleanGains = cleanInputGainA * cleanDriveA;
        for (int32_t i = 0; i < chunk.frames; ++i)
            chunk.gainsOverCleanA[i] = chunk.inputGain[i] * chunk.driveA[i] / cleanGains;
    }
    if (chunk.glidesB || chunk.channelMoves)
        for (int32_t g = 0; g < kGlideCount; ++g)
            glideB[g].run(targetB[g], sampleRate, chunk.glideB[g], chunk.frames);
    if (chunk.channelMoves) {
        channelGlide.run(channelB, sampleRate, chunk.channel, chunk.frames);
        crossFadeChannels(chunk);
    }
}

// The channels' outputs mix by the law at the host rate and go out at the
// volume, which is the Volume of the channel the switch moves to. The one it
// moves from keeps the Volume it played at: its share is scaled by that over
// the volume. At a volume of next to nothing there is nothing to scale: that
// share falls silent with the rest.
constexpr float kLeastScaledVolume = 1e-4f;
constexpr double kLeastScaledInputGain = 1e-12;

void AmpModel::crossFadeChannels(ChunkValues& chunk) const
{
    const int32_t moveTo = channelB == 1 ? 1 : 0;
    const float from = channelVolume[1 - moveTo];
    double level[2];
    level[moveTo] = 1.0;
    level[1 - moveTo] = std::fabs(volume) > kLeastScaledVolume ? static_cast<double>(from) / volume : 0.0;
    for (int32_t i = 0; i < chunk.frames; ++i) {
        const double gain = chunk.inputGain[i];
        chunk.leavingInputScale[i] = std::fabs(gain) > kLeastScaledInputGain ? leavingInputGain / gain : 0.0;
    }
    chunk.channelForm[0] = formOf(false, chunk);
    chunk.channelForm[1] = formOf(true, chunk);
    for (int32_t i = 0; i < chunk.frames; ++i) {
        const ChannelGains gains = channelGains(chunk.channel[i]);
        chunk.channelGain[0][i] = level[0] * gains.a;
        chunk.channelGain[1][i] = level[1] * gains.b;
    }
}

// A channel's design for its mode switch, or both of its designs mixed while
// any of its switches moves.
Form AmpModel::formOf(bool onB, const ChunkValues& chunk) const
{
    if (onB ? chunk.glidesB : chunk.glidesA)
        return Form::kGliding;
    return (onB ? highGainB : crunchA) == 1 ? Form::kSecond : Form::kFirst;
}

// The running channel's form. (While the channel switch moves, the chain
// runs both channels, each in its own form.)
Circuit AmpModel::circuitFor(const ChunkValues& chunk) const
{
    const bool onB = channelB == 1;
    return {onB, formOf(onB, chunk)};
}

// The tone knobs towards their settings by a chunk's worth, and each
// channel's contour gain from its contour knob as it stands. The channel that
// does not run takes its knobs at once.
void AmpModel::slewToneKnobs(ChunkValues& chunk)
{
    const double a[4] = {lowA, midA, highA, contourA};
    const double b[4] = {lowB, midB, highB, contourB};
    for (int k = 0; k < 4; ++k) {
        if (channelB == 1 && !chunk.channelMoves)
            toneA[k].settle(a[k]);
        else
            toneA[k].moveFor(a[k], chunk.frames, sampleRate);
        if (channelB == 0 && !chunk.channelMoves)
            toneB[k].settle(b[k]);
        else
            toneB[k].moveFor(b[k], chunk.frames, sampleRate);
    }
    chunk.contourA = toneA[3].position() == contourA ? contourAShaped : contourCurve(toneA[3].position());
    chunk.contourB = toneB[3].position() == contourB ? contourBShaped : contourCurve(toneB[3].position());
}

// The chunk's inputs through the chain and out at the volume.
template <class Lane>
void AmpModel::playChunk(const float* const* inputs, float* const* outputs, int32_t start, int32_t frames,
                         const ChunkValues& chunk)
{
    using Float = typename LaneTraits<Lane>::Float;
    constexpr bool bothSides = std::is_same<Lane, DoublePair>::value;
    Float x[kChunkFrames], y[kChunkFrames];
    // Every input of the chunk is read before any output is written.
    readInputs(inputs, start, frames, chunk.frames, x);
    OversampledChunk<Lane>(*this, oversampledRate, left, bothSides ? right : left)
        .run(x, y, chunk.frames, chunk, oversamplingFactor);
    if (fadeFramesLeft > 0)
        fadeFromReplaced<Lane>(x, y, chunk);
    for (int32_t i = 0; i < chunk.frames; ++i)
        writeFrame(y[i], volume, outputs, start + i);
}

// count frames from start on, sanitised, with the anti-denormal signal.
template <class Float>
void AmpModel::readInputs(const float* const* inputs, int32_t start, int32_t frames, int32_t count, Float* x)
{
    for (int32_t i = 0; i < count; ++i) {
        const int32_t n = frames - 1 - (start + i);
        const double signal = n < antiDenormalCount ? antiDenormal[n] : antiDenormalAt(n, oversampledPeriod);
        readFrame(x[i], inputs, start + i, signal, lastGoodInput);
    }
}

// For a while after a rebuild, the configuration it replaced runs on and the
// output cross-fades from it.
template <class Lane, class Float>
void AmpModel::fadeFromReplaced(const Float* x, Float* y, const ChunkValues& chunk)
{
    constexpr bool bothSides = std::is_same<Lane, DoublePair>::value;
    Float old[kChunkFrames];
    OversampledChunk<Lane>(*this, fadeRate, fadeLeft, bothSides ? fadeRight : fadeLeft)
        .run(x, old, chunk.frames, chunk, fadeFactor);
    for (int32_t i = 0; i < chunk.frames; ++i)
        y[i] = crossfade(old[i], y[i], fadeFramesLeft-- / (kRebuildFadeFrames + 1.f));
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

}  // namespace ka813
