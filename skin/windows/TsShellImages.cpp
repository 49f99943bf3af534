#include "skin/windows/TsShellImages.h"

#include <windows.h>

#include <shellapi.h>

#include "framework/win/TApplication.h"
#include "framework/win/TImageList.h"

namespace {

class TSystemImages;
TSystemImages* gSmall = nullptr;

// Forgets itself when the application frees it.
class TSystemImages : public TImageList {
public:
  using TImageList::TImageList;
  ~TSystemImages() override {
    if (gSmall == this) gSmall = nullptr;
  }
};

}  // namespace

TImageList* SmallSystemImages() {
  if (gSmall != nullptr) return gSmall;
  SHFILEINFOA info{};
  char windows[MAX_PATH] = "C:\\";
  GetWindowsDirectoryA(windows, MAX_PATH);
  const auto handle = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA(windows, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  gSmall = NewComponent<TSystemImages>(Application);
  gSmall->SetShareImages(true);
  if (handle != nullptr) gSmall->SetHandle(handle);
  return gSmall;
}
