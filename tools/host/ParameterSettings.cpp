#include "tools/host/ParameterSettings.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "tools/host/VstHost.h"

namespace ka813::vsthost {

namespace {

bool fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

std::string lowered(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

bool isDecimal(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

int caseBlindMatches(const std::vector<std::string>& names, const std::string& key, int32_t* match)
{
    int matches = 0;
    const std::string wanted = lowered(key);
    for (size_t i = 0; i < names.size(); ++i) {
        if (lowered(names[i]) == wanted) {
            if (match)
                *match = static_cast<int32_t>(i);
            ++matches;
        }
    }
    return matches;
}

}  // namespace

bool parseParameterSetting(const std::string& text, ParameterSetting& setting, std::string* error)
{
    const size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0)
        return fail(error, "--set needs NAME=VALUE or INDEX=VALUE, not \"" + text + "\"");
    const std::string number = text.substr(equals + 1);
    char* end = nullptr;
    errno = 0;
    const double value = number.empty() || std::isspace(static_cast<unsigned char>(number[0]))
        ? NAN : std::strtod(number.c_str(), &end);
    if (errno != 0 || !end || *end != 0 || !std::isfinite(value))
        return fail(error, "--set " + text + ": \"" + number + "\" is not a number");
    setting.key = text.substr(0, equals);
    setting.value = static_cast<float>(value);
    return true;
}

int32_t resolveParameter(const std::vector<std::string>& names, const std::string& key)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == key)
            return static_cast<int32_t>(i);
    int32_t match = -1;
    if (caseBlindMatches(names, key, &match) == 1)
        return match;
    if (isDecimal(key)) {
        const long index = std::strtol(key.c_str(), nullptr, 10);
        if (index < static_cast<long>(names.size()))
            return static_cast<int32_t>(index);
    }
    return -1;
}

std::string unknownParameterMessage(const std::vector<std::string>& names, const std::string& key)
{
    std::string message = "the plug-in has no parameter \"" + key + "\"";
    const int matches = caseBlindMatches(names, key, nullptr);
    if (matches > 1)
        message += " (" + std::to_string(matches) + " names differ from it only in letter case)";
    if (names.empty())
        return message + "; it has no parameters";
    message += "; its parameters are (by name or index):";
    for (size_t i = 0; i < names.size(); ++i)
        message += "\n  " + std::string(i < 10 ? " " : "") + std::to_string(i) + "  " + names[i];
    return message;
}

std::vector<std::string> parameterNames(Plugin& plugin)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < plugin.effect()->numParams; ++i)
        names.push_back(plugin.parameterName(i));
    return names;
}

bool applyParameterSettings(Plugin& plugin, const std::vector<std::string>& names,
                            const std::vector<ParameterSetting>& settings, std::string* error)
{
    for (const ParameterSetting& setting : settings) {
        const int32_t index = resolveParameter(names, setting.key);
        if (index < 0)
            return fail(error, unknownParameterMessage(names, setting.key));
        plugin.setParameter(index, setting.value);
    }
    return true;
}

}  // namespace ka813::vsthost
