// The fuzz target runs the effect without a window: building the panel for
// every input would leave little time for the calls being fuzzed.
#include "shell/EditorFactory.h"

AEffEditor* createEditor(AudioEffectX*, const ka813::EffectCore&)
{
    return nullptr;
}
