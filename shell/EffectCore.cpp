#include "shell/EffectCore.h"

#include <sched.h>

#include <cstring>

namespace ka813 {

namespace {

using Lock = std::lock_guard<std::mutex>;

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

AmpSettings settingsOf(const float (&values)[kNumParameters])
{
    return settingsFor(positionsOf(values));
}

// The settings of a fresh bank's programs, which all hold the defaults.
AmpSettings defaultSettings()
{
    float values[kNumParameters];
    for (int32_t i = 0; i < kNumParameters; ++i)
        values[i] = parameterInfo(i)->defaultValue;
    return settingsOf(values);
}

}  // namespace

EffectCore::EffectCore(Listener& listener)
    : listener(listener), owner(defaultSettings(), 44100.f)
{
    // Program 0 holds the defaults the model started with; nothing else can
    // reach the core yet.
    std::memset(chunkCopy, 0, sizeof chunkCopy);
    for (std::atomic<uint64_t>& slot : overflowed)
        slot.store(0, std::memory_order_relaxed);
    ValueList ignored;
    holdWaiting();
    applyProgram(0, ignored);
    letGo();
    owner.applyIfIdle();
}

// The state: taken by whoever finds it free.
bool EffectCore::tryHold()
{
    return !stateHeld.exchange(true, std::memory_order_seq_cst);
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
    stateHeld.store(false, std::memory_order_seq_cst);
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
    values[index].store(value, std::memory_order_relaxed);
    const ValueChange change{index, value, automated};
    if (overflowing.load(std::memory_order_seq_cst) || !queue.push(change))
        overflow(change);
    applyQueued();
}

namespace {
constexpr uint64_t kWaiting = uint64_t{1} << 63, kAutomated = uint64_t{1} << 62;
}

void EffectCore::overflow(const ValueChange& change)
{
    uint32_t bits;
    std::memcpy(&bits, &change.value, sizeof bits);
    overflowed[change.index].store(kWaiting | (change.automated ? kAutomated : 0) | bits,
                                   std::memory_order_seq_cst);
    overflowing.store(true, std::memory_order_seq_cst);
}

// With the state held, once the queue is empty.
bool EffectCore::takeOverflow(ValueChange& change)
{
    if (!overflowing.load(std::memory_order_seq_cst))
        return false;
    overflowing.store(false, std::memory_order_seq_cst);
    bool taken = false;
    for (int32_t index = 0; index < kNumParameters; ++index) {
        if ((overflowed[index].load(std::memory_order_seq_cst) & kWaiting) == 0)
            continue;
        if (taken) {
            // One at a time: the rest wait for the next round.
            overflowing.store(true, std::memory_order_seq_cst);
            break;
        }
        const uint64_t slot = overflowed[index].exchange(0, std::memory_order_seq_cst);
        const uint32_t bits = static_cast<uint32_t>(slot);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        change = {index, value, (slot & kAutomated) != 0};
        taken = true;
    }
    return taken;
}

bool EffectCore::pending() const
{
    return queue.ready() || overflowing.load(std::memory_order_seq_cst);
}

// Whoever pushes a change, and whoever lets go of the state, comes here: a
// change pushed while the state was held is applied by the holder on its
// way out, or by the pusher itself.
void EffectCore::applyQueued()
{
    for (;;) {
        if (!tryHold())
            return;
        ValueChange change;
        ChangeReport report;
        const bool applied = queue.pop(change) || takeOverflow(change);
        if (applied)
            apply(change, report);
        letGo();
        owner.applyIfIdle();
        if (applied)
            listener.valueChanged(report);
        if (!pending())
            return;
    }
}

float EffectCore::value(int32_t index) const
{
    if (!parameterInfo(index))
        return 0.f;
    return values[index].load(std::memory_order_relaxed);
}

AmpMode EffectCore::activeMode() const
{
    return switchIsOn(held[kParamChannel]) ? channelBMode() : channelAMode();
}

AmpMode EffectCore::channelAMode() const
{
    return switchIsOn(held[kParamCleanCrunch]) ? kModeACrunch : kModeAClean;
}

AmpMode EffectCore::channelBMode() const
{
    return switchIsOn(held[kParamLowHighGain]) ? kModeBHighGain : kModeBLowGain;
}

void EffectCore::apply(const ValueChange& change, ChangeReport& report)
{
    report.index = change.index;
    report.value = change.value;
    report.automated = change.automated;
    float before[kNumParameters];
    std::memcpy(before, held, sizeof before);

    store(change.index, change.value);
    // A mode switch brings back the settings its new mode remembers.
    switch (change.index) {
    case kParamChannel:
        recall(activeMode(), kChannelRecall, report.shown);
        break;
    case kParamCleanCrunch:
        if (!switchIsOn(held[kParamChannel]))
            recall(channelAMode(), kChannelARecall, report.shown);
        break;
    case kParamLowHighGain:
        if (switchIsOn(held[kParamChannel]))
            recall(channelBMode(), kChannelBRecall, report.shown);
        break;
    default:
        break;
    }
    // The panel mirrors the value set after what it recalled.
    report.shown.add(change.index, change.value);
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
    values[index].store(value, std::memory_order_relaxed);
    switch (parameterInfo(index)->memory) {
    case ModeMemory::ActiveMode:
        bank.setMemoryValue(program, activeMode(), index, value);
        break;
    case ModeMemory::ChannelA:
        bank.setMemoryValue(program, channelAMode(), index, value);
        break;
    case ModeMemory::ChannelB:
        bank.setMemoryValue(program, channelBMode(), index, value);
        break;
    case ModeMemory::Unshared:
        break;
    }
}

// Each recalled value is stored like any other change, in the recall's
// order, so the panel hears of each.
template <size_t N>
void EffectCore::recall(AmpMode mode, const int32_t (&indices)[N], ValueList& shown)
{
    const int32_t program = currentProgram.load(std::memory_order_relaxed);
    for (int32_t index : indices) {
        const float value = bank.memoryValue(program, mode, index);
        store(index, value);
        shown.add(index, value);
    }
}

// The model plays the values as they stand now, however they got there.
void EffectCore::publish()
{
    owner.publish(settingsOf(held), hostRate);
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
        values[index].store(value, std::memory_order_relaxed);
        loaded.add(index, value);
    }
    publish();
}

