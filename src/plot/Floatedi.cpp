#include "plot/Floatedi.h"

#include <algorithm>
#include <cmath>

#include "common/Errors.h"
#include "common/NumberText.h"

namespace kel {

namespace {

std::string Trimmed(const std::string& text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    std::size_t e = text.find_last_not_of(' ');
    return text.substr(b, e - b + 1);
}

void DropTrailingZeros(std::string& digits) {
    if (digits.find('.') == std::string::npos) return;
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (!digits.empty() && digits.back() == '.') digits.pop_back();
}

}  // namespace

TFloatField::TFloatField(double value, double minValue, double maxValue, double increment, int precision)
    : min_(minValue), max_(maxValue), increment_(increment), precision_(precision) {
    value_ = 0;
    text_ = DisplayText(0, precision_);
    SetValue(value);
}

bool TFloatField::SetValue(double x) {
    if (!(x >= min_ && x <= max_)) return false;
    value_ = x;
    text_ = DisplayText(x, precision_);
    displayed_ = true;
    return true;
}

double TFloatField::ValidateText(const std::string& text, std::optional<TNotice>* refusal) {
    double old = value_;
    if (refusal) refusal->reset();
    // The display rounds to Precision digits: reading it back would move a
    // value of more digits that the user never touched.
    if (displayed_ && Trimmed(text) == text_) return value_;
    // An emptied field means 0, but only where 0 is a value the field may
    // hold: a flow-tube temperature of 0 would end every calculation.
    std::string trimmed = Trimmed(text);
    if (trimmed.empty()) trimmed.push_back('0');  // not = "0": g++ 12 -O3 misreads that copy as overlapping
    try {
        double x = TextToFloat(trimmed);
        if (x < min_ || x > max_)
            throw EConvertError(trimmed + " is not in the range from " + FormatGeneral(min_) + " to " +
                                FormatGeneral(max_));
        value_ = x;
        text_ = trimmed;
        displayed_ = false;
        return x;
    } catch (const EConvertError& error) {
        SetValue(old);
        if (refusal) *refusal = ProgramNotice(error.what());
        return old;
    }
}

double TFloatField::ParseText(const std::string& text) {
    text_ = Trimmed(text);
    displayed_ = false;
    // Empty text is a field being retyped: its value stays until the user leaves it.
    if (text_.empty()) return value_;
    double x = TextToFloatDef(text_, min_ - 1);
    if (x >= min_ && x <= max_) value_ = x;
    return value_;
}

std::optional<TNotice> TFloatField::Spin(bool up) {
    std::optional<TNotice> refusal;
    ValidateText(text_, &refusal);
    if (increment_ == 0 && value_ == 0) {
        SetValue(up ? 1 : -1);
        return refusal;
    }
    double step = increment_ != 0 ? increment_ : std::pow(10.0, std::trunc(std::log10(std::fabs(value_))) - 1);
    SetValue(up ? value_ + step : value_ - step);
    return refusal;
}

std::string TFloatField::DisplayText(double x, int precision) {
    CheckedFinite(x);
    int p = std::clamp(precision, 2, 18);
    if (x == 0) return "0";
    std::string sign = x < 0 ? "-" : "";
    // d.ddd e+XX with p significant digits; x = 0.d1d2... * 10^e has e = XX + 1.
    std::string sci = RoundedPrintf(std::fabs(x), p - 1, 'e');
    std::size_t ePos = sci.find('e');
    int e = std::stoi(sci.substr(ePos + 1)) + 1;
    std::string digits = sci.substr(0, 1) + sci.substr(2, ePos - 2);
    if (e >= -3 && e <= p) {
        std::string fixed;
        if (e <= 0)
            fixed = "0." + std::string(static_cast<std::size_t>(-e), '0') + digits;
        else if (static_cast<std::size_t>(e) >= digits.size())
            fixed = digits + std::string(static_cast<std::size_t>(e) - digits.size(), '0');
        else
            fixed = digits.substr(0, static_cast<std::size_t>(e)) + "." + digits.substr(static_cast<std::size_t>(e));
        DropTrailingZeros(fixed);
        return sign + fixed;
    }
    std::string mantissa = digits.substr(0, 1) + "." + digits.substr(1);
    DropTrailingZeros(mantissa);
    int exponent = e - 1;
    std::string expDigits = std::to_string(std::abs(exponent));
    if (expDigits.size() < 2) expDigits.insert(0, 1, '0');
    return sign + mantissa + "E" + (exponent < 0 ? "-" : "") + expDigits;
}

}  // namespace kel
