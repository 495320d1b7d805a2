// The effect: a two-channel valve guitar preamp with 23 parameters.
#pragma once

#include "shell/AudioEffectX.h"
#include "shell/ParameterTable.h"

class Ka813 : public AudioEffectX {
public:
    explicit Ka813(audioMasterCallback audioMaster);
    ~Ka813() override;

    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;

    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void getParameterLabel(int32_t index, char* label) override;
    void getParameterDisplay(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;

    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override;

private:
    // The value of each parameter as last set, unclamped: what getParameter answers.
    float parameterValues[ka813::kNumParameters];
};
