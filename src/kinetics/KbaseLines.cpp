// The compound view's text lines for one compound of the library.
#include <cmath>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "kinetics/Kbasetxt.h"

namespace kel {

namespace {

// One digit, point, one decimal and a signed exponent of at least two digits,
// such as "2.7e-09".
std::string ExponentText(double x) {
    CheckedFinite(x);
    std::string text = RoundedPrintf(std::fabs(x), 1, 'e');
    return std::signbit(x) && x != 0.0 ? "-" + text : text;
}

// At least one and at most three decimals: 1 -> "1.0", 0.125 -> "0.125".
std::string ShortDecimalText(double x) {
    std::string text = FormatFixed(x, 1, 3);
    while (text.back() == '0' && text[text.size() - 2] != '.') text.pop_back();
    return text;
}

bool Whole(double x) { return std::floor(x) == x; }

std::string PrecursorText(const TKrecord& c, std::size_t i, int width, int decimals, bool showFactor) {
    std::string text = FormatFixed(c.PrecursorMass[i], width, decimals) + "   " + " " +
                       ExponentText(c.RateCoefficient[i]) + "   " + " " + ShortDecimalText(c.PrecursorWeight[i]) +
                       "   ";
    if (showFactor) {
        // Appended in two steps: " " + text makes g++ 12 -O3 warn of overlapping copies.
        text += ' ';
        text += ShortDecimalText(c.PrecursorFactor[i]);
    }
    return text;
}

std::string ProductText(const TKrecord& c, std::size_t j, int width, int decimals, std::string_view gap) {
    return FormatFixed(c.ProductMass[j], width, decimals) + std::string(gap) + " " +
           ShortDecimalText(c.ProductWeight[j]) + "   " + " " + ShortDecimalText(c.ProductFactor[j]);
}

}  // namespace

int TKbase::MassDecimals(const TKrecord& compound) {
    int decimals = 0;
    for (const TKrecord::Values* masses : {&compound.PrecursorMass, &compound.ProductMass})
        for (double m : *masses) {
            if (!Whole(m * 10)) return 2;
            if (!Whole(m)) decimals = 1;
        }
    return decimals;
}

int TKbase::DescribeCompound(int index) {
    const TKrecord& c = Compound(index);
    int decimals = MassDecimals(c);
    int width = decimals + 4;
    // The first precursor's factor of 1 is the default and not worth a column.
    Lines = {" ",
             c.Name,
             c.Formula,
             PrecursorText(c, 0, width, decimals, c.PrecursorFactor[0] != 1),
             ProductText(c, 0, width, decimals, "    "),
             " "};
    return width;
}

void TKbase::DescribeRow(int index, int row, int width) {
    const TKrecord& c = Compound(index);
    auto n = static_cast<std::size_t>(row);
    bool inTable = row >= 0 && row < 16;
    std::string precursor, product;
    if (inTable && row < c.PrecursorCount)
        precursor = PrecursorText(c, n, width, width - 4, c.PrecursorFactor[n] != 0);
    if (inTable && row < c.ProductCount) product = ProductText(c, n, width, width - 4, "   ");
    Lines = {"", "", "", precursor, product, ""};
}

}  // namespace kel
