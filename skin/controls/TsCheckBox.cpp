#include "skin/controls/TsCheckBox.h"

#include <algorithm>

#include "framework/win/TCanvas.h"
#include "framework/win/TImageList.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/SkinFrameDrawing.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/MaskedPainters.h"
#include "skin/engine/core/SkinTables.h"

namespace {

struct TCheckLook {
  int Margin = 2;      // around mark and caption
  int TextIndent = 0;  // between mark and caption
  bool ShowFocus = true;
  bool MultiLine = false;
};

// Mark, caption and focus frame of a check box or radio button into its cache, in state.
void PaintCheckControl(TsSkinnedControl& layer, TWinControl* control, TAlignment alignment, const TsCheckMark& mark,
                       const TCheckLook& look, TsSkinState state) {
  TsCommonData& data = layer.SkinData();
  TBitmap* cache = data.CacheBitmap();
  TCanvas* canvas = cache->Canvas();
  const int width = control->Width(), height = control->Height();
  const bool hot = state != TsSkinState::Normal;
  const POINT at{control->Left(), control->Top()};
  TsCacheInfo ci;
  QueryParentCache(&data, ci);
  PaintSectionByData(ActiveSkin(), &data, ci, true, cache, at, RECT{0, 0, width, height}, hot ? TsSkinState::Hot : TsSkinState::Normal);

  const int margin = look.Margin;
  const int top = (height - mark.Height) / 2;
  const RECT box = alignment == taLeftJustify
                       ? RECT{width - mark.Width - margin, top, width - margin, top + mark.Height}
                       : RECT{margin, top, margin + mark.Width, top + mark.Height};
  const std::string caption = control->Caption();
  if (!caption.empty()) {
    canvas->SetFont(control->Font());
    canvas->Brush()->SetStyle(TBrushStyle::Clear);
    const int indent = mark.Width + look.TextIndent + margin + 1;
    RECT r = alignment == taLeftJustify ? RECT{margin, margin, width - indent - 2, height - margin}
                                        : RECT{indent, margin, width - margin - 2, height - margin};
    UINT flags = look.MultiLine ? DT_CENTER | DT_WORDBREAK : DT_VCENTER | DT_SINGLELINE;
    if (alignment == taLeftJustify && !look.MultiLine) flags |= DT_RIGHT;
    r.bottom -= 2;
    DrawSkinTextByData(ActiveSkin(), canvas, caption, control->Enabled(), r, flags, &data, hot);
    if (control->Focused() && look.ShowFocus) {
      r.bottom -= 2;
      r.top += 1;
      InflateRect(&r, 1, 1);
      DrawGripDots(canvas, r);
    }
  }
  if (mark.Own != nullptr) {
    TsMaskImage own;
    own.Own = BitmapRows(mark.Own);
    PaintMaskedGlyph(BitmapRows(cache), TsPoint{box.left, box.top}, state, own, TsGlyphShade::Normal);
  } else if (MaskIndexValid(mark.Mask)) {
    PaintMaskedGlyph(ActiveSkin(), cache, POINT{box.left, box.top}, state, mark.Mask, TsGlyphShade::Normal);
  }

  if (!control->Enabled()) {
    QueryParentCache(&data, ci);
    ApplyDisabledKind(ActiveSkin(), cache, layer.DisabledKind(), control, at, ci);
  }
}

// The mark of an own bitmap: 3 frames side by side, the image over its mask.
TsCheckMark OwnMark(TBitmap* bitmap) {
  TsCheckMark mark;
  mark.Own = bitmap;
  mark.Width = bitmap->Width() / 3;
  mark.Height = bitmap->Height() / 2;
  return mark;
}

bool IsSpace(const TMessage& message) { return message.WParam == VK_SPACE; }

}  // namespace

template <typename Base>
TsCheckControl<Base>::TsCheckControl(TsControlKind kind, TComponent* owner)
    : TsSkinned<Base>(kind, TsCacheBitmap::Own, owner) {}

template <typename Base>
void TsCheckControl<Base>::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  this->SkinData().RequestRepaint();
}

template <typename Base>
void TsCheckControl<Base>::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  if (value) FMultiLine = false;
  Changed();
}

template <typename Base>
void TsCheckControl<Base>::SetMultiLine(bool value) {
  if (value == FMultiLine) return;
  FMultiLine = value;
  if (value) FAutoSize = false;
  if (this->HandleAllocated()) this->RecreateWnd();
  Changed();
}

template <typename Base>
void TsCheckControl<Base>::SetMargin(int value) {
  if (value == FMargin) return;
  FMargin = value;
  Changed();
}

template <typename Base>
void TsCheckControl<Base>::SetTextIndent(int value) {
  if (value == FTextIndent) return;
  FTextIndent = value;
  Changed();
}

template <typename Base>
void TsCheckControl<Base>::SetShowFocus(bool value) {
  if (value == FShowFocus) return;
  FShowFocus = value;
  this->SkinData().RequestRepaint();
}

template <typename Base>
void TsCheckControl<Base>::SetGlyphChecked(TBitmap* value) {
  if (value) FGlyphChecked.Assign(value);
  else FGlyphChecked.SetSize(0, 0);
  Changed();
}

template <typename Base>
void TsCheckControl<Base>::SetGlyphUnChecked(TBitmap* value) {
  if (value) FGlyphUnChecked.Assign(value);
  else FGlyphUnChecked.SetSize(0, 0);
  Changed();
}

template <typename Base>
void TsCheckControl<Base>::Changed() {
  if (FAutoSize) this->SetBounds(this->Left(), this->Top(), this->Width(), this->Height());
  this->SkinData().RequestRepaint();
}

