// Input a host should never send, and the effect's answer: never a NaN or an
// infinity at the output, and sane sound again once the input is sane.
#include <limits>
#include <random>
#include <thread>

#include "tests/model/HostedEffect.h"

using namespace ka813;
using namespace ka813::test;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

double rms(const std::vector<float>& x, size_t from)
{
    double sum = 0.0;
    for (size_t i = from; i < x.size(); ++i)
        sum += double(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(x.size() - from));
}

// Half a second on, the effect sounds as a fresh one does.
void expectSaneAgain(vsthost::Plugin& effect, const char* what)
{
    SCOPED_TRACE(what);
    const Stereo riff{sine(196.0, 0.3, 22050), sine(147.0, 0.3, 22050)};
    const Stereo heard = render(effect, riff, 256);
    ASSERT_TRUE(allFinite(heard.left));
    ASSERT_TRUE(allFinite(heard.right));
    auto fresh = loadEffect();
    for (int32_t index = 0; index < 23; ++index)
        fresh->setParameter(index, effect.getParameter(index));
    const Stereo expected = render(*fresh, riff, 256);
    EXPECT_NEAR(rms(heard.left, 17640), rms(expected.left, 17640), 0.05 * rms(expected.left, 17640));
    EXPECT_NEAR(rms(heard.right, 17640), rms(expected.right, 17640), 0.05 * rms(expected.right, 17640));
    EXPECT_GT(rms(heard.left, 17640), 0.01);
}

}  // namespace

TEST(BadInput, NonFiniteSamplesSilenceOnlyTheirBlock)
{
    for (float bad : {kNaN, kInfinity, -kInfinity, 3e38f}) {
        for (float stereo : {0.f, 1.f}) {
            auto effect = loadEffect();
            effect->setParameter(kStereo, stereo);
            effect->setParameter(kChannel, 1.f);
            render(*effect, both(sine(220.0, 0.3, 2048)), 256);
            Stereo poisoned = both(sine(220.0, 0.3, 256));
            poisoned.left[100] = bad;
            poisoned.right[17] = bad;
            const Stereo out = render(*effect, poisoned, 256);
            EXPECT_TRUE(allFinite(out.left));
            EXPECT_TRUE(allFinite(out.right));
            expectSaneAgain(*effect, stereo ? "stereo" : "mono");
        }
    }
}

TEST(BadInput, AbsurdParameterValuesNeverReachTheOutput)
{
    const float absurd[] = {kNaN, kInfinity, -kInfinity, 1e30f, -1e30f};
    for (int32_t index = 0; index < 23; ++index) {
        for (float value : absurd) {
            SCOPED_TRACE("parameter " + std::to_string(index) + " = " + std::to_string(value));
            auto effect = loadEffect();
            effect->setParameter(kStereo, 1.f);
            effect->setParameter(kChannel, index >= 12 && index <= 19 ? 1.f : 0.f);
            const float sane = effect->getParameter(index);
            effect->setParameter(index, value);
            const Stereo out = render(*effect, both(sine(220.0, 0.3, 4096)), 512);
            ASSERT_TRUE(allFinite(out.left));
            ASSERT_TRUE(allFinite(out.right));
            effect->setParameter(index, sane);
            expectSaneAgain(*effect, "restored");
        }
    }
}

TEST(BadInput, AnyChunkBytesAreSafeToLoad)
{
    auto effect = loadEffect();
    const std::vector<unsigned char> defaults = chunk(*effect, false);
    std::vector<std::vector<unsigned char>> banks;
    std::vector<unsigned char> nan = defaults, huge = defaults, noise(2920);
    for (size_t offset = 24; offset < 2920; offset += 4) {
        if (offset % 292 >= 24) {
            setFloatAt(nan, offset, kNaN);
            setFloatAt(huge, offset, offset % 8 ? 1e38f : -1e38f);
        }
    }
    std::mt19937 random(813);
    for (unsigned char& byte : noise)
        byte = static_cast<unsigned char>(random());
    for (const auto& bank : {nan, huge, noise}) {
        ASSERT_EQ(loadChunk(*effect, bank, false), 1);
        EXPECT_EQ(chunk(*effect, false).size(), 2920u);
        for (int32_t program = 0; program < 10; ++program) {
            effect->dispatch(effSetProgram, 0, program);
            char name[64];
            std::memset(name, 0x7F, sizeof name);
            effect->dispatch(effGetProgramName, 0, 0, name);
            EXPECT_LE(std::strlen(name), 24u);
            const Stereo out = render(*effect, both(sine(220.0, 0.3, 1024)), 256);
            ASSERT_TRUE(allFinite(out.left));
            ASSERT_TRUE(allFinite(out.right));
        }
        std::vector<unsigned char> record(292, 0xFF);
        EXPECT_EQ(loadChunk(*effect, record, true), 1);
        ASSERT_TRUE(allFinite(render(*effect, both(sine(220.0, 0.3, 1024)), 256).left));
    }
    ASSERT_EQ(loadChunk(*effect, defaults, false), 1);
    effect->dispatch(effSetProgram, 0, 0);
    expectSaneAgain(*effect, "defaults loaded");
}

// A host that automates from another thread while audio runs: nothing
// crashes, no NaN comes out, and the last value written to each parameter
// is the one it reports.
TEST(BadInput, ParametersAndProgramsChangedFromAnotherThread)
{
    auto effect = loadEffect();
    std::atomic<bool> done{false};
    float lastWritten[23];
    std::thread automation([&] {
        std::mt19937 random(1);
        std::uniform_real_distribution<float> position(0.f, 1.f);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < until) {
            for (int i = 0; i < 100; ++i)
                effect->setParameter(static_cast<int32_t>(random() % 23), position(random));
            effect->dispatch(effSetProgram, 0, static_cast<intptr_t>(random() % 10));
        }
        // Switches first: they recall values the knobs then overwrite.
        for (int32_t index : {kStereo, kQuality, kLowHighGain, kCleanCrunch, kChannel})
            effect->setParameter(index, lastWritten[index] = position(random));
        for (int32_t index = 0; index < 23; ++index) {
            if (index == kStereo || index == kQuality || index == kChannel || index == kCleanCrunch
                || index == kLowHighGain)
                continue;
            effect->setParameter(index, lastWritten[index] = position(random));
        }
        done = true;
    });
    const Stereo riff{sine(196.0, 0.5, 256), sine(147.0, 0.5, 256)};
    size_t blocks = 0;
    bool finite = true;
    while (!done) {
        const Stereo out = render(*effect, riff, 256);
        finite = finite && allFinite(out.left) && allFinite(out.right);
        ++blocks;
    }
    automation.join();
    EXPECT_TRUE(finite);
    EXPECT_GT(blocks, 10u);
    for (int32_t index = 0; index < 23; ++index)
        EXPECT_EQ(effect->getParameter(index), lastWritten[index]) << index;
}
