#pragma once
// What a numeric entry field holds, apart from the widget: a value kept within
// [MinValue, MaxValue], the text the user sees, and the rules for accepting
// typed text and spin steps. The GUI's field and the command-line tool's
// "--set" both go through it.
#include <optional>
#include <string>

#include "common/Notice.h"

namespace kel {

class TFloatField {
public:
    TFloatField() = default;
    // A field holding `value` within [minValue, maxValue].
    TFloatField(double value, double minValue, double maxValue, double increment = 0, int precision = 4);

    double Value() const { return value_; }
    double MinValue() const { return min_; }
    double MaxValue() const { return max_; }
    double Increment() const { return increment_; }
    int Precision() const { return precision_; }
    const std::string& Text() const { return text_; }

    // Takes x and rewrites the text when x lies within the range; returns
    // false and changes nothing otherwise.
    bool SetValue(double x);

    // The strict check on leaving the field: a number in range is taken, and
    // empty text counts as 0; anything else restores the old value and its
    // text and returns the old value, the box telling why in *refusal (when
    // given; empty when the text was taken). The display text of the value,
    // untouched since SetValue, keeps the value exactly.
    double ValidateText(const std::string& text, std::optional<TNotice>* refusal = nullptr);

    // The lenient update while typing: takes the text and the value when it
    // reads as a number in range, otherwise (empty text too) keeps the value;
    // no message. The text counts as typed from now on.
    double ParseText(const std::string& text);

    // One spin step up or down (Increment, or a tenth of the value's decade),
    // from the value the strict check leaves; the box of that check's
    // refusal, if any.
    std::optional<TNotice> Spin(bool up);

    // The display form: `precision` significant digits, general notation.
    static std::string DisplayText(double x, int precision);

private:
    double value_ = 0;
    double min_ = 0;
    double max_ = 1e99;
    double increment_ = 0;
    int precision_ = 4;
    std::string text_ = "0";
    // text_ is the display form SetValue wrote, not yet typed over.
    bool displayed_ = true;
};

// What a numeric field widget edits: a field of its own, or one that lives
// in a session and changes only through the session's commands.
class TFloatFieldAccess {
public:
    virtual ~TFloatFieldAccess() = default;
    virtual const TFloatField& Field() const = 0;
    // Typing: the lenient update, then the change handler when the value moved.
    virtual void Type(const std::string& text) = 0;
    // Leaving: the strict check (a refusal shows its box and returns false),
    // the text in display form, then the leave handler.
    virtual bool Leave(const std::string& text) = 0;
    // One spin step with the handlers of a change and a click.
    virtual void Spin(bool up) = 0;
};

}  // namespace kel
