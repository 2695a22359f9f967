#pragma once
// The drawing surface the graph is rendered onto. It holds exactly what the
// graph needs, so a screen, an image file, the clipboard or a test recorder
// can stand behind it. All coordinates are integer pixels of the surface.
#include <cstdint>
#include <string_view>

#include "plot/GraphAttributes.h"

namespace kel {

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const TPoint&) const = default;
};

// Right and bottom edges are exclusive.
struct TRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const TRect&) const = default;
};

struct TSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// Whether p lies inside r: left <= x < right and top <= y < bottom.
constexpr bool PtInRect(const TRect& r, TPoint p) {
    return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

// Text alignment: the reference point of TextOut, one horizontal flag or'ed
// with one vertical flag.
inline constexpr unsigned taLeft = 0;
inline constexpr unsigned taRight = 2;
inline constexpr unsigned taCenter = 6;
inline constexpr unsigned taTop = 0;
inline constexpr unsigned taBottom = 8;
inline constexpr unsigned taBaseline = 24;

class TCanvas {
public:
    virtual ~TCanvas() = default;
    // Lines and outlines from now on use a copy of pen.
    virtual void SetPen(const TPen& pen) = 0;
    // Filled shapes from now on use a copy of brush.
    virtual void SetBrush(const TBrush& brush) = 0;
    // Text from now on uses a copy of font (name, pixel height, colour, style).
    virtual void SetFont(const TFont& font) = 0;
    // Reference point of later TextOut calls (ta* flags).
    virtual void SetTextAlign(unsigned flags) = 0;
    // Text from now on leaves the pixels between its glyphs untouched.
    virtual void SetBackgroundTransparent() = 0;
    // Sets the current position without drawing.
    virtual void MoveTo(int x, int y) = 0;
    // Line from the current position to (x, y), which becomes current; the
    // end pixel is not painted.
    virtual void LineTo(int x, int y) = 0;
    // Lines through n points, as MoveTo the first and LineTo the others.
    virtual void Polyline(const TPoint* points, int n) = 0;
    // Outlined with the pen, filled with the brush; right and bottom exclusive.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    // The ellipse inside the box, outlined and filled as Rectangle.
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    // Fills r with colour, leaving pen and brush as they were.
    virtual void FillRect(const TRect& r, TColor colour) = 0;
    // Writes text at (x, y) in the current font and alignment.
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    // Width and height in pixels that TextOut would cover with text.
    virtual TSize TextExtent(std::string_view text) = 0;
};

}  // namespace kel
