#pragma once

#include <memory>
#include <vector>

class TBitmap;
class TMenuItem;
class TsProviderHost;
struct TsFrameFacts;

// The menu band of a skinned form: the main menu's top-level items placed in rows under the title
// and painted from the skin's MENULINE section.
class TsMenuBand {
public:
  explicit TsMenuBand(TsProviderHost& provider);
  ~TsMenuBand();
  TsMenuBand(const TsMenuBand&) = delete;
  TsMenuBand& operator=(const TsMenuBand&) = delete;

  // The rows the items take at the form's width; measured again after Forget.
  int Rows();
  void Forget() { FRowCache = -1; }
  // The band into the window image.
  void Paint(TBitmap* cache, const TsFrameFacts& f);

private:
  void CollectItems(std::vector<TMenuItem*>& items);
  void PaintChildIcon(TBitmap* cache, int x, int y, int size);
  int ComputeRows();

  TsProviderHost& FProvider;
  std::unique_ptr<TBitmap> FBitmap;
  int FRowCache = -1;
};
