#include "kinetics/CountAccess.h"

#include <algorithm>

namespace kel {

int IonIndexOfMass(const TKel& kel, double m) {
    int channels = std::min<int>(kel.nim / 2, static_cast<int>(kel.IonMass.size()));
    for (int k = channels - 1; k >= 0; --k)
        if (std::fabs(m - kel.IonMass[static_cast<std::size_t>(k)]) < 0.5) return k;
    return -1;
}

int AuxRowOfName(const TKel& kel, std::string_view text) {
    for (int row = 26; row >= 18; row -= 2)
        if (row < static_cast<int>(kel.Name.size()) &&
            kel.Name[static_cast<std::size_t>(row)].find(text) != std::string::npos)
            return row;
    return -1;
}

}  // namespace kel
