#pragma once

#include <memory>

#include "framework/win/TSpeedButton.h"
#include "skin/controls/ButtonFace.h"
#include "skin/controls/TsPushButton.h"
#include "skin/engine/TsSkinned.h"

class TPopupMenu;
class TsAnimTimer;

enum class TsToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
using enum TsToolButtonStyle;

// The flat button painted from its skin section ("SPEEDBUTTON"): tool-bar buttons, check buttons,
// drop-down buttons with a menu on their right part, separators and dividers. Hover changes fade
// when the section asks for it; the fading frames are painted by the parent.
class TsSpeedButton : public TsSkinned<TSpeedButton> {
public:
  explicit TsSpeedButton(TComponent* owner);
  ~TsSpeedButton() override;

  // The width of the drop-down part.
  static constexpr int ArrowWidth = 16;

  TsToolButtonStyle ButtonStyle() const { return FButtonStyle; }
  // Entering tbsDropDown widens the button by the arrow part, leaving it narrows it.
  void SetButtonStyle(TsToolButtonStyle value);
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* menu);
  const TsButtonLook& Look() const { return FLook; }
  // Blend is kept within 0..100.
  void SetLook(const TsButtonLook& look);
  bool MenuOpen() const { return FMenuOpen; }
  // The mouse enters or leaves the enabled skinned button; a handler may free the button.
  const TNotifyEvent& OnMouseEnter() const { return FOnMouseEnter; }
  void SetOnMouseEnter(const TNotifyEvent& e) { FOnMouseEnter = e; }
  const TNotifyEvent& OnMouseLeave() const { return FOnMouseLeave; }
  void SetOnMouseLeave(const TNotifyEvent& e) { FOnMouseLeave = e; }
  // Shows the drop-down menu below the button now; false when the button went away meanwhile.
  bool DropDown();
  // After each skinned painting of a button (not of a separator or divider), with the cache.
  const TsBmpPaintEvent& OnPaint() const { return FOnPaint; }
  void SetOnPaint(const TsBmpPaintEvent& e) { FOnPaint = e; }
  // A fade is showing frames.
  bool Fading() const;
  // The fade's timer, kept from a hover change until the fade is stopped; nullptr without one.
  TsAnimTimer* FadeTimer() const { return FFade.get(); }

protected:
  void PaintSkin() override;
  void PaintClient(HDC dc) override;
  TsSkinState SkinState() const override;
  bool SkinnedMessage(TMessage& message) override;
  void SkinCommand(::SkinCommand command) override;
  void HotChanged() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void PaintParentBackground(TBitmap* cache);
  void PaintDivider(TBitmap* cache);
  void PaintArrow(TBitmap* cache, const TsCacheInfo& ci);
  void PaintFace(TBitmap* cache, TsSkinState state, const TsCacheInfo& ci);
  bool StopFade();

  TsToolButtonStyle FButtonStyle = tbsButton;
  TPopupMenu* FDropdownMenu = nullptr;  // not owned
  TsButtonLook FLook;
  bool FMenuOpen = false;
  TsHintPause FHints;
  std::unique_ptr<TsAnimTimer> FFade;
  TNotifyEvent FOnMouseEnter;
  TNotifyEvent FOnMouseLeave;
  TsBmpPaintEvent FOnPaint;
};
