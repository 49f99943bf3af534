#include "skin/controls/TsComboBox.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TControlCanvas.h"
#include "skin/controls/TsEditSkin.h"
#include "skin/controls/TsLabel.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinCommand.h"
#include "skin/engine/core/SkinTables.h"

namespace {

constexpr int ButtonMargin = 2;
constexpr int NoGlyphSize = 16;
constexpr int FrameWidth = 3;

// Keys that change a combo's value or open its list; an edit child keeps its caret keys.
bool ChangesValue(WORD key, bool fromEdit) {
  switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
      return false;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
      return !fromEdit;
    case VK_INSERT:
      // Shift+Insert pastes; Ctrl+Insert only copies.
      return (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    default:
      return true;
  }
}

}  // namespace

namespace ComboSkin {

int GlyphMask(const TsCommonData& skin) {
  const int section = skin.SkinIndex();
  if (!SectionIndexValid(section)) return -1;
  return FindMaskIndex(section, SkinSectionData[std::size_t(section)].SectionName, "GLYPHMASK");
}

TsSkinState ButtonState(bool dropped, bool hot) {
  return dropped ? TsSkinState::Pressed : (hot ? TsSkinState::Hot : TsSkinState::Normal);
}

void PaintCache(TsSkinnedControl& layer, TWinControl* control, TsSkinState sectionState, POINT buttonTopLeft,
                TsSkinState buttonState) {
  TsCommonData& skin = layer.SkinData();
  TBitmap* cache = skin.CacheBitmap();
  const POINT at{control->Left(), control->Top()};
  TsCacheInfo ci;
  QueryParentCache(&skin, ci);
  PaintSectionByData(&skin, ci, true, cache, at, RECT{0, 0, control->Width(), control->Height()}, sectionState);
  const int glyph = GlyphMask(skin);
  if (MaskIndexValid(glyph)) PaintMaskedGlyph(cache, buttonTopLeft, buttonState, glyph, TsGlyphShade::Normal);
  if (!control->Enabled()) {
    QueryParentCache(&skin, ci);
    ApplyDisabledKind(cache, layer.DisabledKind(), control, at, ci);
  }
}

void ExcludeChildren(HDC dc, HWND window) {
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
}

void RedrawAll(TWinControl* control) {
  if (control->HandleAllocated())
    RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

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

void AnswerEditColors(TMessage& message, const TsCommonData& skin, TBrush& brush, bool enabled, TColor ownFontColor) {
  const bool hot = skin.IsHot();
  const TColor color = EditSkin::SectionColor(skin, hot);
  if (brush.Color() != color) brush.SetColor(color);
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  SetTextColor(dc, ColorToRGB(enabled ? EditSkin::SectionFontColor(skin, hot, ownFontColor) : clGrayText));
  SetBkColor(dc, ColorToRGB(color));
  message.Result = reinterpret_cast<LRESULT>(brush.Handle());
}

bool NativePaintsAfter(UINT msg, HWND combo) {
  switch (msg) {
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
      return GetCapture() == combo;
    default:
      return false;
  }
}

}  // namespace ComboSkin

TsCustomComboBox::TsCustomComboBox(TComponent* owner)
    : TsSkinned(TsControlKind::Edit, TsCacheBitmap::Own, owner),
      FEditGuard(TWndMethod(this, &TsCustomComboBox::EditWndProc), this) {
  InstallEditLabelFactory();
  if (SkinData().SkinSection().empty()) SkinData().SetSkinSection("COMBOBOX");
  FBoundLabel = std::make_unique<TsBoundLabel>(&SkinData());
  SetControlStyle(ControlStyle() & ~csOpaque);
  SetItemHeight(13);
  SetDropDownCount(16);
}

TsCustomComboBox::~TsCustomComboBox() {
  if (HandleAllocated()) DestroyHandle();
}

void TsCustomComboBox::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  SkinData().RequestRepaint();
}

