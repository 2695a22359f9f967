#include "common/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string_view>
#include <vector>

#include "common/Errors.h"
#include "common/TextExcerpt.h"

namespace kel {

namespace {

std::string Printf(double x, int digits, char conv) {
    const char format[] = {'%', '.', '*', conv, '\0'};
    int n = std::snprintf(nullptr, 0, format, digits, x);
    std::string out(static_cast<std::size_t>(n), '\0');
    std::snprintf(out.data(), out.size() + 1, format, digits, x);
    return out;
}

// Adds one unit in the last digit of a digit string that may hold one '.'.
// Returns true when the carry ran out of the leftmost digit.
bool IncrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        char& c = digits[i];
        if (c == '.') continue;
        if (c != '9') {
            ++c;
            return false;
        }
        c = '0';
    }
    return true;
}

void RequireFinite(double x) {
    if (!std::isfinite(x)) CheckedFinite(x);
}

std::string Trim(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return std::string(text.substr(b, e - b));
}

// True when x (finite, > 0) times 10^digits has a fractional part of exactly
// one half. With x = M * 2^E and M odd, x * 10^d = M * 5^d * 2^(E + d): that is
// an odd number of halves exactly when E = -(d + 1).
bool IsFixedTie(double x, int digits) {
    int e = 0;
    double m = std::frexp(x, &e);
    auto mantissa = static_cast<std::uint64_t>(std::ldexp(m, 53));
    int exponent = e - 53;
    while ((mantissa & 1) == 0) {
        mantissa >>= 1;
        ++exponent;
    }
    return exponent == -(digits + 1);
}

// Room for the longest text ScaledFixed writes: at most 16 digits and a point.
constexpr std::size_t kScaledFixedChars = 18;

// Writes x (>= 0) with `digits` decimals to out in integer arithmetic, for
// x * 10^digits below 2^52, and returns the length; 0 (nothing written)
// otherwise. The product p is rounded, but its error e, exact through a fused
// multiply-add, is less than half a unit of p, while p's distance to the
// nearest half is a whole number of units: so the sign of that distance
// decides, and e only when it is 0.
std::size_t ScaledFixed(double x, int digits, char* out) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (digits < 0 || digits >= static_cast<int>(std::size(kPowers)) || !(x >= 0)) return 0;
    double scale = kPowers[digits];
    double p = x * scale;
    if (!(p < 0x1p52)) return 0;
    double e = std::fma(x, scale, -p);
    double below = std::floor(p);
    double aboveHalf = (p - below) - 0.5;
    bool up = aboveHalf > 0 || (aboveHalf == 0 && e >= 0);  // an exact tie goes away from zero
    auto units = static_cast<std::uint64_t>(below) + (up ? 1 : 0);
    auto fraction = static_cast<std::size_t>(digits);
    char buf[24];
    auto length = static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, units).ptr - buf);
    // Zeros in front up to one whole digit (0.05, not .05), then the point
    // before the last `digits` digits.
    std::size_t zeros = length <= fraction ? fraction + 1 - length : 0;
    std::size_t total = zeros + length;
    std::size_t point = total - fraction;
    char* at = out;
    for (std::size_t i = 0; i < total; ++i) {
        if (i == point) *at++ = '.';
        *at++ = i < zeros ? '0' : buf[i - zeros];
    }
    return static_cast<std::size_t>(at - out);
}

// The 'f' form in integer arithmetic where ScaledFixed serves, otherwise
// through to_chars, which rounds the exact value with ties to even; exact
// ties, found arithmetically, are then rounded away from zero. Empty when the
// value or the digits are too large for the quick path.
std::string QuickFixed(double x, int digits) {
    char scaled[kScaledFixedChars];
    if (std::size_t length = ScaledFixed(x, digits, scaled)) return std::string(scaled, length);
    constexpr int kMaxDigits = 40;
    if (digits > kMaxDigits || !(x < 1e30)) return {};
    char buf[80];
    if (x == 0 || !IsFixedTie(x, digits)) {
        auto result = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, digits);
        return std::string(buf, result.ptr);
    }
    // The tie printed one digit further ends in an exact 5: drop it, round up.
    auto result = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, digits + 1);
    std::string head(buf, result.ptr - 1);
    if (head.back() == '.') head.pop_back();
    if (IncrementDigits(head)) head.insert(head.begin(), '1');
    return head;
}

}  // namespace

