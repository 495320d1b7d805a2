// PNG decoding into the kit's premultiplied blue-green-red-alpha pixels.
#include <gtest/gtest.h>

#include <png.h>

#include <random>

#include "XTestSupport.h"
#include "editor/CBitmap.h"
#include "editor/platform/Platform.h"

using namespace VSTGUI;
using ka813::paneltest::encodePng;

namespace {

std::vector<uint8_t> pixelAt(CBitmap& bitmap, int x, int y) {
    const uint8_t* p = bitmap.getImage()->row(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace

TEST(Bitmap, PremultipliesByShiftAndStoresBlueGreenRedAlpha) {
    const std::vector<uint8_t> rgba = {
        255, 255, 255, 255,  // opaque white
        200, 100, 50,  0,    // fully transparent, colour left over
        200, 100, 50,  128,  // half transparent
        10,  20,  30,  255,  // opaque colour
    };
    const auto png = encodePng(4, 1, rgba);
    CBitmap bitmap(png.data(), png.size());
    ASSERT_TRUE(bitmap.isLoaded());
    EXPECT_EQ(bitmap.getWidth(), 4);
    EXPECT_EQ(bitmap.getHeight(), 1);
    EXPECT_TRUE(bitmap.hasAlpha());
    EXPECT_EQ(pixelAt(bitmap, 0, 0), (std::vector<uint8_t>{254, 254, 254, 255}));
    EXPECT_EQ(pixelAt(bitmap, 1, 0), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(bitmap, 2, 0), (std::vector<uint8_t>{25, 50, 100, 128}));
    EXPECT_EQ(pixelAt(bitmap, 3, 0), (std::vector<uint8_t>{29, 19, 9, 255}));
}

TEST(Bitmap, ImagesWithoutAlphaBecomeOpaqueAndRowsStayInOrder) {
    // Two rows so that an upside-down copy would show.
    const std::vector<uint8_t> rgba = {255, 0, 128, 255, 0, 0, 0, 255,
                                       0, 255, 0, 255, 1, 2, 3, 255};
    const auto png = encodePng(2, 2, rgba, /*withAlpha=*/false);
    CBitmap bitmap(png.data(), png.size());
    ASSERT_TRUE(bitmap.isLoaded());
    EXPECT_EQ(pixelAt(bitmap, 0, 0), (std::vector<uint8_t>{127, 0, 254, 255}));
    EXPECT_EQ(pixelAt(bitmap, 0, 1), (std::vector<uint8_t>{0, 254, 0, 255}));
}

TEST(Bitmap, GreyImagesExpandToColour) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 2;
    image.height = 1;
    image.format = PNG_FORMAT_GRAY;
    const uint8_t grey[2] = {0, 200};
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, grey, 0, nullptr);
    std::vector<uint8_t> png(size);
    ASSERT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, grey, 0, nullptr));
    CBitmap bitmap(png.data(), size);
    ASSERT_TRUE(bitmap.isLoaded());
    EXPECT_EQ(pixelAt(bitmap, 1, 0), (std::vector<uint8_t>{199, 199, 199, 255}));
}

TEST(Bitmap, TruncatedPngKeepsItsSizeAndTheRowsDecodedSoFar) {
    // Noise does not compress, so cutting the file cuts the picture part-way.
    const int width = 64, height = 64;
    std::vector<uint8_t> rgba(width * height * 4);
    std::mt19937 random(7);
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = (i % 4 == 3) ? 255 : static_cast<uint8_t>(random());
    auto png = encodePng(width, height, rgba);
    png.resize(png.size() / 2);

    CBitmap bitmap(png.data(), png.size());
    EXPECT_EQ(bitmap.getWidth(), width);
    EXPECT_EQ(bitmap.getHeight(), height);
    ASSERT_NE(bitmap.getImage(), nullptr);
    // The first row arrived whole, premultiplied like any other.
    for (int x = 0; x < width; ++x) {
        const uint8_t* source = &rgba[4 * x];
        EXPECT_EQ(pixelAt(bitmap, x, 0),
                  (std::vector<uint8_t>{static_cast<uint8_t>(source[2] * 255 >> 8),
                                        static_cast<uint8_t>(source[1] * 255 >> 8),
                                        static_cast<uint8_t>(source[0] * 255 >> 8), 255}))
            << "x " << x;
    }
    // The last row never arrived: fully transparent.
    for (int x = 0; x < width; ++x)
        EXPECT_EQ(pixelAt(bitmap, x, height - 1), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(Bitmap, MissingOrDamagedResourcesGiveAnEmptyBitmap) {
    CBitmap missing(99);
    EXPECT_EQ(missing.getWidth(), 0);
    EXPECT_EQ(missing.getHeight(), 0);
    EXPECT_FALSE(missing.isLoaded());

    const std::vector<uint8_t> garbage(100, 0x42);
    CBitmap damaged(garbage.data(), garbage.size());
    EXPECT_EQ(damaged.getWidth(), 0);
    EXPECT_FALSE(damaged.isLoaded());

    // Only the signature and a piece of the header.
    auto png = encodePng(4, 4, std::vector<uint8_t>(64, 255));
    CBitmap headless(png.data(), 20);
    EXPECT_EQ(headless.getWidth(), 0);
    EXPECT_FALSE(headless.isLoaded());
}

TEST(Bitmap, ALargerImageHasTheLayoutSizeOfThePlainOne) {
    const auto png = encodePng(8, 6, std::vector<uint8_t>(8 * 6 * 4, 255));
    const struct {
        int32_t resource;  // 0: the PNG above
        int32_t scale;
        int32_t width, height, pixelScale;
    } cases[] = {
        {0, 1, 8, 6, 1},
        {0, 2, 4, 3, 2},
        {1, 2, 720, 280, 2},  // the background drawn at twice the size
        {1, 3, 720, 280, 1},  // no set at that scale: the plain image, enlarged when drawn
        {99, 2, 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.resource << " at " << c.scale);
        CBitmap* bitmap = c.resource ? new CBitmap(c.resource, c.scale)
                                     : new CBitmap(png.data(), png.size(), c.scale);
        EXPECT_EQ(bitmap->getWidth(), c.width);
        EXPECT_EQ(bitmap->getHeight(), c.height);
        EXPECT_EQ(bitmap->getScale(), c.pixelScale);
        if (bitmap->isLoaded()) {
            EXPECT_EQ(bitmap->getImage()->width(), c.width * c.pixelScale);
        }
        bitmap->forget();
    }
}