RECT TsCustomComboBox::ButtonRect() const {
  TsFrameSize size = MaskFrameSize(IsSkinned() ? ComboSkin::GlyphMask(SkinData()) : -1);
  if (size.Width <= 0 || size.Height <= 0) size = {NoGlyphSize, NoGlyphSize};
  const int left = Width() - size.Width - ButtonMargin, top = (Height() - size.Height) / 2;
  return RECT{left, top, left + size.Width, top + size.Height};
}

bool TsCustomComboBox::ComboFocused() const {
  if (!HandleAllocated()) return false;
  const HWND focus = GetFocus();
  const HWND own = const_cast<TsCustomComboBox*>(this)->Handle();
  return focus != nullptr && (focus == own || (EditHandle() != nullptr && focus == EditHandle()));
}

bool TsCustomComboBox::ListStyle() const { return Style() != csDropDown && Style() != csSimple; }

void TsCustomComboBox::CreateWnd() {
  TsSkinned::CreateWnd();
  // In front of the framework's own hook on the edit: read-only drops keys before they become events.
  if (EditHandle() != nullptr) FEditGuard.Hook(EditHandle());
}

void TsCustomComboBox::DestroyWnd() {
  FEditGuard.Unhook();
  FDroppedLook = false;
  TsSkinned::DestroyWnd();
}

// The read-only filter, for the combo's window and its edit.
bool TsCustomComboBox::Drops(const TMessage& message, bool fromEdit) const {
  if (!FReadOnly) return false;
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case CN_KEYDOWN:
    case CN_KEYUP:
      return ChangesValue(WORD(message.WParam), fromEdit);
    case WM_SYSKEYDOWN:
    case CN_SYSKEYDOWN:
      // Alt+Up and Alt+Down open the list; other Alt keys are mnemonics of the form.
      return message.WParam == VK_UP || message.WParam == VK_DOWN;
    case WM_CHAR:
    case CN_CHAR:
      return message.WParam != VK_TAB && message.WParam != VK_RETURN && message.WParam != VK_ESCAPE;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case WM_MOUSEWHEEL:
      return true;
    default:
      return false;
  }
}

void TsCustomComboBox::EditWndProc(TMessage& message) {
  if (Drops(message, true)) return;
  FEditGuard.CallDefault(message);
}

void TsCustomComboBox::WndProc(TMessage& message) {
  if (Drops(message, EditHandle() != nullptr)) {
    // A dropped key that a parent or the framework would act on counts as used.
    message.Result = 1;
    return;
  }
  if (FReadOnly && (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK)) {
    // The click focuses; the list does not open.
    if (CanFocus()) SetFocus();
    if (message.Msg == WM_LBUTTONDBLCLK) DblClick();
    return;
  }
  if (message.Msg == CN_COMMAND) {
    switch (HIWORD(message.WParam)) {
      case CBN_DROPDOWN: SetDroppedLook(true); break;
      case CBN_CLOSEUP: SetDroppedLook(false); break;
      default: break;
    }
  }
  TsSkinned::WndProc(message);
}

void TsCustomComboBox::StandingCommand(::SkinCommand command) {
  TsSkinned::StandingCommand(command);
  if (command == ::SkinCommand::NewSkin || command == ::SkinCommand::RemoveSkin) ComboSkin::RedrawAll(this);
}

void TsCustomComboBox::SetDroppedLook(bool value) {
  if (value == FDroppedLook) return;
  FDroppedLook = value;
  SkinData().SetRepaintNeeded(true);
  PaintNow();
}

bool TsCustomComboBox::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_COMMAND:
      // The list reports back: the button comes up.
      InheritedWndProc(message);
      SetDroppedLook(false);
      return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:  // a disabled edit asks for these
      if (SkinData().CustomColor()) return false;
      ComboSkin::AnswerEditColors(message, SkinData(), FEditBrush, Enabled(), Font()->Color());
      return true;
    case CM_ENTER:
    case CM_EXIT:
      SkinData().SetFocusHot(message.Msg == CM_ENTER);
      SkinData().SetMouseOver(false);
      SkinData().SetRepaintNeeded(true);
      InheritedWndProc(message);
      Repaint();
      return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (DroppedDown()) {
        InheritedWndProc(message);
        return true;
      }
      return false;
    default:
      return TsSkinned::SkinnedMessage(message);
  }
}

