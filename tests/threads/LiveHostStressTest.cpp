// A host that plays while its other threads do what hosts do: automation,
// program and chunk loads, rate changes, display queries and the editor
// opening, idling and closing. Through the built library; the output stays
// as loud as the same settings make it alone, and the values end as last
// written.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "tests/shell/PluginPath.h"
#include "tools/host/VstHost.h"

using namespace ka813;
using namespace ka813::test;

namespace {

constexpr int kBlock = 512;
using Clock = std::chrono::steady_clock;

std::unique_ptr<vsthost::Plugin> loadQuietly()
{
    vsthost::LoadOptions options;
    options.recordRequests = false;
    std::string error;
    auto plugin = vsthost::Plugin::load(pluginPath(), &error, options);
    EXPECT_TRUE(plugin) << error;
    return plugin;
}

// A riff-like loop of plucked notes, stereo.
struct Riff {
    std::vector<float> left, right;
    Riff() : left(44100), right(44100)
    {
        for (size_t n = 0; n < left.size(); ++n) {
            const double t = static_cast<double>(n % 11025) / 44100.0;
            const double envelope = std::exp(-4.0 * t);
            left[n] = static_cast<float>(0.3 * envelope * std::sin(2 * M_PI * 110.0 * t));
            right[n] = static_cast<float>(0.3 * envelope * std::sin(2 * M_PI * 146.8 * t));
        }
    }
};

// Plays blocks until told to stop; the loudest sample and whether every
// sample was finite.
struct Player {
    double peak = 0.0;
    bool finite = true;
    long blocks = 0;

    void play(vsthost::Plugin& plugin, const Riff& riff, const std::function<bool()>& more)
    {
        std::vector<float> outL(kBlock), outR(kBlock);
        size_t position = 0;
        while (more()) {
            float* in[] = {const_cast<float*>(riff.left.data() + position),
                           const_cast<float*>(riff.right.data() + position)};
            float* out[] = {outL.data(), outR.data()};
            plugin.processReplacing(in, out, kBlock);
            for (int k = 0; k < kBlock; ++k) {
                finite = finite && std::isfinite(outL[k]) && std::isfinite(outR[k]);
                peak = std::max({peak, double(std::fabs(outL[k])), double(std::fabs(outR[k]))});
            }
            position = (position + kBlock) % (riff.left.size() - kBlock);
            ++blocks;
        }
    }
};

void setUp(vsthost::Plugin& plugin)
{
    plugin.setParameter(21, 1.f);  // stereo
    plugin.setParameter(1, 1.f);   // channel B
    plugin.setParameter(3, 1.f);   // high gain
    plugin.dispatch(effMainsChanged, 0, 1);
}

// Opens, idles and closes the editor in a window of its own, again and
// again; false when there is no X server to do it on.
bool cycleEditor(vsthost::Plugin& plugin, const std::atomic<bool>& stop)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const int screen = DefaultScreen(display);
    const ::Window parent = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 720,
                                                280, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    while (!stop) {
        plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent));
        for (int i = 0; i < 5; ++i)
            plugin.dispatch(effEditIdle);
        plugin.dispatch(effEditClose);
    }
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
    return true;
}

}  // namespace

TEST(LiveHost, OtherThreadsNeitherDisturbTheSoundNorLoseValues)
{
    const Riff riff;
    const double seconds = std::getenv("KA813_STRESS_SECONDS") ? std::atof(std::getenv("KA813_STRESS_SECONDS")) : 2.0;

    auto alone = loadQuietly();
    setUp(*alone);
    Player quiet;
    long quietBlocks = 0;
    quiet.play(*alone, riff, [&] { return quietBlocks++ < 400; });

    auto plugin = loadQuietly();
    setUp(*plugin);
    vsthost::Plugin& effect = *plugin;
    std::atomic<bool> stopControls{false}, stopAudio{false};
    Player busy;
    std::thread audio([&] { busy.play(effect, riff, [&] { return !stopAudio; }); });

    std::vector<std::thread> controls;
    // A host re-sending every value it holds, as automation playback does.
    controls.emplace_back([&] {
        while (!stopControls)
            for (int32_t index = 0; index < 23; ++index)
                effect.setParameter(index, effect.getParameter(index));
    });
    controls.emplace_back([&] {
        while (!stopControls)
            effect.dispatch(effSetProgram, 0, 0);
    });
    controls.emplace_back([&] {
        while (!stopControls) {
            for (int program = 0; program < 2; ++program) {
                void* data = nullptr;
                const intptr_t size = effect.dispatch(effGetChunk, program, 0, &data);
                std::vector<char> copy(static_cast<const char*>(data),
                                       static_cast<const char*>(data) + size);
                effect.dispatch(effSetChunk, program, size, copy.data());
            }
        }
    });
    controls.emplace_back([&] {
        for (int turn = 0; !stopControls; ++turn) {
            effect.dispatch(effSetSampleRate, 0, 0, nullptr, turn % 2 ? 48000.f : 44100.f);
            char text[64];
            for (int32_t index = 0; index < 23; ++index)
                effect.dispatch(effGetParamDisplay, index, 0, text);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        effect.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.f);
    });
    std::atomic<bool> editorRan{false};
    controls.emplace_back([&] { editorRan = cycleEditor(effect, stopControls); });

    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    stopControls = true;
    for (std::thread& thread : controls)
        thread.join();

    // The last word on every value, while audio still runs.
    float last[23];
    for (int32_t index = 0; index < 23; ++index) {
        last[index] = index == 1 || index == 3 || index == 21 ? 1.f : 0.25f + 0.01f * index;
        if (index == 22)
            last[index] = 0.f;
        effect.setParameter(index, last[index]);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stopAudio = true;
    audio.join();

    EXPECT_TRUE(busy.finite);
    EXPECT_GT(busy.blocks, 20);
    EXPECT_GT(quiet.peak, 0.1);
    EXPECT_LE(busy.peak, 2.0 * quiet.peak) << "alone " << quiet.peak;
    for (int32_t index = 0; index < 23; ++index)
        EXPECT_EQ(effect.getParameter(index), last[index]) << index;
    std::printf("%ld blocks; peak %.3f with the other threads, %.3f alone\n", busy.blocks, busy.peak,
                quiet.peak);
    if (!editorRan)
        std::printf("no X server: the editor did not take part\n");
}
