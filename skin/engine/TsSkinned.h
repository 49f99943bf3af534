#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/win/Messages.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsSkinPeer.h"
#include "skin/engine/core/SkinKinds.h"
#include "skin/engine/core/SkinTypes.h"
#include "skin/engine/core/TsDisabledKind.h"

class TBitmap;
class TControl;
class TsBoundLabel;

// What the program's other forms hide of a form painted in place after a skin switch.
class TsPaintCover {
public:
  // True for a window that the cover hides wholly: it is taken off what waits to be painted and
  // painted when it shows.
  virtual bool LeftUnseen(HWND window) const = 0;

  virtual ~TsPaintCover() = default;
};

// The skin layer of a skinned control: its skin object and the window procedure every skinned
// control runs. A control gets it as TsSkinned<TheFrameworkControl> (below) and states only its kind
// and, where it differs from the defaults, its painting and its reactions.
//
// The control is the peer of the skin protocol (TsSkinPeer): it answers the questions and takes the
// commands while it is skinned; NewSkin, RemoveSkin, Refresh and Repaint whatever its state, passing
// the first three on to its children.
//
// Message order (SkinnedWndProc):
//  1. The registered skin message, from a window that is no peer, is translated into the peer's
//     calls and stops.
//  2. While the control is not skinned (IsSkinned false) everything else goes to the framework
//     control, then to the bound label.
//  3. Skinned: SkinnedMessage first (painting, frame and background); unless it stops the message,
//     the skin object (SkinControlMessage) and then the framework control, after which a changed
//     font, visibility, enabled state or text asks for a repaint and a changed hot state (mouse
//     enter or leave, focus) calls HotChanged. A native control draws itself outside WM_PAINT after
//     some messages (NativePaintsAfter): once the outermost message of the control is done, the
//     control is painted from the cache again, so the native look never stays on screen. Last, the
//     bound label follows the control.
class TsSkinnedControl : public TsSkinPeer {
public:
  // window: the control itself when it is a windowed control, else nullptr.
  TsSkinnedControl(TControl* control, TWinControl* window, TsControlKind kind, TsCacheBitmap cache);
  virtual ~TsSkinnedControl();
  TsSkinnedControl(const TsSkinnedControl&) = delete;
  TsSkinnedControl& operator=(const TsSkinnedControl&) = delete;

  TsCommonData& SkinData() { return FSkinData; }
  const TsCommonData& SkinData() const { return FSkinData; }
  // How the cache is altered while the control is disabled.
  TsDisabledKind DisabledKind() const { return FDisabledKind; }
  void SetDisabledKind(TsDisabledKind kind);
  // The control is usable (ControlUsable) and SkinResolved: it paints from the skin.
  bool IsSkinned() const;
  // How many times the cache was built; how many times the control was painted in place.
  int CacheBuilds() const { return FCacheBuilds; }
  int PaintsInPlace() const { return FPaintsInPlace; }

  // The skin object's answers while skinned; no answer otherwise.
  TsCacheInfo SkinCache() override;
  TColor SkinBackgroundColor() override;
  bool SkinBackgroundChanged() override;
  bool SkinChildrenDirty() override;
  bool SkinHasPaintedBackground() override;
  // The standing commands (NewSkin, RemoveSkin, Refresh, Repaint) go to StandingCommand whatever
  // the control's state, a refresh of the application with them (RefreshGoingOn); the others to the
  // skin object while the control is skinned.
  void SkinCommand(::SkinCommand command) override;
  void SkinRefresh(const TsRefresh& refresh) override;
  void SetSkinBgChanged(bool changed) override;
  void SetSkinUpdating(bool updating) override;
  void SetSkinRepaintNeeded(bool needed) override;
  void SetSkinRepaintIfTransparent(bool repaint) override;
  void RedrawSkinTransparent(bool invalidate) override;
  void SetSkinActiveChild(TControl* child) override;

  // A windowed control that draws its whole client from the skin (PaintsWholeClient) painted now,
  // outside WM_PAINT, and its client taken off what waits to be painted; false when it is not
  // painted so (graphic, not skinned, not shown, or drawn by WM_PAINT). While a form is painted in
  // place at a skin switch, one that its cover hides wholly is left to repaint when it shows.
  bool PaintInPlace();
  // PaintInPlace for each windowed control of root's tree, all known to wait, root included,
  // parents first. What else waits is left to WM_PAINT. cover: what the program's other forms hide
  // of root's form, for everything painted in place meanwhile (nullptr: nothing).
  static void PaintTreeInPlace(TWinControl* root, const TsPaintCover* cover = nullptr);

