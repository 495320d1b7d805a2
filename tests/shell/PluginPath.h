// Where the build put the plug-in library under test.
#pragma once

#include <cstdlib>
#include <string>

namespace ka813::test {

inline std::string pluginPath()
{
    if (const char* path = std::getenv("KA813_PLUGIN"))
        return path;
    return KA813_PLUGIN_PATH;
}

}  // namespace ka813::test
