#pragma once

#include <string>

// Floating-point text with the user's separators. Values are doubles: the C runtime is only ever
// given doubles, never long doubles (whose printf support differs between runtimes).

struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
};

// The process's separators: "." and "," until the window layer loads the user's locale.
TFormatSettings& FormatSettings();

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };

// ffGeneral: the shortest text of at most `precision` significant digits, scientific ("1.5E20")
// when the exponent is at least `precision` or below -5. ffExponent: one digit, the separator,
// precision - 1 digits, "E", a sign and at least `digits` exponent digits. ffFixed: `digits`
// decimals; ffNumber: the same with thousand separators. Infinity and NaN give "INF", "-INF", "NAN".
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings = FormatSettings());
// ffGeneral with 15 digits.
std::string FloatToStr(double value, const TFormatSettings& settings = FormatSettings());

// A picture format of up to three sections "positive;negative;zero". In a section: "0" a digit,
// "#" a digit when significant, the first "." the decimal separator (shown only when decimals
// follow), "," anywhere before it asks for thousand separators, "E+"/"E-"/"e+"/"e-" followed by
// "0"s the scientific form, text in quotes and any other character copied. A character between
// integer placeholders shows only after the first digit shown. The negative section gets the
// absolute value (the first section gets a leading "-"); the zero section is used when the value
// rounds to zero. An empty format is FloatToStr.
std::string FormatFloat(const std::string& format, double value, const TFormatSettings& settings = FormatSettings());

// Optional blanks around, an optional sign, digits with at most one decimal separator (digits on at
// least one side) and an optional exponent. Anything else raises EConvertError; a value beyond the
// range of a double does too. "-0" is negative zero.
double StrToFloat(const std::string& text, const TFormatSettings& settings = FormatSettings());
bool TryStrToFloat(const std::string& text, double& value, const TFormatSettings& settings = FormatSettings());
