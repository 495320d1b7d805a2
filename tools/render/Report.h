// What the renderer prints: levels, settings, the modes table and a
// progress bar for long files on a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/render/AudioBuffer.h"
#include "tools/render/Levels.h"
#include "tools/render/RenderJob.h"
#include "tools/render/WavFile.h"

namespace ka813::render {

// The level of all channels together: the highest peak, the RMS of every sample.
Level measureLevel(const AudioBuffer& buffer);

// Samples beyond full scale, which an integer file clips.
int64_t samplesOverFullScale(const AudioBuffer& buffer);

// On stderr, for a file of an integer format: how many samples clipped and
// the peak, and what keeps them. Nothing when none clipped.
void warnOfClipping(const std::string& path, const AudioBuffer& buffer, SampleFormat format);

class ProgressBar {
public:
    // Draws only when enabled (stdout is a terminal and the file is long).
    explicit ProgressBar(bool enabled) : enabled_(enabled) {}
    ~ProgressBar() { finish(); }
    void update(int64_t done, int64_t total);
    void finish();  // clears the bar's line

private:
    bool enabled_;
    bool drawn_ = false;
    int lastPercent_ = -1;
};

void printSettings(const JobResult& result);
// One row per parameter, one column of displays per rendered mode.
void printSettingsByMode(const std::vector<std::string>& modeLabels, const std::vector<JobResult>& results);
void printLevels(const JobResult& result);
void printRunSummary(const JobResult& result, double sampleRate);

struct ModeRow {
    std::string label, file;
    const JobResult* result;
};
void printModeTable(const std::vector<ModeRow>& rows, double sampleRate);

}  // namespace ka813::render
