// The program bank as a host sees it: the stored bytes, names, program
// selection with its mode memories, and the chunks hosts save and restore.
#include "tests/model/HostedEffect.h"

using namespace ka813;
using namespace ka813::test;

namespace {

class ProgramBank : public ::testing::Test {
protected:
    void SetUp() override
    {
        plugin = loadEffect();
        ASSERT_TRUE(plugin);
    }
    std::unique_ptr<vsthost::Plugin> plugin;
};

}  // namespace

TEST_F(ProgramBank, FreshBankHoldsTenDefaultRecords)
{
    const std::vector<unsigned char> bank = chunk(*plugin, false);
    ASSERT_EQ(bank.size(), 2920u);
    for (size_t program = 0; program < 10; ++program) {
        SCOPED_TRACE(program);
        const size_t base = program * kRecordSize;
        EXPECT_EQ(std::memcmp(bank.data() + base, "Init", 5), 0);
        for (size_t offset = 24; offset <= 68; offset += 4)
            EXPECT_EQ(floatAt(bank, base + offset), 0.5f) << offset;
        for (size_t offset = 72; offset <= 112; offset += 4)
            EXPECT_EQ(floatAt(bank, base + offset), 0.f) << offset;
        for (size_t memory : kMemoryOffset) {
            for (size_t slot = 0; slot < 44; slot += 4)
                EXPECT_EQ(floatAt(bank, base + memory + slot), slot <= kSlotVolume ? 0.5f : 0.f);
        }
        bool ok = false;
        EXPECT_EQ(plugin->programNameIndexed(static_cast<int32_t>(program), &ok), "Init");
        EXPECT_TRUE(ok);
    }
}

TEST_F(ProgramBank, EveryParameterLandsAtItsOffsetAndInItsMemory)
{
    auto valueFor = [](int32_t index) { return 0.01f * static_cast<float>(index + 1); };
    plugin->dispatch(effSetProgram, 0, 6);
    for (int32_t index = 0; index < 23; ++index)
        plugin->setParameter(index == kChannel || index == kCleanCrunch || index == kLowHighGain ? 0 : index,
                             valueFor(index));
    // Switch states stay at A clean; every other value is distinct.
    const std::vector<unsigned char> record = chunk(*plugin, true);
    ASSERT_EQ(record.size(), kRecordSize);
    const std::vector<unsigned char> bank = chunk(*plugin, false);
    EXPECT_EQ(std::memcmp(bank.data() + 6 * kRecordSize, record.data(), kRecordSize), 0);
    for (int32_t index = 4; index < 23; ++index)
        EXPECT_EQ(floatAt(record, kValueOffset[index]), valueFor(index)) << index;
    const size_t clean = kMemoryOffset[0], low = kMemoryOffset[2];
    EXPECT_EQ(floatAt(record, kValueOffset[kInput]), valueFor(3));  // the last value written to index 0
    EXPECT_EQ(floatAt(record, clean + kSlotInput), valueFor(3));
    EXPECT_EQ(floatAt(record, clean + kSlotDrive), valueFor(4));
    EXPECT_EQ(floatAt(record, clean + kSlotContour), valueFor(8));
    EXPECT_EQ(floatAt(record, clean + kSlotVolume), valueFor(20));
    EXPECT_EQ(floatAt(record, clean + kSlotFocus), valueFor(9));
    EXPECT_EQ(floatAt(record, clean + kSlotReserved), 0.f);
    EXPECT_EQ(floatAt(record, clean + kSlotBottom), valueFor(10));
    EXPECT_EQ(floatAt(record, clean + kSlotBright), valueFor(11));
    // Channel B's knobs go to B's own memory even while A plays; Input and
    // Volume only to the playing mode's.
    EXPECT_EQ(floatAt(record, low + kSlotDrive), valueFor(12));
    EXPECT_EQ(floatAt(record, low + kSlotHigh), valueFor(15));
    EXPECT_EQ(floatAt(record, low + kSlotBright), valueFor(19));
    EXPECT_EQ(floatAt(record, low + kSlotInput), 0.5f);
    EXPECT_EQ(floatAt(record, low + kSlotVolume), 0.5f);
    // The other programs are untouched.
    EXPECT_EQ(floatAt(bank, 5 * kRecordSize + kValueOffset[kVolume]), 0.5f);
}

TEST_F(ProgramBank, ProgramChunkPointsIntoTheBank)
{
    void* bank = nullptr;
    void* program = nullptr;
    plugin->dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(plugin->dispatch(effGetChunk, 0, 0, &bank), 2920);
    EXPECT_EQ(plugin->dispatch(effGetChunk, 1, 0, &program), 292);
    EXPECT_EQ(static_cast<unsigned char*>(program) - static_cast<unsigned char*>(bank), 876);
    // A snapshot: the bytes hold still while the host reads them, and the
    // next call shows a later change.
    plugin->setParameter(kMidB, 0.25f);
    EXPECT_EQ(floatAt(std::vector<unsigned char>(static_cast<unsigned char*>(program),
                                                 static_cast<unsigned char*>(program) + 292),
                      kValueOffset[kMidB]),
              0.5f);
    EXPECT_EQ(floatAt(chunk(*plugin, true), kValueOffset[kMidB]), 0.25f);
}

