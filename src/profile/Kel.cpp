#include "profile/Kel.h"

#include <algorithm>

#include "common/DateTime.h"
#include "common/NumberText.h"

namespace kel {

TKel::TKel() : ProfileDate(NowDateTime()) { SetArrays(28, 200); }

TKel::~TKel() = default;

void TKel::SetArrays(int rows, int slots) {
    rows = std::max(rows, 28);
    slots = std::max(slots, 200);
    auto rowCount = static_cast<std::size_t>(rows) + 1;
    auto slotCount = static_cast<std::size_t>(slots) + 1;
    Dam.resize(rowCount);
    Cntm.resize(rowCount);
    Name.resize(rowCount);
    IonMass.resize(rowCount);
    Counts.resize(rowCount);
    for (auto& row : Counts) row.resize(slotCount);
    Times.resize(slotCount);
}

void TKel::UpdateIonMasses() {
    int channels = nim / 2;
    for (int k = 0; k < channels; ++k) {
        auto row = static_cast<std::size_t>(2 * k + 1);
        if (static_cast<std::size_t>(k) < IonMass.size())
            IonMass[static_cast<std::size_t>(k)] = row < Name.size() ? ParseNumber(Name[row]) : 0.0;
    }
}

TKel::TKel(WithoutArrays) : ProfileDate(NowDateTime()) {}

TKelDetails::TKelDetails() : TKel(WithoutArrays{}) {}

}  // namespace kel
