// The plug-in's run as hosts call it: at any rate a host gives, with blocks
// of any length from 0 up, in place, with the mode switches, knobs and the
// bypass moving between blocks, and allocating nothing while it plays (every
// byte is taken in instantiate). Counts its process's allocations, so it
// runs alone.
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "lv2/Latency.h"
#include "tests/lv2/LilvHost.h"
#include "tests/model/CountingAllocations.h"

using namespace ka813::lv2;
using namespace ka813::test;

TEST(Run, EveryRateEveryBlockLengthAndNoAllocationInRun)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    for (double rate : {8000.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
        SCOPED_TRACE(rate);
        const long beforeInstance = allocations.load();
        Lv2Instance plugin(host, rate);
        // The model is taken whole when the plug-in is made.
        EXPECT_GT(allocations.load(), beforeInstance);
        std::vector<float> left(4096), right(4096), outLeft(4096), outRight(4096);
        for (size_t i = 0; i < left.size(); ++i) {
            left[i] = 0.3f * std::sin(2.f * static_cast<float>(M_PI) * 220.f * static_cast<float>(i / rate));
            right[i] = 0.5f * left[i];
        }
        plugin.activate();
        const long before = allocations.load();
        for (int round = 0; round < 8; ++round) {
            // Switches and knobs move between blocks.
            for (uint32_t i = 0; i < kNumControlPorts; ++i)
                plugin.port(kFirstGlobalPort + i) = static_cast<float>((round * 5 + i) % 7) / 6.f;
            // Bypassed and back, the fades across blocks.
            plugin.port(kEnabledPort) = static_cast<float>(round / 2 % 2 == 0);
            size_t start = 0;
            for (uint32_t frames : {0u, 1u, 13u, 64u, 0u, 511u, 1024u}) {
                plugin.connectAudio(left.data() + start, right.data() + start, outLeft.data() + start,
                                    outRight.data() + start);
                plugin.run(frames);
                start += frames;
            }
            // In place.
            plugin.connectAudio(outLeft.data(), outRight.data(), outLeft.data(), outRight.data());
            plugin.run(777);
        }
        EXPECT_EQ(allocations.load() - before, 0);
        double peak = 0.0;
        for (float v : outLeft) {
            ASSERT_TRUE(std::isfinite(v));
            peak = std::max(peak, static_cast<double>(std::fabs(v)));
        }
        EXPECT_GT(peak, 1e-3) << "silent";
        EXPECT_GE(plugin.latency(), 3.f);
        EXPECT_LE(plugin.latency(), static_cast<float>(kMostLatencyFrames));
        plugin.deactivate();
    }
}

// A rate no host could mean is refused rather than run.
TEST(Run, ARateThatIsNoRateIsRefused)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    for (double rate : {0.0, -44100.0, std::nan("")}) {
        LilvInstance* instance = lilv_plugin_instantiate(host.plugin, rate, nullptr);
        EXPECT_EQ(instance, nullptr) << rate;
        if (instance)
            lilv_instance_free(instance);
    }
}
