// Arbitrary bytes as sequences of host calls around stored state: chunks
// restore exactly whatever came before, and the host hears of every value
// a parameter change moved besides its own.
#include <map>

#include "shell/Ka813.h"
#include "tests/state/StateChecks.h"

using namespace ka813;

namespace {

std::map<AEffect*, std::vector<std::pair<int32_t, float>>> automatesOf;

intptr_t host(AEffect* effect, int32_t opcode, int32_t index, intptr_t, void*, float opt)
{
    if (opcode == audioMasterAutomate && effect)
        automatesOf[effect].push_back({index, opt});
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct DirectInstance : statecheck::Instance {
    Ka813* ka813 = new Ka813(host);
    ~DirectInstance() override
    {
        automatesOf.erase(ka813->getAeffect());
        delete ka813;
    }
    AEffect* effect() override { return ka813->getAeffect(); }
    std::vector<std::pair<int32_t, float>> takeAutomates() override
    {
        std::vector<std::pair<int32_t, float>> taken;
        taken.swap(automatesOf[effect()]);
        return taken;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::string fault = statecheck::checkSequence(
        bytes, size, [] { return std::unique_ptr<statecheck::Instance>(new DirectInstance); });
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        __builtin_trap();
    }
    return 0;
}
