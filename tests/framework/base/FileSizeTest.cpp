#include "framework/base/FileSize.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(FileSizeOf, CountsRegularFilesOnly) {
  const std::string name = ::testing::TempDir() + "tvx_size.bin";
  std::FILE* f = std::fopen(name.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("abc", f);
  std::fclose(f);
  EXPECT_EQ(FileSizeOf(name), 3);
  std::remove(name.c_str());
  EXPECT_EQ(FileSizeOf(name), -1);
  // A folder has no size as a file, and an empty name names nothing.
  EXPECT_EQ(FileSizeOf(::testing::TempDir()), -1);
  EXPECT_EQ(FileSizeOf(""), -1);
}
