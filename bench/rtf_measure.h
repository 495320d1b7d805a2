// Realtime factors of a VST 2 effect loaded through the host library: audio
// seconds per CPU second, timed with the thread CPU clock around the process
// calls only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ka813::rtf {

// What our effect lets the run choose through its parameters; a peer has
// none of these and runs as it loads.
struct Features {
    int32_t quality = -1;  // "LowQ/HighQ"
    int32_t stereo = -1;   // "Mono/Stereo"
    int32_t channel = -1, cleanCrunch = -1, lowHighGain = -1;
    bool hasQuality() const { return quality >= 0; }
    bool hasStereoSwitch() const { return stereo >= 0; }
    bool hasAmpModes() const { return channel >= 0 && cleanCrunch >= 0 && lowHighGain >= 0; }
};

enum class Amp { AClean, BHighGain };
const char* ampLabel(Amp amp);

struct Case {
    double sampleRate = 44100.0;
    bool highQuality = false;
    bool stereo = true;
    Amp amp = Amp::AClean;
    int32_t blockSize = 512;
};

struct Measurement {
    double meanFactor = 0.0;       // over the whole signal
    double worstFactor = 0.0;      // of the slowest block
    double silenceCost = 0.0;      // median block cost in silence / in signal; 0 when not run
    int32_t instances = 1;         // two for a mono peer in stereo
};

struct PluginInfo {
    std::string path, name;
    int32_t numInputs = 0, numOutputs = 0;
    Features features;
};

// Loads the plug-in once to learn its name, channels and parameters.
bool probe(const std::string& path, PluginInfo& info, std::string* error);

// One measurement on fresh instances: a short warm-up, signalSeconds of the
// guitar riff (looped), then, when silenceSeconds > 0, a two-second burst of
// it followed by that much digital silence.
bool measure(const PluginInfo& plugin, const Case& c, double signalSeconds, double silenceSeconds,
             Measurement& result, std::string* error);

}  // namespace ka813::rtf
