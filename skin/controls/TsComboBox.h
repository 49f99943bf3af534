#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/win/TBrush.h"
#include "framework/win/TComboBox.h"
#include "framework/win/TWindowHook.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/TsSkinned.h"

namespace ComboSkin {

// The section's drop-down glyph ("GLYPHMASK"), -1 without one.
int GlyphMask(const TsCommonData& skin);
// Button state: pressed while dropped, else hot or normal.
TsSkinState ButtonState(bool dropped, bool hot);
// The section with the drop-down glyph at buttonTopLeft, then the disabled look, into the cache.
void PaintCache(TsSkinnedControl& layer, TWinControl* control, TsSkinState sectionState, POINT buttonTopLeft,
                TsSkinState buttonState);
// Clips the visible child windows (a combo's edit and list) out of dc.
void ExcludeChildren(HDC dc, HWND window);
// After a skin came or went: the combo and its children repainted, frame included.
void RedrawAll(TWinControl* control);
// The native combo draws over the skinned face while handling msg (combo: its window).
bool NativePaintsAfter(UINT msg, HWND combo);
// An item's text from the native list, asking its length first; empty for a failed read.
std::string ItemText(HWND combo, int index);
// The colours the edit child asks for while skinned, answered from the section; brush keeps them.
void AnswerEditColors(TMessage& message, const TsCommonData& skin, TBrush& brush, bool enabled, TColor ownFontColor);

}  // namespace ComboSkin

// The native combo box painted from its skin section ("COMBOBOX"): frame and drop-down button from
// the cache, drawn pressed from the drop-down until the list reports back. A list-style combo
// without the focus shows its current item from the skin; with the focus the native face shows
// inside the skinned frame. The native control keeps its list, its edit and its behaviour.
//
// ReadOnly: the items show but the value cannot change by keys, paste, wheel or the list; Tab,
// Enter, Escape, Alt mnemonics and the edit's caret keys still work, and a click only focuses.
class TsCustomComboBox : public TsSkinned<TComboBox> {
public:
  explicit TsCustomComboBox(TComponent* owner);
  ~TsCustomComboBox() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  TsBoundLabel* BoundLabel() override { return FBoundLabel.get(); }

  // The drop-down button in client coordinates: one frame of the section's GLYPHMASK (16 x 16
  // without one), 2 pixels from the right edge, vertically centred.
  RECT ButtonRect() const;
  // The button shows pressed: the list was dropped and has not reported back yet.
  bool DroppedLook() const { return FDroppedLook; }
  // The focus is in the combo or its edit.
  bool ComboFocused() const;

  void WndProc(TMessage& message) override;

protected:
  bool SkinnedMessage(TMessage& message) override;
  void StandingCommand(::SkinCommand command) override;
  void PaintSkin() override;
  void PaintClient(HDC dc) override;
  bool NativePaintsAfter(const TMessage& message) const override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  bool ListStyle() const;
  bool Drops(const TMessage& message, bool fromEdit) const;
  void EditWndProc(TMessage& message);
  void SetDroppedLook(bool value);
  void PaintFace(HDC dc);

  TAlignment FAlignment = taLeftJustify;
  bool FReadOnly = false;
  bool FDroppedLook = false;
  std::unique_ptr<TsBoundLabel> FBoundLabel;
  TWindowHook FEditGuard;
  TBrush FEditBrush;
};

class TsComboBox : public TsCustomComboBox {
public:
  using TsCustomComboBox::TsCustomComboBox;
};
