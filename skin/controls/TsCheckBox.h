#pragma once

#include <memory>

#include "framework/win/TBitmap.h"
#include "framework/win/TCheckBox.h"
#include "framework/win/TRadioButton.h"
#include "skin/engine/TsSkinned.h"

class TImageList;

// The mark of a check control while skinned: its source bitmap (3 state frames side by side, the
// image over its mask) or a skin mask, and its size.
struct TsCheckMark {
  TBitmap* Own = nullptr;  // nullptr: the skin mask
  int Mask = -1;           // the skin's mask; -1 for none
  int Width = 16;
  int Height = 16;
};

// The skin layer of a check control (Base: the framework's check box or radio button): the mark from
// the skin's check glyphs (or the control's own) in the normal, hot or pressed frame, the caption in
// the section's text colours and a dotted focus frame. The native control keeps its behaviour
// (clicks, Space, the pressed state) unless ReadOnly.
template <typename Base>
class TsCheckControl : public TsSkinned<Base> {
public:
  TsCheckControl(TsControlKind kind, TComponent* owner);

  // Clicks, Space and the accelerator leave the state as it is.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // While skinned the size follows the mark and the caption; clears MultiLine.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  // A word-wrapped caption; turns AutoSize off.
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value);
  // Space around the mark and the caption.
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  // Space between the mark and the caption.
  int TextIndent() const { return FTextIndent; }
  void SetTextIndent(int value);
  // The dotted focus frame is drawn while focused.
  bool ShowFocus() const { return FShowFocus; }
  void SetShowFocus(bool value);
  // Own marks, used while GlyphChecked is at least a pixel wide: GlyphChecked when checked, else
  // GlyphUnChecked; each 3 state frames side by side, the image over its mask.
  TBitmap* GlyphChecked() { return &FGlyphChecked; }
  void SetGlyphChecked(TBitmap* value);
  TBitmap* GlyphUnChecked() { return &FGlyphUnChecked; }
  void SetGlyphUnChecked(TBitmap* value);

  void Loaded() override;

protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  bool SkinnedMessage(TMessage& message) override;
  bool NativeEnablePaintsOnly() const override { return true; }
  bool PaintsWholeClient() const override { return true; }
  void PaintSkin() override;
  TsSkinState SkinState() const override;
  bool CanAutoSize(int& newWidth, int& newHeight) override;
  void Clicked() override;
  void AccelPressed() override;
  // The mark for the current state.
  virtual TsCheckMark Mark();
  // The skin's mask for the current state; -1 for none.
  virtual int CheckGlyph() const = 0;
  // The size, the look or the mark changed.
  void Changed();

private:
  bool Refuses(const TMessage& message) const;

  bool FReadOnly = false;
  bool FAutoSize = true;
  bool FMultiLine = false;
  int FMargin = 2;
  int FTextIndent = 0;
  bool FShowFocus = true;
  TBitmap FGlyphChecked;
  TBitmap FGlyphUnChecked;
};

// The check box ("CHECKBOX"), with marks from an image list as well.
class TsCheckBox : public TsCheckControl<TCheckBox> {
public:
  explicit TsCheckBox(TComponent* owner);

  // Marks from Images while both indexes are at least 0: ImgChecked when checked, else ImgUnchecked;
  // each image 3 state frames side by side, over its mask.
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* value);
  int ImgChecked() const { return FImgChecked; }
  void SetImgChecked(int value);
  int ImgUnchecked() const { return FImgUnchecked; }
  void SetImgUnchecked(int value);

protected:
  TsCheckMark Mark() override;
  int CheckGlyph() const override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TImageList* FImages = nullptr;  // not owned
  int FImgChecked = 0;
  int FImgUnchecked = 0;
  TBitmap FImageMark;
};

// The radio button ("RADIOBUTTON"): the skin's radio glyphs, drawn only when its own section exists.
class TsRadioButton : public TsCheckControl<TRadioButton> {
public:
  explicit TsRadioButton(TComponent* owner);

protected:
  int CheckGlyph() const override;
};
