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

}  // namespace

TsCheckBox::TsCheckBox(TComponent* owner) : TsSkinned(TsControlKind::CheckBox, TsCacheBitmap::Own, owner) {}

bool TsCheckBox::SkinnedMessage(TMessage& message) {
  // The box shows the new state.
  if (message.Msg == BM_SETCHECK) SkinData().SetRepaintNeeded(true);
  return TsSkinned::SkinnedMessage(message);
}

TsSkinState TsCheckBox::SkinState() const {
  if (AskNative(BM_GETSTATE) & BST_PUSHED) return TsSkinState::Pressed;
  return SkinData().IsHot() ? TsSkinState::Hot : TsSkinState::Normal;
}

// The skin's glyph for the state: GLOBALINFO's BOXUNCHECKED, BOXCHECKED or BOXGRAYED.
int TsCheckBox::GlyphMask() const {
  switch (State()) {
    case cbChecked: return SkinCommonIndexes[55];
    case cbGrayed: return SkinCommonIndexes[57];
    default: return SkinCommonIndexes[56];
  }
}

RECT TsCheckBox::BoxRect() const {
  TsFrameSize size = MaskFrameSize(GlyphMask());
  if (size.Width <= 0 || size.Height <= 0) size = {NoGlyphSize, NoGlyphSize};
  const int top = (Height() - size.Height) / 2;
  if (Alignment() == taLeftJustify) return RECT{Width() - size.Width - Margin, top, Width() - Margin, top + size.Height};
  return RECT{Margin, top, Margin + size.Width, top + size.Height};
}

void TsCheckBox::PaintSkin() {
  TBitmap* cache = SkinData().CacheBitmap();
  TCanvas* canvas = cache->Canvas();
  const TsSkinState state = SkinState();
  const bool hot = state != TsSkinState::Normal;
  const POINT at{Left(), Top()};
  TsCacheInfo ci;
  QueryParentCache(&SkinData(), ci);
  PaintSectionByData(&SkinData(), ci, true, cache, at, RECT{0, 0, Width(), Height()},
                     hot ? TsSkinState::Hot : TsSkinState::Normal);

  const RECT box = BoxRect();
  const std::string caption = Text();
  if (!caption.empty()) {
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(TBrushStyle::Clear);
    const int indent = (box.right - box.left) + TextIndent + Margin + 1;
    RECT r = Alignment() == taLeftJustify ? RECT{Margin, Margin, Width() - indent - 2, Height() - Margin}
                                          : RECT{indent, Margin, Width() - Margin - 2, Height() - Margin};
    const UINT flags = DT_VCENTER | DT_SINGLELINE | (Alignment() == taLeftJustify ? DT_RIGHT : 0u);
    r.bottom -= 2;
    DrawSkinTextByData(canvas, caption, Enabled(), r, flags, &SkinData(), hot);
    if (Focused()) {
      r.bottom -= 2;
      r.top += 1;
      InflateRect(&r, 1, 1);
      DrawGripDots(canvas, r);
    }
  }
  if (MaskIndexValid(GlyphMask())) PaintMaskedGlyph(cache, POINT{box.left, box.top}, state, GlyphMask(), TsGlyphShade::Normal);

  if (!Enabled()) {
    QueryParentCache(&SkinData(), ci);
    ApplyDisabledKind(cache, DisabledKind(), this, at, ci);
  }
}
