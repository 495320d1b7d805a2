// The plug-in the tools load when none is named.
#pragma once

#include <string>

namespace ka813::render {

// Installed, the tools sit in <prefix>/bin and the plug-in in
// <prefix>/lib/vst: that one, when it is there. Run from the build tree
// they load the plug-in the build made.
std::string defaultPluginPath();

}  // namespace ka813::render
