// The meters' block peak: the largest magnitude whatever the length, the sign
// or where it lies; a NaN is no level, an infinity is the loudest there is.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "dsp/LevelMeter.h"

using namespace ka813;

TEST(LevelMeter, PeakOfABlock)
{
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Case {
        std::vector<float> samples;
        float peak;
    };
    const Case kCases[] = {
        {{}, 0.f},
        {{-0.25f}, 0.25f},
        {{0.1f, -0.2f, 0.3f, -0.4f, 0.5f, -0.6f, 0.7f}, 0.7f},  // the last, past the groups of four
        {{0.1f, -0.9f, 0.3f, 0.2f, 0.1f}, 0.9f},
        {{nan, 0.5f, nan, nan, -nan, 0.1f}, 0.5f},
        {{0.5f, nan, 0.2f, 0.1f, nan}, 0.5f},
        {{0.5f, -inf, 0.2f}, inf},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::PrintToString(c.samples));
        EXPECT_EQ(peakOf(c.samples.data(), static_cast<int32_t>(c.samples.size())), c.peak);
    }
}