TEST_F(ProgramBank, WrongChunkSizesChangeNothing)
{
    plugin->dispatch(effSetProgram, 0, 2);
    plugin->setParameter(kHighA, 0.75f);
    const std::vector<unsigned char> before = chunk(*plugin, false);
    std::vector<unsigned char> junk(4096, 0xAB);
    for (intptr_t size : {0, 1, 291, 293, 2919, 2921, 4096}) {
        EXPECT_EQ(plugin->dispatch(effSetChunk, 1, size, junk.data()), 0) << size;
        EXPECT_EQ(plugin->dispatch(effSetChunk, 0, size, junk.data()), 0) << size;
    }
    EXPECT_EQ(plugin->dispatch(effSetChunk, 0, -1, junk.data()), 0);
    EXPECT_EQ(plugin->dispatch(effSetChunk, 0, intptr_t(1) << 33, junk.data()), 0);
    EXPECT_EQ(plugin->dispatch(effSetChunk, 1, 292, nullptr), 0);
    EXPECT_EQ(chunk(*plugin, false), before);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 2);
    EXPECT_EQ(plugin->getParameter(kHighA), 0.75f);
}

TEST_F(ProgramBank, ConsistentBankRoundTripsUnchanged)
{
    std::vector<unsigned char> bank = chunk(*plugin, false);
    // Program 4: B high gain with its own values, consistent with its memories.
    unsigned char* record = bank.data() + 4 * kRecordSize;
    std::vector<unsigned char> r(record, record + kRecordSize);
    setFloatAt(r, kValueOffset[kChannel], 1.f);
    setFloatAt(r, kValueOffset[kLowHighGain], 1.f);
    setFloatAt(r, kValueOffset[kDriveB], 0.9f);
    setFloatAt(r, kMemoryOffset[3] + kSlotDrive, 0.9f);
    setFloatAt(r, kValueOffset[kInput], 0.7f);
    setFloatAt(r, kMemoryOffset[3] + kSlotInput, 0.7f);
    setFloatAt(r, kValueOffset[kStereo], 1.f);
    std::memcpy(r.data(), "Lead\0", 5);
    std::memcpy(record, r.data(), kRecordSize);
    bank[9 * kRecordSize + 10] = 0x5A;  // a name byte after the NUL means nothing, and stays
    ASSERT_EQ(loadChunk(*plugin, bank, false), 1);
    EXPECT_EQ(chunk(*plugin, false), bank);
    plugin->dispatch(effSetProgram, 0, 4);
    EXPECT_EQ(chunk(*plugin, false), bank);
    EXPECT_EQ(plugin->programName(), "Lead");
    EXPECT_EQ(plugin->getParameter(kDriveB), 0.9f);
    EXPECT_EQ(plugin->getParameter(kInput), 0.7f);
}

TEST_F(ProgramBank, ProgramChunkReplacesTheCurrentRecordOnly)
{
    plugin->dispatch(effSetProgram, 0, 7);
    std::vector<unsigned char> record = chunk(*plugin, true);
    setFloatAt(record, kValueOffset[kMidA], 0.125f);
    setFloatAt(record, kMemoryOffset[0] + kSlotMid, 0.125f);
    std::memcpy(record.data(), "Seven", 6);
    ASSERT_EQ(loadChunk(*plugin, record, true), 1);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 7);
    EXPECT_EQ(plugin->getParameter(kMidA), 0.125f);
    const std::vector<unsigned char> bank = chunk(*plugin, false);
    EXPECT_EQ(std::memcmp(bank.data() + 7 * kRecordSize, record.data(), kRecordSize), 0);
    EXPECT_EQ(std::memcmp(bank.data(), "Init", 5), 0);
    EXPECT_EQ(floatAt(bank, kValueOffset[kMidA]), 0.5f);
    // The host may hand back the very bytes it was shown.
    void* live = nullptr;
    plugin->dispatch(effGetChunk, 0, 0, &live);
    EXPECT_EQ(plugin->dispatch(effSetChunk, 0, 2920, live), 1);
    EXPECT_EQ(chunk(*plugin, false), bank);
}

