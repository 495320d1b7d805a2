#include "shell/ModelOwner.h"

#include <cstring>

namespace ka813 {

namespace {

AmpSettings settingsOf(const ModelOwner::Values& values)
{
    return settingsFor(positionsOf(values));
}

}  // namespace

ModelOwner::ModelOwner(const Values& initial, float hostRate)
{
    amp.start(settingsOf(initial), hostRate);
}

void ModelOwner::publish(const Values& values, float hostRate)
{
    handover.publish({settingsOf(values), hostRate});
}

void ModelOwner::applyIfIdle()
{
    if (audioRunning.load(std::memory_order_relaxed))
        return;
    Lease lease(holder, Lease::kControl);
    if (lease)
        take();
}

void ModelOwner::suspend()
{
    audioRunning.store(false, std::memory_order_relaxed);
    // Nothing plays: the lights go dark and the meters start from silence.
    inputLevel.store(LevelMeter::kFloorDb, std::memory_order_relaxed);
    outputLevel.store(LevelMeter::kFloorDb, std::memory_order_relaxed);
    // What came in during the last blocks reaches the model now.
    Lease lease(holder, Lease::kControl);
    if (lease)
        take();
}

void ModelOwner::resume()
{
    {
        Lease lease(holder, Lease::kControl);
        if (lease) {
            take();
            amp.settle();
            inputMeter.reset();
            outputMeter.reset();
        }
    }
    audioRunning.store(true, std::memory_order_relaxed);
}

void ModelOwner::process(const float* const* inputs, float* const* outputs, int32_t frames)
{
    audioRunning.store(true, std::memory_order_relaxed);
    Lease lease(holder, Lease::kAudio);
    if (!lease) {
        // Only a host that processes before it resumes, while another of its
        // threads changes the effect, gets here: one silent block.
        std::memset(outputs[0], 0, sizeof(float) * static_cast<size_t>(frames));
        std::memset(outputs[1], 0, sizeof(float) * static_cast<size_t>(frames));
        return;
    }
    take();
    const float arrived = inputPeak(inputs, frames);
    amp.processBlock(inputs, outputs, frames);
    // In mono the model writes its one result to both sides.
    meter(arrived, amp.stereo == 1 ? outputPeak(outputs, frames) : peakOf(outputs[0], frames), frames);
}

void ModelOwner::meterBypassed(const float* const* inputs, const float* const* outputs, int32_t frames)
{
    meter(inputPeak(inputs, frames), outputPeak(outputs, frames), frames);
}

float ModelOwner::inputPeak(const float* const* inputs, int32_t frames) const
{
    const float left = peakOf(inputs[0], frames);
    if (amp.stereo != 1)
        return left;  // mono plays the left side alone
    const float right = peakOf(inputs[1], frames);
    return right > left ? right : left;
}

float ModelOwner::outputPeak(const float* const* outputs, int32_t frames)
{
    const float left = peakOf(outputs[0], frames), right = peakOf(outputs[1], frames);
    return right > left ? right : left;
}

void ModelOwner::meter(float inputPeakOfBlock, float outputPeakOfBlock, int32_t frames)
{
    if (amp.sampleRate != meteredRate) {
        meteredRate = amp.sampleRate;
        inputMeter.setRate(meteredRate);
        outputMeter.setRate(meteredRate);
    }
    inputMeter.take(inputPeakOfBlock, frames);
    outputMeter.take(outputPeakOfBlock, frames);
    inputLevel.store(inputMeter.db(), std::memory_order_relaxed);
    outputLevel.store(outputMeter.db(), std::memory_order_relaxed);
}

void ModelOwner::take()
{
    if (const Request* request = handover.take())
        amp.change(request->settings, request->hostRate);
}

}  // namespace ka813
