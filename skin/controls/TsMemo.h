#pragma once

#include "framework/win/TMemo.h"
#include "framework/win/TRichEdit.h"
#include "skin/controls/TsEditSkin.h"

#include "skin/controls/core/ScrollBarModel.h"

class TsScrollBar;

// The pair of skinned scroll bars a multi-line edit lays over its native ones while a skin is
// active: siblings of the edit, 2 pixels inside its frame, filled from the native scroll
// information after whatever may have scrolled it, and turned back into scrolling of the edit.
// The bars are owned by the edit; without a skin they are hidden, and freed when the skin goes.
class TsMemoScrollBars {
public:
  // How the edit scrolls itself from a bar: the memo's way (to the thumb position, reports on)
  // or the rich edit's (the bar's own scroll code, its reports held back meanwhile).
  enum class THostKind { Memo, RichEdit };
  TsMemoScrollBars(TMemo* host, THostKind kind) : FHost(host), FKind(kind) {}
  TsMemoScrollBars(const TsMemoScrollBars&) = delete;
  TsMemoScrollBars& operator=(const TsMemoScrollBars&) = delete;

  TsScrollBar* Vertical() const { return FVertical; }
  TsScrollBar* Horizontal() const { return FHorizontal; }
  // Shows, fills and places the bars the edit's state asks for; skinned: a skin is active and
  // the edit has its section.
  void Update(bool skinned);
  // Frees both (the skin went away).
  void Free();
  // A bar was freed elsewhere.
  void Forget(TComponent* component);
  // The column beside the vertical bar, the row above the horizontal one and the corner between
  // them, inside the frame, in the client's colour (on the edit's window DC).
  void PaintGaps(HDC windowDC, TColor color) const;
  // Whether each native bar the edit shows lies under a shown skinned bar: the frame and the gaps
  // then cover all the native frame would paint.
  bool CoverNativeBars() const;
  // The messages after which the edit's scroll state may have changed.
  static bool MayScroll(const TMessage& message);

private:
  TsScrollBar* Make(TScrollBarKind kind);
  void Fill(TsScrollBar* bar, const TScrollInfoFill& info, TScrollInfoFill& last);
  void Scroll(TObject* sender, int oldPosition);
  void Hide();
  // The bars the edit's state asks for, whether each is enabled, and the edit's scroll info.
  struct TWantedBars {
    SCROLLINFO VInfo{}, HInfo{};
    bool Vertical = false, Horizontal = false, VerticalEnabled = false, HorizontalEnabled = false;
  };
  TWantedBars Wanted(TScrollStyle style, bool designing) const;
  void ApplyRichEditRules(TWantedBars& w, bool enabled) const;
  void PlaceBars(const TWantedBars& w);

  TMemo* FHost;
  THostKind FKind;
  TsScrollBar* FVertical = nullptr;    // owned by the host
  TsScrollBar* FHorizontal = nullptr;  // owned by the host
  bool FUpdating = false;
  TScrollInfoFill FLastVertical, FLastHorizontal;  // what each bar was filled with last
};

// The skin layer of the multi-line edits: the native control always paints its client area, in the
// section's colours (unless the skin object's CustomColor is set); the skin gives the frame.
template <typename Base>
class TsSkinnedMemo : public TsSkinnedEdit<Base> {
  using Layer = TsSkinnedEdit<Base>;

public:
  explicit TsSkinnedMemo(TComponent* owner, TsMemoScrollBars::THostKind kind)
      : Layer(TsControlKind::Memo, owner), FBars(this, kind) {
    this->SetControlStyle(this->ControlStyle() & ~csOpaque);
  }

  TsScrollBar* VScrollBar() const { return FBars.Vertical(); }
  TsScrollBar* HScrollBar() const { return FBars.Horizontal(); }

  void WndProc(TMessage& message) override {
    const std::shared_ptr<bool> alive = this->Alive();
    Layer::WndProc(message);
    if (*alive && TsMemoScrollBars::MayScroll(message)) UpdateScrollBars();
  }
  void Loaded() override {
    Layer::Loaded();
    UpdateScrollBars();
  }

protected:
  bool NativeClient() const override { return true; }
  void PaintText() override {}

  bool SkinnedMessage(TMessage& message) override {
    switch (message.Msg) {
      case WM_PAINT:
        if (!this->SkinData().CustomColor()) ApplyClientColors();
        Layer::SkinnedMessage(message);
        UpdateScrollBars();
        return true;
      case WM_NCPAINT:
        // The native scroll bars are in the frame's inside, under the skinned pair: painted only
        // where the pair leaves one of them uncovered.
        if (!FramePaintedFromSkin() || !FBars.CoverNativeBars()) this->InheritedWndProc(message);
        this->PaintFrame();
        return true;
      default:
        return Layer::SkinnedMessage(message);
    }
  }

  bool PaintsBorder() const override { return true; }
  bool PaintBorder(HDC windowDC) override {
    Layer::PaintBorder(windowDC);
    if (EditSkin::FramePaintable(this, this->SkinData()))
      FBars.PaintGaps(windowDC, this->SkinData().CustomColor() ? this->Color() : this->ClientColor());
    return true;
  }

  void StandingCommand(::SkinCommand command) override {
    // The bars go before the window is made again without the skin.
    if (command == ::SkinCommand::RemoveSkin && !this->IsDestroying()) FBars.Free();
    Layer::StandingCommand(command);
    if (command != ::SkinCommand::RemoveSkin) UpdateScrollBars();
  }

  void Notification(TComponent* component, TOperation operation) override {
    Layer::Notification(component, operation);
    if (operation == TOperation::Remove) FBars.Forget(component);
  }

  // PaintFrame paints the whole frame from the skin now.
  bool FramePaintedFromSkin() {
    const TsCommonData& skin = this->SkinData();
    return EditSkin::FramePaintable(this, skin) && !(skin.RepaintNeeded() && skin.Updating());
  }

  // Gives the native control the client colours before it paints, where it does not ask for them.
  virtual void ApplyClientColors() {}

  // The skinned bar pair follows the native scroll information.
  void UpdateScrollBars() {
    if (this->IsDestroying() || (this->ControlState() & csCreating) || !this->Parent()) return;
    FBars.Update(this->IsSkinned());
  }

private:
  TsMemoScrollBars FBars;
};

// The memo with a skinned frame.
class TsMemo : public TsSkinnedMemo<TMemo> {
public:
  explicit TsMemo(TComponent* owner);

  void WndProc(TMessage& message) override;

  // After the memo scrolled vertically.
  const TNotifyEvent& OnVScroll() const { return FOnVScroll; }
  void SetOnVScroll(const TNotifyEvent& e) { FOnVScroll = e; }
  // After the selection was set (EM_SETSEL).
  const TNotifyEvent& OnScrollCaret() const { return FOnScrollCaret; }
  void SetOnScrollCaret(const TNotifyEvent& e) { FOnScrollCaret = e; }

private:
  TNotifyEvent FOnVScroll;
  TNotifyEvent FOnScrollCaret;
};

// The rich edit with a skinned frame.
class TsRichEdit : public TsSkinnedMemo<TRichEdit> {
public:
  explicit TsRichEdit(TComponent* owner);

protected:
  // No cache is offered to children.
  TsCacheInfo SkinCache() override { return {}; }
  void ApplyClientColors() override;
  void DestroyWnd() override;

private:
  HWND FColoredWindow = nullptr;  // the window that has FColor and FFontColor
  TColor FColor = clNone;
  TColor FFontColor = clNone;
};
