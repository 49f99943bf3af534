#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "skin/engine/core/SkinTypes.h"
#include "skin/windows/core/TsFrameGeometry.h"

class TBitmap;
class TsCaptionButtons;
class TsMenuBand;
class TsProviderHost;

// The frame of a skinned form: the whole window image in the provider's cache (borders, title,
// icon, caption buttons, caption text, menu band), its non-client bands on the window, and the
// window region cut from the skin's corner masks.
class TsProviderFrame {
public:
  TsProviderFrame(TsProviderHost& provider, TsCaptionButtons& buttons, TsMenuBand& band);
  ~TsProviderFrame();
  TsProviderFrame(const TsProviderFrame&) = delete;
  TsProviderFrame& operator=(const TsProviderFrame&) = delete;

  // The whole window image into the cache, when a repaint is due.
  void Paint();
  // The non-client bands of the cache to dc.
  void Output(HDC dc);
  bool Painted() const { return FPainted; }
  int Paints() const { return FPaints; }
  // The image under the title is taken again with the next paint.
  void ForgetTitle() { FTitleBitmap.reset(); }
  // The skin went away: nothing painted, nothing kept.
  void Reset();
  void SetMenuChanged() { FMenuChanged = true; }

  // The window region: cut again with the next paint after a size change; while it is set the
  // platform's position messages (and the paints they cause) are the region's own.
  bool InRegionUpdate() const { return FInRegionUpdate; }
  void RegionChanged() { FRegionPending = true; }
  void UpdateRegion();
  // The window without region (the skin goes).
  void DropRegion(HWND h);

private:
  void PaintTitle(TBitmap* cache, const TsFrameFacts& f, TsSkinState state);
  void PaintIcon(TBitmap* cache, const TsFrameFacts& f);
  void PaintCaptionText(TBitmap* cache, const TsFrameFacts& f, const std::vector<TsCaptionSlot>& slots);
  void PaintMDIArea(TBitmap* cache, TsSkinState state);
  void PaintTitleBar(TBitmap* cache, const TsFrameFacts& f, TsSkinState state, int titleHeight);
  bool PaintFromTitleCache(TBitmap* cache, const TsFrameFacts& f, TsSkinState state);
  void KeepTitle(TBitmap* cache, const TsFrameFacts& f, int titleHeight);
  void Finished();
  void ApplyRegion();
  void SetRegion(HWND h, HRGN rgn);

  TsProviderHost& FProvider;
  TsCaptionButtons& FButtons;
  TsMenuBand& FBand;
  std::unique_ptr<TBitmap> FTitleBitmap;
  bool FPainted = false;
  int FPaints = 0;
  bool FMenuChanged = true;
  bool FRegionPending = true;
  bool FInRegionUpdate = false;
  bool FRegionApplied = false;
  // The region last applied: a paint that cuts the same one leaves the window alone, since setting
  // it again repaints the whole window with its controls.
  HWND FRegionWindow = nullptr;
  TsRect FRegionBounds;
  std::vector<TsRect> FRegionCuts;
};
