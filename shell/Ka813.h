// The effect: a two-channel valve guitar preamp with 23 parameters.
#pragma once

#include "dsp/AmpModel.h"
#include "shell/AudioEffectX.h"
#include "shell/ParameterTable.h"
#include "shell/ProgramBank.h"

class Ka813 : public AudioEffectX {
public:
    explicit Ka813(audioMasterCallback audioMaster);
    ~Ka813() override;

    void setSampleRate(float newRate) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;

    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
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

    // The amplifier as it stands, for inspection.
    const AmpModel& model() const { return amp; }

private:
    ka813::AmpMode activeMode() const;
    ka813::AmpMode channelAMode() const;
    ka813::AmpMode channelBMode() const;
    void rememberInModeMemory(int32_t index, float value);
    void applyToModel(int32_t index, float value);
    template <size_t N>
    void recall(ka813::AmpMode mode, const int32_t (&indices)[N]);

    ka813::ProgramBank bank;
    // The value of each parameter as last set, unclamped: what getParameter answers.
    float parameterValues[ka813::kNumParameters];
    AmpModel amp;
};