  // Graphic child of the skinned windowed control parent into dc (origin at the child, clipped to
  // it): one that is not opaque is drawn off screen over the parent's cache, so its transparent parts
  // show the skin. False when parent does not paint skinned and the framework's way applies.
  static bool PaintGraphicChildOverSkin(TWinControl* parent, HDC dc, TControl* child);
  // The same over the cache ci, where the parent shows a skin that is not its own (a tab sheet);
  // with no valid cache the child paints straight into dc.
  static void PaintGraphicChildOverCache(TWinControl* parent, HDC dc, TControl* child, const TsCacheInfo& ci);

protected:
  // The skin the control paints from is at hand: by default its own section is resolved. A control
  // that paints with sections of other parts (arrows, its parent's body) says when instead.
  virtual bool SkinResolved() const { return FSkinData.HasSkin(); }
  // The standing commands. By default the skin object takes NewSkin, RemoveSkin and Refresh, a
  // windowed control passes them on to its children, and RemoveSkin, Refresh and Repaint repaint.
  virtual void StandingCommand(::SkinCommand command);
  // The refresh of the application that the control hears Refresh within; nullptr outside one.
  const TsRefresh* RefreshGoingOn() const { return FRefresh; }
  // A standing command passed on to the children of a windowed control, with the refresh going on.
  void PassOnToChildren(TWinControl* parent, ::SkinCommand command);
  // A message while skinned, before the common handling; True stops it there. By default WM_PAINT
  // paints from the cache, WM_NCPAINT stops when PaintBorder painted the frame, and WM_ERASEBKGND
  // stops (the cache covers the background).
  virtual bool SkinnedMessage(TMessage& message);
  // After the hot state changed (IsHot of the skin object); by default the cache is repainted.
  virtual void HotChanged();
  // The native control has drawn itself while it handled message. By default, for a control over a
  // native class: the messages after which a BUTTON-like control draws (presses, checks, focus,
  // enabling, text, capture and key-board cues).
  virtual bool NativePaintsAfter(const TMessage& message) const;
  // The native control does nothing on WM_ENABLE but draw its own look of the state (a BUTTON):
  // while skinned it is not told.
  virtual bool NativeEnablePaintsOnly() const { return false; }

  // WM_PAINT does nothing but PaintClient, the graphic children and the frame: the control can be
  // painted outside it (PaintInPlace).
  virtual bool PaintsWholeClient() const { return false; }
  // The client area on WM_PAINT: the cache rebuilt (PaintSkin) when due, then copied to dc.
  virtual void PaintClient(HDC dc);
  // The frame, on WM_NCPAINT and after each client painting, on the window's DC (frame included).
  // True when the control painted it (the native frame is then never drawn); by default the native
  // frame stays.
  virtual bool PaintBorder(HDC /*windowDC*/) { return false; }
  // The control overrides PaintBorder to draw: only then is a window DC taken, on WM_NCPAINT and
  // after each client painting; otherwise PaintBorder gets none.
  virtual bool PaintsBorder() const { return false; }
  // Paints the cache, prepared at the control's size: by default the section in SkinState over the
  // whole control with the parent's image below, PaintText, and the disabled look.
  virtual void PaintSkin();
  // The control's text into the cache; by default none.
  virtual void PaintText() {}
  // The cache is about to be copied to the screen (rebuilt or not, as rebuilt tells).
  virtual void CacheShown(bool /*rebuilt*/) {}
  // The state the section is painted in: Hot while the skin object is hot. The cache is rebuilt
  // when it changes over a message.
  virtual TsSkinState SkinState() const;
  // The caption label kept beside the control, if it has one.
  virtual TsBoundLabel* BoundLabel() { return nullptr; }

