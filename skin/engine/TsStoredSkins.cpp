#include "skin/engine/TsStoredSkins.h"

#include <cstring>

#include "framework/win/TCanvas.h"

namespace {

// An own copy in 24 bits: the skin's images never share rows with the caller's bitmap.
std::shared_ptr<const TsPixmap> Copy24(TBitmap* source) {
  if (!source || source->Empty()) return nullptr;
  TBitmap work;
  work.Assign(source);
  work.SetPixelFormat(TPixelFormat::Bit24);
  auto out = std::make_shared<TsPixmap>(work.Width(), work.Height());
  for (int y = 0; y < work.Height(); ++y)
    std::memcpy(out->ScanLine(y), work.ScanLine(y), static_cast<std::size_t>(work.Width()) * 3);
  return out;
}

}  // namespace

std::shared_ptr<const TsPixmap> PixmapOf(TBitmap* bitmap) {
  return Copy24(bitmap);
}

TsSkinImage* TsStoredSkin::AddImage() {
  Images.push_back(std::make_unique<TsSkinImage>());
  return Images.back().get();
}

TsSkinPattern* TsStoredSkin::AddPattern() {
  Patterns.push_back(std::make_unique<TsSkinPattern>());
  return Patterns.back().get();
}

TsInternalSkin TsStoredSkin::ToInternalSkin() {
  TsInternalSkin skin;
  skin.Name = Name;
  skin.MasterBitmap = Copy24(&FMasterBitmap);
  for (const auto& g : GeneralData) {
    TsInternalSkin::TGeneral r;
    TsSectionData& d = r.Data;
    d.SectionName = g.SectionName;
    d.Color = g.Color;
    d.Bevel = g.Bevel;
    d.ReservedBoolean = g.ReservedBoolean;
    d.ShadowBlur = g.ShadowBlur;
    d.ShadowColor = g.ShadowColor;
    d.ShadowEnabled = g.ShadowEnabled;
    d.ShadowOffset = g.ShadowOffset;
    d.ShadowTransparency = g.ShadowTransparency;
    d.Transparency = g.Transparency;
    d.GradientPercent = g.GradientPercent;
    d.GradientData = g.GradientData;
    d.ImagePercent = g.ImagePercent;
    d.ShowFocus = g.ShowFocus;
    d.FadingEnabled = g.FadingEnabled;
    d.FadingIntervalIn = g.FadingIntervalIn;
    d.FadingIntervalOut = g.FadingIntervalOut;
    d.FadingIterations = g.FadingIterations;
    d.HotColor = g.HotColor;
    d.HotTransparency = g.HotTransparency;
    d.HotBevel = g.HotBevel;
    d.HotGradientPercent = g.HotGradientPercent;
    d.HotGradientData = g.HotGradientData;
    d.HotImagePercent = g.HotImagePercent;
    d.BorderColor1 = g.BorderColor1;
    d.BorderColor2 = g.BorderColor2;
    r.FontColor = g.FontColor;
    r.HotFontColor = g.HotFontColor;
    skin.GeneralData.push_back(std::move(r));
  }
  for (const auto& i : Images)
    skin.Images.push_back({i->SectionName, i->PropertyName, i->ImageCount == 0 ? Copy24(i->Image()) : nullptr,
                           TsRect{i->Left, i->Top, i->Right, i->Bottom}, i->ImageCount, i->MaskType,
                           i->BorderWidth});
  for (const auto& p : Patterns) {
    std::shared_ptr<const TsPixmap> image;
    // A picture that does not decode is left out, like a corrupt file of a folder skin.
    try {
      if (!p->Image()->Empty()) image = Copy24(p->Image()->Bitmap());
    } catch (const EInvalidGraphic&) {
      image = nullptr;
    }
    skin.Patterns.push_back({p->SectionName, p->PropertyName, image});
  }
  return skin;
}

TsStoredSkin* TsStoredSkins::Add() {
  FItems.push_back(std::make_unique<TsStoredSkin>());
  return FItems.back().get();
}

void TsStoredSkins::Delete(int index) {
  FItems.erase(FItems.begin() + index);
}

void TsStoredSkins::Assign(const TsStoredSkins& source) {
  if (&source == this) return;
  std::vector<std::unique_ptr<TsStoredSkin>> items;
  for (const auto& from : source.FItems) {
    auto to = std::make_unique<TsStoredSkin>();
    to->Name = from->Name;
    to->GeneralData = from->GeneralData;
    to->SetMasterBitmap(from->MasterBitmap());
    for (const auto& i : from->Images) {
      TsSkinImage* copy = to->AddImage();
      copy->Name = i->Name;
      copy->SectionName = i->SectionName;
      copy->PropertyName = i->PropertyName;
      copy->Left = i->Left;
      copy->Top = i->Top;
      copy->Right = i->Right;
      copy->Bottom = i->Bottom;
      copy->ImageCount = i->ImageCount;
      copy->MaskType = i->MaskType;
      copy->BorderWidth = i->BorderWidth;
      copy->SetImage(i->Image());
    }
    for (const auto& p : from->Patterns) {
      TsSkinPattern* copy = to->AddPattern();
      copy->Name = p->Name;
      copy->SectionName = p->SectionName;
      copy->PropertyName = p->PropertyName;
      copy->SetImage(p->Image());
    }
    items.push_back(std::move(to));
  }
  FItems = std::move(items);
}

std::vector<TsInternalSkin> TsStoredSkins::ToInternalSkins() const {
  std::vector<TsInternalSkin> skins;
  for (const auto& item : FItems) skins.push_back(item->ToInternalSkin());
  return skins;
}
