// The two preamp channels at the oversampled rate, from the first grid to
// the output high-pass, over a chunk of consecutive samples (up to 64 host
// frames' worth) of one side (mono) or of both sides at once (stereo lanes).
// Every element's state is loaded once, stepped through the chunk in
// registers and stored once. An element depends only on its own state and
// its input sequence, so this gives what running each sample through the
// whole chain in turn gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "dsp/AmpModel.h"
#include "dsp/ChainPath.h"
#include "dsp/ChannelCircuit.h"

namespace ampchain {

// The chain cut into segments, one triode each with what follows it, run
// skewed: at step t segment s takes sample t - s. The segments of one step
// work on different samples and so do not wait for each other; the
// triodes' long per-sample recursions then overlap instead of queueing.
// The skew fills once at the start of the chunk and drains once at its end.
template <class... Segments>
inline void runSkewed(size_t count, const Segments&... segments)
{
    constexpr size_t depth = sizeof...(Segments);
    const size_t steps = count + depth - 1;
    auto edge = [&](size_t step) __attribute__((always_inline)) {
        size_t index = 0;
        ((step >= index && step - index < count ? segments(step - index) : void(), ++index), ...);
    };
    size_t step = 0;
    for (; step + 1 < depth && step < steps; ++step)
        edge(step);
    for (; step < count; ++step) {
        size_t index = 0;
        (segments(step - index++), ...);
    }
    for (; step < steps; ++step)
        edge(step);
}

// The coefficients that follow knobs, brought up to date for a chunk: the
// settings only change between blocks.
inline void followKnobs(const AmpModel& model, AmpSide& side)
{
    if (model.channelB == 1) {
        side.toneStackB[model.focusB != 0 ? 1 : 0].follow(model.lowB, model.midB, model.highB, model.contourB);
    } else {
        side.toneStackA[model.focusA != 0 ? 1 : 0].follow(model.lowA, model.midA, model.highA, model.contourA);
        if (model.brightA == 1)
            side.brightShelfA.follow(model.driveAShaped, model.driveAShapedRoot);
    }
}

// A channel's triodes one segment each, skewed by one sample: segment g
// steps triode g and then the channel's work after it.
template <class Channel, class Lane, size_t... g>
inline void runSegments(Channel& channel, AmpSide& l, AmpSide& r, const double& rate, Lane* samples,
                        size_t count, std::index_sequence<g...>)
{
    constexpr size_t first = Channel::kFirstTriode;
    TriodeStepper<Lane> triodes[] = {TriodeStepper<Lane>(l.triode[first + g], r.triode[first + g], rate)...};
    runSkewed(count, [&](size_t i) { channel.template after<g>(i, triodes[g].step(samples[i])); }...);
    (triodes[g].store(l.triode[first + g], r.triode[first + g]), ...);
}

template <class Channel, class Lane>
inline void runChannel(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r, Lane* samples,
                       size_t count, const FrameValues& frames)
{
    Channel channel(model, l, r, samples, frames);
    runSegments(channel, l, r, rate, samples, count, std::make_index_sequence<Channel::kTriodes>());
    channel.store();
}

// The two-lane code, or one lane in mono.
template <class Lane>
inline void processTwoLane(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                           Lane* samples, size_t count, const FrameValues& frames)
{
    forActiveChannel<Lane>(model, [&](auto tag) {
        runChannel<typename decltype(tag)::Type>(model, rate, l, r, samples, count, frames);
    });
}

inline int32_t sidesOf(const double*) { return 1; }
inline int32_t sidesOf(const DoublePair*) { return 2; }

// count samples in time order at the oversampled rate given, through the
// active channel and the output high-pass, on the model's path; l and r
// are the same record in mono.
template <class Lane>
inline void processChannelChunk(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                                Lane* samples, size_t count, const FrameValues& frames)
{
    followKnobs(model, l);
    if (&r != &l)
        followKnobs(model, r);
    if (model.chainPath == Path::kAvx2)
        processChannelChunkAvx2(model, rate, l, r, sidesOf(samples), reinterpret_cast<double*>(samples),
                                count, frames);
    else
        processTwoLane(model, rate, l, r, samples, count, frames);
}

}  // namespace ampchain
