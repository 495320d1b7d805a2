// The tools' --set NAME=VALUE: how the text is read and how NAME finds a
// parameter among the names a plug-in reports. The renderer and the panel
// tool share it, so a setting means the same to both.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ka813::vsthost {

class Plugin;

// One --set: a parameter by name or by index, and the value to send it.
struct ParameterSetting {
    std::string key;
    float value = 0.f;
};

// "NAME=VALUE" or "INDEX=VALUE", split at the last '=' (names may hold one);
// the value is a finite decimal number. False with a reason in *error.
bool parseParameterSetting(const std::string& text, ParameterSetting& setting, std::string* error);

// The index a key names: the exact name first, then a name that differs only
// in letter case (when only one does), then a decimal index in range. -1
// when none fits.
int32_t resolveParameter(const std::vector<std::string>& names, const std::string& key);

// Why the key names no parameter, followed by the names a user can give.
std::string unknownParameterMessage(const std::vector<std::string>& names, const std::string& key);

// The names the plug-in reports, by index.
std::vector<std::string> parameterNames(Plugin& plugin);

// Sends each setting in order; false with the reason at the first whose key
// names no parameter.
bool applyParameterSettings(Plugin& plugin, const std::vector<std::string>& names,
                            const std::vector<ParameterSetting>& settings, std::string* error);

}  // namespace ka813::vsthost
