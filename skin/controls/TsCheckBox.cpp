#include "skin/controls/TsCheckBox.h"

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/engine/SkinFrameDrawing.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinTables.h"

namespace {

constexpr int Margin = 2;      // around box and caption
constexpr int TextIndent = 0;  // between box and caption
constexpr int NoGlyphSize = 16;

// Box, caption and focus frame of a check box or radio button into its cache; the glyph is mask
// glyphMask (none when invalid) in state.
void PaintCheckControl(TsSkinnedControl& layer, TWinControl* control, TAlignment alignment, int glyphMask,
                       TsSkinState state) {
  TsCommonData& data = layer.SkinData();
  TBitmap* cache = data.CacheBitmap();
  TCanvas* canvas = cache->Canvas();
  const int width = control->Width(), height = control->Height();
  const bool hot = state != TsSkinState::Normal;
  const POINT at{control->Left(), control->Top()};
  TsCacheInfo ci;
  QueryParentCache(&data, ci);
  PaintSectionByData(&data, ci, true, cache, at, RECT{0, 0, width, height}, hot ? TsSkinState::Hot : TsSkinState::Normal);

  TsFrameSize size = MaskFrameSize(glyphMask);
  if (size.Width <= 0 || size.Height <= 0) size = {NoGlyphSize, NoGlyphSize};
  const int top = (height - size.Height) / 2;
  const RECT box = alignment == taLeftJustify ? RECT{width - size.Width - Margin, top, width - Margin, top + size.Height}
                                              : RECT{Margin, top, Margin + size.Width, top + size.Height};
  const std::string caption = control->Caption();
  if (!caption.empty()) {
    canvas->SetFont(control->Font());
    canvas->Brush()->SetStyle(TBrushStyle::Clear);
    const int indent = size.Width + TextIndent + Margin + 1;
    RECT r = alignment == taLeftJustify ? RECT{Margin, Margin, width - indent - 2, height - Margin}
                                        : RECT{indent, Margin, width - Margin - 2, height - Margin};
    const UINT flags = DT_VCENTER | DT_SINGLELINE | (alignment == taLeftJustify ? DT_RIGHT : 0u);
    r.bottom -= 2;
    DrawSkinTextByData(canvas, caption, control->Enabled(), r, flags, &data, hot);
    if (control->Focused()) {
      r.bottom -= 2;
      r.top += 1;
      InflateRect(&r, 1, 1);
      DrawGripDots(canvas, r);
    }
  }
  if (MaskIndexValid(glyphMask)) PaintMaskedGlyph(cache, POINT{box.left, box.top}, state, glyphMask, TsGlyphShade::Normal);

  if (!control->Enabled()) {
    QueryParentCache(&data, ci);
    ApplyDisabledKind(cache, layer.DisabledKind(), control, at, ci);
  }
}

// Pressed while the native control holds the press, else hot or normal.
TsSkinState CheckControlState(LRESULT nativeState, const TsCommonData& data) {
  if (nativeState & BST_PUSHED) return TsSkinState::Pressed;
  return data.IsHot() ? TsSkinState::Hot : TsSkinState::Normal;
}

}  // namespace

template <typename Base>
TsCheckControl<Base>::TsCheckControl(TsControlKind kind, TComponent* owner)
    : TsSkinned<Base>(kind, TsCacheBitmap::Own, owner) {}

template <typename Base>
bool TsCheckControl<Base>::SkinnedMessage(TMessage& message) {
  // The mark shows the new state.
  if (message.Msg == BM_SETCHECK) this->SkinData().SetRepaintNeeded(true);
  return TsSkinned<Base>::SkinnedMessage(message);
}

template <typename Base>
TsSkinState TsCheckControl<Base>::SkinState() const {
  return CheckControlState(this->AskNative(BM_GETSTATE), this->SkinData());
}

template <typename Base>
void TsCheckControl<Base>::PaintSkin() {
  PaintCheckControl(*this, this, this->Alignment(), CheckGlyph(), SkinState());
}

template class TsCheckControl<TCheckBox>;
template class TsCheckControl<TRadioButton>;

TsCheckBox::TsCheckBox(TComponent* owner) : TsCheckControl(TsControlKind::CheckBox, owner) {}

// The skin's glyph for the state: GLOBALINFO's BOXUNCHECKED, BOXCHECKED or BOXGRAYED.
int TsCheckBox::CheckGlyph() const {
  switch (State()) {
    case cbChecked: return SkinCommonIndexes.CheckGlyphs.BoxChecked;
    case cbGrayed: return SkinCommonIndexes.CheckGlyphs.BoxGrayed;
    default: return SkinCommonIndexes.CheckGlyphs.BoxUnchecked;
  }
}

TsRadioButton::TsRadioButton(TComponent* owner) : TsCheckControl(TsControlKind::RadioButton, owner) {}

int TsRadioButton::CheckGlyph() const {
  const auto& glyphs = SkinCommonIndexes.CheckGlyphs;
  return SkinData().SkinIndex() >= 0 ? (Checked() ? glyphs.RadioChecked : glyphs.RadioUnchecked) : -1;
}