void EffectCore::selectProgram(int32_t program)
{
    if (program < 0 || program >= kNumPrograms)
        return;
    ValueList loaded;
    {
        Lock calls(userInterfaceCalls);
        holdWaiting();
        applyProgram(program, loaded);
        letGo();
    }
    owner.applyIfIdle();
    listener.programLoaded(loaded);
    applyQueued();
}

void EffectCore::setProgramName(const char* name)
{
    Lock calls(userInterfaceCalls);
    holdWaiting();
    bank.setName(currentProgram.load(std::memory_order_relaxed), name);
    letGo();
    applyQueued();
}

void EffectCore::copyProgramName(int32_t program, char* text)
{
    Lock calls(userInterfaceCalls);
    holdWaiting();
    const int32_t length = bank.nameLength(program);
    std::memcpy(text, bank.nameField(program), static_cast<size_t>(length));
    text[length] = 0;
    letGo();
    applyQueued();
}

// A copy of the whole bank, taken in one piece, so a program chunk sits at
// its program's place in it as in the bank.
int32_t EffectCore::copyChunk(void** data, bool program)
{
    Lock calls(userInterfaceCalls);
    holdWaiting();
    std::memcpy(chunkCopy, bank.bank(), sizeof chunkCopy);
    const int32_t current = currentProgram.load(std::memory_order_relaxed);
    letGo();
    applyQueued();
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
    {
        Lock calls(userInterfaceCalls);
        holdWaiting();
        const int32_t current = currentProgram.load(std::memory_order_relaxed);
        unsigned char* target = program ? bank.record(current) : bank.bank();
        // The host may hand back the very bytes a copy showed it.
        std::memmove(target, data, static_cast<size_t>(size));
        applyProgram(current, loaded);
        letGo();
    }
    owner.applyIfIdle();
    listener.programLoaded(loaded);
    applyQueued();
    return true;
}

void EffectCore::setRate(float rate)
{
    Lock calls(userInterfaceCalls);
    holdWaiting();
    hostRate = rate;
    publish();
    letGo();
    // A new rate rebuilds the model: outside the hold.
    owner.applyIfIdle();
    applyQueued();
}

}  // namespace ka813