  // A windowed control's client and frame painted from the cache now, outside WM_PAINT.
  void PaintNow();
  // Asks the native control (the class's own procedure, past every hook): its answer.
  LRESULT AskNative(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // Rebuilds the cache (PaintSkin), which is then current in SkinState.
  void BuildCache();

  void SkinnedWndProc(TMessage& message);
  // The framework control's own window procedure.
  virtual void InheritedWndProc(TMessage& message) = 0;
  TControl* Control() const { return FControl; }
  // True while the control exists: a handler that may free it (user code, a message pump) keeps a
  // copy and checks it afterwards. MarkDead lets a destructor end it before its own clean-up.
  const std::shared_ptr<bool>& Alive() const { return FAlive; }
  void MarkDead() { *FAlive = false; }
  // The control as a windowed control; nullptr for a graphic one.
  TWinControl* Window() const { return FWindow; }

private:
  friend class TsInPlacePaints;

  static void PaintTreeInPlace(TWinControl* root, unsigned began);
  // The cover of the form painted in place now; nullptr when none is.
  static const TsPaintCover*& PaintCover();
  // An opaque graphic control painted now on its parent's DC, as the parent's WM_PAINT paints it, and
  // its place taken off what waits to be painted.
  bool PaintOpaqueGraphicInPlace();
  // Counts the paintings of every skinned control.
  static unsigned& PaintSequence();
  void SkinnedMessageChain(TMessage& message);
  void PaintMessage(TMessage& message);
  void PaintOn(HDC clientDC);

  TControl* FControl;   // the control this layer is part of
  TWinControl* FWindow; // the same when windowed
  TsCommonData FSkinData;
  TsDisabledKind FDisabledKind;
  TsSkinState FCacheState = TsSkinState::Normal;
  bool FCacheEnabled = true;
  POINT FCacheAt{};
  int FCacheBuilds = 0;
  int FPaintsInPlace = 0;
  unsigned FPaintedAt = 0;  // PaintSequence at the last painting
  const TsRefresh* FRefresh = nullptr;
  // The picture of the other enabled state, kept while turning the control off or on is all that
  // changed since it was built; it takes the cache's place when the control turns back.
  struct TSparePicture {
    std::unique_ptr<TBitmap> Bitmap;
    bool Enabled = false;
    TsSkinState State = TsSkinState::Normal;
    POINT At{};
  } FSpare;
  // The skin object's repaint requests counted when the cache was last built, moved past those of
  // each turning on or off while nothing else asked for one: still the count, only turning on or
  // off changed since.
  unsigned FQuietAt = 0;
  int FMessageDepth = 0;       // messages of this control being handled, nested
  bool FNativePainted = false; // the native control drew while they ran
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// While the outermost scope lasts, a skinned control that paints its whole client (PaintsWholeClient)
// waits in the scope instead of invalidating its window, as does the parent of a skinned graphic
// control, or the graphic control itself when it is opaque and its parent does not paint so. When
// the scope ends the waiting controls are painted in place, parents first, each once. Invalidating
// a window and painting it by WM_PAINT cost a dozen requests to the window server, so many controls
// changed together (a job turning its controls off) cost far fewer.
class TsInPlacePaints {
public:
  TsInPlacePaints() { ++FDepth; }
  ~TsInPlacePaints();
  TsInPlacePaints(const TsInPlacePaints&) = delete;
  TsInPlacePaints& operator=(const TsInPlacePaints&) = delete;

  // True when control waits for the scope's end (so needs no repaint of its own now).
  static bool Take(TControl* control);
  // control is going away: it waits no more.
  static void Forget(const TsSkinnedControl* control);

private:
  static inline int FDepth = 0;
  static inline std::vector<TsSkinnedControl*> FWaiting;
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
      : TsSkinnedBase<Base>(std::forward<Args>(args)...), TsSkinnedControl(this, WindowOf(this), kind, cache) {}

  void Loaded() override {
    Base::Loaded();
    SkinData().Loaded();
  }
  void WndProc(TMessage& message) override { SkinnedWndProc(message); }
  // Within a TsInPlacePaints scope the control may wait to be painted in place instead.
  void Invalidate() override {
    if (!TsInPlacePaints::Take(this)) Base::Invalidate();
  }

  // The window's last messages still come through the skinned procedure: they come while the skin
  // object is whole (a control freed with Free has lost its window already).
  ~TsSkinned() override {
    if constexpr (std::is_base_of_v<TWinControl, Base>) {
      if (this->HandleAllocated()) this->DestroyHandle();
    }
  }

protected:
  void InheritedWndProc(TMessage& message) final { Base::WndProc(message); }

private:
  // Known when the template is made: windowed or graphic.
  static TWinControl* WindowOf(TsSkinned* self) {
    if constexpr (std::is_base_of_v<TWinControl, Base>)
      return self;
    else
      return nullptr;
  }
};