template <typename Base>
void TsCheckControl<Base>::Loaded() {
  TsSkinned<Base>::Loaded();
  if (FAutoSize) Changed();
}

template <typename Base>
void TsCheckControl<Base>::CreateParams(TCreateParams& params) {
  TsSkinned<Base>::CreateParams(params);
  if (FMultiLine) params.Style |= BS_MULTILINE;
}

// Presses a read-only control refuses: the mouse and Space never reach the native button.
template <typename Base>
bool TsCheckControl<Base>::Refuses(const TMessage& message) const {
  if (!FReadOnly) return false;
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return true;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      return IsSpace(message);
    default:
      return false;
  }
}

template <typename Base>
void TsCheckControl<Base>::WndProc(TMessage& message) {
  if (Refuses(message)) return;
  TsSkinned<Base>::WndProc(message);
  if (FAutoSize && (message.Msg == CM_TEXTCHANGED || message.Msg == CM_FONTCHANGED)) Changed();
}

template <typename Base>
void TsCheckControl<Base>::Clicked() {
  if (!FReadOnly) Base::Clicked();
}

template <typename Base>
void TsCheckControl<Base>::AccelPressed() {
  if (!FReadOnly) Base::AccelPressed();
}

template <typename Base>
bool TsCheckControl<Base>::SkinnedMessage(TMessage& message) {
  // The mark shows the new state.
  if (message.Msg == BM_SETCHECK) this->SkinData().SetRepaintNeeded(true);
  return TsSkinned<Base>::SkinnedMessage(message);
}

// Pressed while the native control holds the press, else hot (not while read-only) or normal.
template <typename Base>
TsSkinState TsCheckControl<Base>::SkinState() const {
  if (this->AskNative(BM_GETSTATE) & BST_PUSHED) return TsSkinState::Pressed;
  return this->SkinData().IsHot() && !FReadOnly ? TsSkinState::Hot : TsSkinState::Normal;
}

template <typename Base>
TsCheckMark TsCheckControl<Base>::Mark() {
  if (FGlyphChecked.Width() >= 1) {
    // Sized by GlyphChecked; unchecked without GlyphUnChecked shows no mark.
    TsCheckMark mark = OwnMark(&FGlyphChecked);
    if (!this->Checked()) mark.Own = FGlyphUnChecked.Width() >= 1 ? &FGlyphUnChecked : nullptr;
    return mark;
  }
  TsCheckMark mark;
  mark.Mask = CheckGlyph();
  const TsFrameSize size = MaskFrameSize(mark.Mask);
  if (size.Width > 0 && size.Height > 0) {
    mark.Width = size.Width;
    mark.Height = size.Height;
  }
  return mark;
}

template <typename Base>
void TsCheckControl<Base>::PaintSkin() {
  PaintCheckControl(*this, this, this->Alignment(), Mark(), TCheckLook{FMargin, FTextIndent, FShowFocus, FMultiLine},
                    SkinState());
}

// While skinned: the mark and the caption with the margins around them.
template <typename Base>
bool TsCheckControl<Base>::CanAutoSize(int& newWidth, int& newHeight) {
  if (!FAutoSize || this->IsLoading() || !this->IsSkinned()) return false;
  const TsCheckMark mark = Mark();
  int width = mark.Width + 2 * FMargin, height = mark.Height;
  const std::string caption = this->Caption();
  if (!caption.empty()) {
    SIZE text{};
    TextSizeInFont(caption, this->Font(), text);
    width += text.cx + FTextIndent + 5;
    height = std::max<int>(height, text.cy);
  }
  newWidth = width;
  newHeight = height + 2 * FMargin + 2;
  return true;
}

template class TsCheckControl<TCheckBox>;
template class TsCheckControl<TRadioButton>;

TsCheckBox::TsCheckBox(TComponent* owner) : TsCheckControl(TsControlKind::CheckBox, owner) {}

void TsCheckBox::SetImages(TImageList* value) {
  if (value == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = value;
  if (value) value->FreeNotification(this);
  Changed();
}

void TsCheckBox::SetImgChecked(int value) {
  if (value == FImgChecked) return;
  FImgChecked = value;
  Changed();
}

void TsCheckBox::SetImgUnchecked(int value) {
  if (value == FImgUnchecked) return;
  FImgUnchecked = value;
  Changed();
}

void TsCheckBox::Notification(TComponent* component, TOperation operation) {
  TsCheckControl::Notification(component, operation);
  if (operation == TOperation::Remove && component == FImages) {
    FImages = nullptr;
    Changed();
  }
}

TsCheckMark TsCheckBox::Mark() {
  const int index = Checked() ? FImgChecked : FImgUnchecked;
  if (FImages == nullptr || FImgChecked < 0 || FImgUnchecked < 0 || index >= FImages->Count())
    return TsCheckControl::Mark();
  FImages->GetBitmap(index, &FImageMark);
  return OwnMark(&FImageMark);
}

// The skin's glyph for the state: GLOBALINFO's BOXUNCHECKED, BOXCHECKED or BOXGRAYED.
int TsCheckBox::CheckGlyph() const {
  switch (State()) {
    case cbChecked: return ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxChecked;
    case cbGrayed: return ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxGrayed;
    default: return ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxUnchecked;
  }
}

TsRadioButton::TsRadioButton(TComponent* owner) : TsCheckControl(TsControlKind::RadioButton, owner) {}

int TsRadioButton::CheckGlyph() const {
  const auto& glyphs = ActiveSkin().SkinCommonIndexes.CheckGlyphs;
  return SkinData().SkinIndex() >= 0 ? (Checked() ? glyphs.RadioChecked : glyphs.RadioUnchecked) : -1;
}
