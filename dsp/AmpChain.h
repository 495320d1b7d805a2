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

namespace ka813 {

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

// The coefficients that follow knobs, brought up to date for a chunk from
// the tone knobs as the model glides them: the running channel's tone stack
// and bright shelf, or, while it glides, both its tone stacks.
inline void followKnobs(const AmpModel& model, AmpSide& side, Circuit circuit)
{
    const bool gliding = circuit.form == Form::kGliding;
    if (circuit.channelB) {
        const Glide* t = model.toneB;
        for (int32_t focus = 0; focus < 2; ++focus)
            if (gliding || focus == (model.focusB != 0 ? 1 : 0))
                side.toneStackB[focus].follow(t[0].position(), t[1].position(), t[2].position(), t[3].position());
    } else {
        const Glide* t = model.toneA;
        for (int32_t focus = 0; focus < 2; ++focus)
            if (gliding || focus == (model.focusA != 0 ? 1 : 0))
                side.toneStackA[focus].follow(t[0].position(), t[1].position(), t[2].position(), t[3].position());
        if (gliding || model.brightA == 1)
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
    runSkewed(count, [&](size_t i) __attribute__((always_inline)) { channel.template after<g>(i, triodes[g].step(samples[i])); }...);
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
inline void processTwoLane(const AmpModel& model, Circuit circuit, const double& rate, AmpSide& l, AmpSide& r,
                           Lane* samples, size_t count, const FrameValues& frames)
{
    forCircuit<Lane>(circuit, [&](auto tag) {
        runChannel<typename decltype(tag)::Type>(model, rate, l, r, samples, count, frames);
    });
}

inline int32_t sidesOf(const double*) { return 1; }
inline int32_t sidesOf(const DoublePair*) { return 2; }

// One circuit over count samples on the model's path.
template <class Lane>
inline void processCircuit(const AmpModel& model, Circuit circuit, const double& rate, AmpSide& l, AmpSide& r,
                           Lane* samples, size_t count, const FrameValues& frames)
{
    followKnobs(model, l, circuit);
    if (&r != &l)
        followKnobs(model, r, circuit);
#if KA813_AVX2_PATH
    if (model.chainPath == Path::kAvx2) {
        processChannelChunkAvx2(model, circuit, rate, l, r, sidesOf(samples), reinterpret_cast<double*>(samples),
                                count, frames);
        return;
    }
#endif
    processTwoLane(model, circuit, rate, l, r, samples, count, frames);
}

// count samples in time order at the oversampled rate given, through the
// circuit and the output high-pass, on the model's path; l and r are the
// same record in mono. (While the channel switch moves, each channel runs
// through here in turn.)
template <class Lane>
inline void processChannelChunk(const AmpModel& model, Circuit circuit, const double& rate, AmpSide& l,
                                AmpSide& r, Lane* samples, size_t count, const FrameValues& frames)
{
    processCircuit(model, circuit, rate, l, r, samples, count, frames);
}

}  // namespace ka813
