// The VST 2.4 extension layer: answers the extension opcodes and sends the
// host the requests an editor needs (edit brackets, window size).
#pragma once

#include "shell/AudioEffect.h"

namespace ka813 {

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);

    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;
    void resume() override;

    virtual bool canParameterBeAutomated(int32_t index);
    virtual bool string2parameter(int32_t index, char* text);
    virtual bool getParameterProperties(int32_t index, void* properties);
    // Bracket a user gesture on a parameter for the host.
    virtual bool beginEdit(int32_t index);
    virtual bool endEdit(int32_t index);
    virtual bool getProgramNameIndexed(int32_t category, int32_t index, char* text);
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual int32_t beginLoadBank(void* bank);
    virtual int32_t beginLoadProgram(void* program);
    virtual bool getInputProperties(int32_t index, void* properties);
    virtual bool getOutputProperties(int32_t index, void* properties);
    virtual bool setSpeakerArrangement(void* inputs, void* outputs);
    virtual bool getSpeakerArrangement(void** inputs, void** outputs);
    virtual bool setBypass(bool onOff);
    virtual bool setPanLaw(int32_t type, float value);
    virtual bool setProcessPrecision(int32_t precision);
    virtual int32_t getNumMidiInputChannels() { return 0; }
    virtual int32_t getNumMidiOutputChannels() { return 0; }
    virtual int32_t processEvents(void* events);
    virtual int32_t startProcess() { return 0; }
    virtual int32_t stopProcess() { return 0; }
    virtual bool processVariableIo(void* varIo);
    virtual intptr_t setTotalSampleToProcess(intptr_t value) { return value; }
    // 1 when the host says it can do the named thing.
    virtual int32_t canHostDo(char* text);
    virtual int32_t getGetTailSize() { return 0; }
    virtual bool getEffectName(char* name);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual int32_t getVendorVersion() { return 0; }
    virtual intptr_t vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
    virtual int32_t canDo(char* text);
    virtual int32_t getVstVersion() { return kVstVersion; }
    virtual int32_t getPlugCategory();
    virtual int32_t getCurrentMidiProgram(int32_t channel, void* currentProgram);
    // Asks the host to resize the editor window; true when it did.
    virtual bool sizeWindow(int32_t width, int32_t height);
    virtual void wantEvents(int32_t filter = 1);

protected:
    // Asks the host for MIDI only when the effect can use it.
    void applyMidiRule();
};

}  // namespace ka813
