#include "framework/win/Clipboard.h"

#include <windows.h>

#include <cstring>


namespace {

// OpenClipboard fails while another window has it open: a few short tries.
class TOpenClipboard {
public:
  TOpenClipboard() {
    for (int attempt = 0; attempt < 5 && !FOpen; ++attempt) {
      FOpen = OpenClipboard(nullptr) != 0;
      if (!FOpen) Sleep(10);
    }
  }
  ~TOpenClipboard() {
    if (FOpen) CloseClipboard();
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  bool Open() const { return FOpen; }

private:
  bool FOpen = false;
};

}  // namespace

namespace Clipboard {

bool HasText() { return IsClipboardFormatAvailable(CF_TEXT) != 0; }

bool GetText(std::string& text) {
  if (!HasText()) return false;
  TOpenClipboard clipboard;
  if (!clipboard.Open()) return false;
  HANDLE data = GetClipboardData(CF_TEXT);
  if (data == nullptr) return false;
  const char* p = static_cast<const char*>(GlobalLock(data));
  if (p == nullptr) return false;
  // The block may be larger than the text, and need not hold a terminator within it.
  text.assign(p, strnlen(p, GlobalSize(data)));
  GlobalUnlock(data);
  return true;
}

bool SetText(const std::string& text) {
  TOpenClipboard clipboard;
  if (!clipboard.Open() || !EmptyClipboard()) return false;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (block == nullptr) return false;
  char* p = static_cast<char*>(GlobalLock(block));
  std::memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  if (SetClipboardData(CF_TEXT, block) == nullptr) {
    GlobalFree(block);
    return false;
  }
  return true;  // the clipboard owns the block now
}

}  // namespace Clipboard
