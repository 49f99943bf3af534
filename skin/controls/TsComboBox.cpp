#include "skin/controls/TsComboBox.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TControlCanvas.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
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

TsCustomComboBox::TsCustomComboBox(TComponent* owner)
    : TsComboBoxBase(TsControlKind::Edit, owner),
      FEditGuard(TWndMethod(this, &TsCustomComboBox::EditWndProc), this) {
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
  TsFrameSize size = MaskFrameSize(IsSkinned() ? GlyphMask() : -1);
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
  TsComboBoxBase::CreateWnd();
  // In front of the framework's own hook on the edit: read-only drops keys before they become events.
  if (EditHandle() != nullptr) FEditGuard.Hook(EditHandle());
}

void TsCustomComboBox::DestroyWnd() {
  FEditGuard.Unhook();
  FDroppedLook = false;
  TsComboBoxBase::DestroyWnd();
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
  TsComboBoxBase::WndProc(message);
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
    case CM_ENTER:
    case CM_EXIT:
      FocusMessage(message, message.Msg == CM_ENTER);
      return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (DroppedDown()) {
        InheritedWndProc(message);
        return true;
      }
      return false;
    default:
      return TsComboBoxBase::SkinnedMessage(message);
  }
}

void TsCustomComboBox::PaintSkin() {
  const RECT b = ButtonRect();
  PaintComboCache(POINT{b.left, b.top}, FDroppedLook);
}

void TsCustomComboBox::PaintClient(HDC dc) {
  TBitmap* cache = ShownCache();
  if (!cache) return;
  HDC src = cache->Canvas()->Handle();
  const int w = Width(), h = Height();
  const bool focusedLook = ComboFocused() || SkinData().FocusHot();
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
  PaintAroundChildren(dc, cache);
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
      const TsSectionData& s = ActiveSkin().SkinSectionData[std::size_t(section)];
      canvas->Font()->SetColor(SkinData().IsHot() ? s.HotFontColor[0] : s.FontColor[0]);
    }
    OnDrawItem()(this, index, r, odComboBoxEdit);
    return;
  }
  RECT text{r.left + 1, r.top, r.right, r.bottom};
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  if (FAlignment == taRightJustify) flags |= DT_RIGHT;
  else if (FAlignment == taCenter) flags |= DT_CENTER;
  DrawSkinTextByData(ActiveSkin(), canvas, item, Enabled(), text, flags, &SkinData(), SkinData().IsHot());
}
