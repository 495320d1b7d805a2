// Prints realtime factors of our effect, and of any other Linux VST 2 effect
// named on the command line, over sample rates, qualities, mono and stereo,
// amplifier modes and block sizes; and what silence after a loud burst costs.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/rtf_measure.h"
#include "tools/render/DefaultPlugin.h"
#include "dsp/ChainPath.h"

using namespace ka813::rtf;

namespace {

struct Options {
    std::vector<std::string> plugins;
    std::vector<bool> twoLane = {false};  // measure the build without the AVX2 path?
    std::vector<double> rates = {44100.0, 48000.0, 96000.0};
    std::vector<bool> qualities = {false, true};   // high quality?
    std::vector<bool> stereo = {false, true};
    std::vector<Amp> amps = {Amp::AClean, Amp::BHighGain};
    std::vector<int32_t> blocks = {64, 512};
    double seconds = 10.0;
    double silence = 10.0;
};

const char* const kUsage =
    "Usage: ka813-rtf [options] [PLUGIN.so ...]\n"
    "Measures realtime factors (audio seconds per CPU second of the process calls) of\n"
    "Ka813 and of each VST 2 effect named. A peer is measured over rates, blocks and\n"
    "mono/stereo only (a mono peer runs stereo as two instances).\n"
    "\n"
    "  --rates LIST      sample rates in Hz (default 44100,48000,96000)\n"
    "  --quality LIST    low, high (default both)\n"
    "  --channels LIST   mono, stereo (default both)\n"
    "  --amps LIST       a-clean, b-high (default both)\n"
    "  --blocks LIST     frames per process call (default 64,512)\n"
    "  --seconds S       seconds of signal per measurement (default 10)\n"
    "  --silence S       seconds of silence after a 2 s burst (default 10; 0 skips)\n"
    "  --paths LIST      Ka813's chain code: fastest (what this processor runs, AVX2 where\n"
    "                    it has it), two-lane (the fallback, forced) (default fastest)\n"
    "  --peers-only      leave Ka813 out\n"
    "  -h, --help        this text\n"
    "      --version     the version\n";

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        if (comma > start)
            items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

bool parseNumber(const std::string& text, double low, double high, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && errno == 0 && *end == 0 && value >= low && value <= high;
}

int usageError(const std::string& reason)
{
    std::fprintf(stderr, "ka813-rtf: %s\n%s", reason.c_str(), kUsage);
    return 2;
}

std::string factorText(double factor)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1fx", factor);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    bool ours = true;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string text;
        if (argument == "-h" || argument == "--help") {
            std::printf("%s", kUsage);
            return 0;
        } else if (argument == "--version") {
            std::printf("ka813-rtf %s\n", KA813_VERSION);
            return 0;
        } else if (argument == "--peers-only") {
            ours = false;
        } else if (argument == "--rates" || argument == "--blocks" || argument == "--quality" ||
                   argument == "--channels" || argument == "--amps" || argument == "--seconds" ||
                   argument == "--silence" || argument == "--paths") {
            if (!value(text))
                return usageError(argument + " needs a value");
            std::vector<std::string> items = splitList(text);
            if (items.empty())
                return usageError(argument + " needs a value");
            double number = 0.0;
            if (argument == "--rates") {
                options.rates.clear();
                for (const std::string& item : items) {
                    if (!parseNumber(item, 8000.0, 768000.0, number))
                        return usageError("not a sample rate: " + item);
                    options.rates.push_back(number);
                }
            } else if (argument == "--blocks") {
                options.blocks.clear();
                for (const std::string& item : items) {
                    if (!parseNumber(item, 1.0, 65536.0, number) || number != std::floor(number))
                        return usageError("not a block size: " + item);
                    options.blocks.push_back(static_cast<int32_t>(number));
                }
            } else if (argument == "--quality") {
                options.qualities.clear();
                for (const std::string& item : items) {
                    if (item != "low" && item != "high")
                        return usageError("quality is low or high, not " + item);
                    options.qualities.push_back(item == "high");
                }
            } else if (argument == "--channels") {
                options.stereo.clear();
                for (const std::string& item : items) {
                    if (item != "mono" && item != "stereo")
                        return usageError("channels are mono or stereo, not " + item);
                    options.stereo.push_back(item == "stereo");
                }
            } else if (argument == "--paths") {
                options.twoLane.clear();
                for (const std::string& item : items) {
                    if (item != "fastest" && item != "two-lane")
                        return usageError("paths are fastest or two-lane, not " + item);
                    options.twoLane.push_back(item == "two-lane");
                }
            } else if (argument == "--amps") {
                options.amps.clear();
                for (const std::string& item : items) {
                    if (item != "a-clean" && item != "b-high")
                        return usageError("amps are a-clean or b-high, not " + item);
                    options.amps.push_back(item == "a-clean" ? Amp::AClean : Amp::BHighGain);
                }
            } else if (argument == "--seconds") {
                if (items.size() != 1 || !parseNumber(items[0], 0.01, 3600.0, number))
                    return usageError("--seconds needs 0.01 to 3600");
                options.seconds = number;
            } else {
                if (items.size() != 1 || !parseNumber(items[0], 0.0, 3600.0, number))
                    return usageError("--silence needs 0 to 3600");
                options.silence = number;
            }
        } else if (!argument.empty() && argument[0] == '-') {
            return usageError("unknown option " + argument);
        } else {
            options.plugins.push_back(argument);
        }
    }
    // Our builds first, each with the chain path it runs.
    std::vector<std::string> pathOf(options.plugins.size());
    if (ours) {
        for (auto twoLane = options.twoLane.rbegin(); twoLane != options.twoLane.rend(); ++twoLane) {
            options.plugins.insert(options.plugins.begin(), *twoLane ? std::string(KA813_TWO_LANE_PLUGIN) : ka813::render::defaultPluginPath());
            pathOf.insert(pathOf.begin(), *twoLane ? ka813::pathName(ka813::Path::kTwoLane)
                                                   : ka813::pathName(ka813::fastestPath()));
        }
    }
    if (options.plugins.empty())
        return usageError("no plug-in to measure");

    std::printf("Realtime factors: audio seconds per CPU second of the process calls (thread CPU clock),\n"
                "%.2f s of a guitar riff per row; silence = median block cost in silence after a loud burst\n"
                "relative to that in signal.\n\n",
                options.seconds);
    std::printf("%-20s %-8s %6s %-7s %-11s %-9s %5s %9s %9s %8s\n", "plug-in", "path", "rate", "quality", "amp", "channels",
                "block", "mean", "worst", "silence");

    struct Goal {
        std::string what;
        double value, limit;
        bool atMost;
    };
    std::vector<Goal> goals;
    int status = 0;
    for (size_t p = 0; p < options.plugins.size(); ++p) {
        const std::string& path = options.plugins[p];
        const std::string chainPath = pathOf[p].empty() ? "-" : pathOf[p];
        PluginInfo info;
        std::string error;
        if (!probe(path, info, &error)) {
            std::fprintf(stderr, "ka813-rtf: %s\n", error.c_str());
            status = 1;
            continue;
        }
        const Features& f = info.features;
        const std::vector<bool> qualities = f.hasQuality() ? options.qualities : std::vector<bool>{false};
        const std::vector<Amp> amps = f.hasAmpModes() ? options.amps : std::vector<Amp>{Amp::AClean};
        const bool isOurs = f.hasQuality() && f.hasAmpModes() && f.hasStereoSwitch();
        for (double rate : options.rates)
            for (bool high : qualities)
                for (Amp amp : amps)
                    for (bool stereo : options.stereo)
                        for (int32_t block : options.blocks) {
                            Case c;
                            c.sampleRate = rate;
                            c.highQuality = high;
                            c.stereo = stereo;
                            c.amp = amp;
                            c.blockSize = block;
                            Measurement m;
                            if (!measure(info, c, options.seconds, options.silence, m, &error)) {
                                std::fprintf(stderr, "ka813-rtf: %s\n", error.c_str());
                                status = 1;
                                continue;
                            }
                            std::string channels = stereo ? "stereo" : "mono";
                            if (m.instances > 1)
                                channels += " x2";
                            char silence[16] = "-";
                            if (options.silence > 0)
                                std::snprintf(silence, sizeof silence, "%.2f", m.silenceCost);
                            std::printf("%-20.20s %-8s %6.0f %-7s %-11s %-9s %5d %9s %9s %8s\n", info.name.c_str(),
                                        chainPath.c_str(), rate,
                                        f.hasQuality() ? (high ? "high" : "low") : "-",
                                        f.hasAmpModes() ? ampLabel(amp) : "-", channels.c_str(), block,
                                        factorText(m.meanFactor).c_str(), factorText(m.worstFactor).c_str(), silence);
                            std::fflush(stdout);

                            // Goals for the builds of this tree only, not for another
                            // build of the effect named as a peer.
                            const bool goalsApply = isOurs && !pathOf[p].empty();
                            if (goalsApply) {
                                char what[128];
                                std::snprintf(what, sizeof what, "%s path, %.0f Hz %s, %s quality, %s, block %d",
                                              chainPath.c_str(), rate, stereo ? "stereo" : "mono",
                                              high ? "high" : "low", ampLabel(amp), block);
                                // The fastest path must keep up with 140x (75x in high quality);
                                // the fallback with 100x (55x).
                                const bool twoLane = chainPath == ka813::pathName(ka813::Path::kTwoLane);
                                const double goal = twoLane ? (high ? 55.0 : 100.0) : (high ? 75.0 : 140.0);
                                // The slowest block at most three times the mean cost.
                                if (rate == 44100.0 && stereo) {
                                    goals.push_back({std::string(what) + ": mean", m.meanFactor, goal, false});
                                    goals.push_back({std::string(what) + ": worst block / mean cost",
                                                     m.meanFactor / m.worstFactor, 3.0, true});
                                }
                            }
                            if (goalsApply && options.silence > 0)
                                goals.push_back({"silence after a burst, " + std::to_string(static_cast<int>(rate)) +
                                                     " Hz " + (high ? "high" : "low") + " " + ampLabel(amp) + " " +
                                                     (stereo ? "stereo" : "mono") + " block " + std::to_string(block),
                                                 m.silenceCost, 1.1, true});
                        }
    }

    if (!goals.empty()) {
        int missed = 0;
        std::printf("\nGoals for Ka813 at 44.1 kHz stereo: at least 140x (low) and 75x (high quality) on the fastest\n"
                    "path, 100x and 55x on the two-lane one; the worst block at most 3x the mean cost; silence at most\n"
                    "1.1x the cost of signal.\n");
        for (const Goal& goal : goals) {
            bool met = goal.atMost ? goal.value <= goal.limit : goal.value >= goal.limit;
            if (met)
                continue;
            ++missed;
            if (goal.atMost)
                std::printf("  missed: %s is %.2f, limit %.2f (%.0f%% over)\n", goal.what.c_str(), goal.value,
                            goal.limit, 100.0 * (goal.value / goal.limit - 1.0));
            else
                std::printf("  missed: %s is %.1fx, goal %.0fx (%.0f%% short)\n", goal.what.c_str(), goal.value,
                            goal.limit, 100.0 * (1.0 - goal.value / goal.limit));
        }
        std::printf("  %d of %zu checks met\n", static_cast<int>(goals.size()) - missed, goals.size());
    }
    return status;
}
