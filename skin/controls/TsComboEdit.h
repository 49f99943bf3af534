#pragma once

#include <memory>
#include <string>

#include "framework/win/TBitmap.h"
#include "framework/win/TMenuItem.h"
#include "skin/controls/TsMaskEdit.h"
#include "skin/controls/TsSpeedButton.h"
#include "skin/controls/core/ComboEditLayout.h"

class TsCustomComboEdit;

// The glyph of a combo edit's button: its own bitmap or a built-in one chosen by the edit's
// default glyph kind, three frames (normal, hot, pressed) side by side over their masks.
class TsGlyphMode {
public:
  explicit TsGlyphMode(TsCustomComboEdit* owner) : FOwner(owner) {}
  TsGlyphMode(const TsGlyphMode&) = delete;
  TsGlyphMode& operator=(const TsGlyphMode&) = delete;

  // Percent of the background kept under the glyph while neither the edit nor the button is hot.
  int Blend() const { return FBlend; }
  void SetBlend(int value);  // kept within 0..100
  // Grey while neither the edit nor the button is hot.
  bool Grayed() const { return FGrayed; }
  void SetGrayed(bool value);
  TBitmap* Glyph() { return &FGlyph; }
  // Takes a copy; the built-in glyph is no longer used.
  void SetGlyph(const TBitmap* glyph);
  bool UseDefaultGlyph() const { return FUseDefaultGlyph; }
  void SetUseDefaultGlyph(bool value);
  // The button's hint.
  std::string Hint() const;
  void SetHint(const std::string& hint);

  // The glyph shown now (nullptr for none) and the size of one frame (0 wide for none).
  TBitmap* ChosenGlyph();
  int GlyphWidth();
  int GlyphHeight();

private:
  void Changed();

  TsCustomComboEdit* FOwner;
  TBitmap FGlyph;
  int FBlend = 0;
  bool FGrayed = false;
  bool FUseDefaultGlyph = true;
};

// The glyph button at the right edge of a combo edit.
class TsEditButton : public TsSpeedButton {
public:
  TsEditButton(TComponent* owner, TsCustomComboEdit* edit);

  TsCustomComboEdit* Edit() const { return FEdit; }

protected:
  void Paint() override;
  void PaintSkin() override;
  void Click() override;

private:
  // The glyph frame for the state into bmp (the button's size), blended and greyed as asked.
  void DrawGlyph(TBitmap* bmp, int frame, bool plain);

  TsCustomComboEdit* FEdit;
};

// An edit with a glyph button at its right edge and an optional pop-up below it. Descendants name
// the built-in glyph, own the pop-up and decide what the button does through ButtonClick.
class TsCustomComboEdit : public TsMaskEdit {
public:
  explicit TsCustomComboEdit(TComponent* owner);
  ~TsCustomComboEdit() override;

  static constexpr int ButtonWidth = 22;

  TsEditButton* Button() const { return FButton; }
  TsGlyphMode* GlyphMode() { return &FGlyphMode; }
  // The key that acts as a button click (Alt+Down by default).
  TShortCut ClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut key) { FClickKey = key; }
  // No typing and no button action.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // Typing allowed (the button still acts while this is off).
  bool DirectInput() const { return FDirectInput; }
  void SetDirectInput(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  ComboEditLayout::TPopupAlign PopupAlign() const { return FPopupAlign; }
  void SetPopupAlign(ComboEditLayout::TPopupAlign value) { FPopupAlign = value; }
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool value);
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int value) { FPopupWidth = value; }
  // The pop-up, owned by the descendant; nullptr when there is none.
  TWinControl* Popup() const { return FPopup; }
  bool PopupVisible() const;
  // Selects a built-in glyph: "BTN_OPENFILE", "BTN_OPENFOLDER", "BTN_DATE", "BTN_ELLIPSIS", "BTN_CALC".
  const std::string& DefaultGlyphKind() const { return FDefaultGlyphKind; }
  void SetDefaultGlyphKind(const std::string& kind);
  // Fired first on every button action.
  const TNotifyEvent& OnButtonClick() const { return FOnButtonClick; }
  void SetOnButtonClick(const TNotifyEvent& e) { FOnButtonClick = e; }

  // The button action: OnButtonClick, then the pop-up hidden when shown, else the edit focused
  // and the pop-up shown. Nothing while read-only.
  void DoButtonClick();
  virtual void ShowPopup();
  virtual void HidePopup();
  virtual bool IsReadOnly() const { return FReadOnly; }
  // The button can show a glyph at all (an edit without a button says no).
  virtual bool WantsGlyph() const { return true; }

  // The glyph changed: the button takes its width and repaints.
  void GlyphChanged();
  // The client part of the window is hot (focused): the button then paints over the native client.
  bool EditHot() const { return SkinData().IsHot(); }
  // The width the button takes now (0 while hidden or without a glyph).
  int ButtonSpace() const;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;

protected:
  void SetPopup(TWinControl* popup);
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void Change() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;
  // The button's background: the client part of the cache.
  TsCacheInfo SkinCache() override;
  void PaintClient(HDC dc) override;
  void PaintText() override;
  // The text drawn while the edit shows from its cache.
  virtual std::string DisplayedText() { return Text(); }
  // Keeps typed text clear of the button.
  void SetEditRect();

private:
  void UpdateInnerReadOnly();
  void UpdateButton();

  TsEditButton* FButton = nullptr;
  TsGlyphMode FGlyphMode;
  TShortCut FClickKey = TShortCut(scAlt | VK_DOWN);
  bool FReadOnly = false;
  bool FDirectInput = true;
  TAlignment FAlignment = taLeftJustify;
  ComboEditLayout::TPopupAlign FPopupAlign = ComboEditLayout::TPopupAlign::RightEdges;
  bool FShowButton = true;
  int FPopupWidth = 197;
  TWinControl* FPopup = nullptr;  // not owned
  std::string FDefaultGlyphKind;
  TNotifyEvent FOnButtonClick;
};

// The edit's built-in glyph of a kind; nullptr for an unknown kind or a program without the glyphs.
TBitmap* BuiltInEditGlyph(const std::string& kind);
