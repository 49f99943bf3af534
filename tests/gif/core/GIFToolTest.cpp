// The test driver writes its copy over an existing file; under a shell's file size limit it must
// fail that write as on a full disk, keeping the old file, instead of being ended by the signal.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "GIFTestSupport.h"
#include "framework/base/TAtomicFileStream.h"
#include "tests/tools/RunLimited.h"

#ifdef GIF_TOOL
TEST(GIFTool, ACopyUnderAFileSizeLimitKeepsTheOldFile) {
  const std::string dir = TempDir();
  TBytes gif = ScreenHeader(2, 2, 2);
  const TBytes comment = Comment(20000);
  gif.insert(gif.end(), comment.begin(), comment.end());
  AppendImage(gif, 0, 0, 2, 2, 0, LongestStrings(3, 1));
  gif.push_back(0x3B);
  WriteBytes(dir + "/in.gif", gif);
  const std::string out = dir + "/out.gif";
  WriteBytes(out, {'o', 'l', 'd'});
  std::string errors;
  EXPECT_EQ(RunLimited({GIF_TOOL, "copy", dir + "/in.gif", out}, gif.size() / 2, dir + "/err.txt", errors), 1);
  EXPECT_EQ(errors, "gif-tool: Cannot write file \"" + out + "\". " + std::strerror(EFBIG) + "\n");
  EXPECT_EQ(ReadBytes(out), (TBytes{'o', 'l', 'd'}));
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(out).empty());
  // Unlimited, the copy replaces it.
  EXPECT_EQ(RunLimited({GIF_TOOL, "copy", dir + "/in.gif", out}, gif.size() * 2, dir + "/err.txt", errors), 0);
  EXPECT_EQ(ReadBytes(out).size(), gif.size());
}
#endif
