// The built plug-in loaded as a host loads it, and what a host does with it:
// render buffers, read and write chunks.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/model/ParameterIndex.h"
#include "tests/shell/PluginPath.h"
#include "tools/host/VstHost.h"

namespace ka813::test {

inline std::unique_ptr<ka813::vsthost::Plugin> loadEffect()
{
    std::string error;
    auto plugin = ka813::vsthost::Plugin::load(pluginPath(), &error);
    EXPECT_TRUE(plugin) << error;
    return plugin;
}

struct Stereo {
    std::vector<float> left, right;
};

// Runs the signal through in blocks of the given size, out of place.
inline Stereo render(ka813::vsthost::Plugin& plugin, const Stereo& input, int block)
{
    Stereo out{std::vector<float>(input.left.size()), std::vector<float>(input.left.size())};
    for (size_t start = 0; start < input.left.size(); start += static_cast<size_t>(block)) {
        const int32_t count =
            static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(block), input.left.size() - start));
        float* inputs[] = {const_cast<float*>(input.left.data() + start),
                           const_cast<float*>(input.right.data() + start)};
        float* outputs[] = {out.left.data() + start, out.right.data() + start};
        plugin.processReplacing(inputs, outputs, count);
    }
    return out;
}

inline std::vector<float> sine(double frequency, double amplitude, int frames, double rate = 44100.0)
{
    std::vector<float> x(static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n)
        x[static_cast<size_t>(n)] =
            static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * n / rate));
    return x;
}

inline Stereo both(const std::vector<float>& x) { return {x, x}; }

inline bool allFinite(const std::vector<float>& x)
{
    for (float v : x)
        if (!std::isfinite(v))
            return false;
    return true;
}

inline double peak(const std::vector<float>& x, size_t from = 0)
{
    double p = 0.0;
    for (size_t i = from; i < x.size(); ++i)
        p = std::max(p, static_cast<double>(std::fabs(x[i])));
    return p;
}

inline bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// The bytes of the bank or of the current program, copied out.
inline std::vector<unsigned char> chunk(ka813::vsthost::Plugin& plugin, bool program)
{
    void* data = nullptr;
    const intptr_t size = plugin.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    if (!data || size <= 0)
        return {};
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

inline intptr_t loadChunk(ka813::vsthost::Plugin& plugin, std::vector<unsigned char> bytes, bool program)
{
    return plugin.dispatch(effSetChunk, program ? 1 : 0, static_cast<intptr_t>(bytes.size()),
                           bytes.data());
}

inline float floatAt(const std::vector<unsigned char>& bytes, size_t offset)
{
    float value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

inline void setFloatAt(std::vector<unsigned char>& bytes, size_t offset, float value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// Byte offsets in a program record: the value of each parameter, and the
// four mode memories with the slot of each remembered value.
constexpr size_t kRecordSize = 292;
constexpr size_t kValueOffset[23] = {24, 96, 92, 88, 28, 36, 40, 44,  48,  80, 100, 104,
                                     32, 52, 56, 60, 64, 84, 108, 112, 68, 72, 76};
constexpr size_t kMemoryOffset[4] = {116, 160, 204, 248};  // A clean, A crunch, B low, B high
enum : size_t { kSlotInput = 0, kSlotDrive = 4, kSlotLow = 8, kSlotMid = 12, kSlotHigh = 16,
                kSlotContour = 20, kSlotVolume = 24, kSlotFocus = 28, kSlotReserved = 32,
                kSlotBottom = 36, kSlotBright = 40 };

}  // namespace ka813::test
