#include "editors/core/FlexAddress.h"

#include <gtest/gtest.h>

TEST(FlexAddress, TypedAddressWinsOverGridAndName) {
  EXPECT_EQ(GetFlexAddress("10A0000", "x_{@0x11000000}CG2.smg", true, 0x12000000), 0x10A0000);
}

TEST(FlexAddress, GridRowThenFileNameThenZero) {
  const std::string name = "C:\\fw\\phone_{@0x10F40000}CG2.smg";
  EXPECT_EQ(GetFlexAddress("", name, true, 0x12000000), 0x12000000);
  EXPECT_EQ(GetFlexAddress("0", name, true, std::nullopt), 0x10F40000);
  EXPECT_EQ(GetFlexAddress("", "flex.smg", true, std::nullopt), 0);
  EXPECT_EQ(GetFlexAddress("", name, false, 0x12000000), 0);  // no file: nothing else counts
}
