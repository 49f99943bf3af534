#pragma once

#include "framework/win/TBrush.h"
#include "framework/win/TMemo.h"
#include "framework/win/TRichEdit.h"
#include "skin/controls/TsEditSkin.h"

namespace EditSkin {
// The colour of the client area while skinned: the section's HOTCOLOR when hot, else its COLOR.
TColor SectionColor(const TsCommonData& skin, bool hot);
}  // namespace EditSkin

// The skin layer of the multi-line edits: the native control always paints its client area, in the
// section's colour (unless the skin object's CustomColor is set); the skin gives the frame.
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
    if (message.Msg == WM_PAINT) {
      if (!this->SkinData().CustomColor()) ApplyClientColor(ClientColor());
      Layer::SkinnedMessage(message);
      UpdateScrollBars();
      return true;
    }
    return Layer::SkinnedMessage(message);
  }

  TColor ClientColor() const { return EditSkin::SectionColor(this->SkinData(), this->SkinData().IsHot()); }
  // Gives the native control color for its client area.
  virtual void ApplyClientColor(TColor color) = 0;

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

protected:
  bool SkinnedMessage(TMessage& message) override;
  void ApplyClientColor(TColor color) override;

private:
  TBrush FClientBrush;
  TNotifyEvent FOnVScroll;
  TNotifyEvent FOnScrollCaret;
};

// The rich edit with a skinned frame.
class TsRichEdit : public TsSkinnedMemo<TRichEdit> {
public:
  explicit TsRichEdit(TComponent* owner);

protected:
  bool SkinnedMessage(TMessage& message) override;
  void ApplyClientColor(TColor color) override;

private:
  HWND FColoredWindow = nullptr;  // the window that has FColor
  TColor FColor = clNone;
};
