#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework/base/Exception.h"
#include "framework/base/FloatFormat.h"

namespace {

const TFormatSettings Dot{'.', ','};
const TFormatSettings Comma{',', '.'};
const TFormatSettings CommaSpace{',', ' '};

TEST(FloatFormat, GeneralIsShortestWithinPrecisionAndSwitchesToScientific) {
  EXPECT_EQ(FloatToStr(0, Dot), "0");
  EXPECT_EQ(FloatToStr(-0.0, Dot), "0");
  EXPECT_EQ(FloatToStr(1.5, Dot), "1.5");
  EXPECT_EQ(FloatToStr(1.5, Comma), "1,5");
  EXPECT_EQ(FloatToStr(-220, Dot), "-220");
  EXPECT_EQ(FloatToStr(0.1 + 0.2, Dot), "0.3");  // 15 digits hide the binary error
  EXPECT_EQ(FloatToStrF(0.1 + 0.2, TFloatFormat::ffGeneral, 17, 0, Dot), "0.30000000000000004");
  EXPECT_EQ(FloatToStr(0.00001, Dot), "0.00001");
  EXPECT_EQ(FloatToStr(0.000001, Dot), "1E-6");
  EXPECT_EQ(FloatToStr(1e15, Dot), "1E15");
  EXPECT_EQ(FloatToStr(123456789012345.0, Dot), "123456789012345");
  EXPECT_EQ(FloatToStrF(2.5e20, TFloatFormat::ffGeneral, 16, 0, Comma), "2,5E20");
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity(), Dot), "INF");
  EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity(), Dot), "-INF");
  EXPECT_EQ(FloatToStr(std::nan(""), Dot), "NAN");
}

TEST(FloatFormat, FixedNumberAndExponentForms) {
  EXPECT_EQ(FloatToStrF(1234.567, TFloatFormat::ffFixed, 15, 2, Dot), "1234.57");
  EXPECT_EQ(FloatToStrF(1234567.5, TFloatFormat::ffNumber, 15, 1, Comma), "1.234.567,5");
  EXPECT_EQ(FloatToStrF(-0.001, TFloatFormat::ffFixed, 15, 2, Dot), "0.00");  // no sign on a zero shown
  EXPECT_EQ(FloatToStrF(-12346.0, TFloatFormat::ffExponent, 4, 2, Dot), "-1.235E+04");
  EXPECT_EQ(FloatToStrF(0.0012, TFloatFormat::ffExponent, 2, 3, Comma), "1,2E-003");
}

TEST(FloatFormat, PicturesWithSectionsPlaceholdersAndLiterals) {
  const std::string display = "### ##0.00;-### ##0.00;0";
  EXPECT_EQ(FormatFloat(display, 1234.5, Dot), "1 234.50");
  EXPECT_EQ(FormatFloat(display, 12.5, Dot), "12.50");
  EXPECT_EQ(FormatFloat(display, 1234567.5, Comma), "1234 567,50");
  EXPECT_EQ(FormatFloat(display, -0.5, Dot), "-0.50");
  EXPECT_EQ(FormatFloat(display, 0, Dot), "0");
  EXPECT_EQ(FormatFloat(display, 0.001, Dot), "0");  // rounds to zero: the zero section
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, Dot), "1,234,567.89");
  EXPECT_EQ(FormatFloat("#,##0.00", -1234.5, CommaSpace), "-1 234,50");
  EXPECT_EQ(FormatFloat("0.##", 2.5, Dot), "2.5");
  EXPECT_EQ(FormatFloat("0.##", 2, Dot), "2");
  EXPECT_EQ(FormatFloat("0.##", 2.999, Comma), "3");
  EXPECT_EQ(FormatFloat("#.##", 0.25, Dot), ".25");
  EXPECT_EQ(FormatFloat("000", 7, Dot), "007");
  EXPECT_EQ(FormatFloat("0", -0.4, Dot), "0");
  EXPECT_EQ(FormatFloat("'$'#,##0;('$'#,##0)", -1500, Dot), "($1,500)");
  EXPECT_EQ(FormatFloat("0.00E+00", 12345, Dot), "1.23E+04");
  EXPECT_EQ(FormatFloat("0.0e-0", 0.00012, Comma), "1,2e-4");
  EXPECT_EQ(FormatFloat("", 2.5, Comma), "2,5");
}

TEST(FloatFormat, ParsingTakesTheLocaleSeparatorAndRejectsTheRest) {
  EXPECT_EQ(StrToFloat("  12.5 ", Dot), 12.5);
  EXPECT_EQ(StrToFloat("12,5", Comma), 12.5);
  EXPECT_EQ(StrToFloat("-1.5E3", Dot), -1500);
  EXPECT_EQ(StrToFloat("1.", Dot), 1);
  EXPECT_EQ(StrToFloat(".5", Dot), 0.5);
  EXPECT_TRUE(std::signbit(StrToFloat("-0", Dot)));
  double v = 7;
  for (const char* bad : {"", "-", ".", "12,5", "1e", "1e+", "1 000", "INF", "NAN", "0x10", "1.2.3", "1e999"}) {
    EXPECT_FALSE(TryStrToFloat(bad, v, Dot)) << bad;
  }
  EXPECT_EQ(v, 7);
  EXPECT_FALSE(TryStrToFloat("12.5", v, Comma));
  EXPECT_THROW(StrToFloat("abc", Dot), EConvertError);
}

TEST(FloatFormat, RoundTripsThroughGeneralText) {
  for (double x : {1.0 / 3, -2.0e-7, 6.02214076e23, 123.456, 1e-300}) {
    for (const TFormatSettings& fs : {Dot, Comma}) {
      EXPECT_EQ(StrToFloat(FloatToStrF(x, TFloatFormat::ffGeneral, 17, 0, fs), fs), x);
    }
  }
}

}  // namespace
