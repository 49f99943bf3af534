#include "framework/win/TImageList.h"

#include <algorithm>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

TImageList::~TImageList() { FreeHandle(); }

void TImageList::FreeHandle() {
  if (FHandle != nullptr && !FShareImages) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

HIMAGELIST TImageList::Handle() {
  if (FHandle == nullptr) {
    FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR24 | (FMasked ? ILC_MASK : 0), 4, 4);
    if (FHandle == nullptr) throw EOutOfResources("Cannot create an image list");
  }
  return FHandle;
}

void TImageList::SetHandle(HIMAGELIST handle) {
  if (handle == FHandle) return;
  FreeHandle();
  FHandle = handle;
  if (handle != nullptr) {
    int w = 0, h = 0;
    if (ImageList_GetIconSize(handle, &w, &h)) {
      FWidth = w;
      FHeight = h;
    }
  }
  Change();
}

void TImageList::SetSize(int width, int height) {
  if (width <= 0 || height <= 0 || (width == FWidth && height == FHeight)) return;
  FWidth = width;
  FHeight = height;
  if (FHandle != nullptr) {
    if (FShareImages) FHandle = nullptr;
    else ImageList_SetIconSize(FHandle, width, height);
  }
  Change();
}

void TImageList::SetMasked(bool masked) {
  if (masked == FMasked) return;
  FMasked = masked;
  FreeHandle();
  Change();
}

int TImageList::Count() { return FHandle != nullptr ? ImageList_GetImageCount(FHandle) : 0; }

int TImageList::Add(TBitmap* image, TBitmap* mask) {
  if (image == nullptr || image->Empty()) return -1;
  // The list keeps copies: the bitmaps may not be selected into a device context meanwhile.
  TBitmap imageCopy, maskCopy;
  imageCopy.Assign(image);
  if (mask != nullptr) maskCopy.Assign(mask);
  int index = ImageList_Add(Handle(), imageCopy.Handle(), mask != nullptr ? maskCopy.Handle() : nullptr);
  Change();
  return index;
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (image == nullptr || image->Empty()) return -1;
  TBitmap copy;
  copy.Assign(image);
  int index = ImageList_AddMasked(Handle(), copy.Handle(), ColorToRGB(maskColor));
  Change();
  return index;
}

int TImageList::AddIcon(HICON icon) {
  if (icon == nullptr) return -1;
  int index = ImageList_AddIcon(Handle(), icon);
  Change();
  return index;
}

void TImageList::Delete(int index) {
  if (FHandle == nullptr || index < 0 || index >= Count()) return;
  ImageList_Remove(FHandle, index);
  Change();
}

void TImageList::Clear() {
  if (FHandle == nullptr) return;
  ImageList_Remove(FHandle, -1);
  Change();
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (canvas == nullptr || FHandle == nullptr || index < 0 || index >= Count()) return;
  UINT style = ILD_NORMAL | (FMasked ? ILD_TRANSPARENT : 0);
  if (!enabled) style |= ILD_BLEND50;
  ImageList_DrawEx(FHandle, index, canvas->Handle(), x, y, 0, 0, CLR_NONE, CLR_DEFAULT, style);
}

void TImageList::GetBitmap(int index, TBitmap* bitmap) {
  if (bitmap == nullptr || FHandle == nullptr || index < 0 || index >= Count()) return;
  bitmap->SetPixelFormat(TPixelFormat::Bit24);
  bitmap->SetSize(FWidth, FHeight);
  bitmap->Canvas()->Brush()->SetColor(clWhite);
  bitmap->Canvas()->FillRect(RECT{0, 0, FWidth, FHeight});
  ImageList_Draw(FHandle, index, bitmap->Canvas()->Handle(), 0, 0, ILD_NORMAL);
}

void TImageList::Change() {
  if (FOnChange) FOnChange(this);
  // A link may unregister while it is told: tell a copy.
  const std::vector<TNotifyEvent> links = FChangeLinks;
  for (const TNotifyEvent& link : links) link(this);
}

void TImageList::RegisterChanges(const TNotifyEvent& e) {
  if (std::find(FChangeLinks.begin(), FChangeLinks.end(), e) == FChangeLinks.end()) FChangeLinks.push_back(e);
}

void TImageList::UnRegisterChanges(const TNotifyEvent& e) {
  FChangeLinks.erase(std::remove(FChangeLinks.begin(), FChangeLinks.end(), e), FChangeLinks.end());
}
