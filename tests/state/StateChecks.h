// What a host relies on when it stores and restores the effect's state,
// checked over a sequence of host calls read from arbitrary bytes:
//  (a) a chunk loaded into instances in different prior states leaves them
//      identical: chunk bytes, parameter values and output samples;
//  (b) getChunk after setChunk returns exactly the bytes loaded;
//  (c) the host hears an automate for every value a setParameter call
//      changed besides its own;
//  (d) after any history, an instance sounds exactly as a fresh one
//      restored from the bank chunk it saves, and as one restored from its
//      program chunk.
// Works on any AEffect; Instance says how to make one and read its host log.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shell/Vst2Interface.h"

namespace ka813::statecheck {

// Reads the sequence's choices from bytes; zeros once they run out.
class Choices {
public:
    Choices(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}
    bool more() const { return position < size; }
    uint32_t next()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | (position < size ? bytes[position++] : 0u);
        return value;
    }
    int32_t below(int32_t count) { return static_cast<int32_t>(next() % static_cast<uint32_t>(count)); }
    // Mostly what hosts send (switch ends, knob positions), sometimes any bits.
    float value()
    {
        const uint32_t kind = next() % 8;
        if (kind == 0) {
            const uint32_t bits = next();
            float any;
            std::memcpy(&any, &bits, sizeof any);
            return any;
        }
        if (kind < 3)
            return static_cast<float>(next() % 2);
        return static_cast<float>(next() % 1001) / 1000.f;
    }

private:
    const uint8_t* bytes;
    size_t size;
    size_t position = 0;
};

// An instance under test: its record, and the automates its host received.
struct Instance {
    virtual ~Instance() = default;
    virtual AEffect* effect() = 0;
    virtual std::vector<std::pair<int32_t, float>> takeAutomates() = 0;
};

