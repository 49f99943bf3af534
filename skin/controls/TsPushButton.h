#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "framework/base/Delegate.h"
#include "framework/win/TControl.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/core/SkinTypes.h"

class TBitmap;
class TsFadeTimer;
template <typename THandle>
class TGdiObject;

// Sender and its cache bitmap, just painted: a skinned button's OnPaint draws over its look.
using TsBmpPaintEvent = TDelegate<void(TObject* sender, TBitmap* bmp)>;

// Hints switched off for the time of one left press: saved once, given back on the release, on
// capture loss and when a menu returns (or when the button goes away mid-press).
class TsHintPause {
public:
  TsHintPause() = default;
  ~TsHintPause() { Resume(); }
  TsHintPause(const TsHintPause&) = delete;
  TsHintPause& operator=(const TsHintPause&) = delete;

  void Pause();
  void Resume();
  bool Paused() const { return FPaused; }

private:
  bool FPaused = false;
  bool FSaved = true;
};

// OnMouseEnter or OnMouseLeave of an enabled control for CM_MOUSEENTER or CM_MOUSELEAVE; false when
// the handler freed the control (alive is its flag).
bool FireHover(const TMessage& message, TControl* control, const TNotifyEvent& onEnter, const TNotifyEvent& onLeave,
               const std::shared_ptr<bool>& alive);

// What the skinned windowed push buttons (TsButton, TsBitBtn) share, apart from their content:
// the window region cut from the border mask, the default look, hints during presses and fades.
class TsPushButtonParts {
public:
  TsPushButtonParts(TWinControl* control, TsCommonData* skinData);
  ~TsPushButtonParts();
  TsPushButtonParts(const TsPushButtonParts&) = delete;
  TsPushButtonParts& operator=(const TsPushButtonParts&) = delete;

  // The look a default button shows now: hot while the focus is on no other button.
  bool DefaultLook(bool isDefault) const;
  // The default look the cache was last painted with.
  bool PaintedDefaultLook() const { return FDefaultLook; }
  void SetPaintedDefaultLook(bool value) { FDefaultLook = value; }
  // A fade is showing frames.
  bool Fading() const;
  // The fade's timer, kept from a hover change until the fade is stopped; nullptr without one.
  TsFadeTimer* FadeTimer() const { return FFade.get(); }

  // Reacts to a message before the common handling; True stops it.
  bool Message(TMessage& message, bool isDefault);
  // The skin went away: the window gets its whole rectangle back.
  void DropRegion();
  // In a refresh of the application with the repaints held, a shown button takes the region its
  // next cache will cut before anything paints, so that its parent, painting first, covers what
  // the new corners give way (and need not paint again for them).
  void CutRegionAhead(const TsRefresh* refresh, TsSkinState state, bool drawOverBorder);
  // The cache: background, border mask (before content, or after it without drawOverBorder), the
  // window region cut from the mask's corners, the disabled look.
  void PaintSkin(TsSkinState state, bool drawOverBorder, TsDisabledKind disabledKind,
                 const std::function<void()>& paintContent);
  // The hot state changed: a fade to the new look when the section asks for one and the mouse
  // entering or leaving changed it (a pressed button shows no hover). False when the button simply
  // repaints.
  bool FadeTo(bool hot, bool pressed, const std::function<void()>& buildCache);
  // Ends a fade on the final look; True when one ran.
  bool StopFade();

private:
  // refresh: the application's refresh going on, if any; a form it invalidates whole paints the
  // corners the new region gives back.
  void ApplyRegion(TGdiObject<HRGN>& region, const TsRefresh* refresh = nullptr);
  // The window's region into current: the one last given to this window, kept here, else asked of
  // the platform (a request to the window server under Wine); the whole rectangle when it has none.
  void CurrentRegion(HWND window, HRGN current, const RECT& whole) const;

  TWinControl* FControl;
  TsCommonData* FSkinData;
  TsHintPause FHints;
  bool FDefaultLook = false;  // as last painted
  bool FHoverChange = false;  // the message being handled is the mouse entering or leaving
  std::unique_ptr<TsFadeTimer> FFade;
  HWND FRegionWindow = nullptr;   // the window the kept region was given to
  std::vector<char> FRegionData;  // its region's data; empty when it has none
};

