#include "framework/base/Exception.h"

#include <gtest/gtest.h>

TEST(Exception, CarriesItsMessageThroughStdException) {
  try {
    throw Exception("Cannot open file");
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Cannot open file");
  }
}
