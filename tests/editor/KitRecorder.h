#pragma once
// An editor and a listener that write down what the widgets ask of them.
#include <atomic>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "editor/CControl.h"
#include "editor/CView.h"

namespace ka813::paneltest {

class Recorder : public VSTGUI::VSTGUIEditorInterface, public VSTGUI::CControlListener {
public:
    std::vector<std::string> events;
    std::atomic<int> idlePasses{0};
    std::atomic<bool> editing{false};
    std::atomic<float> lastValue{-1.f};
    std::function<void()> onIdle;  // what the editor's idle does besides counting
    int32_t modifierClickAnswer = 0;  // non-zero: modifier clicks are taken here
    std::vector<std::pair<int32_t, int32_t>> modifierClicks;  // tag and buttons of each offer

    void doIdleStuff() override {
        events.push_back("idle");
        ++idlePasses;
        if (onIdle)
            onIdle();
    }
    void beginEdit(int32_t tag) override {
        events.push_back("begin " + std::to_string(tag));
        editing = true;
    }
    void endEdit(int32_t tag) override {
        events.push_back("end " + std::to_string(tag));
        editing = false;
    }
    void valueChanged(VSTGUI::CDrawContext*, VSTGUI::CControl* control) override {
        events.push_back("changed " + std::to_string(control->getTag()));
        lastValue = control->getValue();
        control->setDirty(true);
    }
    int32_t controlModifierClicked(VSTGUI::CDrawContext*, VSTGUI::CControl* control,
                                   int32_t buttons) override {
        modifierClicks.emplace_back(control->getTag(), buttons);
        return modifierClickAnswer;
    }
    // The events without the idle passes, which depend on timing.
    std::vector<std::string> edits() const {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e != "idle")
                out.push_back(e);
        return out;
    }
};

}  // namespace ka813::paneltest
