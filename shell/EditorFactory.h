// The one place where the effect gets its editor. EditorBinding.cpp defines
// it with the front panel; a build without the panel (the fuzz target's)
// defines its own, and without an editor the effect runs headless.
#pragma once

namespace ka813 {

class AEffEditor;
class AudioEffectX;
class EffectCore;

// Returns a new editor that has already registered itself with the effect
// (setEditor), or nullptr when there is none. The effect's core, which
// outlives the editor, gives the levels the panel shows.
AEffEditor* createEditor(AudioEffectX* effect, const EffectCore& core);

}  // namespace ka813