TEST_F(ProgramBank, NamesAreBoundedToTwentyFourCharacters)
{
    char longName[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";  // 30 characters
    plugin->dispatch(effSetProgramName, 0, 0, longName);
    EXPECT_EQ(plugin->programName(), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(plugin->getParameter(kInput), 0.5f);
    EXPECT_EQ(floatAt(chunk(*plugin, true), 24), 0.5f);

    char buffer[40];
    std::memset(buffer, 0x7F, sizeof buffer);
    plugin->dispatch(effGetProgramName, 0, 0, buffer);
    EXPECT_EQ(std::string(buffer), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(buffer[24], 0);
    EXPECT_EQ(buffer[25], 0x7F);

    char shortName[] = "Clean";
    plugin->dispatch(effSetProgramName, 0, 0, shortName);
    const std::vector<unsigned char> record = chunk(*plugin, true);
    for (size_t i = 5; i < 24; ++i)
        EXPECT_EQ(record[i], 0) << i;

    // A loaded name without NUL reads as its 24 characters, no more.
    std::vector<unsigned char> unterminated = chunk(*plugin, true);
    std::memset(unterminated.data(), 'x', 24);
    ASSERT_EQ(loadChunk(*plugin, unterminated, true), 1);
    std::memset(buffer, 0x7F, sizeof buffer);
    plugin->dispatch(effGetProgramName, 0, 0, buffer);
    EXPECT_EQ(std::string(buffer), std::string(24, 'x'));
    std::memset(buffer, 0x7F, sizeof buffer);
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, 0, 5, buffer), 1);
    EXPECT_EQ(std::string(buffer), std::string(24, 'x'));
    EXPECT_EQ(buffer[25], 0x7F);

    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, 9, 5, buffer), 1);
    EXPECT_EQ(std::string(buffer), "Init");
    std::memset(buffer, 0x7F, sizeof buffer);
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, 10, 5, buffer), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgramNameIndexed, -1, 5, buffer), 0);
    EXPECT_EQ(buffer[0], 0x7F);
}

TEST_F(ProgramBank, ModeMemoriesFollowTheSwitches)
{
    plugin->setParameter(kInput, 0.3f);
    plugin->setParameter(kCleanCrunch, 1.f);
    plugin->setParameter(kInput, 0.8f);
    plugin->setParameter(kCleanCrunch, 0.f);
    EXPECT_EQ(plugin->getParameter(kInput), 0.3f);
    plugin->setParameter(kCleanCrunch, 1.f);
    EXPECT_EQ(plugin->getParameter(kInput), 0.8f);

    // Channel B's gain switch while A plays recalls nothing.
    const std::vector<unsigned char> before = chunk(*plugin, true);
    plugin->setParameter(kLowHighGain, 1.f);
    std::vector<unsigned char> after = chunk(*plugin, true);
    setFloatAt(after, kValueOffset[kLowHighGain], 0.f);
    EXPECT_EQ(after, before);
}

TEST_F(ProgramBank, SelectingAFreshProgramAppliesTheDefaults)
{
    plugin->setParameter(kDriveA, 0.9f);
    plugin->setParameter(kChannel, 1.f);
    plugin->setParameter(kStereo, 1.f);
    plugin->dispatch(effSetProgram, 0, 2);
    for (int32_t index = 0; index < 23; ++index)
        EXPECT_EQ(plugin->getParameter(index), defaultValue(index)) << index;
    EXPECT_EQ(plugin->parameterDisplay(kInput), "0.500000");
    // Program 0 kept its edits.
    plugin->dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(plugin->getParameter(kChannel), 1.f);
    EXPECT_EQ(plugin->getParameter(kDriveA), 0.9f);
}

// A record whose channel A switch moved while B played does not match the
// memory its switch selects. It restores exactly as stored, whatever state
// it is loaded over: values, switches and memories straight from the record.
TEST_F(ProgramBank, InconsistentRecordRestoresAsStored)
{
    plugin->setParameter(kDriveA, 0.9f);      // A clean's memory: 0.9
    plugin->setParameter(kChannel, 1.f);
    plugin->setParameter(kCleanCrunch, 1.f);  // no recall: the record keeps 0.9
    const std::vector<unsigned char> record = chunk(*plugin, true);
    EXPECT_EQ(floatAt(record, kValueOffset[kDriveA]), 0.9f);
    EXPECT_EQ(floatAt(record, kMemoryOffset[1] + kSlotDrive), 0.5f);

    auto overA = loadEffect();
    for (vsthost::Plugin* effect : {plugin.get(), overA.get()}) {
        ASSERT_EQ(loadChunk(*effect, record, true), 1);
        EXPECT_EQ(effect->getParameter(kDriveA), 0.9f);
        EXPECT_EQ(effect->getParameter(kChannel), 1.f);
        EXPECT_EQ(chunk(*effect, true), record);
    }
    // The memories came along: crunch still remembers 0.5 for when A plays.
    overA->setParameter(kChannel, 0.f);
    overA->setParameter(kCleanCrunch, 1.f);
    EXPECT_EQ(overA->getParameter(kDriveA), 0.5f);
}
