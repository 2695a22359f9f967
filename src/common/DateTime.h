#pragma once
// Date-times as days since 30 December 1899 (the fraction is the time of day),
// the representation profiles and logs store.
#include <cstdint>
#include <optional>
#include <string>

namespace kel {

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Days since 30 December 1899 of a calendar date and time of day.
double EncodeDateTime(const DateTimeParts& parts);

// Calendar parts of a date-time, rounded to the nearest millisecond first.
DateTimeParts DecodeDateTime(double dateTime);

// The date-time in ISO 8601 local form, "2025-12-09T14:03:07", with ".mmm"
// only when the millisecond is not 0; empty for a value no calendar date
// has (not finite, or beyond the years 1..9999).
std::string IsoDateTime(double dateTime);

// The current local date and time.
double NowDateTime();

// A file's last modification time in local time at the 2-second resolution of
// an MS-DOS time stamp; empty when the file cannot be examined or its time
// has no MS-DOS form (before 1980 or after 2107).
std::optional<double> FileDateTime(const std::string& path);

// Packs local parts into an MS-DOS date (high word) and time (low word); the
// seconds lose their odd bit. Empty outside the years 1980..2107.
std::optional<std::uint32_t> PackDosDateTime(const DateTimeParts& parts);

// The date-time of a packed MS-DOS date and time; empty for an impossible one.
std::optional<double> UnpackDosDateTime(std::uint32_t dosDateTime);

}  // namespace kel
