// The bank of ten programs, kept as the bytes hosts store: each record holds
// its name, the 23 parameter values at the offsets of the parameter table,
// and four mode memories that remember each amplifier mode's settings.
#pragma once

#include <cstdint>

#include "shell/Identity.h"
#include "shell/ModeMap.h"
#include "shell/ParameterTable.h"

namespace ka813 {

constexpr int32_t kBankSize = kProgramRecordSize * kNumPrograms;
constexpr int32_t kModeMemoryOffset = 116;
constexpr int32_t kModeMemorySize = kModeMemorySlots * 4;
static_assert(kModeMemoryOffset + kNumAmpModes * kModeMemorySize == kProgramRecordSize,
              "program record size");
static_assert(kBankSize == 2920, "bank size");

// A program is applied switches first, so that the mode switches recall
// before the knobs set their stored values.
constexpr int32_t kProgramApplyOrder[kNumParameters] = {21, 22, 3, 2, 1, 0, 4, 12, 5, 6, 7, 8,
                                                         13, 14, 15, 16, 20, 9, 11, 10, 17, 19, 18};

class ProgramBank {
public:
    // Every program named "Init" with the parameter defaults.
    ProgramBank();
    void setDefaults();

    // A program outside the bank or a parameter outside the table reads 0
    // and writes nothing.
    float value(int32_t program, int32_t index) const;
    void setValue(int32_t program, int32_t index, float value);
    // index is the parameter whose slot is meant (Input, Volume, or one of
    // the channel's eight, by the mode map); parameters without a slot read 0.
    float memoryValue(int32_t program, AmpMode mode, int32_t index) const;
    void setMemoryValue(int32_t program, AmpMode mode, int32_t index, float value);

    // At most 24 characters of name, the rest of the field NUL.
    void setName(int32_t program, const char* name);
    // The name, at most 24 characters; a field without NUL is 24 long.
    int32_t nameLength(int32_t program) const;
    const char* nameField(int32_t program) const;

    // The raw bytes of one record and of the whole bank, as hosts store them.
    unsigned char* record(int32_t program);
    unsigned char* bank() { return bytes; }

private:
    static bool holds(int32_t program) { return program >= 0 && program < kNumPrograms; }
    static int32_t memoryOffset(AmpMode mode, int32_t index);
    float readFloat(int32_t program, int32_t offset) const;
    void writeFloat(int32_t program, int32_t offset, float value);

    unsigned char bytes[kBankSize];
};

}  // namespace ka813
