#include "editor/UiScale.h"

#include <cstdlib>
#include <cstring>

#include "editor/platform/Platform.h"

namespace ka813 {

namespace {

constexpr double kDenseDpi = 144;  // one and a half times the usual 96

int32_t requestedScale(const char* requested) {
    if (requested && std::strcmp(requested, "1") == 0)
        return 1;
    if (requested && std::strcmp(requested, "2") == 0)
        return 2;
    return 0;
}

}  // namespace

int32_t chooseUiScale(const char* requested, double resourceDpi) {
    if (const int32_t scale = requestedScale(requested))
        return scale;
    return resourceDpi >= kDenseDpi ? 2 : 1;
}

int32_t uiScale() {
    const char* requested = std::getenv("KA813_UI_SCALE");
    // The display is asked only when the environment does not decide.
    if (const int32_t scale = requestedScale(requested))
        return scale;
    return chooseUiScale(nullptr, platform::resourceDpi());
}

}  // namespace ka813
