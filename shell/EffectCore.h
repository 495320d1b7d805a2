// The effect itself, in no plug-in format: the 23 values as a host reads
// them, the program bank with its mode memories and recall rules, the
// model's settings derived from the values, and the model with its
// hand-over to the audio thread. A format's binding forwards the host's
// calls here and passes on what the core reports.
//
// Threads. The state (values, bank, current program) has one holder at a
// time and nobody ever waits for it on the calls a host may make from its
// audio thread: setValue queues the change and, if the state is free,
// applies what waits, in order, up to its own change. A change queued while
// another thread holds the state is applied by the next call, or before the
// next block plays. No call that may come from the audio thread applies
// more than what waited when it began. The value set reads back at once
// either way. Loads, copies and names first apply what waits, then wait for
// the state, but never for long; the audio thread waits for none of them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "shell/ChangeQueue.h"
#include "shell/ModelOwner.h"
#include "shell/ParameterTable.h"
#include "shell/ProgramBank.h"
#include "shell/ReadBack.h"

namespace ka813 {

// Parameter values in the order they are to be shown: a program's 23, or
// a recall's ten and the value set.
struct ValueList {
    struct Item {
        int32_t index;
        float value;
    };
    Item items[kNumParameters];
    int32_t count = 0;
    void add(int32_t index, float value)
    {
        if (count < kNumParameters)
            items[count++] = {index, value};
    }
};

// What one value change did.
struct ChangeReport {
    int32_t index = 0;  // as given, also outside the table
    float value = 0.f;
    bool automated = false;
    // Every value the change set, the recalled ones first, for the panel.
    ValueList shown;
    // The values a mode switch recalled that differ from before, for the host.
    ValueList recalled;
};

class EffectCore {
public:
    // Told of every change, on the thread that applied it, never while the
    // state is held: the listener may call back into the core.
    class Listener {
    public:
        virtual void valueChanged(const ChangeReport& report) = 0;
        // A program or chunk was applied: every value, in program order.
        virtual void programLoaded(const ValueList& values) = 0;

    protected:
        ~Listener() = default;
    };

    explicit EffectCore(Listener& listener);

    // Any thread, the audio thread included: no lock, no allocation, no
    // system call. An index outside the table changes nothing but is still
    // reported.
    void setValue(int32_t index, float value, bool automated);
    float value(int32_t index) const;
    int32_t program() const { return currentProgram.load(std::memory_order_relaxed); }

    // The host's user-interface calls.
    void selectProgram(int32_t program);
    void setProgramName(const char* name);
    // The name of a program, at most kProgramNameSize characters, NUL after.
    void copyProgramName(int32_t program, char* text);
    // A copy of the current program's record or of the bank that stays as
    // it is until the next copy.
    int32_t copyChunk(void** data, bool program);
    // False for a size other than a record's or the bank's.
    bool loadChunk(const void* data, int32_t byteSize, bool program);
    void setRate(float hostRate);

    // The stream. A block first applies what waits, so that it plays the
    // values as the host last set them.
    void suspend() { owner.suspend(); }
    void resume();
    void process(const float* const* inputs, float* const* outputs, int32_t frames);

    const AmpModel& model() const { return owner.model(); }
    // Any thread: the input and output levels, in dBFS.
    using Meter = ModelOwner::Meter;
    float level(Meter meter) const { return owner.level(meter); }

    // For tests that script an interleaving: called on the applying thread
    // with the state held, after a change is taken and before it is applied.
    using TakeHook = void (*)(void* context, const ValueChange& change);
    void setTakeHook(TakeHook hook, void* context)
    {
        takeHook = hook;
        takeHookContext = context;
    }

private:
    // The state's holder. Waiting is only for the user-interface calls.
    bool tryHold();
    void holdWaiting();
    void letGo();
    // Applies, one change per hold, at most what waits now; a call that may
    // wait waits for the state, any other leaves when it is taken.
    enum class Wait { No, Yes };
    void applyQueued(Wait wait);
    // A user-interface call's work on the state, after what waits.
    template <class Operation>
    void withState(Operation operation);

    // With the state held.
    void apply(const ValueChange& change, ChangeReport& report);
    void store(int32_t index, float value);
    void applyProgram(int32_t program, ValueList& values);
    void publish();
    SelectedModes modes() const;

    Listener& listener;
    // Changes from any thread, in order, to whoever applies them next.
    ChangeQueue queue;
    // One applier at a time; the calls a host may make from its audio
    // thread only ever try it.
    std::atomic<bool> stateHeld{false};

    // The state.
    ProgramBank bank;
    float held[kNumParameters];  // the values the model plays
    float hostRate = 44100.f;
    unsigned char chunkCopy[kBankSize];

    // What getParameter answers, from any thread.
    ReadBack readBack;
    std::atomic<int32_t> currentProgram{0};

    ModelOwner owner;
    TakeHook takeHook = nullptr;
    void* takeHookContext = nullptr;
};

}  // namespace ka813