// A skinned push button over a framework button class: the native button keeps its own press and
// click logic (one click per click, Space or Enter on the default button; none on a release
// outside), the skin draws its look, pressed while the native button is pushed or Down is set.
template <typename Base>
class TsPushButton : public TsSkinned<Base> {
public:
  TsPushButton(TsControlKind kind, TComponent* owner)
      : TsSkinned<Base>(kind, TsCacheBitmap::Own, owner), FParts(this, &this->SkinData()) {}
  ~TsPushButton() override { this->MarkDead(); }

  // Held down by the program.
  bool Down() const { return FDown; }
  void SetDown(bool value) {
    if (value == FDown) return;
    FDown = value;
    this->SkinData().RequestRepaint();
  }
  // How far the focus frame lies outside the caption; used from the next repaint on.
  int FocusMargin() const { return FFocusMargin; }
  void SetFocusMargin(int value) { FFocusMargin = value; }
  // A default button shows hot while the focus is on no other button.
  bool DefaultLook() const { return FParts.DefaultLook(this->Default()); }
  bool Fading() const { return FParts.Fading(); }
  TsFadeTimer* FadeTimer() const { return FParts.FadeTimer(); }
  // The mouse enters or leaves the enabled skinned button; a handler may free the button.
  const TNotifyEvent& OnMouseEnter() const { return FOnMouseEnter; }
  void SetOnMouseEnter(const TNotifyEvent& e) { FOnMouseEnter = e; }
  const TNotifyEvent& OnMouseLeave() const { return FOnMouseLeave; }
  void SetOnMouseLeave(const TNotifyEvent& e) { FOnMouseLeave = e; }

protected:
  bool Pressed() const { return FDown || (this->AskNative(BM_GETSTATE) & BST_PUSHED); }
  bool PaintsWholeClient() const override { return true; }
  TsSkinState SkinState() const override {
    if (Pressed()) return TsSkinState::Pressed;
    return this->SkinData().IsHot() || DefaultLook() ? TsSkinState::Hot : TsSkinState::Normal;
  }
  bool NativeEnablePaintsOnly() const override { return true; }
  bool SkinnedMessage(TMessage& message) override {
    if (!FireHover(message, this, FOnMouseEnter, FOnMouseLeave, this->Alive())) return true;
    if (FParts.Message(message, this->Default())) return true;
    return TsSkinned<Base>::SkinnedMessage(message);
  }
  void StandingCommand(::SkinCommand command) override {
    if (command == ::SkinCommand::RemoveSkin) {
      FParts.StopFade();
      FParts.DropRegion();
    }
    if (command == ::SkinCommand::Refresh && this->IsSkinned()) FParts.CutRegionAhead(this->RefreshGoingOn(), SkinState(), DrawOverBorder());
    TsSkinned<Base>::StandingCommand(command);
  }
  void SkinCommand(::SkinCommand command) override {
    if (command != ::SkinCommand::StopFading) return TsSkinned<Base>::SkinCommand(command);
    if (this->IsSkinned() && FParts.StopFade()) this->Repaint();
  }
  void HotChanged() override {
    if (!FParts.FadeTo(this->SkinData().IsHot(), Pressed(), [this] { this->BuildCache(); })) TsSkinned<Base>::HotChanged();
  }
  void PaintSkin() override {
    FParts.SetPaintedDefaultLook(DefaultLook());
    FParts.PaintSkin(SkinState(), DrawOverBorder(), this->DisabledKind(), [this] { PaintContent(); });
  }
  void PaintText() final {}
  // Caption, focus frame and glyph into the cache.
  virtual void PaintContent() = 0;
  virtual bool DrawOverBorder() const { return true; }

private:
  TsPushButtonParts FParts;
  TNotifyEvent FOnMouseEnter;
  TNotifyEvent FOnMouseLeave;
  bool FDown = false;
  int FFocusMargin = 1;
};
