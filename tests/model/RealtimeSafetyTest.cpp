// The audio path and the parameter path allocate nothing: every byte the
// effect needs is taken when it is built.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "tests/model/DirectEffect.h"
#include "tests/model/CountingAllocations.h"

using namespace ka813::test;

TEST(RealtimeSafety, ProcessingAndParameterChangesAllocateNothing)
{
    auto effect = makeEffect();
    std::vector<float> left(4096), right(4096), outL(4096), outR(4096);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = 0.5f * std::sin(0.03f * static_cast<float>(i));
        right[i] = 0.5f * std::sin(0.05f * static_cast<float>(i));
    }
    left[3000] = std::nanf("");  // the recovery path too
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outL.data(), outR.data()};

    const long before = allocations.load();
    for (int round = 0; round < 4; ++round) {
        for (int32_t index = 0; index < 23; ++index)
            effect->setParameter(index, (round * 23 + index) % 7 / 6.f);
        for (int32_t frames : {1, 64, 511, 4096})
            effect->processReplacing(inputs, outputs, frames);
        effect->processReplacing(inputs, inputs, 300);  // in place
    }
    EXPECT_EQ(allocations.load() - before, 0);
}
