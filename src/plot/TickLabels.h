#pragma once
// Texts of the axis labels. Every number is written with "." as the decimal
// point (the program fixes it for the whole process) and ties rounded half
// away from zero on the exact value.
#include <string>

#include "plot/Canvas.h"

namespace kel {

// Label of tick value v on an axis with step s: "0.####E-##" scientific for
// s < 0.01 and |v| < 0.1 (0 gives "0E0"), otherwise fixed with as many
// decimals as s needs, or short scientific ("1.2E4") when the integer part
// is wider than those decimals + 4 digits. Raises EInvalidOp/EOverflow for
// a NaN or an infinity.
std::string FormatTickLabel(double v, double s);

// Label of a log-axis tick: "0.#E-0#" ("1E2", "1E0", "2.5E-3").
std::string FormatPowerLabel(double v);

// Writes a power label at (x, y): "1E<n>" becomes "10" with <n> raised by a
// third of fontHeight; any other text is written as it is.
void DrawPowerLabel(TCanvas& canvas, int x, const std::string& text, int y, int fontHeight);

// The step of a clock-time axis for an automatic step of `step` seconds: the
// smallest of 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6, 12,
// 24 h not below it (24 h beyond that; 1 s for a step that is not positive).
double ClockTickStep(double step);

// Label of a tick at `seconds` past midnight on a clock axis with step s:
// "hh:mm" when s is whole minutes, else "hh:mm:ss"; the day wraps at 24 h.
std::string FormatClockLabel(double seconds, double s);

}  // namespace kel
