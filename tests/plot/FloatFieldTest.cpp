#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "plot/Floatedi.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

using Texts = std::vector<std::string>;

// Leaves the field with text, keeping the text of the box a refusal gives.
double Leave(TFloatField& field, const std::string& text, Texts& boxes) {
    std::optional<TNotice> refusal;
    double value = field.ValidateText(text, &refusal);
    if (refusal) {
        EXPECT_EQ(refusal->caption, kProgramCaption);
        boxes.push_back(refusal->text);
    }
    return value;
}

TEST(FloatFieldDisplay, GeneralFormWithPrecisionDigits) {
    EXPECT_EQ(TFloatField::DisplayText(2, 4), "2");
    EXPECT_EQ(TFloatField::DisplayText(0.000379, 4), "0.000379");
    EXPECT_EQ(TFloatField::DisplayText(1e99, 4), "1E99");
    EXPECT_EQ(TFloatField::DisplayText(0.00003, 4), "3E-05");
    EXPECT_EQ(TFloatField::DisplayText(123456, 4), "1.235E05");
    EXPECT_EQ(TFloatField::DisplayText(1.0 / 3, 3), "0.333");
    EXPECT_EQ(TFloatField::DisplayText(300, 3), "300");
    EXPECT_EQ(TFloatField::DisplayText(12345, 3), "1.23E04");
    EXPECT_EQ(TFloatField::DisplayText(-4.1, 4), "-4.1");
    EXPECT_EQ(TFloatField::DisplayText(0, 4), "0");
}

TEST(FloatField, ValueStaysInRange) {
    TFloatField fr(2.0, 0.01, 100, 0.01);
    EXPECT_TRUE(fr.SetValue(50));
    EXPECT_FALSE(fr.SetValue(150));
    EXPECT_FALSE(fr.SetValue(0));
    EXPECT_EQ(fr.Value(), 50);
    EXPECT_EQ(fr.Text(), "50");
    TFloatField outside(7, 0.3, 0.5);  // an initial value out of range is not taken
    EXPECT_EQ(outside.Value(), 0);
}

TEST(FloatField, LeavingWithOutOfRangeTextRestoresAndExplains) {
    test::RecordedMessages shown;
    Texts boxes;
    TFloatField fr(2.0, 0.01, 100);
    EXPECT_EQ(Leave(fr, "150", boxes), 2.0);
    EXPECT_EQ(boxes, Texts{"150 is not in the range from 0.01 to 100"});
    EXPECT_EQ(fr.Text(), "2");
    EXPECT_EQ(Leave(fr, "abc", boxes), 2.0);
    EXPECT_EQ(boxes.back(), "'abc' is not a valid floating point value");
    EXPECT_EQ(Leave(fr, " 3.5 ", boxes), 3.5);
    EXPECT_EQ(fr.Text(), "3.5");
    EXPECT_EQ(boxes.size(), 2u);
    // The field hands its refusals back; showing them is its caller's part.
    EXPECT_TRUE(shown.shown.empty());
}

TEST(FloatField, EmptiedFieldNeverTakesAnOutOfRangeZero) {
    Texts boxes;
    TFloatField tg(300, 100, 500);
    EXPECT_EQ(tg.ParseText(""), 300);  // retyping: the value waits
    EXPECT_EQ(Leave(tg, "", boxes), 300);
    EXPECT_EQ(boxes, Texts{"0 is not in the range from 100 to 500"});
    EXPECT_EQ(tg.Text(), "300");

    TFloatField level(2, -5, 100);  // 0 is a value this field may hold
    EXPECT_EQ(Leave(level, "  ", boxes), 0);
    EXPECT_EQ(level.Text(), "0");
    EXPECT_EQ(boxes.size(), 1u);
}

TEST(FloatField, OnlyTypedTextIsReadBack) {
    Texts boxes;
    const double diameter = std::sqrt(13 / 0.78539816339744830962);  // 4.0684..., shown as 4.07
    TFloatField d(4.1, 0.1, 30, 0.1, 3);
    ASSERT_TRUE(d.SetValue(diameter));
    ASSERT_EQ(d.Text(), "4.07");
    // Left again and again without typing: every digit stays.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Leave(d, d.Text(), boxes), diameter);
    EXPECT_EQ(d.Value(), diameter);
    EXPECT_EQ(d.Text(), "4.07");
    // A refused text brings the display back, which again keeps the value.
    EXPECT_EQ(Leave(d, "40", boxes), diameter);
    EXPECT_EQ(Leave(d, d.Text(), boxes), diameter);
    // The same text typed is taken as typed.
    d.ParseText("4.07");
    EXPECT_EQ(Leave(d, "4.07", boxes), 4.07);
    // A spin steps from the value, not from its display.
    ASSERT_TRUE(d.SetValue(diameter));
    EXPECT_EQ(d.Spin(true), std::nullopt);
    EXPECT_EQ(d.Value(), diameter + 0.1);
    EXPECT_EQ(boxes, Texts{"40 is not in the range from 0.1 to 30"});
}

TEST(FloatField, TypingIsLenient) {
    TFloatField fr(2.0, 0.01, 100);
    EXPECT_EQ(fr.ParseText("1"), 1);
    EXPECT_EQ(fr.ParseText("1e"), 1);  // incomplete: value kept
    EXPECT_EQ(fr.ParseText("1000"), 1);
    EXPECT_EQ(fr.ParseText(" 7 "), 7);
    // A spin over typed text that cannot be taken first restores the value,
    // handing back the refusal the user is to see.
    EXPECT_EQ(fr.ParseText("12x"), 7);
    std::optional<TNotice> refusal = fr.Spin(true);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->text, "'12x' is not a valid floating point value");
    EXPECT_DOUBLE_EQ(fr.Value(), 7.1);
}

TEST(FloatField, SpinStepsByIncrementOrATenthOfTheDecade) {
    TFloatField auto5(5, -1e99, 1e99);
    auto5.Spin(true);
    EXPECT_DOUBLE_EQ(auto5.Value(), 5.1);
    TFloatField auto50(50, -1e99, 1e99);
    auto50.Spin(false);
    EXPECT_DOUBLE_EQ(auto50.Value(), 49);
    TFloatField small(0.05, -1e99, 1e99);
    small.Spin(true);
    EXPECT_DOUBLE_EQ(small.Value(), 0.06);
    TFloatField zero(0, -1e99, 1e99);
    zero.Spin(false);
    EXPECT_EQ(zero.Value(), -1);
    TFloatField stepped(0.3, 0, 1, 0.1);
    stepped.Spin(true);
    EXPECT_DOUBLE_EQ(stepped.Value(), 0.4);
    TFloatField top(100, 0, 100, 1);
    top.Spin(true);
    EXPECT_EQ(top.Value(), 100);
}

}  // namespace
}  // namespace kel
