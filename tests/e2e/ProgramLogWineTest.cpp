// The skin library's message log as the program leaves it: started, typed into and ended
// normally, Tarvex.exe writes the messages its combo edits got to the log file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/UserDriver.h"

namespace {

constexpr const char* LogFile = "c:\\zovarori.txt";

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

TEST(ProgramLog, TheComboEditsMessagesAreWrittenWhenTheProgramEnds) {
  DeleteFileA(LogFile);
  TUserDriver user;
  user.Start(TARVEX_PROGRAM_FOLDER);
  HWND main = user.WaitWindow("Tarvex");
  ASSERT_NE(main, nullptr) << user.Failure("no main window");
  HWND edit = user.WaitChild(main, "TsFilenameEdit", "");
  ASSERT_NE(edit, nullptr) << user.Failure("the main window lacks its file-name edit");
  user.Type(edit, "qz");
  ASSERT_TRUE(user.WaitText(edit, [](const std::string& t) { return t == "qz"; })) << user.Failure("typing");
  ASSERT_TRUE(user.Exit()) << user.Failure("the program did not end");

  const std::vector<unsigned char> bytes = ReadWholeFile(LogFile);
  ASSERT_FALSE(bytes.empty()) << "no log written";
  const std::string text(bytes.begin(), bytes.end());
  // Every line ends with CR LF, and each character typed is one line: 'q' is 113, posted with a
  // repeat count of 1.
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  const std::string q = "?" + Padded("WM_CHAR (258)", 28) + Padded(", WParamHi=0", 18) + Padded(", WParamLo=113", 18) +
                        Padded(", LParamHi=0", 18) + Padded(", LParamLo=1", 18) + "\r\n";
  EXPECT_NE(text.find("\n" + q), std::string::npos) << text.substr(0, 2000);
  std::size_t lines = 0;
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_LE(lines, 10000u);
  RemoveFolder(user.Folder());
}

}  // namespace
