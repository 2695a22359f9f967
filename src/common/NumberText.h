#pragma once
// Numbers as text, always with "." as the decimal point. Ties round half away
// from zero on the double's exact value, which is what a reader of the
// numbers expects and what printf (half to even) does not do.
#include <cstdint>
#include <string>
#include <string_view>

namespace kel {

// Fixed notation with exactly `decimals` digits, left-padded with blanks to
// `width`, cut to its first 20 characters; raises EInvalidOp/EOverflow for a
// NaN or an infinity.
std::string FormatFixed(double x, int width, int decimals);

// The worksheet's 23-character scientific form: sign or blank, d.dddddddddddddd
// (15 significant digits), "E", exponent sign and four exponent digits.
std::string FormatScientific23(double x);

// Shortest text with at most 15 significant digits; exponent form such as
// "2.5E-8" below 1e-5 and from 1e15 on.
std::string FormatGeneral(double x);

// The shortest text that reads back as exactly x, as "0.25", "1e-05";
// x must be finite.
std::string FormatShortest(double x);

// x printed like printf's %.Nf or %.Ne (conv 'f' or 'e') but with ties
// rounded half away from zero; x must be finite and non-negative.
std::string RoundedPrintf(double x, int digits, char conv);

// x formatted with a picture such as "0.000", "0", "0.00e-00" or "0.0e-0":
// "0" digit placeholders, "." the decimal point, "e-" an exponent signed only
// when negative ("e+" always signed) with at least as many digits as zeros
// follow; raises EInvalidOp/EOverflow for a NaN or an infinity.
std::string FormatPattern(std::string_view pattern, double x);

// Integer text: leading blanks, an optional sign, decimal digits and nothing
// else; raises EConvertError otherwise or when out of the 32-bit range.
std::int32_t TextToInt(std::string_view text);

// Decimal number with "." (and an optional exponent), blanks allowed before
// and after; raises EConvertError for anything else.
double TextToFloat(std::string_view text);

// Like TextToInt / TextToFloat, but gives `fallback` instead of raising.
std::int32_t TextToIntDef(std::string_view text, std::int32_t fallback);
double TextToFloatDef(std::string_view text, double fallback);

// The m/z in a row name: "0" followed by the name's digits and points, read as
// a decimal number ("37.02" -> 37.02, "" -> 0); "1.2.3" raises EConvertError.
double ParseNumber(std::string_view text);

}  // namespace kel
