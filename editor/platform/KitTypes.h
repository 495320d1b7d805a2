#pragma once
// The plain values the panel kit and its platform layer exchange: points,
// rectangles, colours and the mouse button and modifier bits. They live with
// the platform so that it needs nothing from the kit above it.
#include <cstdint>

namespace VSTGUI {

struct CPoint {
    int32_t h = 0;  // x
    int32_t v = 0;  // y
    CPoint() = default;
    CPoint(int32_t x, int32_t y) : h(x), v(y) {}
    bool operator==(const CPoint& o) const { return h == o.h && v == o.v; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
    CPoint& offset(int32_t x, int32_t y) { h += x; v += y; return *this; }
};

// Drawing covers left .. right - 1, but pointInside() is inclusive on all four
// sides: a point on a shared edge column belongs to both neighbours, and the
// container breaks the tie in favour of the later one.
struct CRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    CRect() = default;
    CRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    CRect& offset(int32_t x, int32_t y) { left += x; right += x; top += y; bottom += y; return *this; }
    CRect& moveTo(int32_t x, int32_t y) { return offset(x - left, y - top); }
    bool pointInside(const CPoint& p) const {
        return p.h >= left && p.h <= right && p.v >= top && p.v <= bottom;
    }
    // Overlap of the drawn areas (exclusive right and bottom).
    bool rectOverlap(const CRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    CRect& bound(const CRect& o) {  // intersection; empty rectangles collapse to a point
        if (left < o.left) left = o.left;
        if (top < o.top) top = o.top;
        if (right > o.right) right = o.right;
        if (bottom > o.bottom) bottom = o.bottom;
        if (right < left) right = left;
        if (bottom < top) bottom = top;
        return *this;
    }
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};

struct CColor {
    uint8_t red = 0, green = 0, blue = 0, alpha = 255;
};

// Mouse button and modifier bits, read from the live device state.
enum : int32_t {
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
    kApple = 64,
};

}  // namespace VSTGUI