bool TsCustomComboBox::NativePaintsAfter(const TMessage& message) const {
  return HandleAllocated() && ComboSkin::NativePaintsAfter(message.Msg, const_cast<TsCustomComboBox*>(this)->Handle());
}

void TsCustomComboBox::PaintSkin() {
  const RECT b = ButtonRect();
  ComboSkin::PaintCache(*this, this, SkinState(), POINT{b.left, b.top},
                        ComboSkin::ButtonState(FDroppedLook, SkinData().IsHot()));
}

void TsCustomComboBox::PaintClient(HDC dc) {
  TsCommonData& skin = SkinData();
  if (skin.BackgroundChanged()) return;
  if (skin.RepaintNeeded() && !skin.Updating()) BuildCache();
  TBitmap* cache = skin.CacheBitmap();
  if (!cache) return;
  HDC src = cache->Canvas()->Handle();
  const int w = Width(), h = Height();
  const bool focusedLook = ComboFocused() || skin.FocusHot();
  if (Enabled() && ListStyle() && (focusedLook || DroppedDown())) {
    // The native face (selection bar, focus) inside the skinned frame and button.
    CallWindowProcA(DefWndProc(), Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    const RECT b = ButtonRect();
    const int buttonArea = std::max<int>(b.left - FrameWidth, 0);
    BitBlt(dc, 0, 0, w, FrameWidth, src, 0, 0, SRCCOPY);
    BitBlt(dc, 0, FrameWidth, FrameWidth, h - FrameWidth, src, 0, FrameWidth, SRCCOPY);
    BitBlt(dc, FrameWidth, h - FrameWidth, w - FrameWidth, FrameWidth, src, FrameWidth, h - FrameWidth, SRCCOPY);
    BitBlt(dc, buttonArea, 0, w - buttonArea, h, src, buttonArea, 0, SRCCOPY);
    return;
  }
  // The edit (and a simple combo's list) paint themselves.
  ComboSkin::ExcludeChildren(dc, Handle());
  BitBlt(dc, 0, 0, w, h, src, 0, 0, SRCCOPY);
  if (ListStyle()) PaintFace(dc);
}

// The current item on an unfocused list-style combo, in the section's text colours. No item (-1,
// as at the start) shows no text.
void TsCustomComboBox::PaintFace(HDC dc) {
  const int index = ItemIndex();
  if (index < 0) return;
  const std::string item = ComboSkin::ItemText(Handle(), index);
  const RECT b = ButtonRect();
  RECT r{FrameWidth, FrameWidth, std::max<int>(b.left, FrameWidth), Height() - FrameWidth};
  const TSaveDC saved(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  TCanvasDC bound(static_cast<TControlCanvas&>(*Canvas()), dc);
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  if ((Style() == csOwnerDrawFixed || Style() == csOwnerDrawVariable) && OnDrawItem()) {
    const int section = SkinData().SkinIndex();
    if (SectionIndexValid(section) && !SkinData().CustomFont()) {
      const TsSectionData& s = SkinSectionData[std::size_t(section)];
      canvas->Font()->SetColor(SkinData().IsHot() ? s.HotFontColor[0] : s.FontColor[0]);
    }
    OnDrawItem()(this, index, r, odComboBoxEdit);
    return;
  }
  RECT text{r.left + 1, r.top, r.right, r.bottom};
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  if (FAlignment == taRightJustify) flags |= DT_RIGHT;
  else if (FAlignment == taCenter) flags |= DT_CENTER;
  DrawSkinTextByData(canvas, item, Enabled(), text, flags, &SkinData(), SkinData().IsHot());
}
