#include "plot/Clipping.h"

namespace kel {

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) return 0;
    std::int64_t num = static_cast<std::int64_t>(a) * b;
    std::int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    // Halves away from zero: add half the divisor to the magnitude.
    std::int64_t q = num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den));
    return static_cast<std::int32_t>(q);
}

TPoint ClipToPlot(const TRect& r, TPoint a, TPoint p) {
    TPoint c = p;
    if (c.y > r.bottom) {
        c.x = a.x + MulDiv(c.x - a.x, r.bottom - a.y, c.y - a.y);
        c.y = r.bottom;
    }
    if (c.y < r.top) {
        c.x = a.x + MulDiv(c.x - a.x, r.top - a.y, c.y - a.y);
        c.y = r.top;
    }
    if (c.x < r.left) {
        c.y = a.y + MulDiv(c.y - a.y, r.left - a.x, c.x - a.x);
        c.x = r.left;
    }
    if (c.x > r.right) {
        c.y = a.y + MulDiv(c.y - a.y, r.right - a.x, c.x - a.x);
        c.x = r.right;
    }
    return c;
}

void DrawClippedPolyline(TCanvas& canvas, const TRect& r, const TPoint* P, int n) {
    if (n <= 0) return;
    canvas.MoveTo(P[0].x, P[0].y);
    bool aInside = PtInRect(r, P[0]);
    for (int i = 0; i + 1 < n; ++i) {
        const bool bInside = PtInRect(r, P[i + 1]);
        if (aInside && bInside) {
            canvas.LineTo(P[i + 1].x, P[i + 1].y);
        } else if (bInside) {
            TPoint c = ClipToPlot(r, P[i + 1], P[i]);
            canvas.MoveTo(c.x, c.y);
            canvas.LineTo(P[i + 1].x, P[i + 1].y);
        } else if (aInside) {
            TPoint c = ClipToPlot(r, P[i], P[i + 1]);
            canvas.LineTo(c.x, c.y);
        }
        aInside = bInside;
    }
}

}  // namespace kel
