#include "framework/base/Exception.h"

#include <gtest/gtest.h>

TEST(Exception, CarriesItsMessageThroughStdException) {
  try {
    throw Exception("Cannot open file");
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Cannot open file");
  }
}

TEST(Exception, FileErrorsKeepTheirCodeAndFamily) {
  try {
    throw EFOpenError("Cannot open file \"x\"", 2);
  } catch (const EStreamError& e) {
    EXPECT_EQ(dynamic_cast<const EFileStreamError&>(e).ErrorCode(), 2);
  }
  EInOutError io("Disk full", 28);
  EXPECT_EQ(io.ErrorCode(), 28);
  EXPECT_EQ(io.Message(), "Disk full");
}
