#pragma once

#include "framework/win/TMemo.h"
#include "framework/win/TRichEdit.h"
#include "skin/controls/TsEditSkin.h"

// The skin layer of the multi-line edits: the native control always paints its client area, in the
// section's colours (unless the skin object's CustomColor is set); the skin gives the frame.
template <typename Base>
class TsSkinnedMemo : public TsSkinnedEdit<Base> {
  using Layer = TsSkinnedEdit<Base>;

public:
  explicit TsSkinnedMemo(TComponent* owner) : Layer(TsControlKind::Memo, owner) {
    this->SetControlStyle(this->ControlStyle() & ~csOpaque);
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
        // The native scroll bars are in the frame's inside; the skinned frame covers the rest.
        this->InheritedWndProc(message);
        this->PaintFrame();
        return true;
      default:
        return Layer::SkinnedMessage(message);
    }
  }

  // Gives the native control the client colours before it paints, where it does not ask for them.
  virtual void ApplyClientColors() {}

  // Where the skinned scroll-bar pair attaches: it covers the native bars, follows the scroll info
  // after the control painted or scrolled, and is hidden while there is no skin. No pair yet: the
  // native bars show inside the skinned frame.
  virtual void UpdateScrollBars() {}
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
  bool SkinnedMessage(TMessage& message) override;
  void ApplyClientColors() override;
  void DestroyWnd() override;

private:
  HWND FColoredWindow = nullptr;  // the window that has FColor and FFontColor
  TColor FColor = clNone;
  TColor FFontColor = clNone;
};
