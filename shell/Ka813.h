// The effect: a two-channel valve guitar preamp with 23 parameters.
//
// Threads. The host's audio thread owns the amplifier model. Every other
// call (parameters, programs, chunks, the rate, the editor) updates the
// bookkeeping under one mutex, so that the host reads the new values at
// once, and hands the model's new settings over; the audio thread takes
// them between two blocks. processReplacing never waits for anything.
// While audio is not running (before the first block or resume, after
// suspend) a change reaches the model at once.
#pragma once

#include <atomic>
#include <mutex>

#include "dsp/AmpModel.h"
#include "shell/AudioEffectX.h"
#include "shell/Handover.h"
#include "shell/ParameterTable.h"
#include "shell/ProgramBank.h"

class Ka813 : public AudioEffectX {
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
    const AmpModel& model() const { return amp; }

private:
    // The parameter changes one call made, in the order the editor hears
    // of them: a program's 23, or a recall's ten and the value set.
    struct Changes {
        static constexpr int32_t kCapacity = ka813::kNumParameters;
        struct Change {
            int32_t index;
            float value;
        } items[kCapacity];
        int32_t count = 0;
        void add(int32_t index, float value)
        {
            if (count < kCapacity)
                items[count++] = {index, value};
        }
    };

    // What the audio thread needs to bring the model up to date.
    struct ModelRequest {
        AmpSettings settings;
        float hostRate;
    };

    ka813::AmpMode activeMode() const;
    ka813::AmpMode channelAMode() const;
    ka813::AmpMode channelBMode() const;

    // With controlMutex held.
    void applyParameter(int32_t index, float value, Changes& changes);
    void rememberInModeMemory(int32_t index, float value);
    void applyToSettings(int32_t index, float value);
    void recallAfter(int32_t index, Changes& changes);
    template <size_t N>
    void recall(ka813::AmpMode mode, const int32_t (&indices)[N], Changes& changes);
    void applyProgram(int32_t program, Changes& changes);
    void handOver();

    // By the model's owner.
    void takeHandover();

    void changeParameter(int32_t index, float value, bool automated);
    void tellEditor(const Changes& changes);
    void tellLoaded(const Changes& changes);

    std::mutex controlMutex;
    ka813::ProgramBank bank;
    // The settings the parameters make, and the host's rate.
    AmpSettings controls;
    float hostRate = 44100.f;
    // What getChunk hands out: a copy, so that the host never reads a record
    // another thread is writing.
    unsigned char chunkCopy[ka813::kBankSize];

    // The value of each parameter as last set, unclamped: what getParameter
    // answers, from any thread.
    std::atomic<float> parameterValues[ka813::kNumParameters];
    std::atomic<int32_t> currentProgram{0};

    ka813::Handover<ModelRequest> handover;
    // Who holds the model now (ka813::Lease), and whether audio may be running.
    std::atomic<int32_t> modelHolder{ka813::Lease::kNobody};
    std::atomic<bool> audioRunning{false};
    AmpModel amp;
};
