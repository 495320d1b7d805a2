// Arbitrary bytes as a host's calls: chunks of right and wrong sizes full of
// anything, parameter values of every kind, program changes, names, rates
// and blocks of audio. Nothing may crash, touch memory outside its buffers
// or send a non-finite sample to the output.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "shell/Ka813.h"

using namespace ka813;

namespace {

intptr_t host(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

float anyFloat(FuzzedDataProvider& data)
{
    const uint32_t bits = data.ConsumeIntegral<uint32_t>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void requireFinite(const std::vector<float>& samples)
{
    for (float sample : samples)
        if (!std::isfinite(sample))
            __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider data(bytes, size);
    Ka813* effect = new Ka813(host);
    AEffect* record = effect->getAeffect();
    auto dispatch = [&](int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    };

    while (data.remaining_bytes() > 0) {
        switch (data.ConsumeIntegralInRange(0, 7)) {
        case 0:
        case 1: {
            // A chunk of the right size for its kind, or of any size.
            const bool program = data.ConsumeBool();
            size_t chunkSize = program ? 292 : 2920;
            if (data.ConsumeIntegralInRange(0, 3) == 0)
                chunkSize = data.ConsumeIntegralInRange<size_t>(0, 4000);
            std::vector<uint8_t> chunk = data.ConsumeBytes<uint8_t>(chunkSize);
            chunk.resize(chunkSize);
            const intptr_t answer = dispatch(effSetChunk, program ? 1 : 0,
                                             static_cast<intptr_t>(chunk.size()), chunk.data(), 0.f);
            if (answer != ((program ? 292u : 2920u) == chunkSize ? 1 : 0))
                __builtin_trap();
            break;
        }
        case 2:
            record->setParameter(record, data.ConsumeIntegralInRange(-2, 25), anyFloat(data));
            break;
        case 3:
            dispatch(effSetProgram, 0, data.ConsumeIntegralInRange(-2, 12), nullptr, 0.f);
            break;
        case 4: {
            const int32_t frames = data.ConsumeIntegralInRange(-1, 700);
            const size_t length = static_cast<size_t>(frames > 0 ? frames : 1);
            std::vector<float> left(length), right(length), outL(length), outR(length);
            const bool raw = data.ConsumeBool();
            for (size_t i = 0; i < length; ++i) {
                left[i] = raw ? anyFloat(data) : 0.5f * std::sin(0.05f * static_cast<float>(i));
                right[i] = raw ? anyFloat(data) : left[i];
            }
            if (data.ConsumeBool()) {
                float* buffers[] = {left.data(), right.data()};
                record->processReplacing(record, buffers, buffers, frames);
                if (frames > 0) {
                    requireFinite(left);
                    requireFinite(right);
                }
            } else {
                float* inputs[] = {left.data(), right.data()};
                float* outputs[] = {outL.data(), outR.data()};
                record->processReplacing(record, inputs, outputs, frames);
                requireFinite(outL);
                requireFinite(outR);
            }
            break;
        }
        case 5: {
            std::vector<char> name = data.ConsumeBytes<char>(data.ConsumeIntegralInRange(0, 40));
            name.push_back(0);
            dispatch(effSetProgramName, 0, 0, name.data(), 0.f);
            break;
        }
        case 6: {
            // Sensible rates mostly, any float sometimes.
            const float rates[] = {22050.f, 44100.f, 48000.f, 88200.f, 96000.f, 192000.f};
            const float rate = data.ConsumeBool() ? rates[data.ConsumeIntegralInRange(0, 5)]
                                                  : anyFloat(data);
            dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            break;
        }
        case 7: {
            // Everything a host reads back, into buffers sized to the bounds.
            void* chunk = nullptr;
            const intptr_t chunkSize = dispatch(effGetChunk, data.ConsumeBool() ? 1 : 0, 0, &chunk, 0.f);
            std::vector<uint8_t> copy(static_cast<const uint8_t*>(chunk),
                                      static_cast<const uint8_t*>(chunk) + chunkSize);
            char text[25];
            dispatch(effGetProgramName, 0, 0, text, 0.f);
            dispatch(effGetProgramNameIndexed, data.ConsumeIntegralInRange(-1, 11), 0, text, 0.f);
            char display[9];
            dispatch(effGetParamDisplay, data.ConsumeIntegralInRange(-1, 23), 0, display, 0.f);
            char parameterName[16];
            dispatch(effGetParamName, data.ConsumeIntegralInRange(-1, 23), 0, parameterName, 0.f);
            break;
        }
        }
    }

    dispatch(effClose, 0, 0, nullptr, 0.f);
    return 0;
}
