// Renders a sound file, or the built-in guitar riff, through a VST 2 effect
// loaded exactly as a host loads it, and reports what it did.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/render/DefaultPlugin.h"
#include "tools/render/GuitarRiff.h"
#include "tools/render/RenderJob.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/Report.h"
#include "tools/render/WavFile.h"

using namespace ka813::render;

namespace {

// Files longer than this get a progress bar on a terminal.
constexpr double kLongFileSeconds = 30.0;

int failWith(const std::string& reason)
{
    std::fprintf(stderr, "ka813-render: %s\n", reason.c_str());
    return 1;
}

std::string describeChannels(int32_t count)
{
    return count == 1 ? "mono" : count == 2 ? "stereo" : std::to_string(count) + " channels";
}

void printHeader(const RenderOptions& options, const std::string& pluginPath, const AudioBuffer& input,
                 const JobResult& first)
{
    std::printf("Plug-in           %s by %s (%s)\n", first.effectName.c_str(),
                first.vendor.empty() ? "an unnamed vendor" : first.vendor.c_str(), pluginPath.c_str());
    std::printf("Input             %s, %.2f s, %s into %d input%s\n",
                options.inputPath.empty() ? "built-in guitar riff" : options.inputPath.c_str(), input.seconds(),
                describeChannels(input.channelCount()).c_str(), first.numInputs,
                first.numInputs == 1 ? "" : "s");
    std::printf("Host              %.0f Hz, blocks of %d frames\n", input.sampleRate, options.blockSize);
    if (!options.loadChunkPath.empty())
        std::printf("Loaded            %s chunk %s\n", options.chunkKind == ChunkKind::Program ? "program" : "bank",
                    options.loadChunkPath.c_str());
    std::printf("Program           %d \"%s\"\n", first.program, first.programName.c_str());
}

bool writeOutput(const std::string& path, const JobResult& result, SampleFormat format)
{
    std::string error;
    if (!writeWav(path, result.output, format, &error)) {
        failWith(error);
        return false;
    }
    return true;
}

// Every file the run is to write, so that all of them are checked before a
// long render rather than one of them failing after it.
std::vector<std::string> filesToWrite(const RenderOptions& options)
{
    std::vector<std::string> files;
    if (!options.saveInputPath.empty())
        files.push_back(options.saveInputPath);
    if (!options.modes) {
        files.push_back(options.outputPath);
        if (!options.saveChunkPath.empty())
            files.push_back(options.saveChunkPath);
        return files;
    }
    for (const AmpMode& mode : ampModes()) {
        files.push_back(pathWithSuffix(options.outputPath, mode.fileSuffix));
        if (!options.saveChunkPath.empty())
            files.push_back(pathWithSuffix(options.saveChunkPath, mode.fileSuffix, ""));
    }
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), options, &error)) {
        std::fprintf(stderr, "ka813-render: %s\n(ka813-render --help tells the options)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s", renderUsage().c_str());
        return 0;
    }
    if (options.version) {
        std::printf("ka813-render %s\n", KA813_VERSION);
        return 0;
    }
    for (const std::string& file : filesToWrite(options))
        if (!checkWritable(file, &error))
            return failWith(error + "; nothing rendered");
    const std::string pluginPath = options.pluginPath.empty() ? defaultPluginPath() : options.pluginPath;

    AudioBuffer input;
    if (options.inputPath.empty()) {
        input.sampleRate = options.sampleRate > 0 ? options.sampleRate : 44100.0;
        input.channels.push_back(guitarRiff(input.sampleRate));
    } else {
        if (!readSoundFile(options.inputPath, input, &error))
            return failWith(error);
        if (options.sampleRate > 0 && std::fabs(options.sampleRate - input.sampleRate) > 0.5)
            return failWith(options.inputPath + " is at " + std::to_string(std::lround(input.sampleRate)) +
                            " Hz; the renderer does not resample, so --rate must match it or be left out");
        if (input.frames() == 0)
            return failWith(options.inputPath + " holds no audio");
    }
    if (options.seconds > 0) {
        const auto frames = static_cast<size_t>(std::lround(options.seconds * input.sampleRate));
        for (auto& channel : input.channels)
            if (channel.size() > frames)
                channel.resize(std::max<size_t>(frames, 1));
    }
    if (!options.saveInputPath.empty() && !writeWav(options.saveInputPath, input, options.format, &error))
        return failWith(error);

    const bool showProgress = isatty(STDOUT_FILENO) && input.seconds() > kLongFileSeconds;
    auto makeJob = [&](ProgressBar& bar) {
        JobSpec job;
        job.pluginPath = pluginPath;
        job.input = &input;
        job.blockSize = options.blockSize;
        job.program = options.program;
        job.settings = options.settings;
        job.loadChunkPath = options.loadChunkPath;
        job.chunkKind = options.chunkKind;
        job.progress = [&bar](int64_t done, int64_t total) { bar.update(done, total); };
        return job;
    };

    if (!options.modes) {
        JobResult result;
        {
            ProgressBar bar(showProgress);
            JobSpec job = makeJob(bar);
            job.saveChunkPath = options.saveChunkPath;
            if (!runJob(job, result, &error))
                return failWith(error);
        }
        printHeader(options, pluginPath, input, result);
        printSettings(result);
        printRunSummary(result, input.sampleRate);
        printLevels(result);
        if (!writeOutput(options.outputPath, result, options.format))
            return 1;
        if (!options.saveChunkPath.empty())
            std::printf("Saved chunk       %s\n", options.saveChunkPath.c_str());
        std::printf("Wrote             %s (%s, %.0f Hz, %s)\n", options.outputPath.c_str(),
                    describeChannels(result.output.channelCount()).c_str(), input.sampleRate,
                    sampleFormatName(options.format));
        warnOfClipping(options.outputPath, result.output, options.format);
        return 0;
    }

    // Each mode gets a fresh instance, so no mode hears another's tail.
    std::vector<JobResult> results(ampModes().size());
    std::vector<std::string> labels, files;
    for (size_t m = 0; m < ampModes().size(); ++m) {
        const AmpMode& mode = ampModes()[m];
        labels.push_back(mode.label);
        files.push_back(pathWithSuffix(options.outputPath, mode.fileSuffix));
        ProgressBar bar(showProgress);
        JobSpec job = makeJob(bar);
        job.switches = mode.switches;
        if (!options.saveChunkPath.empty())
            job.saveChunkPath = pathWithSuffix(options.saveChunkPath, mode.fileSuffix, "");
        if (!runJob(job, results[m], &error))
            return failWith(std::string(mode.label) + ": " + error);
        if (!writeOutput(files.back(), results[m], options.format))
            return 1;
    }
    printHeader(options, pluginPath, input, results[0]);
    printSettingsByMode(labels, results);
    std::vector<ModeRow> rows;
    for (size_t m = 0; m < results.size(); ++m)
        rows.push_back({labels[m], files[m], &results[m]});
    std::printf("Rendered          %lld frames (%.2f s) per mode in %lld blocks; levels in dBFS\n",
                static_cast<long long>(results[0].stats.frames), input.seconds(),
                static_cast<long long>(results[0].stats.blocks));
    printModeTable(rows, input.sampleRate);
    for (const ModeRow& row : rows)
        warnOfClipping(row.file, row.result->output, options.format);
    if (!options.saveInputPath.empty())
        std::printf("Input written to  %s\n", options.saveInputPath.c_str());
    return 0;
}
