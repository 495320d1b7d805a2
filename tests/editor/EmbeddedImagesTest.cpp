// The panel images as the editor gets them: embedded bytes, decoded with
// libpng, checked against the resource table and the control layout.

#include "ResourceImages.h"
#include "editor/PanelLayout.h"
#include "resources/EmbeddedResources.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace ka813;
using resourcetest::Image;

// Every image is embedded as drawn for the panel's own size and for twice that.
constexpr int kScales[] = {1, 2};

const Image& image(int id, int scale) {
    static Image images[3][kNumPanelImages + 1];
    static bool decoded[3][kNumPanelImages + 1] = {};
    if (!decoded[scale][id]) {
        decoded[scale][id] = true;
        resourcetest::decodeEmbedded(resourceAtScale(id, scale), images[scale][id]);
    }
    return images[scale][id];
}

// An image's size as drawn, in the unsigned pixels of the decoded image.
struct StripShape {
    unsigned width, height, frameHeight, frames;
};
StripShape shape(int id, int scale) {
    const PanelImageShape s = panelImageShape(static_cast<PanelImage>(id));
    const unsigned k = unsigned(scale);
    return {k * s.width, k * s.frameHeight * s.frames, k * s.frameHeight, unsigned(s.frames)};
}

bool isInk(const uint8_t* p) { return p[0] > 170 && p[1] > 160 && p[2] > 130; }

// Cream pointer paint, told apart from the grey metal of the cap by its warmth.
bool isPointer(const uint8_t* p) { return p[3] > 128 && p[0] > 150 && p[0] - p[2] > 12; }

} // namespace

TEST(EmbeddedImages, EveryNumberedImageIsPresentAndNoOther) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (int scale : kScales)
        for (int image = 1; image <= kNumPanelImages; ++image) {
            const int id = resourceAtScale(image, scale);
            EmbeddedResource res{nullptr, 0};
            ASSERT_TRUE(findEmbeddedResource(id, &res)) << id;
            ASSERT_NE(res.data, nullptr);
            ASSERT_GT(res.size, sizeof kSignature);
            EXPECT_EQ(std::memcmp(res.data, kSignature, sizeof kSignature), 0) << id;
        }
    for (int id : {0, kNumPanelImages + 1, -1, 100, 100 + kNumPanelImages + 1, 1000}) {
        EmbeddedResource res{reinterpret_cast<const unsigned char*>(&id), 7};
        EXPECT_FALSE(findEmbeddedResource(id, &res)) << id;
        EXPECT_EQ(res.size, 7u) << "a failed lookup leaves the record alone";
    }
    EXPECT_TRUE(findEmbeddedResource(3, nullptr));
}

TEST(EmbeddedImages, SizesFramesAndFormatAreThoseTheLayoutDrawsWith) {
    for (int scale : kScales)
        for (int id = 1; id <= kNumPanelImages; ++id) {
            SCOPED_TRACE(testing::Message() << "image " << id << " scale " << scale);
            const Image& img = image(id, scale);
            EXPECT_EQ(img.bitDepth, 8);
            EXPECT_EQ(img.colourType, PNG_COLOR_TYPE_RGB_ALPHA);
            EXPECT_EQ(img.width, shape(id, scale).width);
            EXPECT_EQ(img.height, shape(id, scale).height);
        }
}

TEST(EmbeddedImages, BackgroundIsOpaque) {
    const Image& bg = image(kBackgroundImage, 1);
    ASSERT_EQ(bg.data.size(), size_t(kPanelWidth) * kPanelHeight * 4);
    unsigned seeThrough = 0;
    for (size_t i = 3; i < bg.data.size(); i += 4) seeThrough += bg.data[i] != 255;
    EXPECT_EQ(seeThrough, 0u);
}

TEST(EmbeddedImages, NoLabelHidesUnderAControlAndEveryControlHasOneNearby) {
    const Image& bg = image(kBackgroundImage, 1);
    ASSERT_EQ(bg.width, unsigned(kPanelWidth));
    ASSERT_EQ(bg.height, unsigned(kPanelHeight));
    for (const PanelControl& c : kPanelControls) {
        SCOPED_TRACE(c.tag);
        const PanelRect r = panelRect(c);
        unsigned inkUnder = 0, inkNear = 0;
        const int margin = 14;
        for (int y = r.top - margin; y < r.bottom + margin; ++y)
            for (int x = r.left - margin; x < r.right + margin; ++x) {
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                if (isInk(bg.at(x, y))) ++(inside ? inkUnder : inkNear);
            }
        EXPECT_EQ(inkUnder, 0u);
        EXPECT_GT(inkNear, 10u);
    }
}

