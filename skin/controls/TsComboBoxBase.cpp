#include "skin/controls/TsComboBoxBase.h"

#include <algorithm>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/controls/TsEditSkin.h"
#include "skin/controls/TsLabel.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/core/SkinCommand.h"
#include "skin/engine/core/SkinTables.h"

namespace ComboSkin {

std::string ItemText(HWND combo, int index) {
  if (index < 0) return {};
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, WPARAM(index), 0);
  if (length == CB_ERR || length < 0) return {};
  std::string item(std::size_t(length) + 1, '\0');
  const LRESULT got = SendMessageA(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(item.data()));
  if (got == CB_ERR || got < 0) return {};
  item.resize(std::min(std::size_t(got), std::size_t(length)));
  return item;
}

namespace {

// After a skin came or went: the combo and its children repainted, frame included.
void RedrawAll(TWinControl* control) {
  if (control->HandleAllocated())
    RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace

}  // namespace ComboSkin

TsComboBoxBase::TsComboBoxBase(TsControlKind kind, TComponent* owner)
    : TsSkinned(kind, TsCacheBitmap::Own, owner) {
  InstallEditLabelFactory();
  if (SkinData().SkinSection().empty()) SkinData().SetSkinSection("COMBOBOX");
  FBoundLabel = std::make_unique<TsBoundLabel>(&SkinData());
}

TsComboBoxBase::~TsComboBoxBase() {
  if (HandleAllocated()) DestroyHandle();
}

void TsComboBoxBase::StandingCommand(::SkinCommand command) {
  TsSkinned::StandingCommand(command);
  if (command == ::SkinCommand::NewSkin || command == ::SkinCommand::RemoveSkin) ComboSkin::RedrawAll(this);
}

bool TsComboBoxBase::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {  // a disabled edit asks for these
      if (SkinData().CustomColor()) return false;
      const TsCommonData& skin = SkinData();
      const bool hot = skin.IsHot();
      const TColor color = EditSkin::SectionColor(skin, hot);
      if (FEditBrush.Color() != color) FEditBrush.SetColor(color);
      HDC dc = reinterpret_cast<HDC>(message.WParam);
      SetTextColor(dc, ColorToRGB(Enabled() ? EditSkin::SectionFontColor(skin, hot, Font()->Color()) : clGrayText));
      SetBkColor(dc, ColorToRGB(color));
      message.Result = reinterpret_cast<LRESULT>(FEditBrush.Handle());
      return true;
    }
    default:
      return TsSkinned::SkinnedMessage(message);
  }
}

// The native combo draws over the skinned face while it handles these.
bool TsComboBoxBase::NativePaintsAfter(const TMessage& message) const {
  if (!HandleAllocated()) return false;
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_MOUSEWHEEL:
    case WM_COMMAND:
    case CN_COMMAND:
    case CB_SETCURSEL:
    case CB_SELECTSTRING:
    case CB_SHOWDROPDOWN:
    case CB_RESETCONTENT:
    case CB_DELETESTRING:
      return true;
    case WM_MOUSEMOVE:
      return GetCapture() == const_cast<TsComboBoxBase*>(this)->Handle();
    default:
      return false;
  }
}

void TsComboBoxBase::FocusMessage(TMessage& message, bool focused) {
  SkinData().SetFocusHot(focused);
  SkinData().SetMouseOver(false);
  SkinData().SetRepaintNeeded(true);
  InheritedWndProc(message);
  Repaint();
}

int TsComboBoxBase::GlyphMask() const {
  const int section = SkinData().SkinIndex();
  if (!SectionIndexValid(section)) return -1;
  return FindMaskIndex(section, ActiveSkin().SkinSectionData[std::size_t(section)].SectionName, "GLYPHMASK");
}

void TsComboBoxBase::PaintComboCache(POINT buttonTopLeft, bool dropped) {
  TsCommonData& skin = SkinData();
  TBitmap* cache = skin.CacheBitmap();
  const POINT at{Left(), Top()};
  TsCacheInfo ci;
  QueryParentCache(&skin, ci);
  PaintSectionByData(ActiveSkin(), &skin, ci, true, cache, at, RECT{0, 0, Width(), Height()}, SkinState());
  const int glyph = GlyphMask();
  const TsSkinState buttonState =
      dropped ? TsSkinState::Pressed : (skin.IsHot() ? TsSkinState::Hot : TsSkinState::Normal);
  if (MaskIndexValid(glyph)) PaintMaskedGlyph(ActiveSkin(), cache, buttonTopLeft, buttonState, glyph, TsGlyphShade::Normal);
  if (!Enabled()) {
    QueryParentCache(&skin, ci);
    ApplyDisabledKind(ActiveSkin(), cache, DisabledKind(), this, at, ci);
  }
}

TBitmap* TsComboBoxBase::ShownCache() {
  TsCommonData& skin = SkinData();
  if (skin.BackgroundChanged()) return nullptr;
  if (skin.RepaintNeeded() && !skin.Updating()) BuildCache();
  return skin.CacheBitmap();
}

void TsComboBoxBase::PaintAroundChildren(HDC dc, TBitmap* cache) {
  for (HWND child = GetWindow(Handle(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  BitBlt(dc, 0, 0, Width(), Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}
