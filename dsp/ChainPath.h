// Which code runs the chain: the two-lane code every processor runs, or
// on x86-64 the one that steps four triode lanes at once with AVX2. Both give the
// same output to the last bit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dsp/Glide.h"

namespace ka813 {

struct AmpModel;
struct AmpSide;
struct TriodeStage;

enum class Path : int32_t { kTwoLane, kAvx2 };

// The AVX2 path is x86-64 code; elsewhere the two-lane path is the only one.
#if defined(__x86_64__)
#define KA813_AVX2_PATH 1
#else
#define KA813_AVX2_PATH 0
#endif

// The fastest path this processor can run.
Path fastestPath();

const char* pathName(Path path);

// Host frames per chunk: the chain runs over all their oversampled samples
// at once, each element's state held in registers through them.
constexpr int32_t kChunkFrames = 64;

// Values of one host frame that the chain reads for each of its samples.
struct FrameValues {
    const double* driveA;  // per host frame
    const double* driveB;
    int32_t shift;  // sample i belongs to frame i >> shift
    // Each channel's output gain from its contour, for the chunk.
    double contourA, contourB;
    // Per host frame, each channel's switch positions by GlidingSwitch (0
    // off, clean, low gain, open; 1 on, crunch, high gain, focus); read only
    // by a channel that glides.
    const double* glideA[kGlideCount];
    const double* glideB[kGlideCount];
    // Per host frame while channel A glides, its input gain times its drive
    // over what they are in clean mode.
    const double* gainsOverCleanA;
};

// Which circuit a chunk runs: one of a channel's two designs, or both of
// them mixed by the switch positions (the channel glides).
enum class Form : int32_t { kFirst, kSecond, kGliding };
struct Circuit {
    bool channelB;
    Form form;
};

#if KA813_AVX2_PATH
// A channel's circuit and the output high-pass over count samples with
// AVX2: sides 1, samples one double each (left side only, l and r the same
// record); sides 2, a left and a right double per sample. Knob-following
// coefficients must be up to date. Only on a processor that has AVX2.
void processChannelChunkAvx2(const AmpModel& model, Circuit circuit, const double& rate, AmpSide& l,
                             AmpSide& r, int32_t sides, double* samples, size_t count,
                             const FrameValues& frames);

// Four triode stages side by side over count samples, stage i on
// inputs[4 n + i]; the outputs replace the inputs. For benchmarks.
void stepFourTriodesAvx2(TriodeStage* const (&stages)[4], double* inputs, size_t count, const double& rate);
#endif

}  // namespace ka813
