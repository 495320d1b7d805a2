#include <benchmark/benchmark.h>

#include "editor/CBitmap.h"
#include "editor/CDrawContext.h"
#include "editor/CFrame.h"
#include "editor/CKnob.h"
#include "editor/platform/Platform.h"

using namespace VSTGUI;

namespace {

void decodeResource(benchmark::State& state) {
    const int32_t id = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        CBitmap bitmap(id);
        benchmark::DoNotOptimize(bitmap.getImage());
    }
}
BENCHMARK(decodeResource)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// An idle pass after one knob moved: the knob's rectangle is redrawn in the
// back buffer (background, then every control overlapping it).
void redrawOneKnob(benchmark::State& state) {
    CBitmap background(1);
    CBitmap strip(3);
    CFrame* frame = new CFrame(CRect(0, 0, 720, 280), nullptr, nullptr);
    frame->setBackground(&background);
    CAnimKnob* knobs[8];
    for (int i = 0; i < 8; ++i) {
        knobs[i] = new CAnimKnob(CRect(294 + 33 * (i % 4), 155 + 42 * (i / 4), 327 + 33 * (i % 4),
                                       188 + 42 * (i / 4)),
                                 nullptr, i, 101, strip.getHeight() / 101, &strip);
        frame->addView(knobs[i]);
    }
    CDrawContext* context = frame->createWindowContext();
    frame->update(context);  // first full draw
    float value = 0.f;
    for (auto _ : state) {
        value = value >= 1.f ? 0.f : value + 0.01f;
        knobs[3]->setValue(value);
        frame->update(context);
    }
    context->forget();
    frame->forget();
}
BENCHMARK(redrawOneKnob)->Unit(benchmark::kMicrosecond);

}  // namespace
