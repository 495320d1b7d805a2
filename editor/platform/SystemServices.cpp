// Clock and sleep for the X11 platform.
#include <errno.h>
#include <time.h>

#include "editor/platform/Platform.h"

namespace ka813::platform {

uint32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                        static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);  // wraps like any millisecond counter
}

void sleepMilliseconds(uint32_t ms) {
    timespec pause{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

int32_t doubleClickTime() {
    // X has no system-wide setting; the usual desktop default.
    return 400;
}

}  // namespace ka813::platform
