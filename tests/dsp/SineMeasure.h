#pragma once

#include <cmath>
#include <complex>
#include <vector>

namespace ka813::test {

// Measuring tools for the filter tests: sines in, amplitudes out.

constexpr double kPi = 3.14159265358979323846;

// Amplitude of the component at f (cycles per sample) in y. Exact when the
// window holds a whole number of cycles of every component present.
inline double amplitudeAt(const std::vector<double>& y, double f)
{
    std::complex<double> sum = 0.0;
    for (size_t n = 0; n < y.size(); ++n)
        sum += y[n] * std::polar(1.0, -2.0 * kPi * f * static_cast<double>(n));
    const double scale = (f == 0.0 || f == 0.5) ? 1.0 : 2.0;
    return scale * std::abs(sum) / static_cast<double>(y.size());
}

inline double toDb(double ratio) { return 20.0 * std::log10(ratio); }

// Gain in dB of a per-sample process(double&) at frequency (Hz) and rate: one
// second of a unit sine to settle, then a window of one second measured.
// Both windows hold whole cycles for integer frequencies.
template <typename Process>
double sineGainDb(Process&& process, double frequency, double rate)
{
    const int length = static_cast<int>(rate);
    const double f = frequency / rate;
    std::vector<double> out;
    out.reserve(length);
    for (int n = 0; n < 2 * length; ++n) {
        // Cosine, so DC and Nyquist are full-scale too.
        double sample = std::cos(2.0 * kPi * f * n);
        process(sample);
        if (n >= length)
            out.push_back(sample);
    }
    return toDb(amplitudeAt(out, f));
}

}  // namespace ka813::test
