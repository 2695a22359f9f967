#include "common/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "common/Platform.h"

namespace kel {

namespace {

constexpr double kMsPerDay = 86400000.0;

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's method).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

// 30 December 1899 counted from 1 January 1970.
constexpr std::int64_t kEpochOffsetDays = DaysFromCivil(1899, 12, 30);

bool ValidParts(const DateTimeParts& p) {
    if (p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31) return false;
    if (p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59)
        return false;
    int y = 0, m = 0, d = 0;
    CivilFromDays(DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)), y, m,
                  d);
    return y == p.year && m == p.month && d == p.day;
}

DateTimeParts LocalParts(std::int64_t seconds, int millisecond) {
    std::tm tm = os::LocalTime(seconds);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, millisecond};
}

}  // namespace

double EncodeDateTime(const DateTimeParts& p) {
    double days = static_cast<double>(DaysFromCivil(p.year, static_cast<unsigned>(p.month),
                                                    static_cast<unsigned>(p.day)) -
                                      kEpochOffsetDays);
    double time = ((p.hour * 60.0 + p.minute) * 60.0 + p.second + p.millisecond / 1000.0) / 86400.0;
    // Before the epoch the fraction still counts forward from midnight.
    return days >= 0 ? days + time : days - time;
}

DateTimeParts DecodeDateTime(double dateTime) {
    double whole = std::trunc(dateTime);
    auto ms = static_cast<std::int64_t>(std::llround(std::fabs(dateTime - whole) * kMsPerDay));
    auto day = static_cast<std::int64_t>(whole);
    if (ms >= static_cast<std::int64_t>(kMsPerDay)) {
        ms -= static_cast<std::int64_t>(kMsPerDay);
        day += dateTime >= 0 ? 1 : -1;
    }
    DateTimeParts p;
    CivilFromDays(day + kEpochOffsetDays, p.year, p.month, p.day);
    p.millisecond = static_cast<int>(ms % 1000);
    std::int64_t s = ms / 1000;
    p.second = static_cast<int>(s % 60);
    p.minute = static_cast<int>(s / 60 % 60);
    p.hour = static_cast<int>(s / 3600);
    return p;
}

std::string IsoDateTime(double dateTime) {
    // Days of 1 January 1 and 31 December 9999 counted from 30 December 1899.
    if (!std::isfinite(dateTime) || dateTime < -693593 || dateTime >= 2958466) return {};
    DateTimeParts p = DecodeDateTime(dateTime);
    char text[32];
    int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                          p.minute, p.second);
    if (p.millisecond != 0) std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), ".%03d", p.millisecond);
    return text;
}

double NowDateTime() {
    auto now = std::chrono::system_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    return EncodeDateTime(LocalParts(ms / 1000, static_cast<int>(ms % 1000)));
}

std::optional<double> FileDateTime(const std::string& path) {
    std::optional<std::int64_t> modified = os::ModificationTime(path);
    if (!modified) return std::nullopt;
    auto packed = PackDosDateTime(LocalParts(*modified, 0));
    if (!packed) return std::nullopt;
    return UnpackDosDateTime(*packed);
}

std::optional<std::uint32_t> PackDosDateTime(const DateTimeParts& p) {
    if (p.year < 1980 || p.year > 2107 || !ValidParts(p)) return std::nullopt;
    std::uint32_t date = static_cast<std::uint32_t>(((p.year - 1980) << 9) | (p.month << 5) | p.day);
    std::uint32_t time = static_cast<std::uint32_t>((p.hour << 11) | (p.minute << 5) | (p.second / 2));
    return (date << 16) | time;
}

std::optional<double> UnpackDosDateTime(std::uint32_t dos) {
    std::uint32_t date = dos >> 16, time = dos & 0xFFFFu;
    DateTimeParts p;
    p.year = static_cast<int>((date >> 9) + 1980);
    p.month = static_cast<int>((date >> 5) & 15);
    p.day = static_cast<int>(date & 31);
    p.hour = static_cast<int>(time >> 11);
    p.minute = static_cast<int>((time >> 5) & 63);
    p.second = static_cast<int>((time & 31) * 2);
    if (!ValidParts(p)) return std::nullopt;
    return EncodeDateTime(p);
}

}  // namespace kel
