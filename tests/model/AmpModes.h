// The four amplifier modes by their switch values, as a host sets them.
#pragma once

#include <cctype>
#include <string>

namespace ka813::test {

struct Mode {
    const char* name;
    float channel, cleanCrunch, lowHighGain;
};
constexpr Mode kModes[] = {{"A clean", 0.f, 0.f, 0.f},
                           {"A crunch", 0.f, 1.f, 0.f},
                           {"B low gain", 1.f, 0.f, 0.f},
                           {"B high gain", 1.f, 0.f, 1.f}};

// A name as a test's name may spell it: "B high gain" -> "BHighGain".
inline std::string testNameOf(const std::string& text)
{
    std::string name;
    bool startWord = true;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += startWord ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        startWord = !std::isalnum(static_cast<unsigned char>(c));
    }
    return name;
}

}  // namespace ka813::test
