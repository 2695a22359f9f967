#pragma once
// The 14 curve colours shared by the profile plot, its legend and the result
// lines: entry i mod 14, palette-relative.
#include <array>

#include "plot/GraphAttributes.h"

namespace kel {

inline constexpr std::array<TColor, 14> kCurveColors = {
    PaletteColor(0, 0, 0),     PaletteColor(255, 0, 0),   PaletteColor(0, 176, 0),   PaletteColor(128, 128, 0),
    PaletteColor(0, 0, 255),   PaletteColor(255, 0, 255), PaletteColor(0, 176, 176), PaletteColor(128, 128, 128),
    PaletteColor(128, 0, 0),   PaletteColor(0, 128, 0),   PaletteColor(0, 0, 128),   PaletteColor(128, 0, 128),
    PaletteColor(0, 128, 128), PaletteColor(208, 192, 0),
};

// Colour of curve i (any i >= 0): entry i mod 14 of the table.
constexpr TColor CurveColor(int i) { return kCurveColors[static_cast<std::size_t>(i % 14)]; }

// The window palette: (224, 224, 192) followed by the 14 curve colours.
inline constexpr TColor kPaletteFirstEntry = RGBColor(224, 224, 192);

}  // namespace kel
