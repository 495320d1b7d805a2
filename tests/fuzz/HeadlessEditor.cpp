// The fuzz target runs the effect without a window: building the panel for
// every input would leave little time for the calls being fuzzed.
#include "shell/EditorFactory.h"

namespace ka813 {

AEffEditor* createEditor(AudioEffectX*, const EffectCore&)
{
    return nullptr;
}

}  // namespace ka813
