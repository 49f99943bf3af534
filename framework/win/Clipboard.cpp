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

// Frees clipboard data that was not handed over, as its format says it was made.
void FreeClipboardData(UINT format, HANDLE data) {
  if (data == nullptr) return;
  switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP:
    case CF_PALETTE:
      DeleteObject(data);
      return;
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
      DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
      return;
    case CF_METAFILEPICT:
    case CF_DSPMETAFILEPICT:
      if (auto* picture = static_cast<METAFILEPICT*>(GlobalLock(data))) {
        if (picture->hMF != nullptr) DeleteMetaFile(picture->hMF);
        GlobalUnlock(data);
      }
      GlobalFree(data);
      return;
    default:
      GlobalFree(data);
      return;
  }
}

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

bool SetData(UINT format, HANDLE data, HPALETTE palette) {
  bool dataGiven = false, paletteGiven = palette == nullptr;
  {
    TOpenClipboard clipboard;
    if (data != nullptr && clipboard.Open() && EmptyClipboard()) {
      dataGiven = SetClipboardData(format, data) != nullptr;
      if (dataGiven && !paletteGiven) paletteGiven = SetClipboardData(CF_PALETTE, palette) != nullptr;
    }
  }
  if (!dataGiven) FreeClipboardData(format, data);
  if (!paletteGiven) FreeClipboardData(CF_PALETTE, palette);
  return dataGiven && paletteGiven;
}

}  // namespace Clipboard
