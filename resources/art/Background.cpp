#include "Background.h"

#include "Drawing.h"

#include "editor/PanelLayout.h"
#include "shell/Identity.h"

#include <cmath>
#include <cstdio>

namespace ka813::panelart {

namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr Rgb kInk{0.93, 0.89, 0.77};      // cream panel lettering
constexpr double kLabelSize = 8.0;
constexpr double kUpperLabelBaseline = 152;
constexpr double kLowerLabelBaseline = 247;

// Outer areas of the cabinet front.
constexpr double kBorder = 14;
constexpr double kGrilleBottom = 128;
constexpr double kPlateTop = 136;
constexpr double kPlateBottom = 266;

// Where a control sits, with its image at the size it is drawn.
double centreX(const PanelControl& c) { return c.left + panelImageShape(c.image).width * 0.5; }
double centreY(const PanelControl& c) { return c.top + panelImageShape(c.image).frameHeight * 0.5; }
int right(const PanelControl& c) { return panelRect(c).right; }
int bottom(const PanelControl& c) { return panelRect(c).bottom; }

struct Lettering {
    cairo_t* cr;
    std::vector<std::pair<std::string, Box>> placed;

    void add(const char* text, double x, double baseline, double size, Align align, bool bold = true) {
        placed.emplace_back(text, drawLabel(cr, text, x, baseline, size, align, kInk, bold));
    }
    void note(const char* text, const Box& box) { placed.emplace_back(text, box); }
};

void paintTexture(cairo_t* cr, cairo_surface_t* texture, double x, double y) {
    cairo_set_source_surface(cr, texture, x, y);
    cairo_fill(cr);
    cairo_surface_destroy(texture);
}

void drawCabinet(cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, kPanelWidth, kPanelHeight);
    paintTexture(cr, makeTolex(kPanelWidth, kPanelHeight, 0x7013c5u), 0, 0);

