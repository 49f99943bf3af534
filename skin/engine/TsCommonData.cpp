#include "skin/engine/TsCommonData.h"

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsIniText.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

// A skin object alone, answering as a peer.
class TDataPeer : public TsSkinPeer {
public:
  explicit TDataPeer(TsCommonData& data) : FData(data) {}
  TsCacheInfo SkinCache() override { return FData.Cache(); }
  TColor SkinBackgroundColor() override { return FData.BackgroundColor(); }
  bool SkinBackgroundChanged() override { return FData.BackgroundChangedBelow(); }
  bool SkinChildrenDirty() override { return FData.ChildrenDirty(); }
  bool SkinHasPaintedBackground() override { return FData.HasPaintedBackground(); }
  void SkinCommand(::SkinCommand command) override { FData.Command(command); }
  void SetSkinBgChanged(bool changed) override { FData.SetBackgroundDirty(changed); }
  void SetSkinUpdating(bool updating) override { FData.SetUpdating(updating); }
  void SetSkinRepaintNeeded(bool needed) override { FData.SetRepaintNeeded(needed); }
  void SetSkinRepaintIfTransparent(bool repaint) override { FData.RepaintIfTransparent(repaint); }
  void RedrawSkinTransparent(bool invalidate) override { FData.RedrawTransparent(invalidate); }
  void SetSkinActiveChild(TControl* child) override { FData.SetActiveChild(child); }

private:
  TsCommonData& FData;
};

// The registered message for a skin object alone; True when the command was fully answered (the
// caller stops).
bool HandleSkinMessage(TsCommonData& skinData, TMessage& message) {
  TDataPeer peer(skinData);
  if (!DispatchSkinMessage(peer, message)) return false;
  // The questions answered in the record stop the control there.
  switch (SkinCommandOf(message.WParam)) {
    case SkinCommand::IsSkinned:
    case SkinCommand::GetBgColor:
    case SkinCommand::GetBgChanged:
    case SkinCommand::GetChildrenDirty:
    case SkinCommand::HasPaintedBackground:
      return true;
    default:
      return false;
  }
}

bool InDesign(const TControl* c) {
  return (c->ComponentState() & csDesigning) != 0;
}