TEST(EmbeddedImages, EveryFrameHasTransparentCornersAndAntiAliasedEdges) {
    for (int id : {kLargeKnobImage, kSmallKnobImage, kChannelSwitchImage, kToggleImage, kLevelLightImage}) {
        const StripShape s = shape(id, 1);
        const Image& img = image(id, 1);
        ASSERT_EQ(img.height, s.height);
        for (unsigned f = 0; f < s.frames; ++f) {
            SCOPED_TRACE(testing::Message() << "image " << id << " frame " << f);
            const unsigned top = f * s.frameHeight, bottom = top + s.frameHeight - 1;
            EXPECT_EQ(img.at(0, top)[3], 0);
            EXPECT_EQ(img.at(s.width - 1, top)[3], 0);
            EXPECT_EQ(img.at(0, bottom)[3], 0);
            EXPECT_EQ(img.at(s.width - 1, bottom)[3], 0);
            unsigned opaque = 0, partial = 0;
            for (unsigned y = top; y <= bottom; ++y)
                for (unsigned x = 0; x < s.width; ++x) {
                    const uint8_t a = img.at(x, y)[3];
                    opaque += a == 255;
                    partial += a > 0 && a < 255;
                }
            EXPECT_GT(opaque, s.width * s.frameHeight / 8);
            EXPECT_GT(partial, 2 * s.width);
        }
    }
}

TEST(EmbeddedImages, KnobPointerTurnsClockwiseFromSevenToFiveOClock) {
    for (int id : {kLargeKnobImage, kSmallKnobImage}) {
        const StripShape s = shape(id, 1);
        const Image& img = image(id, 1);
        ASSERT_EQ(img.height, s.height);
        const double half = s.width / 2.0;
        double previous = -1000;
        for (unsigned f = 0; f < s.frames; ++f) {
            SCOPED_TRACE(testing::Message() << "image " << id << " frame " << f);
            double sx = 0, sy = 0;
            unsigned n = 0;
            for (unsigned y = 0; y < s.frameHeight; ++y)
                for (unsigned x = 0; x < s.width; ++x) {
                    const double dx = x + 0.5 - half, dy = y + 0.5 - half;
                    const double r = std::sqrt(dx * dx + dy * dy);
                    if (r < 0.55 * half || r > half) continue;
                    if (!isPointer(img.at(x, f * s.frameHeight + y))) continue;
                    sx += dx;
                    sy += dy;
                    ++n;
                }
            ASSERT_GT(n, 4u) << "no pointer found";
            // Clockwise from 12 o'clock, in degrees: 7 o'clock is -150, 5 o'clock +150.
            const double angle = std::atan2(sx, -sy) * 180.0 / 3.14159265358979;
            EXPECT_NEAR(angle, -150.0 + 3.0 * f, 8.0);
            EXPECT_GT(angle, previous);
            previous = angle;
        }
    }
}

TEST(EmbeddedImages, SwitchFramesShowLeverDownThenUpAndTheMatchingLamp) {
    // Centre of the lit metal, relative to the frame's middle, within a
    // column range; shadows weigh nothing.
    auto massCentreY = [](const Image& img, const StripShape& s, unsigned frame, unsigned x0, unsigned x1) {
        double sum = 0, weight = 0;
        for (unsigned y = 0; y < s.frameHeight; ++y)
            for (unsigned x = x0; x < x1; ++x) {
                const uint8_t* p = img.at(x, frame * s.frameHeight + y);
                const double a = p[3] * (p[0] + p[1] + p[2]);
                sum += a * (y + 0.5 - s.frameHeight / 2.0);
                weight += a;
            }
        return sum / weight;
    };
    const Image& toggle = image(kToggleImage, 1);
    ASSERT_EQ(toggle.height, shape(kToggleImage, 1).height);
    EXPECT_GT(massCentreY(toggle, shape(kToggleImage, 1), 0, 0, 22), 1.5) << "value 0: lever down";
    EXPECT_LT(massCentreY(toggle, shape(kToggleImage, 1), 1, 0, 22), -1.5) << "value 1: lever up";

    const Image& channel = image(kChannelSwitchImage, 1);
    const StripShape s = shape(kChannelSwitchImage, 1);
    ASSERT_EQ(channel.height, s.height);
    // The lever stands in the left part of the image, the lamps in the right.
    EXPECT_GT(massCentreY(channel, s, 0, 0, 32), 1.5);
    EXPECT_LT(massCentreY(channel, s, 1, 0, 32), -1.5);
    auto glow = [&](unsigned frame, unsigned y0, unsigned y1) {
        double sum = 0;
        for (unsigned y = y0; y < y1; ++y)
            for (unsigned x = 32; x < s.width; ++x) {
                const uint8_t* p = channel.at(x, frame * s.frameHeight + y);
                sum += (p[0] + p[1] + p[2]) * (p[3] / 255.0);
            }
        return sum;
    };
    const unsigned mid = s.frameHeight / 2;
    EXPECT_GT(glow(0, mid, s.frameHeight), 1.5 * glow(0, 0, mid)) << "value 0: lower lamp lit";
    EXPECT_GT(glow(1, 0, mid), 1.5 * glow(1, mid, s.frameHeight)) << "value 1: upper lamp lit";
}

