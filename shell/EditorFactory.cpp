#include "shell/EditorFactory.h"

// No editor library is linked in: the effect runs without a window.
AEffEditor* createEditor(AudioEffectX*)
{
    return nullptr;
}
