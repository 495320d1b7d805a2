#pragma once

// The model's own value for two pi. It is deliberately not the exact constant:
// every designer and the anti-denormal oscillator use this one, so filter corners
// land where the tuned circuit expects them.
constexpr double kTwoPi = 6.28319304;
