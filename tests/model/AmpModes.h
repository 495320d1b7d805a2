// The four amplifier modes by their switch values, as a host sets them.
#pragma once

struct Mode {
    const char* name;
    float channel, cleanCrunch, lowHighGain;
};
constexpr Mode kModes[] = {{"A clean", 0.f, 0.f, 0.f},
                           {"A crunch", 0.f, 1.f, 0.f},
                           {"B low gain", 1.f, 0.f, 0.f},
                           {"B high gain", 1.f, 0.f, 1.f}};
