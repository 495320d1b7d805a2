#include "tools/render/DefaultPlugin.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

namespace ka813::render {

std::string defaultPluginPath()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        std::string path(self, static_cast<size_t>(length));
        path = path.substr(0, path.find_last_of('/')) + "/../lib/vst/" KA813_PLUGIN_FILE;
        char resolved[PATH_MAX];
        if (access(path.c_str(), R_OK) == 0 && realpath(path.c_str(), resolved))
            return resolved;
    }
    return KA813_BUILT_PLUGIN;
}

}  // namespace ka813::render
