// The one place where the effect gets its editor. The editor library
// defines it; without an editor the effect runs headless.
#pragma once

class AEffEditor;
class AudioEffectX;

// Returns a new editor that has already registered itself with the effect
// (setEditor), or nullptr when there is none.
AEffEditor* createEditor(AudioEffectX* effect);
