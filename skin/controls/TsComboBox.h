#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/win/TWindowHook.h"
#include "skin/controls/TsComboBoxBase.h"

// The native combo box painted from its skin section ("COMBOBOX"): frame and drop-down button from
// the cache, drawn pressed from the drop-down until the list reports back. A list-style combo
// without the focus shows its current item from the skin; with the focus the native face shows
// inside the skinned frame. The native control keeps its list, its edit and its behaviour.
//
// ReadOnly: the items show but the value cannot change by keys, paste, wheel or the list; Tab,
// Enter, Escape, Alt mnemonics and the edit's caret keys still work, and a click only focuses.
class TsCustomComboBox : public TsComboBoxBase {
public:
  explicit TsCustomComboBox(TComponent* owner);
  ~TsCustomComboBox() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }

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
  void PaintSkin() override;
  void PaintClient(HDC dc) override;
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
  TWindowHook FEditGuard;
};

class TsComboBox : public TsCustomComboBox {
public:
  using TsCustomComboBox::TsCustomComboBox;
};
