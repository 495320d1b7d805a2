/* Our own declarations of the VST 2.x binary interface, as a host on
 * x86-64 Linux reads it. Plain C so that host-side tools can include it too. */
#ifndef KA813_VST2_INTERFACE_H
#define KA813_VST2_INTERFACE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct AEffect AEffect;

/* Every request of the effect to the host goes through this. */
typedef intptr_t (*audioMasterCallback)(AEffect* effect, int32_t opcode, int32_t index,
                                        intptr_t value, void* ptr, float opt);

typedef intptr_t (*AEffectDispatcherProc)(AEffect* effect, int32_t opcode, int32_t index,
                                          intptr_t value, void* ptr, float opt);
typedef void (*AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                   int32_t sampleFrames);
typedef void (*AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                         int32_t sampleFrames);
typedef void (*AEffectSetParameterProc)(AEffect* effect, int32_t index, float parameter);
typedef float (*AEffectGetParameterProc)(AEffect* effect, int32_t index);

/* The entry a plug-in exports under the names VSTPluginMain and main. */
typedef AEffect* (*VstPluginMainProc)(audioMasterCallback audioMaster);

/* Four characters packed most significant first. */
#define KA813_FOUR_CHARS(a, b, c, d) \
    ((int32_t)(((uint32_t)(a) << 24) | ((uint32_t)(b) << 16) | ((uint32_t)(c) << 8) | (uint32_t)(d)))

enum {
    kEffectMagic = 0x56737450, /* 'VstP' */
    kVstVersion = 2400
};

struct AEffect {
    int32_t magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process; /* accumulating, deprecated */
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t flags;
    intptr_t resvd1;
    intptr_t resvd2;
    int32_t initialDelay;
    int32_t realQualities;
    int32_t offQualities;
    float ioRatio;
    void* object;
    void* user;
    int32_t uniqueID;
    int32_t version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,
    effFlagsHasVu = 1 << 2,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12
};

/* Host -> effect opcodes. The gaps are deprecated numbers; an effect answers 0 to them. */
enum {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effOfflineNotify = 38,
    effOfflinePrepare = 39,
    effOfflineRun = 40,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effGetParameterProperties = 56,
    effGetVstVersion = 58,
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effSetEditKnobMode = 61,
    effGetMidiProgramName = 62,
    effGetCurrentMidiProgram = 63,
    effGetMidiProgramCategory = 64,
    effHasMidiProgramsChanged = 65,
    effGetMidiKeyName = 66,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetTotalSampleToProcess = 73,
    effSetPanLaw = 74,
    effBeginLoadBank = 75,
    effBeginLoadProgram = 76,
    effSetProcessPrecision = 77,
    effGetNumMidiInputChannels = 78,
    effGetNumMidiOutputChannels = 79,
    /* The first opcode handled by the extension dispatcher, and the last one known. */
    effFirstExtensionOpcode = effProcessEvents,
    effLastKnownOpcode = effGetNumMidiOutputChannels
};

/* Effect -> host requests (the callback's opcode). */
enum {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterSetTime = 9,
    audioMasterTempoAt = 10,
    audioMasterGetNumAutomatableParameters = 11,
    audioMasterGetParameterQuantization = 12,
    audioMasterIOChanged = 13,
    audioMasterNeedIdle = 14,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetPreviousPlug = 20,
    audioMasterGetNextPlug = 21,
    audioMasterWillReplaceOrAccumulate = 22,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterOfflineStart = 25,
    audioMasterOfflineRead = 26,
    audioMasterOfflineWrite = 27,
    audioMasterOfflineGetCurrentPass = 28,
    audioMasterOfflineGetCurrentMetaPass = 29,
    audioMasterSetOutputSampleRate = 30,
    audioMasterGetOutputSpeakerArrangement = 31,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterSetIcon = 36,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterOpenWindow = 39,
    audioMasterCloseWindow = 40,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
    audioMasterOpenFileSelector = 45,
    audioMasterCloseFileSelector = 46,
    audioMasterEditFile = 47,
    audioMasterGetChunkFile = 48,
    audioMasterGetInputSpeakerArrangement = 49
};

enum {
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2
};

/* String bounds of the interface: a copy writes at most bound characters and a NUL. */
enum {
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxEffectNameLen = 32,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64
};

/* Editor rectangle, in the order top, left, bottom, right. */
typedef struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
} ERect;

/* A key the host forwards to the editor. */
typedef struct VstKeyCode {
    int32_t character;
    uint8_t virt;
    uint8_t modifier;
} VstKeyCode;

#ifdef __cplusplus
} /* extern "C" */
#endif

/* The host reads the record directly, so its layout is part of the interface. */
#if defined(__cplusplus)
#define KA813_STATIC_ASSERT static_assert
#else
#define KA813_STATIC_ASSERT _Static_assert
#endif

#if defined(__x86_64__)
KA813_STATIC_ASSERT(offsetof(AEffect, magic) == 0, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, dispatcher) == 8, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, process) == 16, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, setParameter) == 24, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, getParameter) == 32, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, numPrograms) == 40, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, numParams) == 44, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, numInputs) == 48, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, numOutputs) == 52, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, flags) == 56, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, resvd1) == 64, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, resvd2) == 72, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, initialDelay) == 80, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, realQualities) == 84, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, offQualities) == 88, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, ioRatio) == 92, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, object) == 96, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, user) == 104, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, uniqueID) == 112, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, version) == 116, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, processReplacing) == 120, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, processDoubleReplacing) == 128, "AEffect layout");
KA813_STATIC_ASSERT(offsetof(AEffect, future) == 136, "AEffect layout");
KA813_STATIC_ASSERT(sizeof(AEffect) == 192, "AEffect layout");
#endif
KA813_STATIC_ASSERT(sizeof(ERect) == 8, "ERect layout");
KA813_STATIC_ASSERT(offsetof(VstKeyCode, virt) == 4, "VstKeyCode layout");
KA813_STATIC_ASSERT(offsetof(VstKeyCode, modifier) == 5, "VstKeyCode layout");

#endif /* KA813_VST2_INTERFACE_H */