std::string RoundedPrintf(double x, int digits, char conv) {
    if (conv == 'f') {
        std::string quick = QuickFixed(x, digits);
        if (!quick.empty()) return quick;
    }
    // Glibc prints exact decimal expansions, so 20 guard digits decide the
    // rounding unless they read exactly 5000...; then the exact expansion
    // (at most 1074 fraction digits for a double) settles it.
    constexpr int kGuard = 20;
    std::string wide = Printf(x, digits + kGuard, conv);
    std::size_t mantissaEnd = conv == 'e' ? wide.find('e') : wide.size();
    std::string tail = wide.substr(mantissaEnd - kGuard, kGuard);
    if (tail == "50000000000000000000") {
        wide = Printf(x, digits + 1100, conv);
        mantissaEnd = conv == 'e' ? wide.find('e') : wide.size();
        tail = wide.substr(mantissaEnd - 1100, 1100);
    }
    std::string exponent = wide.substr(mantissaEnd);
    std::string head = wide.substr(0, mantissaEnd - tail.size());
    if (!head.empty() && head.back() == '.' && digits == 0) head.pop_back();
    if (tail[0] >= '5') {
        if (IncrementDigits(head)) {
            head.insert(head.begin(), '1');
            if (conv == 'e') {
                // 9.99e+05 became 10.00e+05: renormalise to 1.000e+06.
                std::size_t point = head.find('.');
                if (point != std::string::npos) {
                    head.erase(point, 1);
                    head.insert(head.begin() + static_cast<std::ptrdiff_t>(point - 1), '.');
                }
                head.pop_back();
                int e = std::stoi(exponent.substr(1)) + 1;
                char buf[16];
                std::snprintf(buf, sizeof buf, "e%+03d", e);
                exponent = buf;
            }
        }
    }
    return head + exponent;
}

std::string FormatFixed(double x, int width, int decimals) {
    RequireFinite(x);
    if (decimals < 0) decimals = 0;
    bool negative = std::signbit(x) && x != 0.0;
    // Logs write thousands of these per profile: the text is assembled once.
    char scaled[kScaledFixedChars];
    std::string slow;
    std::string_view digits(scaled, ScaledFixed(std::fabs(x), decimals, scaled));
    if (digits.empty()) digits = slow = RoundedPrintf(std::fabs(x), decimals, 'f');
    std::size_t size = digits.size() + (negative ? 1 : 0);
    std::size_t pad = static_cast<int>(size) < width ? static_cast<std::size_t>(width) - size : 0;
    std::string text;
    text.reserve(std::min<std::size_t>(pad + size, 20));
    text.append(pad, ' ');
    if (negative) text += '-';
    text += digits;
    if (text.size() > 20) text.resize(20);
    return text;
}

