// One render: load the plug-in as a host does, bring it into the state the
// user asked for, run the signal through it and collect what it showed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/render/AudioBuffer.h"
#include "tools/render/BlockRunner.h"
#include "tools/render/RenderOptions.h"

namespace ka813::render {

// An amplifier mode of our effect, chosen through its switch parameters.
struct AmpMode {
    const char* label;       // "A clean"
    const char* fileSuffix;  // "-a-clean"
    std::vector<ParameterSetting> switches;
};
const std::vector<AmpMode>& ampModes();

struct JobSpec {
    std::string pluginPath;
    const AudioBuffer* input = nullptr;  // at the host rate, any channel count
    int32_t blockSize = 512;
    int32_t program = -1;
    std::vector<ParameterSetting> switches;  // applied before the settings
    std::vector<ParameterSetting> settings;
    std::string loadChunkPath;
    std::string saveChunkPath;
    ChunkKind chunkKind = ChunkKind::Bank;
    std::function<void(int64_t done, int64_t total)> progress;
};

struct ParameterView {
    std::string name, display, label;
};

struct JobResult {
    std::string effectName, vendor;
    int32_t numInputs = 0, numOutputs = 0;
    int32_t program = 0;
    std::string programName;
    std::vector<ParameterView> parameters;  // as displayed after the settings
    AudioBuffer pluginInput;                // the signal laid over the inputs
    AudioBuffer output;
    RunStats stats;
};

bool runJob(const JobSpec& job, JobResult& result, std::string* error);

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string* error);
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

}  // namespace ka813::render
