#include "ShownImage.h"

#include <cmath>
#include <map>

#include "editor/CBitmap.h"
#include "editor/PanelImages.h"
#include "editor/PanelLayout.h"
#include "editor/platform/Platform.h"

namespace ka813::paneltest {

const Picture& resourcePicture(int id, int scale) {
    static std::map<std::pair<int, int>, Picture> cache;
    auto found = cache.find({id, scale});
    if (found != cache.end())
        return found->second;
    Picture& picture = cache[{id, scale}];
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (VSTGUI::findPanelImage(id, &data, &size, scale)) {
        VSTGUI::CBitmap bitmap(data, size);
        if (bitmap.isLoaded()) {
            picture.width = bitmap.getImage()->width();
            picture.height = bitmap.getImage()->height();
            for (int y = 0; y < picture.height; ++y) {
                const uint8_t* row = bitmap.getImage()->row(y);
                picture.bgra.insert(picture.bgra.end(), row, row + 4 * picture.width);
            }
        }
    }
    return picture;
}

namespace {

// The frame of `image` that best explains the window's pixels at the layout
// point (left, top).
int bestFrame(TestDisplay& display, ::Window window, int image, int frames, int layoutLeft,
              int layoutTop, int scale, double* meanError) {
    const Picture& background = resourcePicture(ka813::kBackgroundImage, scale);
    const Picture& strip = resourcePicture(image, scale);
    const int width = strip.width, height = strip.height / frames;
    const int left = layoutLeft * scale, top = layoutTop * scale;
    const auto shown = display.grab(window, left, top, width, height);
    if (shown.size() != static_cast<size_t>(width * height) || background.bgra.empty())
        return -1;
    int best = -1;
    double bestError = 1e30;
    for (int frame = 0; frame < frames; ++frame) {
        double error = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* s = strip.at(x, frame * height + y);
                const uint8_t* d = background.at(left + x, top + y);
                const uint32_t p = shown[static_cast<size_t>(y * width + x)];
                const int got[3] = {static_cast<int>(p & 0xff), static_cast<int>(p >> 8 & 0xff),
                                    static_cast<int>(p >> 16 & 0xff)};
                for (int c = 0; c < 3; ++c) {
                    // Premultiplied source over the background.
                    const double want = s[c] + d[c] * (255.0 - s[3]) / 255.0;
                    error += std::fabs(want - got[c]);
                }
            }
        if (error < bestError) {
            bestError = error;
            best = frame;
        }
    }
    if (meanError)
        *meanError = bestError / (3.0 * width * height);
    return best;
}

}  // namespace

int shownImage(TestDisplay& display, ::Window window, int tag, int scale, double* meanError) {
    const ka813::PanelControl* control = ka813::panelControl(tag);
    if (!control)
        return -1;
    return bestFrame(display, window, control->image, ka813::framesOf(control->kind), control->left,
                     control->top, scale, meanError);
}

int shownLight(TestDisplay& display, ::Window window, ka813::PanelMeter meter, int scale,
               double* meanError) {
    const ka813::PanelLight& light = ka813::kPanelLights[static_cast<int>(meter)];
    return bestFrame(display, window, ka813::kLevelLightImage, ka813::kLightFrames, light.left,
                     light.top, scale, meanError);
}

}  // namespace ka813::paneltest
