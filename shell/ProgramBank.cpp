#include "shell/ProgramBank.h"

#include <cstring>

namespace ka813 {

namespace {
constexpr char kDefaultName[] = "Init";
}

ProgramBank::ProgramBank()
{
    setDefaults();
}

void ProgramBank::setDefaults()
{
    std::memset(bytes, 0, sizeof bytes);
    for (int32_t program = 0; program < kNumPrograms; ++program) {
        setName(program, kDefaultName);
        for (int32_t index = 0; index < kNumParameters; ++index)
            setValue(program, index, parameterInfo(index)->defaultValue);
        for (int32_t mode = 0; mode < kNumAmpModes; ++mode)
            for (int32_t control = 0; control < kNumModeControls; ++control) {
                const int32_t index = modeParameter(AmpMode(mode), control);
                setMemoryValue(program, AmpMode(mode), index, parameterInfo(index)->defaultValue);
            }
    }
}

float ProgramBank::value(int32_t program, int32_t index) const
{
    const ParameterInfo* info = parameterInfo(index);
    if (!info || !holds(program))
        return 0.f;
    return readFloat(program, info->recordOffset);
}

void ProgramBank::setValue(int32_t program, int32_t index, float value)
{
    const ParameterInfo* info = parameterInfo(index);
    if (!info || !holds(program))
        return;
    writeFloat(program, info->recordOffset, value);
}

int32_t ProgramBank::memoryOffset(AmpMode mode, int32_t index)
{
    const int32_t control = modeControlOf(index);
    if (control < 0 || mode < 0 || mode >= kNumAmpModes)
        return -1;
    return kModeMemoryOffset + mode * kModeMemorySize + kModeMap.controls[control].memorySlot * 4;
}

float ProgramBank::memoryValue(int32_t program, AmpMode mode, int32_t index) const
{
    const int32_t offset = memoryOffset(mode, index);
    if (offset < 0 || !holds(program))
        return 0.f;
    return readFloat(program, offset);
}

void ProgramBank::setMemoryValue(int32_t program, AmpMode mode, int32_t index, float value)
{
    const int32_t offset = memoryOffset(mode, index);
    if (offset < 0 || !holds(program))
        return;
    writeFloat(program, offset, value);
}

void ProgramBank::setName(int32_t program, const char* name)
{
    if (!holds(program) || !name)
        return;
    char* field = reinterpret_cast<char*>(record(program));
    int32_t length = 0;
    while (length < kProgramNameSize && name[length] != 0)
        ++length;
    std::memcpy(field, name, static_cast<size_t>(length));
    std::memset(field + length, 0, static_cast<size_t>(kProgramNameSize - length));
}

int32_t ProgramBank::nameLength(int32_t program) const
{
    if (!holds(program))
        return 0;
    const char* field = nameField(program);
    int32_t length = 0;
    while (length < kProgramNameSize && field[length] != 0)
        ++length;
    return length;
}

const char* ProgramBank::nameField(int32_t program) const
{
    return holds(program) ? reinterpret_cast<const char*>(bytes + program * kProgramRecordSize)
                          : "";
}

unsigned char* ProgramBank::record(int32_t program)
{
    return holds(program) ? bytes + program * kProgramRecordSize : nullptr;
}

// Stored as the machine's own floats (little-endian IEEE-754 here), copied
// bytewise because a record's floats need not be aligned for the host.
float ProgramBank::readFloat(int32_t program, int32_t offset) const
{
    float value;
    std::memcpy(&value, bytes + program * kProgramRecordSize + offset, sizeof value);
    return value;
}

void ProgramBank::writeFloat(int32_t program, int32_t offset, float value)
{
    std::memcpy(bytes + program * kProgramRecordSize + offset, &value, sizeof value);
}

}  // namespace ka813