std::string FormatScientific23(double x) {
    RequireFinite(x);
    bool negative = std::signbit(x) && x != 0.0;
    std::string text = RoundedPrintf(std::fabs(x), 14, 'e');
    std::size_t e = text.find('e');
    int exponent = std::stoi(text.substr(e + 1));
    char buf[16];
    std::snprintf(buf, sizeof buf, "E%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
    std::string out(1, negative ? '-' : ' ');
    out.append(text, 0, e);
    return out.append(buf);
}

std::string FormatGeneral(double x) {
    RequireFinite(x);
    if (x == 0.0) return "0";
    bool negative = x < 0;
    std::string text = RoundedPrintf(std::fabs(x), 14, 'e');
    std::size_t e = text.find('e');
    int exponent = std::stoi(text.substr(e + 1));
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out;
    if (exponent < -5 || exponent >= 15) {
        out.assign(1, digits[0]);
        if (digits.size() > 1) out.append(1, '.').append(digits, 1);
        out.append(1, 'E').append(std::to_string(exponent));
    } else if (exponent < 0) {
        out.assign("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
    } else {
        std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out = digits + std::string(intDigits - digits.size(), '0');
        } else {
            out = digits.substr(0, intDigits) + "." + digits.substr(intDigits);
        }
    }
    return negative ? "-" + out : out;
}

std::string FormatPattern(std::string_view pattern, double x) {
    RequireFinite(x);
    std::size_t e = pattern.find_first_of("eE");
    std::string_view mantissa = pattern.substr(0, e);
    std::size_t point = mantissa.find('.');
    auto zeros = [](std::string_view part) { return static_cast<int>(std::count(part.begin(), part.end(), '0')); };
    int intDigits = zeros(mantissa.substr(0, point));
    int decimals = point == std::string_view::npos ? 0 : zeros(mantissa.substr(point + 1));
    bool negative = std::signbit(x) && x != 0.0;
    std::string text;
    if (e == std::string_view::npos) {
        text = RoundedPrintf(std::fabs(x), decimals, 'f');
        int have = static_cast<int>(text.find('.') == std::string::npos ? text.size() : text.find('.'));
        if (have == 1 && text[0] == '0' && intDigits == 0 && decimals > 0) text.erase(0, 1);
        else if (have < intDigits) text.insert(0, static_cast<std::size_t>(intDigits - have), '0');
    } else {
        std::string_view exponentPart = pattern.substr(e + 1);
        char signRule = !exponentPart.empty() && (exponentPart[0] == '-' || exponentPart[0] == '+') ? exponentPart[0] : 0;
        int expDigits = zeros(exponentPart);
        std::string sci = RoundedPrintf(std::fabs(x), decimals, 'e');
        std::size_t ePos = sci.find('e');
        int exponent = x == 0.0 ? 0 : std::stoi(sci.substr(ePos + 1));
        std::string digits = std::to_string(std::abs(exponent));
        if (static_cast<int>(digits.size()) < expDigits)
            digits.insert(0, static_cast<std::size_t>(expDigits) - digits.size(), '0');
        std::string sign = exponent < 0 ? "-" : (signRule == '+' ? "+" : "");
        text = sci.substr(0, ePos) + pattern[e] + sign + digits;
    }
    return negative ? "-" + text : text;
}

std::int32_t TextToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string_view body = text.substr(i);
    bool negative = false;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        negative = body[0] == '-';
        body.remove_prefix(1);
    }
    std::int64_t value = 0;
    bool ok = !body.empty() && body.size() <= 11;  // 11 digits cannot overflow 64 bits
    for (char c : ok ? body : std::string_view()) {
        if (c < '0' || c > '9') {
            ok = false;
            break;
        }
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (!ok || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        throw EConvertError("'" + MessageExcerpt(text) + "' is not a valid integer value");
    return static_cast<std::int32_t>(value);
}

double TextToFloat(std::string_view text) {
    std::string body = Trim(text);
    auto fail = [&]() -> double {
        throw EConvertError("'" + MessageExcerpt(text) + "' is not a valid floating point value");
    };
    // from_chars would also take "inf" and "nan", which are not numbers here.
    bool anyDigit = false;
    for (char c : body) {
        if (c >= '0' && c <= '9') anyDigit = true;
        else if (c != '.' && c != '+' && c != '-' && c != 'e' && c != 'E') return fail();
    }
    if (!anyDigit) return fail();
    std::string_view view = body;
    bool negative = false;
    if (view[0] == '+' || view[0] == '-') {
        negative = view[0] == '-';
        view.remove_prefix(1);
    }
    if (view.empty() || view[0] == '+' || view[0] == '-') return fail();
    double value = 0;
    auto [end, ec] = std::from_chars(view.data(), view.data() + view.size(), value);
    if (ec != std::errc() || end != view.data() + view.size()) return fail();
    return negative ? -value : value;
}

std::int32_t TextToIntDef(std::string_view text, std::int32_t fallback) {
    try {
        return TextToInt(text);
    } catch (const EConvertError&) {
        return fallback;
    }
}

double TextToFloatDef(std::string_view text, double fallback) {
    try {
        return TextToFloat(text);
    } catch (const EConvertError&) {
        return fallback;
    }
}

double ParseNumber(std::string_view text) {
    std::string number = "0";
    for (char c : text)
        if ((c >= '0' && c <= '9') || c == '.') number += c;
    return TextToFloat(number);
}

}  // namespace kel

namespace kel {

std::string FormatShortest(double x) {
    char buf[32];
    auto end = std::to_chars(buf, buf + sizeof buf, x).ptr;
    return std::string(buf, end);
}

}  // namespace kel
