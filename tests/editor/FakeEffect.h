#pragma once
// The effect side of the panel's seam, faked: parameter values in an array,
// and a log of what the panel asked for. Like the effect, it tells the editor
// of every change it makes.
#include <mutex>
#include <string>
#include <vector>

#include "editor/AEffGUIEditor.h"
#include "editor/EditorEffect.h"
#include "editor/PanelLayout.h"

namespace ka813::paneltest {

class FakeEffect : public EditorEffect {
public:
    float values[ka813::kNumTags] = {};
    float levels[ka813::kNumPanelMeters] = {-70.f, -70.f};  // dBFS, by meter
    AEffGUIEditor* editor = nullptr;  // told of changes, as the effect tells its editor

    float getParameter(int32_t index) override {
        return index >= 0 && index < ka813::kNumTags ? values[index] : 0.f;
    }
    void setParameter(int32_t index, float value) {
        if (index >= 0 && index < ka813::kNumTags)
            values[index] = value;
        if (editor)
            editor->setParameter(index, value);
    }
    void setParameterAutomated(int32_t index, float value) override {
        setParameter(index, value);
        record("automate " + std::to_string(index));
    }
    void beginEdit(int32_t index) override { record("begin " + std::to_string(index)); }
    void endEdit(int32_t index) override { record("end " + std::to_string(index)); }
    void masterIdle() override { ++idles; }
    float level(ka813::PanelMeter meter) override { return levels[static_cast<int32_t>(meter)]; }

    std::vector<std::string> requests() {
        std::lock_guard<std::mutex> lock(guard);
        return log;
    }
    void clearLog() {
        std::lock_guard<std::mutex> lock(guard);
        log.clear();
    }
    int idles = 0;

private:
    void record(const std::string& what) {
        std::lock_guard<std::mutex> lock(guard);
        log.push_back(what);
    }
    std::mutex guard;
    std::vector<std::string> log;
};

}  // namespace ka813::paneltest
