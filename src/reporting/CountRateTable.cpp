#include "reporting/CountRateTable.h"

#include <algorithm>

#include "kinetics/CountAccess.h"
#include "common/SafeMath.h"

namespace kel {

namespace {

void EndCell(std::string& text, int k, int channels) { text += k + 1 < channels ? "\t" : "\r\n"; }

}  // namespace

std::string CountRateTable(const TKel& kel, int start, int end) {
    const int channels = kel.nim / 2;
    std::string text;
    if (channels < 1) return text;
    for (int k = 0; k < channels; ++k) {
        text += kel.Name[static_cast<std::size_t>(2 * k + 1)];
        EndCell(text, k, channels);
    }
    // A selection dragged past the curves' end holds no more points; the
    // ring's slots must not be read round a second time.
    const int last = std::min(end, kel.njm - 1);
    for (int i = start; i <= last; ++i) {
        const int slot = SlotOfPoint(kel, i);
        for (int k = 0; k < channels; ++k) {
            text += std::to_string(RoundHalfEvenToInt(RateAt(kel, k, slot)));
            EndCell(text, k, channels);
        }
    }
    return text;
}

}  // namespace kel
