#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

#include "framework/win/Messages.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/core/SkinKinds.h"
#include "skin/engine/core/SkinTypes.h"
#include "skin/engine/core/TsDisabledKind.h"

class TControl;
class TsBoundLabel;

// The skin layer of a skinned control: its skin object and the window procedure every skinned
// control runs. A control gets it as TsSkinned<TheFrameworkControl> (below) and states only its kind
// and, where it differs from the defaults, its painting and its reactions.
//
// Message order (SkinnedWndProc):
//  1. Skin commands 1, 2, 3, 6 and 7 go to SkinCommand, whatever the control's state, and stop.
//  2. While the control is not skinned (IsSkinned false) everything else goes to the framework
//     control, then to the bound label.
//  3. Skinned: SkinnedMessage first (painting, frame and background); unless it stops the message,
//     the skin object (SkinControlMessage) and then the framework control, after which a changed
//     font, visibility, enabled state or text asks for a repaint and a changed hot state (mouse
//     enter or leave, focus) calls HotChanged. Last, the bound label follows the control.
class TsSkinnedControl {
public:
  TsSkinnedControl(TControl* control, TsControlKind kind, TsCacheBitmap cache);
  virtual ~TsSkinnedControl();
  TsSkinnedControl(const TsSkinnedControl&) = delete;
  TsSkinnedControl& operator=(const TsSkinnedControl&) = delete;

  TsCommonData& SkinData() { return FSkinData; }
  const TsCommonData& SkinData() const { return FSkinData; }
  // How the cache is altered while the control is disabled.
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind kind);
  // The control is usable (ControlUsable) and its section resolved: it paints from the skin.
  bool IsSkinned() const;

  // Graphic child of the skinned windowed control parent into dc (origin at the child, clipped to
  // it): one that is not opaque is drawn off screen over the parent's cache, so its transparent parts
  // show the skin. False when parent does not paint skinned and the framework's way applies.
  static bool PaintGraphicChildOverSkin(TWinControl* parent, HDC dc, TControl* child);

protected:
  // Commands 1 (new skin), 2 (skin removed), 3 (refresh), 6 (repaint) and 7 (is skinned). By
  // default the skin object takes 1 to 3, a windowed control passes 1 to 3 on to its children, and
  // 2, 3 and 6 repaint.
  virtual void SkinCommand(TMessage& message);
  // A message while skinned, before the common handling; True stops it there. By default WM_PAINT
  // paints from the cache, WM_NCPAINT stops when PaintBorder painted the frame, and WM_ERASEBKGND
  // stops (the cache covers the background).
  virtual bool SkinnedMessage(TMessage& message);
  // After the hot state changed (IsHot of the skin object); by default the cache is repainted.
  virtual void HotChanged();

  // The client area on WM_PAINT: the cache rebuilt (PaintSkin) when due, then copied to dc.
  virtual void PaintClient(HDC dc);
  // The frame, on WM_NCPAINT and after each client painting. True when the control painted it (the
  // native frame is then never drawn); by default the native frame stays.
  virtual bool PaintBorder() { return false; }
  // Builds the cache: the section in SkinState over the whole control with the parent's image
  // below, PaintText, and the disabled look; then the cache is current.
  virtual void PaintSkin();
  // The control's text into the cache; by default none.
  virtual void PaintText() {}
  // The state the section is painted in: Hot while the skin object is hot.
  virtual TsSkinState SkinState() const;
  // The caption label kept beside the control, if it has one.
  virtual TsBoundLabel* BoundLabel() { return nullptr; }

  void SkinnedWndProc(TMessage& message);
  // The framework control's own window procedure.
  virtual void InheritedWndProc(TMessage& message) = 0;
  TControl* Control() const { return FControl; }

private:
  void PaintMessage(TMessage& message);

  TControl* FControl;  // the control this layer is part of
  TsCommonData FSkinData;
  TsDisabledKind FDisabledKind;
};

// The paint hook of a skinned windowed control: its graphic children over the skin.
template <typename Base>
class TsSkinnedContainer : public Base {
public:
  using Base::Base;

protected:
  void PaintGraphicChild(HDC dc, TControl* child) override {
    if (!TsSkinnedControl::PaintGraphicChildOverSkin(this, dc, child)) Base::PaintGraphicChild(dc, child);
  }
};

template <typename Base>
using TsSkinnedBase =
    std::conditional_t<std::is_base_of_v<TWinControl, Base>, TsSkinnedContainer<Base>, Base>;

// A framework control with the skin layer:
//   class TsPanel : public TsSkinned<TCustomControl> {
//   public:
//     explicit TsPanel(TComponent* owner) : TsSkinned(TsControlKind::Panel, TsCacheBitmap::Own, owner) {}
//   };
// The skin object finds its section in Loaded, which every component gets once it is complete
// (NewComponent, or its loading owner's end of loading).
template <typename Base>
class TsSkinned : public TsSkinnedBase<Base>, public TsSkinnedControl {
public:
  // kind and cache, then the framework control's constructor arguments.
  template <typename... Args>
  TsSkinned(TsControlKind kind, TsCacheBitmap cache, Args&&... args)
      : TsSkinnedBase<Base>(std::forward<Args>(args)...), TsSkinnedControl(this, kind, cache) {}

  void Loaded() override {
    Base::Loaded();
    SkinData().Loaded();
  }
  void WndProc(TMessage& message) override { SkinnedWndProc(message); }

protected:
  void InheritedWndProc(TMessage& message) final { Base::WndProc(message); }
};
