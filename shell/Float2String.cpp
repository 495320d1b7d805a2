#include "shell/Float2String.h"

#include <cmath>
#include <cstring>

namespace ka813 {

namespace {

// The field is eight characters wide, sign and point included.
constexpr int kFieldWidth = 8;

void copyCut(const char* source, char* text, int32_t maxLen)
{
    int32_t length = static_cast<int32_t>(std::strlen(source));
    if (length > maxLen)
        length = maxLen;
    std::memcpy(text, source, static_cast<size_t>(length));
    text[length] = 0;
}

}  // namespace

void float2string(float value, char* text, int32_t maxLen)
{
    if (!text)
        return;
    if (maxLen < 0)
        maxLen = 0;

    double v = value;
    // A NaN has no digits; the steps below would convert it to an integer.
    if (std::isnan(v)) {
        copyCut("NaN", text, maxLen);
        return;
    }

    bool negative = false;
    int count = 0;
    if (v < 0) {
        negative = true;
        v = -v;
        count = 1;
        if (v > 9999999.0) {
            copyCut("Huge!", text, maxLen);
            return;
        }
    } else if (v > 99999999.0) {
        copyCut("Huge!", text, maxLen);
        return;
    }

    // Integer part, built from the right in front of the point.
    char buffer[2 * kFieldWidth + 2];
    char* end = buffer + kFieldWidth + 1;
    char* start = end;
    *--start = '.';
    ++count;
    double d = std::floor(v);
    *--start = static_cast<char>('0' + static_cast<int>(std::fmod(d, 10.0)));
    d /= 10.0;
    ++count;
    while (d >= 1.0 && count < kFieldWidth) {
        *--start = static_cast<char>('0' + static_cast<int>(std::fmod(d, 10.0)));
        d /= 10.0;
        ++count;
    }
    if (negative)
        *--start = '-';

    // Fraction: the digits that still fit, each truncated.
    char* cursor = end;
    if (count < kFieldWidth) {
        int digits = kFieldWidth - count;
        double m = std::fmod(v, 1.0) * std::pow(10.0, digits);
        for (int i = digits - 1; i >= 0; --i) {
            if (m <= 0.0) {
                cursor[i] = '0';
            } else {
                cursor[i] = static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
                m /= 10.0;
            }
        }
        cursor += digits;
    }
    *cursor = 0;
    copyCut(start, text, maxLen);
}

}  // namespace ka813
