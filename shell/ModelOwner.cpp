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
    amp.processBlock(inputs, outputs, frames);
}

void ModelOwner::take()
{
    if (const Request* request = handover.take())
        amp.change(request->settings, request->hostRate);
}

}  // namespace ka813
