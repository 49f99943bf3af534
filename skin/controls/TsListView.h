#pragma once

#include <memory>

#include "framework/win/TListView.h"
#include "framework/win/TWindowHook.h"
#include "skin/engine/TsSkinned.h"

class TBitmap;
class TsBoundLabel;
class TsScrollBar;

// The list view with a skinned 2-pixel frame, a pair of skinned scroll bars laid over the native
// ones, and column buttons painted from the skin ("COLHEADER", else "BUTTON"), hot under the mouse
// and pressed under the button. The native control still paints its items.
//
// The header window comes and goes with the report view (and may be made only once the list asks
// for it): it is hooked whenever it is found, and let go only when it was hooked.
class TsCustomListView : public TsSkinned<TListView> {
public:
  explicit TsCustomListView(TComponent* owner);
  ~TsCustomListView() override;

  TsBoundLabel* BoundLabel() override { return FBoundLabel.get(); }

  // The skinned bars (nullptr until first needed, and again once the skin goes).
  TsScrollBar* VScrollBar() const { return FVScrollBar; }
  TsScrollBar* HScrollBar() const { return FHScrollBar; }
  // The hooked header, nullptr when none.
  HWND HeaderHandle() const { return FHeaderHook.Window(); }
  // The column button under the mouse (-2 none) and the one pressed (-1 none).
  int HotSection() const { return FHotSection; }
  int PressedSection() const { return FPressedSection; }
  // The header's last skinned image (its whole client area).
  TBitmap* HeaderImage() const { return FHeaderImage.get(); }

  // The bars follow the list's scroll state now.
  void UpdateScrollBars();

protected:
  void StandingCommand(::SkinCommand command) override;
  bool SkinnedMessage(TMessage& message) override;
  bool NativePaintsAfter(const TMessage&) const override { return false; }
  void PaintClient(HDC) override {}
  bool PaintsBorder() const override { return true; }
  bool PaintBorder(HDC windowDC) override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void HookHeader();
  void HeaderProc(TMessage& message);
  // The header's mouse messages; True when the message was answered.
  bool HeaderMouse(HWND header, TMessage& message);
  void PaintHeader(HDC dc);
  void PaintHeaderSection(TBitmap& image, int index, const RECT& r);
  void SetHotSection(int section);
  void RepaintHeader();
  TsScrollBar* MakeBar(bool vertical);
  void FreeBars();
  void PlaceScrollBars();
  void VerticalBarChanged(TObject* sender, int oldPosition);
  void HorizontalBarChanged(TObject* sender, int oldPosition);
  bool FollowsScrollState(UINT msg) const;

  std::unique_ptr<TsBoundLabel> FBoundLabel;
  TWindowHook FHeaderHook;
  std::unique_ptr<TBitmap> FHeaderImage;
  TsScrollBar* FVScrollBar = nullptr;
  TsScrollBar* FHScrollBar = nullptr;
  int FPressedSection = -1;
  int FHotSection = -2;
  bool FUpdating = false;      // the bars are being filled, or scroll the list
  bool FBarsUpdating = false;  // UpdateScrollBars runs
  bool FHeaderTracking = false;  // the header asked to hear when the mouse leaves it
  bool FBarsUpdatePosted = false;
};
