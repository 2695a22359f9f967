#pragma once
// Reading counts and count rates of the ion channels of a profile, with the
// optional outlier filter, and finding channels and readings by name.
#include <cstdint>
#include <string_view>

#include "profile/Kel.h"

namespace kel {

// Storage slot of chronological point i: (i + jm) mod njm; -1 when the
// profile has no slots.
int SlotOfPoint(const TKel& kel, int point);

// Raw count of channel k (row 2k+1) in slot s; 0 for a channel or slot
// outside the profile.
std::int32_t RawCountAt(const TKel& kel, int k, int s);

// Count of channel k in slot s, replaced by the outlier filter's value where
// the filter applies; 0 for a channel or slot outside the profile.
double CountAt(const TKel& kel, int k, int s);

// Count rate (c/s) of `count` counts of channel k: count * FScan / dwell (0
// for a channel outside the profile);
// raises EZeroDivide / EInvalidOp for a dwell of 0.
double RateOfCount(const TKel& kel, int k, double count);

// Count rate of channel k in slot s, filtered like CountAt; 0 for a channel
// outside the profile.
double RateAt(const TKel& kel, int k, int s);

// Highest channel whose mass lies within 0.5 of m; -1 when none.
int IonIndexOfMass(const TKel& kel, double m);

// Highest of the auxiliary rows 18, 20, ..., 26 whose name contains text
// (case-sensitive); -1 when none.
int AuxRowOfName(const TKel& kel, std::string_view text);

}  // namespace kel
