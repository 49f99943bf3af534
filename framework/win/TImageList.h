#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "framework/win/Controls.h"
#include "framework/win/TComponent.h"
#include "framework/win/Graphics.h"

class TBitmap;
class TCanvas;

// A list of same-sized images on the platform's image list. It can also wrap an image list it does
// not own (the shell's system image list): ShareImages keeps the handle alive when freed.
class TImageList : public TComponent {
public:
  explicit TImageList(TComponent* owner);
  ~TImageList() override;

  HIMAGELIST Handle();
  // Uses handle from now on; with ShareImages set it is never destroyed here.
  void SetHandle(HIMAGELIST handle);
  bool HandleAllocated() const { return FHandle != nullptr; }
  bool ShareImages() const { return FShareImages; }
  void SetShareImages(bool share) { FShareImages = share; }

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Changing the size empties the list.
  void SetSize(int width, int height);
  int Count();
  bool Masked() const { return FMasked; }
  void SetMasked(bool masked);

  // Each returns the index of the first image added, -1 on failure.
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(HICON icon);
  void Delete(int index);
  void Clear();
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  // Copies image index into bitmap (sized to the list's images).
  void GetBitmap(int index, TBitmap* bitmap);
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& e) { FOnChange = e; }
  // Controls showing the images are told of each change besides OnChange, until they unregister.
  void RegisterChanges(const TNotifyEvent& e);
  void UnRegisterChanges(const TNotifyEvent& e);

private:
  void Change();
  void FreeHandle();

  HIMAGELIST FHandle = nullptr;
  bool FShareImages = false;
  int FWidth = 16;
  int FHeight = 16;
  bool FMasked = true;
  TNotifyEvent FOnChange;
  std::vector<TNotifyEvent> FChangeLinks;
};
