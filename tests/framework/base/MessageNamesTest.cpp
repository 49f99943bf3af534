#include "framework/base/MessageNames.h"

#include <gtest/gtest.h>

#include <string>

TEST(MessageNames, EveryFamilyByNumber) {
  auto name = [](std::uint32_t msg) { return std::string(MessageNameOf(msg) ? MessageNameOf(msg) : "-"); };
  EXPECT_EQ(name(0x000F), "WM_PAINT");
  EXPECT_EQ(name(0x001A), "WM_WININICHANGE");  // the older of the platform's two names for it
  EXPECT_EQ(name(0x0146), "CB_GETCOUNT");
  EXPECT_EQ(name(0x101F), "LVM_GETHEADER");
  EXPECT_EQ(name(0x0401), "DM_SETDEFID");
  EXPECT_EQ(name(0xB000 + 19), "CM_MOUSEENTER");
  EXPECT_EQ(name(0xBC00 + 0x002B), "CN_DRAWITEM");
  EXPECT_EQ(MessageNameOf(0x7FFF), nullptr);
  EXPECT_EQ(MessageNameOf(0xC123), nullptr);  // registered messages are named by their users
}
