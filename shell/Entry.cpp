// The library's exported entry, under the two names hosts look for.
#include <new>

#include "dsp/LaneRegisters.h"
#include "shell/Ka813.h"

#define KA813_EXPORT __attribute__((visibility("default")))

extern "C" KA813_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    // A host that does not say which interface version it speaks gets nothing.
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.f) == 0)
        return nullptr;
    if (!ka813::simd::processorRunsLanes())
        return nullptr;
    try {
        ka813::Ka813* effect = new (std::nothrow) ka813::Ka813(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

// Many hosts look for "main" only. The alias keeps both names on one
// function; the assembler name avoids declaring a C++ main.
extern "C" KA813_EXPORT AEffect* vstMainEntry(audioMasterCallback audioMaster)
    __asm__("main") __attribute__((alias("VSTPluginMain")));
