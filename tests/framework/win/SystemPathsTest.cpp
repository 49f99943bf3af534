#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework/base/AnsiStrings.h"
#include "framework/win/SystemPaths.h"
#include "framework/win/TApplication.h"

namespace {

constexpr const char* kExpectVariable = "TARVEX_EXPECTED_EXE";

std::wstring Wide(const std::string& text) {
  const WideString wide = AnsiToWide(text);
  return std::wstring(wide.begin(), wide.end());
}

// A folder of more than 300 characters under the temporary folder, made with the long-path prefix
// since the ANSI calls stop at MAX_PATH; removed with what it holds when the object goes.
class TLongFolder {
public:
  TLongFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    FPath = std::string(temp) + "tarvex long install";
    CreateDirectoryW(Prefixed(FPath).c_str(), nullptr);
    FLevels.push_back(FPath);
    while (FPath.size() <= 300) {
      FPath += "\\a folder name of forty characters each_";
      CreateDirectoryW(Prefixed(FPath).c_str(), nullptr);
      FLevels.push_back(FPath);
    }
  }
  ~TLongFolder() {
    for (const std::string& file : FFiles) DeleteFileW(Prefixed(file).c_str());
    for (auto it = FLevels.rbegin(); it != FLevels.rend(); ++it) RemoveDirectoryW(Prefixed(*it).c_str());
  }
  const std::string& Path() const { return FPath; }
  void Holds(const std::string& file) { FFiles.push_back(file); }
  static std::wstring Prefixed(const std::string& path) { return L"\\\\?\\" + Wide(path); }

private:
  std::string FPath;
  std::vector<std::string> FLevels;
  std::vector<std::string> FFiles;
};

}  // namespace

TEST(SystemPaths, ACurrentFolderOfMoreThan300CharactersComesBackWhole) {
  TLongFolder folder;
  ASSERT_GT(folder.Path().size(), 300u);
  wchar_t old[32768];
  ASSERT_GT(GetCurrentDirectoryW(32768, old), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(TLongFolder::Prefixed(folder.Path()).c_str())) << GetLastError();
  std::string current;
  EXPECT_NO_THROW(current = CurrentDirectory());
  SetCurrentDirectoryW(old);
  EXPECT_EQ(current, folder.Path());
}

// Run in a copy of this test program placed in a long folder (the test below starts it): the
// program's own name comes back whole.
TEST(SystemPaths, ACopyInALongFolderSeesItsWholePath) {
  const char* expected = std::getenv(kExpectVariable);
  if (expected == nullptr) GTEST_SKIP() << "runs only in a copy started from a long folder";
  EXPECT_EQ(ModuleFileName(), expected);
  EXPECT_EQ(Application->ExeName(), expected);
}

TEST(SystemPaths, AProgramInstalledInAFolderOfMoreThan300CharactersFindsItself) {
  TLongFolder folder;
  ASSERT_GT(folder.Path().size(), 300u);
  wchar_t self[32768];
  ASSERT_GT(GetModuleFileNameW(nullptr, self, 32768), 0u);
  const std::string copy = folder.Path() + "\\tests.exe";
  ASSERT_TRUE(CopyFileW(self, TLongFolder::Prefixed(copy).c_str(), FALSE)) << GetLastError();
  folder.Holds(copy);

  SetEnvironmentVariableA(kExpectVariable, copy.c_str());
  std::wstring command = L"\"" + Wide(copy) + L"\" --gtest_filter=SystemPaths.ACopyInALongFolderSeesItsWholePath";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                      0, nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableA(kExpectVariable, nullptr);
  // Wine's process creation refuses a program path past MAX_PATH (its loader takes one when a
  // copy is started from the host: TARVEX_EXPECTED_EXE=<name> wine <path> runs the test above).
  if (!started && (GetLastError() == ERROR_PATH_NOT_FOUND || GetLastError() == ERROR_INVALID_NAME))
    GTEST_SKIP() << "this system cannot start a program from a path of " << copy.size() << " characters";
  ASSERT_TRUE(started) << GetLastError();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(code, 0u) << "the copy did not see its whole path";
}
