#include "skin/windows/TsCaptionButtons.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/windows/TsProviderHost.h"
#include "skin/windows/TsTitleButtons.h"

TsCaptionButtons::TsCaptionButtons(TsProviderHost& provider)
    : FProvider(provider), FBackground(std::make_unique<TBitmap>()) {
  FBackground->SetPixelFormat(TPixelFormat::Bit24);
}

TsCaptionButtons::~TsCaptionButtons() = default;

void TsCaptionButtons::SyncUserCount() { FStates.SetUserCount(FProvider.TitleButtons()->Count()); }

bool TsCaptionButtons::HasButton(int code) {
  SyncUserCount();
  return FStates.HasButton(code);
}

void TsCaptionButtons::SetHot(int code) {
  SyncUserCount();
  for (int c : FStates.SetHot(code)) Paint(c);
}

void TsCaptionButtons::Press(int code) {
  SyncUserCount();
  if (!FStates.HasButton(code)) return;
  for (int c : FStates.Press(code)) Paint(c);
}

bool TsCaptionButtons::Release(int code) {
  std::vector<int> changed;
  SyncUserCount();
  const bool acts = FStates.Release(code, changed);
  for (int c : changed) Paint(c);
  return acts;
}

int TsCaptionButtons::MaskOf(const TsCaptionSlot& slot) const {
  const TsProviderMasks& masks = FProvider.Masks();
  switch (slot.Glyph) {
    case TsButtonGlyph::Close: return masks.Close;
    case TsButtonGlyph::Maximize: return masks.Max;
    case TsButtonGlyph::Restore: return MaskIndexValid(masks.Norm) ? masks.Norm : masks.Max;
    case TsButtonGlyph::Minimize: return masks.Min;
    case TsButtonGlyph::Help: return masks.Help;
    case TsButtonGlyph::User: {
      const TsTitleButton* b = FProvider.TitleButtons()->Items(slot.Code - TsHit::FirstUser);
      return b && b->UseSkinData() ? masks.Title : -1;
    }
  }
  return -1;
}

void TsCaptionButtons::PaintInto(TBitmap* cache, const TsCaptionSlot& slot) {
  const int state = FStates.State(slot.Code);
  const int mask = MaskOf(slot);
  // A glyph missing from the skin leaves its slot empty; the slot still answers.
  if (MaskIndexValid(mask)) {
    const bool pale = !FProvider.FormActive() || !slot.Enabled;
    PaintMaskedGlyph(ActiveSkin(), cache, POINT{slot.Rect.Left, slot.Rect.Top}, static_cast<TsSkinState>(state), mask,
                     pale ? TsGlyphShade::Pale : TsGlyphShade::Normal);
  }
  if (slot.Glyph == TsButtonGlyph::User) {
    TsTitleButton* b = FProvider.TitleButtons()->Items(slot.Code - TsHit::FirstUser);
    TBitmap* g = b ? b->Glyph() : nullptr;
    if (g && !g->Empty()) {
      g->SetTransparent(true);
      g->SetTransparentColor(static_cast<TColor>(g->Canvas()->Pixel(0, g->Height() - 1)));
      const int shift = state == 2 ? 1 : 0;
      cache->Canvas()->Draw(slot.Rect.Left + (slot.Rect.Width() - g->Width()) / 2 + shift,
                            slot.Rect.Top + (slot.Rect.Height() - g->Height()) / 2 + shift, g);
    }
  }
}

void TsCaptionButtons::PaintAll(TBitmap* cache, const std::vector<TsCaptionSlot>& slots, int width, int height) {
  FBackground->SetSize(width, std::max(height, 1));
  if (width > 0 && height > 0)
    FBackground->Canvas()->CopyRect(RECT{0, 0, width, height}, cache->Canvas(), RECT{0, 0, width, height});
  SyncUserCount();
  for (const TsCaptionSlot& slot : slots) PaintInto(cache, slot);
}

void TsCaptionButtons::Paint(int code) {
  TCustomForm* form = FProvider.Form();
  if (!FProvider.Skinned() || !FProvider.WindowImage() || !form->Visible()) return;
  const TsFrameFacts f = FProvider.FrameFacts();
  std::vector<TsCaptionSlot> slots = ::CaptionSlots(f, FProvider.FrameSizes());
  for (const TsCaptionSlot& child : ChildButtonSlots(f, FProvider.FrameSizes())) slots.push_back(child);
  auto it = std::find_if(slots.begin(), slots.end(), [code](const TsCaptionSlot& s) { return s.Code == code; });
  if (it == slots.end()) return;
  const TRect& r = it->Rect;
  // A slot squeezed onto the icon stays unpainted.
  if (IconRect(f, FProvider.FrameSizes()).Right >= r.Left) return;
  TBitmap* cache = FProvider.SkinData()->CacheBitmap();
  if (!cache || cache->Width() != f.Width) return;
  ++FPaints;
  const RECT area{r.Left, r.Top, r.Right, r.Bottom};
  if (r.Width() > 0 && r.Height() > 0) cache->Canvas()->CopyRect(area, FBackground->Canvas(), area);
  PaintInto(cache, *it);
  const TWindowDC dc(form->Handle(), TWindowDC::TArea::Whole);
  BitBlt(dc.Handle(), r.Left, r.Top, r.Width(), r.Height(), cache->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
}
