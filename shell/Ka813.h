// The effect as a VST 2 plug-in: each host call forwarded to the effect's
// core, and what the core reports passed on to the panel and the host.
#pragma once

#include "shell/AudioEffectX.h"
#include "shell/EffectCore.h"

namespace ka813 {

class Ka813 : public AudioEffectX, private EffectCore::Listener {
public:
    explicit Ka813(audioMasterCallback audioMaster);
    ~Ka813() override;

    void setSampleRate(float newRate) override;
    void suspend() override;
    void resume() override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;

    void setParameter(int32_t index, float value) override;
    void setParameterAutomated(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    int32_t getProgram() override;
    void setProgram(int32_t program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(int32_t index, char* label) override;
    void getParameterDisplay(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;
    int32_t getChunk(void** data, bool isPreset = false) override;
    int32_t setChunk(void* data, int32_t byteSize, bool isPreset = false) override;

    bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override;

    // The amplifier as it stands, for inspection while no audio runs.
    const AmpModel& model() const { return core.model(); }

private:
    void valueChanged(const ChangeReport& report) override;
    void programLoaded(const ValueList& values) override;
    void tellEditor(const ValueList& values);

    EffectCore core;
};

}  // namespace ka813