inline intptr_t call(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                     void* ptr = nullptr, float opt = 0.f)
{
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

inline std::vector<uint8_t> chunkOf(AEffect* e, bool program)
{
    void* data = nullptr;
    const intptr_t size = call(e, effGetChunk, program ? 1 : 0, 0, &data);
    if (!data || size <= 0)
        return {};
    return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

inline std::vector<uint32_t> valueBits(AEffect* e)
{
    std::vector<uint32_t> bits(23);
    for (int32_t i = 0; i < 23; ++i) {
        const float value = e->getParameter(e, i);
        std::memcpy(&bits[static_cast<size_t>(i)], &value, sizeof value);
    }
    return bits;
}

// A few blocks of a fixed riff-like signal; the output's bits.
inline std::vector<float> play(AEffect* e, int frames = 1024)
{
    std::vector<float> left(static_cast<size_t>(frames)), right(left.size());
    for (size_t n = 0; n < left.size(); ++n) {
        left[n] = static_cast<float>(0.4 * std::sin(0.031 * static_cast<double>(n)));
        right[n] = static_cast<float>(0.4 * std::sin(0.047 * static_cast<double>(n)));
    }
    std::vector<float> out(2 * left.size());
    for (int start = 0; start < frames; start += 256) {
        float* in[] = {left.data() + start, right.data() + start};
        float* o[] = {out.data() + start, out.data() + frames + start};
        e->processReplacing(e, in, o, 256);
    }
    return out;
}

// One host call from the choices; setParameter calls are checked for (c).
// Returns an empty string or what went wrong.
inline std::string hostCall(Instance& instance, Choices& choices)
{
    AEffect* e = instance.effect();
    switch (choices.below(6)) {
    case 0:
    case 1:
    case 2: {
        const int32_t index = choices.below(23);
        const float value = choices.value();
        const std::vector<uint32_t> before = valueBits(e);
        instance.takeAutomates();
        e->setParameter(e, index, value);
        const std::vector<uint32_t> after = valueBits(e);
        const auto automates = instance.takeAutomates();
        for (int32_t i = 0; i < 23; ++i) {
            if (i == index || before[static_cast<size_t>(i)] == after[static_cast<size_t>(i)])
                continue;
            bool told = false;
            for (const auto& automate : automates)
                told = told || automate.first == i;
            if (!told)
                return "setParameter(" + std::to_string(index) + ") changed " + std::to_string(i)
                       + " without telling the host";
        }
        return {};
    }
    case 3:
        call(e, effSetProgram, 0, choices.below(10));
        return {};
    case 4: {
        char name[32];
        for (char& c : name)
            c = static_cast<char>(' ' + choices.below(90));
        name[choices.below(31)] = 0;
        call(e, effSetProgramName, 0, 0, name);
        return {};
    }
    default: {
        // Back what it gave, as a host saving and restoring does.
        const bool program = choices.below(2) == 0;
        std::vector<uint8_t> bytes = chunkOf(e, program);
        call(e, effSetChunk, program ? 1 : 0, static_cast<intptr_t>(bytes.size()), bytes.data());
        return {};
    }
    }
}

// The sound of an instance from its quiet state, as after a stop and start.
inline std::vector<float> playFromQuiet(AEffect* e)
{
    call(e, effMainsChanged, 0, 0);
    call(e, effMainsChanged, 0, 1);
    return play(e);
}

// (d): the live instance against fresh ones given what it saves.
template <class Make>
std::string soundsAsRestored(Instance& live, Make make)
{
    AEffect* e = live.effect();
    const intptr_t program = call(e, effGetProgram);
    const std::vector<float> sound = playFromQuiet(e);
    for (const bool preset : {false, true}) {
        std::vector<uint8_t> chunk = chunkOf(e, preset);
        std::unique_ptr<Instance> restored = make();
        AEffect* r = restored->effect();
        // A host stores the selected program beside a bank.
        if (!preset)
            call(r, effSetProgram, 0, program);
        if (call(r, effSetChunk, preset ? 1 : 0, static_cast<intptr_t>(chunk.size()), chunk.data()) != 1)
            return "a saved chunk was refused";
        if (valueBits(r) != valueBits(e))
            return preset ? "a restored program chunk reads other values"
                          : "a restored bank chunk reads other values";
        const std::vector<float> again = playFromQuiet(r);
        if (std::memcmp(sound.data(), again.data(), sound.size() * sizeof(float)) != 0)
            return preset ? "the live instance sounds different from its program chunk restored"
                          : "the live instance sounds different from its bank chunk restored";
    }
    // Quiet again, as the instance was before it played.
    call(e, effMainsChanged, 0, 0);
    call(e, effMainsChanged, 0, 1);
    return {};
}

// The whole check over one sequence. make() gives a fresh instance.
template <class Make>
std::string checkSequence(const uint8_t* bytes, size_t size, Make make)
{
    Choices choices(bytes, size);
    std::unique_ptr<Instance> instances[3] = {make(), make(), make()};
    // Different histories: each its own calls, the last one also playing
    // and stopping.
    for (auto& instance : instances) {
        const int32_t calls = choices.below(12);
        for (int32_t i = 0; i < calls; ++i) {
            const std::string fault = hostCall(*instance, choices);
            if (!fault.empty())
                return fault;
        }
    }
    for (auto& instance : instances) {
        const std::string fault = soundsAsRestored(*instance, make);
        if (!fault.empty())
            return fault;
    }
    AEffect* last = instances[2]->effect();
    call(last, effMainsChanged, 0, 1);
    play(last, 512);
    call(last, effMainsChanged, 0, 0);
    call(last, effMainsChanged, 0, 1);

    // A chunk one of them made, or any bytes of the right size.
    const bool program = choices.below(2) == 0;
    std::vector<uint8_t> chunk;
    if (choices.below(2) == 0) {
        chunk = chunkOf(instances[choices.below(3)]->effect(), program);
    } else {
        chunk.resize(program ? 292 : 2920);
        for (size_t i = 0; i < chunk.size(); i += 4) {
            const float value = choices.value();
            std::memcpy(chunk.data() + i, &value, sizeof value);
        }
    }

    // A bank comes back with the program the host had selected, as hosts
    // store both.
    const int32_t selected = choices.below(10);
    std::vector<uint8_t> firstChunk;
    std::vector<uint32_t> firstValues;
    std::vector<float> firstSound;
    for (auto& instance : instances) {
        AEffect* e = instance->effect();
        std::vector<uint8_t> copy = chunk;
        if (call(e, effSetChunk, program ? 1 : 0, static_cast<intptr_t>(copy.size()), copy.data()) != 1)
            return "a chunk of the right size was refused";
        if (chunkOf(e, program) != chunk)
            return "getChunk does not return the chunk just loaded";
        if (!program)
            call(e, effSetProgram, 0, selected);
        const std::vector<uint32_t> values = valueBits(e);
        const std::vector<float> sound = play(e);
        if (firstValues.empty()) {
            firstChunk = chunkOf(e, program);
            firstValues = values;
            firstSound = sound;
            continue;
        }
        if (values != firstValues)
            return "the same chunk gives different parameter values";
        if (chunkOf(e, program) != firstChunk)
            return "the same chunk gives different chunk bytes after playing";
        if (std::memcmp(sound.data(), firstSound.data(), sound.size() * sizeof(float)) != 0)
            return "the same chunk sounds different";
    }
    return {};
}

}  // namespace ka813::statecheck
