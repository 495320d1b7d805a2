#include "dsp/ChainPath.h"

namespace ka813 {

// A build made to measure the fallback leaves the AVX2 path out.
Path fastestPath()
{
#if defined(KA813_TWO_LANE_ONLY) || !KA813_AVX2_PATH
    return Path::kTwoLane;
#else
    return __builtin_cpu_supports("avx2") ? Path::kAvx2 : Path::kTwoLane;
#endif
}

const char* pathName(Path path)
{
    return path == Path::kAvx2 ? "AVX2" : "two-lane";
}

}  // namespace ka813
