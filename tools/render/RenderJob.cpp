#include "tools/render/RenderJob.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

namespace ka813::render {

namespace {

bool fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

// Some plug-ins pad their texts with blanks.
std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

const std::vector<AmpMode>& ampModes()
{
    // The channel first, then its own mode switch, so that the mode's
    // stored knob settings come back with it.
    static const std::vector<AmpMode> modes = {
        {"A clean", "-a-clean", {{"Channel", 0.f}, {"Clean/Crunch", 0.f}}},
        {"A crunch", "-a-crunch", {{"Channel", 0.f}, {"Clean/Crunch", 1.f}}},
        {"B low gain", "-b-low-gain", {{"Channel", 1.f}, {"Low/High Gain", 0.f}}},
        {"B high gain", "-b-high-gain", {{"Channel", 1.f}, {"Low/High Gain", 1.f}}},
    };
    return modes;
}

bool readFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string* error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return fail(error, "cannot read " + path);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad())
        return fail(error, "cannot read " + path);
    return true;
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return fail(error, "cannot write " + path);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        return fail(error, "cannot write " + path);
    return true;
}

bool runJob(const JobSpec& job, JobResult& result, std::string* error)
{
    if (!job.input || job.input->frames() <= 0)
        return fail(error, "nothing to render");
    result = JobResult();
    const double rate = job.input->sampleRate;

    vsthost::LoadOptions loadOptions;
    loadOptions.sampleRate = static_cast<float>(rate);
    loadOptions.blockSize = job.blockSize;
    loadOptions.recordRequests = false;
    std::string loadError;
    std::unique_ptr<vsthost::Plugin> plugin = vsthost::Plugin::load(job.pluginPath, &loadError, loadOptions);
    if (!plugin)
        return fail(error, loadError);
    AEffect* effect = plugin->effect();
    result.effectName = plugin->effectName();
    result.vendor = plugin->vendorString();
    result.numInputs = effect->numInputs;
    result.numOutputs = effect->numOutputs;

    plugin->setSampleRateAndBlockSize(static_cast<float>(rate), job.blockSize);

    const std::vector<std::string> names = vsthost::parameterNames(*plugin);

    if (job.program >= 0 && job.program >= effect->numPrograms)
        return fail(error, "the plug-in has programs 0 to " + std::to_string(effect->numPrograms - 1) +
                               ", not " + std::to_string(job.program));
    const bool programChunk = job.chunkKind == ChunkKind::Program;
    // A program chunk goes into the program chosen; a bank comes first and
    // the program is chosen from it.
    if (job.program >= 0 && programChunk)
        plugin->dispatch(effSetProgram, 0, job.program);
    if (!job.loadChunkPath.empty()) {
        if (!(effect->flags & effFlagsProgramChunks))
            return fail(error, result.effectName + " keeps no state chunks");
        std::vector<uint8_t> bytes;
        if (!readFileBytes(job.loadChunkPath, bytes, error))
            return false;
        if (!plugin->setChunk(bytes, programChunk))
            return fail(error, result.effectName + " refused the " + std::to_string(bytes.size()) + "-byte " +
                                   (programChunk ? "program" : "bank") + " chunk in " + job.loadChunkPath);
    }
    if (job.program >= 0 && !programChunk)
        plugin->dispatch(effSetProgram, 0, job.program);

    if (!vsthost::applyParameterSettings(*plugin, names, job.switches, error) ||
        !vsthost::applyParameterSettings(*plugin, names, job.settings, error))
        return false;

    if (!job.saveChunkPath.empty()) {
        std::vector<uint8_t> bytes = (effect->flags & effFlagsProgramChunks)
            ? plugin->chunk(programChunk) : std::vector<uint8_t>();
        if (bytes.empty())
            return fail(error, result.effectName + " gives no state chunk");
        if (!writeFileBytes(job.saveChunkPath, bytes, error))
            return false;
    }

    result.program = static_cast<int32_t>(plugin->dispatch(effGetProgram));
    result.programName = plugin->programName();
    for (int32_t i = 0; i < effect->numParams; ++i)
        result.parameters.push_back({names[static_cast<size_t>(i)], trimmed(plugin->parameterDisplay(i)),
                                     trimmed(plugin->parameterLabel(i))});

    result.pluginInput = fitChannels(*job.input, effect->numInputs);
    plugin->resume();
    const int64_t total = result.pluginInput.frames();
    std::function<void(int64_t)> progress;
    if (job.progress)
        progress = [&job, total](int64_t done) { job.progress(done, total); };
    result.stats = runBlocks({plugin.get()}, result.pluginInput, result.output, job.blockSize, progress);
    plugin->suspend();
    return true;
}

}  // namespace ka813::render
