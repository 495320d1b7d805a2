#include <benchmark/benchmark.h>

#include "editor/CBitmap.h"
#include "editor/CDrawContext.h"
#include "editor/CFrame.h"
#include "editor/CKnob.h"
#include "editor/PanelLayout.h"
#include "editor/platform/Platform.h"

using namespace VSTGUI;
using namespace ka813;

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
    CBitmap background(kBackgroundImage);
    CBitmap strip(kSmallKnobImage);
    CFrame* frame = new CFrame(CRect(0, 0, kPanelWidth, kPanelHeight), nullptr, nullptr);
    frame->setBackground(&background);
    // The tone knobs of both rows, where the panel has them.
    const int32_t tags[] = {kTagLowB, kTagMidB, kTagHighB, kTagContourB,
                            kTagLowA, kTagMidA, kTagHighA, kTagContourA};
    CAnimKnob* knobs[8];
    for (int i = 0; i < 8; ++i) {
        const PanelRect r = panelRect(*panelControl(tags[i]));
        knobs[i] = new CAnimKnob(CRect(r.left, r.top, r.right, r.bottom), nullptr, tags[i], kKnobFrames,
                                 strip.getHeight() / kKnobFrames, &strip);
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
