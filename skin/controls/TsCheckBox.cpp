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
  PaintSectionByData(ActiveSkin(), &data, ci, true, cache, at, RECT{0, 0, width, height},
                     hot ? TsSkinState::Hot : TsSkinState::Normal);

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
    DrawSkinTextByData(ActiveSkin(), canvas, caption, control->Enabled(), r, flags, &data, hot);
    if (control->Focused()) {
      r.bottom -= 2;
      r.top += 1;
      InflateRect(&r, 1, 1);
      DrawGripDots(canvas, r);
    }
  }
  if (MaskIndexValid(glyphMask))
    PaintMaskedGlyph(ActiveSkin(), cache, POINT{box.left, box.top}, state, glyphMask, TsGlyphShade::Normal);

  if (!control->Enabled()) {
    QueryParentCache(&data, ci);
    ApplyDisabledKind(ActiveSkin(), cache, layer.DisabledKind(), control, at, ci);
  }
}

// Pressed while the native control holds the press, else hot or normal.
TsSkinState CheckControlState(LRESULT nativeState, const TsCommonData& data) {
  if (nativeState & BST_PUSHED) return TsSkinState::Pressed;
  return data.IsHot() ? TsSkinState::Hot : TsSkinState::Normal;
}

}  // namespace

TsCheckBox::TsCheckBox(TComponent* owner) : TsSkinned(TsControlKind::CheckBox, TsCacheBitmap::Own, owner) {}

bool TsCheckBox::SkinnedMessage(TMessage& message) {
  // The box shows the new state.
  if (message.Msg == BM_SETCHECK) SkinData().SetRepaintNeeded(true);
  return TsSkinned::SkinnedMessage(message);
}

TsSkinState TsCheckBox::SkinState() const { return CheckControlState(AskNative(BM_GETSTATE), SkinData()); }

// The skin's glyph for the state: GLOBALINFO's BOXUNCHECKED, BOXCHECKED or BOXGRAYED.
int TsCheckBox::GlyphMask() const {
  switch (State()) {
    case cbChecked:
      return ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxChecked;
    case cbGrayed:
      return ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxGrayed;
    default:
      return ActiveSkin().SkinCommonIndexes.CheckGlyphs.BoxUnchecked;
  }
}

void TsCheckBox::PaintSkin() { PaintCheckControl(*this, this, Alignment(), GlyphMask(), SkinState()); }

TsRadioButton::TsRadioButton(TComponent* owner) : TsSkinned(TsControlKind::RadioButton, TsCacheBitmap::Own, owner) {}

bool TsRadioButton::SkinnedMessage(TMessage& message) {
  if (message.Msg == BM_SETCHECK) SkinData().SetRepaintNeeded(true);
  return TsSkinned::SkinnedMessage(message);
}

TsSkinState TsRadioButton::SkinState() const { return CheckControlState(AskNative(BM_GETSTATE), SkinData()); }

void TsRadioButton::PaintSkin() {
  const auto& glyphs = ActiveSkin().SkinCommonIndexes.CheckGlyphs;
  const int glyph = SkinData().SkinIndex() >= 0 ? (Checked() ? glyphs.RadioChecked : glyphs.RadioUnchecked) : -1;
  PaintCheckControl(*this, this, Alignment(), glyph, SkinState());
}