const TsSectionData* Section(int index) {
  return SectionIndexValid(index) ? &ActiveSkin().SkinSectionData[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace

TsCommonData::TsCommonData(TObject* owner, TsCacheBitmap cache)
    : FOwnerObject(owner), FOwnerControl(dynamic_cast<TControl*>(owner)) {
  if (cache == TsCacheBitmap::Own) {
    FCacheBitmap = std::make_unique<TBitmap>();
    FCacheBitmap->SetPixelFormat(TPixelFormat::Bit24);
  }
}

TsCommonData::~TsCommonData() {
  FOwnerControl = nullptr;
  FOwnerObject = nullptr;
}

bool TsCommonData::OwnerDestroying() const {
  auto* c = dynamic_cast<TComponent*>(FOwnerObject);
  return c && c->IsDestroying();
}

void TsCommonData::Loaded() {
  if (FSkinSection.empty()) {
    std::string section = DefaultSectionOfKind(FControlKind);
    if (section.empty() && FOwnerObject) {
      if (auto* p = dynamic_cast<TPersistent*>(FOwnerObject)) section = p->ClassName();
    }
    SetSkinSection(section);
  } else {
    ResolveIndexes();
  }
}

void TsCommonData::ResolveIndexes() {
  SetRepaintNeeded(true);
  FSkinIndex = FindSectionIndex(FSkinSection);
  // Painters test SkinIndex first, but a stale border index must not outlive its section.
  FBorderIndex = SectionImagesOf(FSkinIndex).BordersMask;
}

void TsCommonData::SetSkinSection(const std::string& section) {
  const std::string value = section.empty() ? "UNKNOWN" : section;
  if (value == FSkinSection) return;
  FSkinSection = value;
  if (ActiveSkin().SkinSectionData.empty()) {
    FSkinIndex = -1;
    FBorderIndex = -1;
  } else {
    ResolveIndexes();
  }
  RequestRepaint();
}

void TsCommonData::SetCustomFont(bool value) {
  if (value == FCustomFont) return;
  FCustomFont = value;
  RequestRepaint();
}

void TsCommonData::SetCustomColor(bool value) {
  if (value == FCustomColor) return;
  FCustomColor = value;
  RequestRepaint();
}

bool TsCommonData::HasSkin() const {
  return !OwnerDestroying() && SectionIndexValid(FSkinIndex);
}

bool TsCommonData::IsTransparent() const {
  const TsSectionData* s = Section(FSkinIndex);
  return s && s->Transparency > 0;
}

bool TsCommonData::IsHot() const {
  TControl* c = FOwnerControl;
  if (!c || c->IsDestroying() || !c->Enabled() || InDesign(c)) return false;
  if (FFocusHot) return true;
  if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Focused()) return true;
  return FMouseOver && !IsNoHoverKind(FControlKind);
}

void TsCommonData::RequestRepaint() {
  TControl* c = FOwnerControl;
  if (!c || c->IsDestroying() || c->IsLoading()) return;
  SetRepaintNeeded(true);
  if (ControlUsable(c)) c->Repaint();
  if (!c->Name().empty() && c->Parent()) NotifyRepainted(c);
}

bool TsCommonData::BackgroundChanged() const {
  if (FBackgroundDirty || !SkinData().Active) return true;
  return AskParentBackgroundChanged(FOwnerControl);
}

bool TsCommonData::NeedsParentBackground() const {
  TControl* c = FOwnerControl;
  if (FUpdating || !c || (c->ControlState() & csCreating) || c->IsLoading() || !c->Visible()) return true;
  const TsSectionData* s = Section(FSkinIndex);
  if (!s) return false;
  bool r;
  if (!c->Enabled())
    r = true;
  else if (!IsNoHotTransparencyKind(FControlKind) && IsHot())
    r = s->HotTransparency > 0;
  else
    r = s->Transparency > 0;
  if (r && c->Parent() && c->Parent()->HandleAllocated()) r = AskHasPaintedBackground(c->Parent());
  return r;
}

void TsCommonData::PrepareCache() {
  if (!FCacheBitmap) FCacheBitmap = std::make_unique<TBitmap>();
  FCacheBitmap->SetPixelFormat(TPixelFormat::Bit24);
  if (FOwnerControl &&
      (FCacheBitmap->Width() != FOwnerControl->Width() || FCacheBitmap->Height() != FOwnerControl->Height()))
    FCacheBitmap->SetSize(FOwnerControl->Width(), FOwnerControl->Height());
  SetGraphicsMode(FCacheBitmap->Canvas()->Handle(), GM_ADVANCED);
}

std::unique_ptr<TBitmap> TsCommonData::ExchangeCache(std::unique_ptr<TBitmap> picture) {
  std::swap(picture, FCacheBitmap);
  return picture;
}

void TsCommonData::CopyFromCache(HDC dc, int x, int y, int width, int height) {
  if (!FCacheBitmap) return;
  BitBlt(dc, x, y, width, height, FCacheBitmap->Canvas()->Handle(), x, y, SRCCOPY);
}

TsCacheInfo TsCommonData::Cache() const {
  return FCacheBitmap ? TsCacheInfo{FCacheBitmap.get(), 0, 0, true} : TsCacheInfo{};
}

TColor TsCommonData::BackgroundColor() const {
  TControl* c = FOwnerControl;
  if (!HasSkin()) return c ? static_cast<TColor>(ColorToRGB(c->Color())) : SkinKeyColor;
  const TsSectionData& s = ActiveSkin().SkinSectionData[static_cast<std::size_t>(FSkinIndex)];
  const int t = s.Transparency;
  if (t <= 0) return s.Color;
  TColor below;
  if (c && c->Parent()) {
    TWinControl* parent = c->Parent();
    // An unskinned parent leaves the key colour: its own colour is what shows, system colours
    // resolved, never the key colour mixed in as if it were one.
    below =
        SkinColorBelow(true, AskBackgroundColor(parent), static_cast<TColor>(ColorToRGB(parent->Color())), 0);
  } else {
    below = c ? static_cast<TColor>(ColorToRGB(c->Color())) : SkinKeyColor;
  }
  return MixSkinBackground(t, s.Color, below);
}

bool TsCommonData::BackgroundChangedBelow() const {
  return FRepaintNeeded || BackgroundChanged();
}

bool TsCommonData::HasPaintedBackground() const {
  // Without a section there are no percentages to read: they count as 0.
  const TsSectionData* s = Section(FSkinIndex);
  return (s && s->GradientPercent + s->ImagePercent > 0) || NeedsParentBackground();
}

void TsCommonData::Command(::SkinCommand command) {
  switch (command) {
    case SkinCommand::NewSkin:
      FBackgroundDirty = true;
      ResolveIndexes();
      break;
    case SkinCommand::RemoveSkin:
      FBorderIndex = -1;
      FSkinIndex = -1;
      FBackgroundDirty = true;
      if (FCacheBitmap) FCacheBitmap->SetSize(0, 0);
      ++FRepaintRequests;
      break;
    case SkinCommand::Refresh:
      SetRepaintNeeded(true);
      FBackgroundDirty = false;
      break;
    case SkinCommand::SectionChanged:
      if (UpperCase(FSkinSection) == SkinData().ChangedSection) RequestRepaint();
      break;
    default:
      break;
  }
}

void TsCommonData::RepaintIfTransparent(bool repaint) {
  if (IsTransparent() && repaint) SetRepaintNeeded(true);
}

void TsCommonData::RedrawTransparent(bool invalidate) {
  const bool needs = NeedsParentBackground();
  if (needs) SetRepaintNeeded(true);
  auto* win = dynamic_cast<TWinControl*>(FOwnerControl);
  if (!win) return;
  if (invalidate)
    RedrawWindow(win->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN);
  if (needs)
    for (int i = 0; i < win->ControlCount(); ++i) {
      TControl* c = win->Controls(i);
      if (!c->IsDestroying()) RedrawTransparentOf(c);
    }
}

bool TsCommonData::HandleSkinCommand(TMessage& message) {
  return HandleSkinMessage(*this, message);
}

bool ControlUsable(TControl* control) {
  return control && !(control->ControlState() & csCreating) && !control->IsLoading() &&
         !control->IsDestroying() && control->Parent() != nullptr;
}

bool SkinControlMessage(TMessage& message, TsCommonData* skinData) {
  if (!skinData) return false;
  TControl* owner = skinData->OwnerControl();
  switch (message.Msg) {
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
      if (owner && skinData->NeedsParentBackground())
        RedrawTransparentOf(owner);
      break;
    case WM_SIZE:
      skinData->SetRepaintNeeded(true);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (auto* w = dynamic_cast<TWinControl*>(owner); w && w->CanFocus() && w->TabStop()) {
        skinData->SetRepaintNeeded(true);
        skinData->SetFocusHot(message.Msg == WM_SETFOCUS);
      }
      break;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
      skinData->SetFocusHot(false);
      skinData->SetMouseOver(false);
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (!IsNoHoverKind(skinData->ControlKind())) skinData->SetMouseOver(message.Msg == CM_MOUSEENTER);
      break;
    default:
      break;
  }
  return false;
}

void QueryParentCache(TsCommonData* skinData, TsCacheInfo& ci) {
  ci = {nullptr, 0, 0, false};
  if (!skinData || !skinData->OwnerControl()) return;
  ci = AskCache(skinData->OwnerControl()->Parent());
}

void CopyCacheToDC(TWinControl* parent, TsCommonData* skinData, POINT srcOrigin, HDC dc, const RECT& r) {
  if (!skinData || !skinData->CacheBitmap()) return;
  const TSaveDC saved(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  if (parent)
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* child = parent->Controls(i);
      if (!child->Visible()) continue;
      RECT b = child->BoundsRect(), hit;
      if (!IntersectRect(&hit, &b, &r)) continue;
      if ((child->ControlStyle() & csOpaque) || !IsWindowed(child))
        ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
    }
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, skinData->CacheBitmap()->Canvas()->Handle(),
         srcOrigin.x, srcOrigin.y, SRCCOPY);
}
