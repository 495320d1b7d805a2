#include "shell/EffectCore.h"

#include <sched.h>

#include <cstring>

namespace ka813 {

namespace {

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The values of a fresh bank's programs, which all hold the defaults.
struct Defaults {
    ModelOwner::Values values;
    Defaults() { defaultValues(values); }
};

}  // namespace

EffectCore::EffectCore(Listener& listener)
    : listener(listener), owner(Defaults().values, 44100.f)
{
    // Program 0 holds the defaults the model started with; nothing else can
    // reach the core yet.
    std::memset(chunkCopy, 0, sizeof chunkCopy);
    ValueList ignored;
    holdWaiting();
    applyProgram(0, ignored);
    letGo();
    owner.applyIfIdle();
}

// The state: taken by whoever finds it free.
bool EffectCore::tryHold()
{
    return !stateHeld.exchange(true, std::memory_order_acquire);
}

// For the user-interface calls only: whoever holds the state lets go within
// one value change.
void EffectCore::holdWaiting()
{
    while (!tryHold())
        sched_yield();
}

void EffectCore::letGo()
{
    stateHeld.store(false, std::memory_order_release);
}

void EffectCore::setValue(int32_t index, float value, bool automated)
{
    if (!parameterInfo(index)) {
        ChangeReport report;
        report.index = index;
        report.value = value;
        report.automated = automated;
        report.shown.add(index, value);
        listener.valueChanged(report);
        return;
    }
    // Read back at once, whoever applies it and when.
    readBack.written(index, value);
    if (queue.push({index, value, automated}))
        readBack.dropped(index);
    applyQueued(Wait::No);
}

// Bounded: changes pushed while this runs are left to their own pushers,
// the next call or the next block, so that a call from the audio thread
// never works through a stream other threads keep feeding.
void EffectCore::applyQueued(Wait wait)
{
    for (uint32_t budget = queue.size(); budget > 0; --budget) {
        if (wait == Wait::Yes)
            holdWaiting();
        else if (!tryHold())
            return;
        ValueChange change;
        ChangeReport report;
        const bool taken = queue.pop(change);
        if (taken) {
            if (takeHook)
                takeHook(takeHookContext, change);
            apply(change, report);
        }
        letGo();
        if (!taken)
            return;
        owner.applyIfIdle();
        listener.valueChanged(report);
    }
}

template <class Operation>
void EffectCore::withState(Operation operation)
{
    // What the host set before this call lands first, in its order.
    applyQueued(Wait::Yes);
    holdWaiting();
    operation();
    letGo();
    owner.applyIfIdle();
}

// Hosts may start the stream from the audio thread: nothing here waits.
void EffectCore::resume()
{
    applyQueued(Wait::No);
    owner.resume();
}

void EffectCore::process(const float* const* inputs, float* const* outputs, int32_t frames)
{
    applyQueued(Wait::No);
    owner.process(inputs, outputs, frames);
}

float EffectCore::value(int32_t index) const
{
    if (!parameterInfo(index))
        return 0.f;
    return readBack.value(index);
}

SelectedModes EffectCore::modes() const
{
    return selectedModes([this](int32_t index) { return held[index]; });
}

void EffectCore::apply(const ValueChange& change, ChangeReport& report)
{
    report.index = change.index;
    report.value = change.value;
    report.automated = change.automated;
    float before[kNumParameters];
    std::memcpy(before, held, sizeof before);

    store(change.index, change.value);
    // A mode switch brings back the settings its new mode remembers, each
    // stored like any other change, so the panel hears of each.
    const Recall recall = recallFor(change.index, modes());
    const int32_t program = currentProgram.load(std::memory_order_relaxed);
    for (int32_t i = 0; i < recall.count; ++i) {
        const int32_t index = recall.parameters[i];
        const float value = bank.memoryValue(program, recall.mode, index);
        store(index, value);
        report.shown.add(index, value);
    }
    // The panel mirrors the value set after what it recalled.
    report.shown.add(change.index, change.value);
    for (int32_t i = 0; i < report.shown.count - 1; ++i)
        readBack.set(report.shown.items[i].index, report.shown.items[i].value);
    readBack.applied(change.index, change.value);
    for (int32_t i = 0; i < kNumParameters; ++i)
        if (i != change.index && !sameBits(before[i], held[i]))
            report.recalled.add(i, held[i]);
    publish();
}

// One value into the record, the live values and the mode memory it
// belongs to.
void EffectCore::store(int32_t index, float value)
{
    const int32_t program = currentProgram.load(std::memory_order_relaxed);
    bank.setValue(program, index, value);
    held[index] = value;
    const int32_t mode = rememberingMode(index, modes());
    if (mode >= 0)
        bank.setMemoryValue(program, AmpMode(mode), index, value);
}

// The model plays the values as they stand now, however they got there.
void EffectCore::publish()
{
    owner.publish(held, hostRate);
}

// A program is applied as it is stored: every value, switch and mode memory
// straight from the record, and nothing recalled or written back, so the
// result depends on the record alone.
void EffectCore::applyProgram(int32_t program, ValueList& loaded)
{
    currentProgram.store(program, std::memory_order_relaxed);
    for (int32_t index : kProgramApplyOrder) {
        const float value = bank.value(program, index);
        held[index] = value;
        readBack.set(index, value);
        loaded.add(index, value);
    }
    publish();
}

// Each user-interface call ends by applying what came in while it held the
// state, after what it reported itself.
void EffectCore::selectProgram(int32_t program)
{
    if (program < 0 || program >= kNumPrograms)
        return;
    ValueList loaded;
    withState([&] { applyProgram(program, loaded); });
    listener.programLoaded(loaded);
    applyQueued(Wait::No);
}

void EffectCore::setProgramName(const char* name)
{
    withState([&] { bank.setName(currentProgram.load(std::memory_order_relaxed), name); });
    applyQueued(Wait::No);
}

void EffectCore::copyProgramName(int32_t program, char* text)
{
    withState([&] {
        const int32_t length = bank.nameLength(program);
        std::memcpy(text, bank.nameField(program), static_cast<size_t>(length));
        text[length] = 0;
    });
    applyQueued(Wait::No);
}

// A copy of the whole bank, taken in one piece, so a program chunk sits at
// its program's place in it as in the bank.
int32_t EffectCore::copyChunk(void** data, bool program)
{
    int32_t current = 0;
    withState([&] {
        std::memcpy(chunkCopy, bank.bank(), sizeof chunkCopy);
        current = currentProgram.load(std::memory_order_relaxed);
    });
    applyQueued(Wait::No);
    if (program) {
        *data = chunkCopy + current * kProgramRecordSize;
        return kProgramRecordSize;
    }
    *data = chunkCopy;
    return kBankSize;
}

bool EffectCore::loadChunk(const void* data, int32_t byteSize, bool program)
{
    const int32_t size = program ? kProgramRecordSize : kBankSize;
    if (!data || byteSize != size)
        return false;
    ValueList loaded;
    withState([&] {
        const int32_t current = currentProgram.load(std::memory_order_relaxed);
        unsigned char* target = program ? bank.record(current) : bank.bank();
        // The host may hand back the very bytes a copy showed it.
        std::memmove(target, data, static_cast<size_t>(size));
        applyProgram(current, loaded);
    });
    listener.programLoaded(loaded);
    applyQueued(Wait::No);
    return true;
}

// A new rate rebuilds the model, outside the hold.
void EffectCore::setRate(float rate)
{
    withState([&] {
        hostRate = rate;
        publish();
    });
    applyQueued(Wait::No);
}

}  // namespace ka813
