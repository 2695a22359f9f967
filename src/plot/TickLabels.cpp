#include "plot/TickLabels.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "plot/ScaleMath.h"

namespace kel {

namespace {

// |v| in scientific form with at most `decimals` mantissa decimals, trailing
// zeros and a bare point dropped: "2.5E-3", "1E4".
std::string ShortScientific(double v, int decimals) {
    if (v == 0) return "0E0";
    std::string text = RoundedPrintf(std::fabs(v), decimals, 'e');
    std::size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0') mantissa.pop_back();
        if (mantissa.back() == '.') mantissa.pop_back();
    }
    int exponent = std::atoi(text.c_str() + e + 1);
    return (v < 0 ? "-" : "") + mantissa + "E" + std::to_string(exponent);
}

int IntegerDigits(double a) {
    char buf[400];
    return std::snprintf(buf, sizeof buf, "%.0f", std::trunc(a));
}

}  // namespace

std::string FormatTickLabel(double v, double s) {
    CheckedFinite(v);
    if (s < 0.01 && std::fabs(v) < 0.1) return ShortScientific(v, 4);
    int d = 0;
    if (s > 0 && s < 1) d = static_cast<int>(0.99 - Log10(s));
    if (IntegerDigits(std::fabs(v)) > d + 4) return ShortScientific(v, d + 3);
    std::string label = RoundedPrintf(std::fabs(v), d, 'f');
    // insert, not "-" + label: g++ 12 -O3 misreads that copy as overlapping.
    if (std::signbit(v) && v != 0) label.insert(label.begin(), '-');
    return label;
}

std::string FormatPowerLabel(double v) {
    CheckedFinite(v);
    return ShortScientific(v, 1);
}

void DrawPowerLabel(TCanvas& canvas, int x, const std::string& text, int y, int fontHeight) {
    std::size_t p = text.find('E');
    if (p == std::string::npos || text.compare(0, p, "1") != 0) {
        canvas.TextOut(x, y, text);
        return;
    }
    const std::string exponent = text.substr(p + 1);
    const int f = std::abs(fontHeight);
    canvas.TextOut(x - 2 - f * static_cast<int>(exponent.size()) / 2, y, "10");
    canvas.TextOut(x, y - f / 3, exponent);
}

double ClockTickStep(double step) {
    static constexpr double kSteps[] = {1,   2,   5,    10,   15,   30,    60,    120,   300,
                                        600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
    if (!(step > 0)) return 1;
    for (double s : kSteps)
        if (s >= step) return s;
    return 86400;
}

std::string FormatClockLabel(double seconds, double s) {
    constexpr double kDay = 86400;
    double t = std::fmod(std::round(seconds), kDay);
    if (!std::isfinite(t)) return "";
    if (t < 0) t += kDay;
    const int whole = static_cast<int>(t);
    char text[16];
    if (std::fmod(s, 60) == 0)
        std::snprintf(text, sizeof text, "%02d:%02d", whole / 3600, whole / 60 % 60);
    else
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

}  // namespace kel
