#include "framework/win/SystemPaths.h"

#include <windows.h>

#include <vector>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"

namespace {

// Longer than any path the system allows, with the "\\?\" prefix.
constexpr DWORD kLongestPath = 32768;

[[noreturn]] void Unavailable(const char* what, DWORD error) {
  throw EInOutError(std::string("Cannot get ") + what + " (system error " + std::to_string(error) + ")",
                    static_cast<int>(error));
}

// The ANSI form of a path the system gave in UTF-16, as the ANSI calls would give it: the ANSI
// calls themselves stop at MAX_PATH on some systems.
std::string Narrow(const std::vector<wchar_t>& buffer, DWORD length) {
  return WideToAnsi(WideString(buffer.begin(), buffer.begin() + length));
}

}  // namespace

std::string ModuleFileName() {
  // The call returns the buffer's size, with the name cut, while the name does not fit.
  for (DWORD size = MAX_PATH;; size *= 2) {
    std::vector<wchar_t> buffer(size);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (n == 0) Unavailable("the program's file name", GetLastError());
    if (n < size) return Narrow(buffer, n);
    if (size >= kLongestPath) Unavailable("the program's file name", ERROR_INSUFFICIENT_BUFFER);
  }
}

std::string CurrentDirectory() {
  // The call returns the size needed, with room for the terminating zero, while the folder does
  // not fit; the folder may change between two calls, so it is asked again until it fits.
  DWORD size = MAX_PATH;
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::vector<wchar_t> buffer(size);
    const DWORD n = GetCurrentDirectoryW(size, buffer.data());
    if (n == 0) Unavailable("the current folder", GetLastError());
    if (n < size) return Narrow(buffer, n);
    if (n > kLongestPath) Unavailable("the current folder", ERROR_FILENAME_EXCED_RANGE);
    size = n;
  }
  Unavailable("the current folder", ERROR_INSUFFICIENT_BUFFER);
}
