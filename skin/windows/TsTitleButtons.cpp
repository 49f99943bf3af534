#include "skin/windows/TsTitleButtons.h"

#include "framework/win/TBitmap.h"

TsTitleButton::TsTitleButton() : FGlyph(std::make_unique<TBitmap>()) {}
TsTitleButton::~TsTitleButton() = default;

void TsTitleButton::SetGlyph(TBitmap* glyph) { FGlyph->Assign(glyph); }

void TsTitleButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (FOnMouseDown) FOnMouseDown(this, button, shift, x, y);
}

void TsTitleButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FOnMouseUp) FOnMouseUp(this, button, shift, x, y);
}

TsTitleButton* TsTitleButtons::Items(int index) const {
  return index >= 0 && index < Count() ? FItems[static_cast<std::size_t>(index)].get() : nullptr;
}

TsTitleButton* TsTitleButtons::Add() {
  FItems.push_back(std::make_unique<TsTitleButton>());
  return FItems.back().get();
}

void TsTitleButtons::Delete(int index) {
  if (index >= 0 && index < Count()) FItems.erase(FItems.begin() + index);
}

TsTitleIcon::TsTitleIcon() : FGlyph(std::make_unique<TBitmap>()) {}
TsTitleIcon::~TsTitleIcon() = default;

void TsTitleIcon::SetGlyph(TBitmap* glyph) { FGlyph->Assign(glyph); }