TEST(EmbeddedImages, LevelLightFramesAreDarkGreenAmberAndRed) {
    // The mean colour of the glass, the middle of the frame, at both sizes.
    struct Glow {
        const char* name;
        double minBrightest, maxBrightest;  // the strongest of red, green and blue
        bool (*hue)(double r, double g, double b);
    } const frames[kLightFrames] = {
        {"dark", 0, 60, [](double, double, double) { return true; }},
        {"green", 140, 255, [](double r, double g, double b) { return g > 1.4 * r && g > 1.4 * b; }},
        {"amber", 140, 255, [](double r, double g, double b) { return r > g && g > 1.4 * b && g > 0.45 * r; }},
        {"red", 140, 255, [](double r, double g, double b) { return r > 2 * g && r > 2 * b; }},
    };
    for (int scale : kScales) {
        const StripShape s = shape(kLevelLightImage, scale);
        const Image& img = image(kLevelLightImage, scale);
        ASSERT_EQ(img.height, s.height);
        for (unsigned f = 0; f < s.frames; ++f) {
            SCOPED_TRACE(testing::Message() << frames[f].name << " at scale " << scale);
            double sum[3] = {};
            unsigned n = 0;
            const double half = s.width / 2.0, glass = 3.5 * scale;
            for (unsigned y = 0; y < s.frameHeight; ++y)
                for (unsigned x = 0; x < s.width; ++x) {
                    if (std::hypot(x + 0.5 - half, y + 0.5 - half) > glass) continue;
                    const uint8_t* p = img.at(x, f * s.frameHeight + y);
                    for (int c = 0; c < 3; ++c) sum[c] += p[c];
                    ++n;
                }
            const double r = sum[0] / n, g = sum[1] / n, b = sum[2] / n;
            EXPECT_GE(std::max({r, g, b}), frames[f].minBrightest) << r << " " << g << " " << b;
            EXPECT_LE(std::max({r, g, b}), frames[f].maxBrightest) << r << " " << g << " " << b;
            EXPECT_TRUE(frames[f].hue(r, g, b)) << r << " " << g << " " << b;
        }
    }
}

TEST(EmbeddedImages, TheLargerImagesShowThePlainOnesWithTwiceThePixels) {
    // Each 2 x 2 block of a larger image, averaged with its alpha, against the
    // pixel of the plain image it stands for.
    for (int id = 1; id <= kNumPanelImages; ++id) {
        SCOPED_TRACE(id);
        const Image& plain = image(id, 1);
        const Image& large = image(id, 2);
        ASSERT_EQ(large.width, 2 * plain.width);
        ASSERT_EQ(large.height, 2 * plain.height);
        double difference = 0;
        for (unsigned y = 0; y < plain.height; ++y)
            for (unsigned x = 0; x < plain.width; ++x) {
                double block[4] = {};
                for (unsigned dy = 0; dy < 2; ++dy)
                    for (unsigned dx = 0; dx < 2; ++dx) {
                        const uint8_t* p = large.at(2 * x + dx, 2 * y + dy);
                        for (int c = 0; c < 3; ++c) block[c] += p[c] * p[3] / 255.0 / 4;
                        block[3] += p[3] / 4.0;
                    }
                const uint8_t* q = plain.at(x, y);
                for (int c = 0; c < 3; ++c) difference += std::fabs(block[c] - q[c] * q[3] / 255.0);
                difference += std::fabs(block[3] - q[3]);
            }
        EXPECT_LT(difference / (4.0 * plain.width * plain.height), 6.0);
    }
}
