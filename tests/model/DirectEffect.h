// The effect built directly, for tests that look at the model's values.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "shell/AEffEditor.h"
#include "shell/Ka813.h"
#include "tests/model/ParameterIndex.h"

namespace ka813::test {

inline intptr_t silentHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

inline std::unique_ptr<ka813::Ka813> makeEffect()
{
    return std::make_unique<ka813::Ka813>(silentHost);
}

// Stands in for the front panel: records what the effect tells it.
class RecordingEditor : public ka813::AEffEditor {
public:
    RecordingEditor(ka813::AudioEffect* effect, std::vector<std::pair<int, float>>& calls)
        : ka813::AEffEditor(effect), calls(calls)
    {
    }
    void setParameter(int index, float value) override { calls.push_back({index, value}); }

private:
    std::vector<std::pair<int, float>>& calls;
};

}  // namespace ka813::test
