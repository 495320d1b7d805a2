#include "tools/render/Report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ka813::render {

Level measureLevel(const AudioBuffer& buffer)
{
    Level all;
    double sumOfSquares = 0.0;
    for (const std::vector<float>& channel : buffer.channels) {
        Level level = measureLevel(channel);
        all.peak = std::max(all.peak, level.peak);
        all.finite = all.finite && level.finite;
        sumOfSquares += level.rms * level.rms;
    }
    if (buffer.channelCount() > 0)
        all.rms = std::sqrt(sumOfSquares / buffer.channelCount());
    return all;
}

int64_t samplesOverFullScale(const AudioBuffer& buffer)
{
    int64_t count = 0;
    for (const std::vector<float>& channel : buffer.channels)
        for (float sample : channel)
            count += std::fabs(sample) > 1.f ? 1 : 0;
    return count;
}

void warnOfClipping(const std::string& path, const AudioBuffer& buffer, SampleFormat format)
{
    if (format == SampleFormat::Float32)
        return;
    const int64_t clipped = samplesOverFullScale(buffer);
    if (clipped == 0)
        return;
    const int64_t total = buffer.frames() * buffer.channelCount();
    std::fflush(stdout);
    std::fprintf(stderr,
                 "ka813-render: warning: %lld of %lld samples in %s clipped at full scale (%s, peak %+.1f dBFS);\n"
                 "  --format float keeps them whole, or a lower Volume keeps them under 0 dBFS\n",
                 static_cast<long long>(clipped), static_cast<long long>(total), path.c_str(),
                 sampleFormatName(format), toDecibels(measureLevel(buffer).peak));
}

void ProgressBar::update(int64_t done, int64_t total)
{
    if (!enabled_ || total <= 0)
        return;
    int percent = static_cast<int>(100 * done / total);
    if (percent == lastPercent_)
        return;
    lastPercent_ = percent;
    constexpr int kWidth = 40;
    char bar[kWidth + 1];
    int filled = percent * kWidth / 100;
    for (int i = 0; i < kWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = 0;
    std::printf("\r[%s] %3d%%", bar, percent);
    std::fflush(stdout);
    drawn_ = true;
}

void ProgressBar::finish()
{
    if (drawn_) {
        std::printf("\r%*s\r", 48, "");
        std::fflush(stdout);
        drawn_ = false;
    }
}

void printSettings(const JobResult& result)
{
    std::printf("Settings\n");
    for (size_t i = 0; i < result.parameters.size(); ++i) {
        const ParameterView& p = result.parameters[i];
        std::string line = "  " + std::string(i < 10 ? "  " : i < 100 ? " " : "") + std::to_string(i) +
                           "  " + p.name;
        line.resize(std::max<size_t>(line.size() + 1, 24), ' ');
        line += p.display;
        if (!p.label.empty())
            line += " " + p.label;
        std::printf("%s\n", line.c_str());
    }
}

void printSettingsByMode(const std::vector<std::string>& modeLabels, const std::vector<JobResult>& results)
{
    if (results.empty())
        return;
    auto printTrimmed = [](std::string line) {
        line.erase(line.find_last_not_of(' ') + 1);
        std::printf("%s\n", line.c_str());
    };
    auto column = [](const std::string& text, size_t width) {
        return "  " + text + std::string(text.size() < width ? width - text.size() : 0, ' ');
    };
    std::printf("Settings as the plug-in shows them\n");
    std::string header(22, ' ');
    for (const std::string& label : modeLabels)
        header += column(label, 12);
    printTrimmed(header);
    for (size_t i = 0; i < results[0].parameters.size(); ++i) {
        std::string line = std::to_string(i);
        line.insert(0, 3 - std::min<size_t>(3, line.size()), ' ');
        line += "  " + results[0].parameters[i].name;
        line.resize(std::max<size_t>(line.size(), 22), ' ');
        for (const JobResult& result : results) {
            const ParameterView& p = result.parameters[i];
            line += column(p.display + (p.label.empty() ? "" : " " + p.label), 12);
        }
        printTrimmed(line);
    }
}

void printLevels(const JobResult& result)
{
    std::printf("Levels (dBFS)     peak     RMS\n");
    auto rows = [](const char* side, const AudioBuffer& buffer) {
        for (int32_t c = 0; c < buffer.channelCount(); ++c) {
            Level level = measureLevel(buffer.channels[static_cast<size_t>(c)]);
            std::printf("  %-3s %-10d %6s  %6s\n", side, c + 1,
                        formatDecibels(level.peak, level.finite).c_str(),
                        formatDecibels(level.rms, level.finite).c_str());
        }
    };
    rows("in", result.pluginInput);
    rows("out", result.output);
}

void printRunSummary(const JobResult& result, double sampleRate)
{
    const RunStats& stats = result.stats;
    std::printf("Rendered          %lld frames (%.2f s) in %lld blocks\n", static_cast<long long>(stats.frames),
                stats.audioSeconds(sampleRate), static_cast<long long>(stats.blocks));
    std::printf("CPU               %.4f s in the process calls: %.1fx realtime (slowest block %.1fx)\n",
                stats.cpuSeconds, stats.realtimeFactor(sampleRate), stats.worstBlockRealtimeFactor(sampleRate));
}

void printModeTable(const std::vector<ModeRow>& rows, double sampleRate)
{
    std::printf("%-12s %8s %8s %9s %8s %9s  %s\n", "mode", "peak in", "RMS in", "peak out", "RMS out",
                "realtime", "file");
    for (const ModeRow& row : rows) {
        Level in = measureLevel(row.result->pluginInput);
        Level out = measureLevel(row.result->output);
        char factor[32];
        std::snprintf(factor, sizeof factor, "%.1fx", row.result->stats.realtimeFactor(sampleRate));
        std::printf("%-12s %8s %8s %9s %8s %9s  %s\n", row.label.c_str(),
                    formatDecibels(in.peak, in.finite).c_str(), formatDecibels(in.rms, in.finite).c_str(),
                    formatDecibels(out.peak, out.finite).c_str(), formatDecibels(out.rms, out.finite).c_str(),
                    factor, row.file.c_str());
    }
}

}  // namespace ka813::render
