#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "shell/Float2String.h"

using namespace ka813;

namespace {

std::string format(float value, int32_t maxLen = 8)
{
    char text[32];
    std::memset(text, '#', sizeof text);
    float2string(value, text, maxLen);
    EXPECT_LE(std::strlen(text), static_cast<size_t>(maxLen));
    // Nothing past the terminating NUL is touched.
    size_t end = std::strlen(text) + 1;
    for (size_t i = end; i < sizeof text; ++i)
        EXPECT_EQ(text[i], '#') << "byte " << i << " written for " << value;
    return text;
}

TEST(Float2String, DocumentedExamples)
{
    EXPECT_EQ(format(0.0f), "0.000000");
    EXPECT_EQ(format(0.5f), "0.500000");
    EXPECT_EQ(format(1.0f), "1.000000");
    EXPECT_EQ(format(0.7f), "0.699999");  // the stored float lies just below 0.7
    EXPECT_EQ(format(-0.5f), "-0.50000");
    EXPECT_EQ(format(2.5f), "2.500000");
    EXPECT_EQ(format(1.7f), "1.700000");  // the stored float lies just above 1.7
}

TEST(Float2String, NegativesKeepOneFractionDigitFewer)
{
    EXPECT_EQ(format(-1.25f), "-1.25000");
    EXPECT_EQ(format(-123.5f), "-123.500");
    EXPECT_EQ(format(-0.0f), "0.000000");
    EXPECT_EQ(format(-1e-7f), "-0.00000");
    EXPECT_EQ(format(-999999.0f), "-999999.");
}

TEST(Float2String, LargeMagnitudesFillTheField)
{
    EXPECT_EQ(format(12345.678f), "12345.67");  // 12345.677734375, truncated
    EXPECT_EQ(format(1234567.0f), "1234567.");
    // From 1e7 the integer digits overflow the field: the lowest seven show.
    EXPECT_EQ(format(12345678.0f), "2345678.");
    EXPECT_EQ(format(99999992.0f), "9999992.");  // the largest float below 1e8
}

TEST(Float2String, BeyondTheFieldReadsHuge)
{
    EXPECT_EQ(format(100000000.0f), "Huge!");
    EXPECT_EQ(format(1e30f), "Huge!");
    EXPECT_EQ(format(-10000000.0f), "Huge!");
    EXPECT_EQ(format(-9999999.0f), "-999999.");
    EXPECT_EQ(format(std::numeric_limits<float>::max()), "Huge!");
}

TEST(Float2String, NonFiniteValuesGiveShortTexts)
{
    EXPECT_EQ(format(std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(format(-std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(format(std::numeric_limits<float>::quiet_NaN()), "NaN");
    EXPECT_EQ(format(-std::numeric_limits<float>::quiet_NaN()), "NaN");
    EXPECT_EQ(format(std::numeric_limits<float>::signaling_NaN()), "NaN");
    EXPECT_EQ(format(std::numeric_limits<float>::denorm_min()), "0.000000");
}

TEST(Float2String, ShorterBoundsCutTheText)
{
    EXPECT_EQ(format(0.5f, 4), "0.50");
    EXPECT_EQ(format(-0.5f, 3), "-0.");
    EXPECT_EQ(format(1e9f, 3), "Hug");
    EXPECT_EQ(format(0.5f, 0), "");
}

// Between 0 and 1 the text is always "0." and six digits, truncated:
// the shown number never exceeds the value and misses it by under 1e-6.
TEST(Float2String, UnitRangeTruncatesNeverRounds)
{
    for (int i = 0; i <= 100000; ++i) {
        float value = static_cast<float>(i) / 100000.f;
        std::string text = format(value);
        ASSERT_EQ(text.size(), 8u) << value;
        ASSERT_TRUE(text.compare(0, 2, "0.") == 0 || text == "1.000000") << text;
        double shown = std::strtod(text.c_str(), nullptr);
        double exact = static_cast<double>(value);
        ASSERT_LE(shown, exact) << text << " for " << exact;
        ASSERT_LT(exact - shown, 1e-6 + 1e-12) << text << " for " << exact;
    }
}

}  // namespace