    // Piping round the edge of the cabinet front.
    roundedRect(cr, 5.5, 5.5, kPanelWidth - 11, kPanelHeight - 11, 9);
    cairo_set_line_width(cr, 2.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgb(cr, 0.62, 0.60, 0.56);
    cairo_stroke(cr);
}

void drawGrille(cairo_t* cr) {
    const double x = kBorder, y = kBorder, w = kPanelWidth - 2 * kBorder, h = kGrilleBottom - kBorder;
    roundedRect(cr, x, y, w, h, 6);
    paintTexture(cr, makeGrilleCloth(static_cast<int>(w), static_cast<int>(h), 0x9e11eu), x, y);

    // The cloth sits behind the tolex: shaded along the top and sides.
    cairo_save(cr);
    roundedRect(cr, x, y, w, h, 6);
    cairo_clip(cr);
    cairo_pattern_t* top = cairo_pattern_create_linear(0, y, 0, y + 14);
    cairo_pattern_add_color_stop_rgba(top, 0, 0, 0, 0, 0.75);
    cairo_pattern_add_color_stop_rgba(top, 1, 0, 0, 0, 0);
    cairo_set_source(cr, top);
    cairo_paint(cr);
    cairo_pattern_destroy(top);
    cairo_pattern_t* sides = cairo_pattern_create_linear(x, 0, x + w, 0);
    cairo_pattern_add_color_stop_rgba(sides, 0, 0, 0, 0, 0.5);
    cairo_pattern_add_color_stop_rgba(sides, 0.04, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(sides, 0.96, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(sides, 1, 0, 0, 0, 0.5);
    cairo_set_source(cr, sides);
    cairo_paint(cr);
    cairo_pattern_destroy(sides);
    cairo_restore(cr);

    // Welt: a dark bead with a faint sheen along its top.
    roundedRect(cr, x - 0.5, y - 0.5, w + 1, h + 1, 6.5);
    cairo_set_line_width(cr, 2.4);
    cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
    cairo_stroke(cr);
    roundedRect(cr, x - 1.5, y - 1.5, w + 3, h + 3, 7.5);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_stroke(cr);
}

void drawLogo(cairo_t* cr, Lettering& letters) {
    const double cx = kPanelWidth / 2.0, baseline = 78;
    cairo_select_font_face(cr, "Z003", CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 46);
    cairo_text_extents_t e;
    cairo_text_extents(cr, kProductString, &e);
    const double x = cx - e.x_bearing - e.width / 2;

    // Cast shadow on the cloth, then a dark outline, then the chrome.
    cairo_move_to(cr, x + 2.0, baseline + 3.0);
    cairo_text_path(cr, kProductString);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.75);
    cairo_set_line_width(cr, 3.0);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);

    cairo_move_to(cr, x, baseline);
    cairo_text_path(cr, kProductString);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_set_line_width(cr, 2.6);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* chrome = cairo_pattern_create_linear(0, baseline + e.y_bearing, 0, baseline + e.y_bearing + e.height);
    cairo_pattern_add_color_stop_rgb(chrome, 0.0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(chrome, 0.42, 0.80, 0.80, 0.82);
    cairo_pattern_add_color_stop_rgb(chrome, 0.50, 0.38, 0.36, 0.34);
    cairo_pattern_add_color_stop_rgb(chrome, 0.62, 0.62, 0.60, 0.58);
    cairo_pattern_add_color_stop_rgb(chrome, 1.0, 0.95, 0.93, 0.88);
    cairo_set_source(cr, chrome);
    cairo_fill(cr);
    cairo_pattern_destroy(chrome);
    letters.note(kProductString, {x + e.x_bearing - 2, baseline + e.y_bearing - 2,
                                x + e.x_bearing + e.width + 4, baseline + e.y_bearing + e.height + 4});

    letters.add(kVendorString, cx, 108, 11, Align::centre, false);
}

void drawPlate(cairo_t* cr) {
    const double x = kBorder, y = kPlateTop, w = kPanelWidth - 2 * kBorder, h = kPlateBottom - kPlateTop;
    // Drop shadow of the plate on the tolex.
    roundedRect(cr, x + 1, y + 2, w, h, 4);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_fill(cr);
    roundedRect(cr, x, y, w, h, 4);
    paintTexture(cr, makeBrushedMetal(static_cast<int>(w), static_cast<int>(h), {0.135, 0.135, 0.14}, 0.05, 0x51a7eu), x, y);
    // Bevel: light along the top edge, dark along the bottom.
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
    cairo_move_to(cr, x + 4, y + 0.5);
    cairo_line_to(cr, x + w - 4, y + 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_move_to(cr, x + 4, y + h - 0.5);
    cairo_line_to(cr, x + w - 4, y + h - 0.5);
    cairo_stroke(cr);

    // Engraved lines between the input, channel, switch and output sections.
    for (double lineX : {112.5, 434.5, 543.5}) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
        cairo_move_to(cr, lineX, y + 10);
        cairo_line_to(cr, lineX, y + h - 10);
        cairo_stroke(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
        cairo_move_to(cr, lineX + 1, y + 10);
        cairo_line_to(cr, lineX + 1, y + h - 10);
        cairo_stroke(cr);
    }

    drawScrew(cr, x + 9, y + 9, 3.6, 0.3);
    drawScrew(cr, x + w - 9, y + 9, 3.6, 1.1);
    drawScrew(cr, x + 9, y + h - 9, 3.6, 0.7);
    drawScrew(cr, x + w - 9, y + h - 9, 3.6, 0.1);
}

// Scale round a large knob, 0 to 10 over the pointer's sweep. The ticks keep
// clear of the knob's square so that they never hide under its image.
void drawKnobScale(cairo_t* cr, const PanelControl& knob) {
    const double cx = centreX(knob), cy = centreY(knob);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i <= 10; ++i) {
        const double a = (-150.0 + 30.0 * i) * kPi / 180.0;
        const double dx = std::sin(a), dy = -std::cos(a);
        const bool major = i % 5 == 0;
        const double inner = 24.4, outer = major ? 27.8 : 26.5;
        setColour(cr, kInk, major ? 1.0 : 0.8);
        cairo_set_line_width(cr, major ? 1.4 : 1.0);
        cairo_move_to(cr, cx + dx * inner, cy + dy * inner);
        cairo_line_to(cr, cx + dx * outer, cy + dy * outer);
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void drawLettering(cairo_t* cr, Lettering& letters) {
    const PanelControl& input = *panelControl(kTagInput);
    const PanelControl& channel = *panelControl(kTagChannel);
    const PanelControl& volume = *panelControl(kTagVolume);
    drawKnobScale(cr, input);
    drawKnobScale(cr, volume);
    letters.add("INPUT", centreX(input), 224, kLabelSize + 1, Align::centre);
    letters.add("VOLUME", centreX(volume), 224, kLabelSize + 1, Align::centre);
    // Each level light with its word on the left, the pair over its knob.
    for (const PanelLight& light : kPanelLights) {
        const PanelRect r = panelRect(light);
        const double lampY = (r.top + r.bottom) * 0.5;
        letters.add("PEAK", r.left - 1, lampY + 2.6, kLabelSize - 1, Align::right);
    }

    letters.add("CHANNEL", centreX(channel), kUpperLabelBaseline, kLabelSize, Align::centre);
    // Channel letters sit by the lamps of the channel switch.
    letters.add("B", right(channel) + 8, channel.top + 18, 11, Align::centre);
    letters.add("A", right(channel) + 8, channel.top + 57, 11, Align::centre);

    // Knob and toggle captions: over the upper row (channel B), under the
    // lower row (channel A).
    struct Caption {
        int upperTag, lowerTag;
        const char* text;
    };
    const Caption captions[] = {
        {kTagDriveB, kTagDriveA, "DRIVE"},       {kTagLowB, kTagLowA, "LOW"},
        {kTagMidB, kTagMidA, "MID"},             {kTagHighB, kTagHighA, "HIGH"},
        {kTagContourB, kTagContourA, "CONTOUR"}, {kTagFocusB, kTagFocusA, "FOCUS"},
        {kTagBottomB, kTagBottomA, "BOTTOM"},    {kTagBrightB, kTagBrightA, "BRIGHT"},
        {kTagLowHighGain, kTagCleanCrunch, "MODE"},
    };
    for (const Caption& c : captions) {
        letters.add(c.text, centreX(*panelControl(c.upperTag)), kUpperLabelBaseline, kLabelSize, Align::centre);
        letters.add(c.text, centreX(*panelControl(c.lowerTag)), kLowerLabelBaseline, kLabelSize, Align::centre);
    }

    // The pair beside each mode toggle: lever up selects the upper word.
    struct Pair {
        int tag;
        const char* up;
        const char* down;
    };
    const Pair pairs[] = {
        {kTagLowHighGain, "HIGH GAIN", "LOW GAIN"},
        {kTagCleanCrunch, "CRUNCH", "CLEAN"},
        {kTagStereo, "STEREO", "MONO"},
        {kTagHighQuality, "HIGH QUALITY", "LOW QUALITY"},
    };
    for (const Pair& p : pairs) {
        const PanelControl& t = *panelControl(p.tag);
        letters.add(p.up, right(t) + 3, t.top + 8.5, kLabelSize - 0.5, Align::left);
        letters.add(p.down, right(t) + 3, bottom(t) - 3, kLabelSize - 0.5, Align::left);
    }
    // A short rule keeps each stacked pair with its own toggle.
    for (int tag : {kTagLowHighGain, kTagStereo}) {
        const PanelControl& t = *panelControl(tag);
        const double y = bottom(t) + 2.5;
        setColour(cr, kInk, 0.35);
        cairo_set_line_width(cr, 0.8);
        cairo_move_to(cr, right(t) + 3, y);
        cairo_line_to(cr, right(t) + (tag == kTagLowHighGain ? 38 : 52), y);
        cairo_stroke(cr);
    }
}

std::vector<std::string> checkLettering(const Lettering& letters) {
    std::vector<std::string> faults;
    const Box panel{kBorder, kBorder, kPanelWidth - kBorder, kPanelHeight - kBorder};
    for (size_t i = 0; i < letters.placed.size(); ++i) {
        const auto& [text, box] = letters.placed[i];
        char msg[160];
        if (box.left < panel.left || box.top < panel.top || box.right > panel.right || box.bottom > panel.bottom) {
            std::snprintf(msg, sizeof msg, "\"%s\" runs off the panel", text.c_str());
            faults.emplace_back(msg);
        }
        for (const PanelControl& c : kPanelControls) {
            const Box rect{double(c.left), double(c.top), double(right(c)), double(bottom(c))};
            if (box.overlaps(rect)) {
                std::snprintf(msg, sizeof msg, "\"%s\" lies under the control with tag %d", text.c_str(), c.tag);
                faults.emplace_back(msg);
            }
        }
        for (const PanelLight& light : kPanelLights) {
            const PanelRect r = panelRect(light);
            if (box.overlaps({double(r.left), double(r.top), double(r.right), double(r.bottom)})) {
                std::snprintf(msg, sizeof msg, "\"%s\" lies under a level light", text.c_str());
                faults.emplace_back(msg);
            }
        }
        for (size_t j = i + 1; j < letters.placed.size(); ++j)
            if (box.overlaps(letters.placed[j].second)) {
                std::snprintf(msg, sizeof msg, "\"%s\" touches \"%s\"", text.c_str(), letters.placed[j].first.c_str());
                faults.emplace_back(msg);
            }
    }
    return faults;
}

} // namespace

PanelBackground makeBackground(int scale) {
    PanelBackground bg;
    bg.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kPanelWidth * scale, kPanelHeight * scale);
    cairo_t* cr = cairo_create(bg.surface);
    // Everything is drawn in panel units; the textures, made pixel by pixel
    // at the panel's own size, are smoothly enlarged with the rest.
    cairo_scale(cr, scale, scale);
    drawCabinet(cr);
    drawGrille(cr);
    drawPlate(cr);
    Lettering letters{cr, {}};
    drawLogo(cr, letters);
    drawLettering(cr, letters);
    cairo_destroy(cr);
    bg.layoutFaults = checkLettering(letters);
    return bg;
}

} // namespace ka813::panelart
