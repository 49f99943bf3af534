#include "skin/controls/TsCommonCombo.h"

#include <algorithm>
#include <vector>

#include <windowsx.h>

#include "framework/base/Exception.h"
#include "framework/win/Controls.h"
#include "framework/win/TBitmap.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TControlCanvas.h"
#include "framework/win/TFont.h"
#include "skin/controls/core/AutoComplete.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinTables.h"

// ---- TsCustomListControl ----

TsCustomListControl::TsCustomListControl(TComponent* owner)
    : TsComboBoxBase(TsControlKind::ListControl, owner) {}

TsCustomListControl::~TsCustomListControl() {
  if (HandleAllocated()) DestroyHandle();
}

void TsCustomListControl::SetBevelKind(TBevelKind value) {
  if (value == FBevelKind) return;
  FBevelKind = value;
  BevelChanged();
}

void TsCustomListControl::SetBevelInner(TBevelCut value) {
  if (value == FBevelInner) return;
  FBevelInner = value;
  BevelChanged();
}

void TsCustomListControl::SetBevelOuter(TBevelCut value) {
  if (value == FBevelOuter) return;
  FBevelOuter = value;
  BevelChanged();
}

void TsCustomListControl::SetBevelEdges(TBevelEdges value) {
  if (value == FBevelEdges) return;
  FBevelEdges = value;
  BevelChanged();
}

void TsCustomListControl::BevelChanged() {
  if (HandleAllocated()) Invalidate();
}

void TsCustomListControl::WndProc(TMessage& message) {
  const std::shared_ptr<bool> alive = Alive();
  TsComboBoxBase::WndProc(message);
  if (*alive && message.Msg == WM_PAINT && FBevelKind != bkNone && !IsSkinned() && HandleAllocated()) PaintBevel();
}

// Over the standard painting: the face in Color, the bevel on the sides asked for, the drop-down
// button inside it and the current item, then the frame again.
void TsCustomListControl::PaintBevel() {
  const TWindowDC dc(Handle(), TWindowDC::Client);
  RECT r = ClientRect();
  {
    const TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color())));
    FillRect(dc.Handle(), &r, brush.Handle());
    FrameRect(dc.Handle(), &r, brush.Handle());
    RECT inside = r;
    InflateRect(&inside, -1, -1);
    FrameRect(dc.Handle(), &inside, brush.Handle());
  }
  auto cut = [](TBevelCut c, UINT lowered, UINT raised) {
    return c == bvLowered ? lowered : c == bvRaised ? raised : 0u;
  };
  const UINT edge = cut(FBevelInner, BDR_SUNKENINNER, BDR_RAISEDINNER) | cut(FBevelOuter, BDR_SUNKENOUTER, BDR_RAISEDOUTER);
  UINT flags = BF_ADJUST;
  if (FBevelEdges & beLeft) flags |= BF_LEFT;
  if (FBevelEdges & beTop) flags |= BF_TOP;
  if (FBevelEdges & beRight) flags |= BF_RIGHT;
  if (FBevelEdges & beBottom) flags |= BF_BOTTOM;
  if (FBevelKind == bkSoft) flags |= BF_SOFT;
  if (FBevelKind == bkFlat) flags |= BF_FLAT;
  if (!Ctl3D()) flags |= BF_MONO;
  if (edge != 0) DrawEdge(dc.Handle(), &r, edge, flags);
  RECT button{r.right - GetSystemMetrics(SM_CXHTHUMB) - 1, r.top, r.right, r.bottom};
  DrawFrameControl(dc.Handle(), &button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_FLAT);
  // Without an edit child the fill took the current item's text: it is written again inside the bevel.
  if (EditHandle() == nullptr && ItemIndex() >= 0) {
    const std::string text = ComboSkin::ItemText(Handle(), ItemIndex());
    RECT box{r.left + 2, r.top, button.left - 1, r.bottom};
    const TSaveDC saved(dc.Handle());
    const TSelectObject font(dc.Handle(), Font()->Handle());
    SetBkMode(dc.Handle(), TRANSPARENT);
    SetTextColor(dc.Handle(), ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    DrawTextA(dc.Handle(), text.c_str(), int(text.size()), &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

bool TsCustomListControl::SkinnedMessage(TMessage& message) {
  TsCommonData& skin = SkinData();
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENTER:
    case CM_EXIT:
      FocusMessage(message, message.Msg == WM_SETFOCUS || message.Msg == CM_ENTER);
      return true;
    case WM_MOUSEWHEEL:
    case WM_MOVE:
    case WM_SIZE:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      skin.SetRepaintNeeded(true);
      InheritedWndProc(message);
      Repaint();
      return true;
    case WM_VSCROLL:
      return true;
    default:
      return TsComboBoxBase::SkinnedMessage(message);
  }
}

// ---- TsCommonCombo ----

TsCommonCombo::TsCommonCombo(TComponent* owner)
    : TsCustomListControl(owner),
      FEditHook(TWndMethod(this, &TsCommonCombo::EditWndProc), this),
      FListHook(TWndMethod(this, &TsCommonCombo::ListWndProc), this) {
  SetBounds(Left(), Top(), 145, 22);
  SetItemHeight(16);
  SetDropDownCount(14);
}

TsCommonCombo::~TsCommonCombo() {
  if (HandleAllocated()) DestroyHandle();
}

void TsCommonCombo::CreateWnd() {
  TsCustomListControl::CreateWnd();
  if (EditHandle() != nullptr) FEditHook.Hook(EditHandle());
  if (Style() == csSimple) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (GetComboBoxInfo(Handle(), &info) && info.hwndList != nullptr) FListHook.Hook(info.hwndList);
  }
}

void TsCommonCombo::DestroyWnd() {
  // Each hook lets go only of a window it holds.
  FListHook.Unhook();
  FEditHook.Unhook();
  TsCustomListControl::DestroyWnd();
}

RECT TsCommonCombo::ButtonArea() {
  const TsFrameSize size = MaskFrameSize(IsSkinned() ? GlyphMask() : -1);
  if (size.Width <= 0 || size.Height <= 0) return RECT{};
  const RECT client = ClientRect();
  const int top = (client.bottom - size.Height) / 2;
  return RECT{client.right - size.Width - top, top, client.right - top, client.bottom - top};
}

RECT TsCommonCombo::DropButtonRect() {
  const RECT area = ButtonArea();
  if (area.right > area.left) return area;
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  return GetComboBoxInfo(Handle(), &info) ? info.rcButton : RECT{};
}

void TsCommonCombo::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (DragMode() != dmAutomatic || Dragging()) break;
      // The framework's drag start is passed by: the press drags only away from the button.
      SendCancelMode(this);
      if (const RECT button = DropButtonRect(); EditHandle() == nullptr && Style() != csSimple &&
          !PtInRect(&button, POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)})) {
        if (CanFocus()) SetFocus();
        BeginDrag(false);
        return;
      }
      SetControlState(ControlState() | csLButtonDown);
      Dispatch(message);
      return;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      // The native combo alone sees the size it is given for its list.
      if (!FSizingList) break;
      DefaultHandler(message);
      return;
    default:
      break;
  }
  TsCustomListControl::WndProc(message);
}

void TsCommonCombo::AdjustDropDown() {
  const int n = std::clamp(int(SendMessageA(Handle(), CB_GETCOUNT, 0, 0)), 1, std::max(1, DropDownCount()));
  FSizingList = true;
  SetWindowPos(Handle(), nullptr, 0, 0, Width(), ItemHeight() * n + Height() + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_HIDEWINDOW);
  FSizingList = false;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
}

bool TsCommonCombo::ChildMessage(TMessage& message, HWND child, bool fromList) {
  switch (message.Msg) {
    case WM_RBUTTONUP: {
      bool menu = false;
      for (TControl* c = this; c != nullptr && !menu; c = c->Parent()) menu = c->PopupMenu() != nullptr;
      if (!menu) return false;
      POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      MapWindowPoints(child, Handle(), &p, 1);
      message.Result = Perform(WM_RBUTTONUP, message.WParam, MAKELPARAM(p.x, p.y));
      return true;
    }
    case WM_GETDLGCODE:
      if (!DroppedDown()) return false;
      message.Result = DLGC_WANTALLKEYS;
      return true;
    case CN_KEYDOWN:
    case CN_CHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSCHAR:
      message.Result = Perform(message.Msg, message.WParam, message.LParam);
      return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return fromList && DoKeyUp(message);
    case WM_CHAR:
      return fromList && DoKeyPress(message);
    default:
      return false;
  }
}

void TsCommonCombo::EditWndProc(TMessage& message) {
  if (message.Msg == WM_SYSCOMMAND) {
    message.Result = Perform(message.Msg, message.WParam, message.LParam);
    return;
  }
  if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK || message.Msg == WM_RBUTTONDOWN)
    SendCancelMode(this);
  if (ChildMessage(message, FEditHook.Window(), false)) return;
  const std::shared_ptr<bool> alive = Alive();
  FEditHook.CallDefault(message);
  if (!*alive) return;
  switch (message.Msg) {
    case WM_CHAR:
      // Enter and Escape close a dropped list; the text stays as it was.
      if ((message.WParam == VK_RETURN || message.WParam == VK_ESCAPE) && DroppedDown()) SetDroppedDown(false);
      break;
    case WM_LBUTTONDBLCLK:
      if (ControlStyle() & csDoubleClicks) DblClick();
      if (!*alive) return;
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (DragMode() == dmAutomatic && !Dragging()) {
        // The edit ends its own press here, and the drag waits for the mouse to move.
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(FEditHook.Window(), &p);
        SendMessageA(FEditHook.Window(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        BeginDrag(false);
      }
      break;
    default:
      break;
  }
}

void TsCommonCombo::ListWndProc(TMessage& message) {
  if (ChildMessage(message, FListHook.Window(), true)) return;
  const std::shared_ptr<bool> alive = Alive();
  FListHook.CallDefault(message);
  if (!*alive) return;
  if (message.Msg == WM_LBUTTONDBLCLK && (ControlStyle() & csDoubleClicks)) DblClick();
}

bool TsCommonCombo::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case CN_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
      if (item == nullptr || item->hDC == nullptr) return true;
      message.Result = 1;
      // The face is drawn with the skinned face; list items by the item painter.
      if ((item->itemState & ODS_COMBOBOXEDIT) == 0 && int(item->itemID) >= 0) DrawSkinnedItem(message);
      return true;
    }
    case CN_COMMAND:
      if (HIWORD(message.WParam) == CBN_CLOSEUP || HIWORD(message.WParam) == CBN_DROPDOWN)
        SkinData().SetRepaintNeeded(true);
      return TsCustomListControl::SkinnedMessage(message);
    default:
      return TsCustomListControl::SkinnedMessage(message);
  }
}

void TsCommonCombo::PaintSkin() {
  const RECT b = ButtonArea();
  PaintComboCache(POINT{b.left, b.top}, DroppedDown());
}

void TsCommonCombo::PaintClient(HDC dc) {
  TBitmap* cache = ShownCache();
  if (!cache) return;
  PaintAroundChildren(dc, cache);
  PaintFace(dc);
}

// ---- TsComboBoxStrings ----

int TsComboBoxStrings::Count() const {
  if (!FCombo->HandleAllocated()) return FCombo->Items().Count();
  const LRESULT n = SendMessageA(FCombo->Handle(), CB_GETCOUNT, 0, 0);
  return n < 0 ? 0 : int(n);
}

std::string TsComboBoxStrings::Strings(int index) const {
  if (!FCombo->HandleAllocated()) return index >= 0 && index < FCombo->Items().Count() ? FCombo->Items()[index] : "";
  std::string text = ComboSkin::ItemText(FCombo->Handle(), index);
  if (text.size() > 4095) text.resize(4095);
  return text;
}

int TsComboBoxStrings::Add(const std::string& text) {
  const int before = Count();
  const int index = FCombo->AddItem(text);
  if (FCombo->HandleAllocated() && Count() != before + 1) throw EOutOfResources("Unable to insert a line");
  return index;
}

void TsComboBoxStrings::Insert(int index, const std::string& text) {
  const int before = Count();
  FCombo->InsertItem(index, text);
  if (FCombo->HandleAllocated() && Count() != before + 1) throw EOutOfResources("Unable to insert a line");
}

void TsComboBoxStrings::Delete(int index) { FCombo->DeleteItem(index); }

void TsComboBoxStrings::Clear() {
  const std::string text = FCombo->Text();
  FCombo->ClearItems();
  FCombo->SetText(text);
  FCombo->Update();
}

int TsComboBoxStrings::IndexOf(const std::string& text) const {
  if (!FCombo->HandleAllocated()) return FCombo->Items().IndexOf(text);
  const LRESULT i = SendMessageA(FCombo->Handle(), CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
  return i == CB_ERR ? -1 : int(i);
}

std::intptr_t TsComboBoxStrings::Objects(int index) const {
  const LRESULT data =
      FCombo->HandleAllocated() ? SendMessageA(FCombo->Handle(), CB_GETITEMDATA, WPARAM(index), 0) : CB_ERR;
  if (data == CB_ERR) throw EStringListError("List index out of bounds");
  return std::intptr_t(data);
}

void TsComboBoxStrings::SetObjects(int index, std::intptr_t data) {
  if (FCombo->HandleAllocated()) SendMessageA(FCombo->Handle(), CB_SETITEMDATA, WPARAM(index), LPARAM(data));
}

// ---- TsCommonComboBox ----

TsCommonComboBox::TsCommonComboBox(TComponent* owner) : TsCommonCombo(owner) { SetStyle(csDropDown); }

void TsCommonComboBox::KeyPress(char& key) {
  TsCommonCombo::KeyPress(key);
  if (key == 0 || !HandleAllocated()) return;
  const HWND h = Handle();
  TAutoCompleteState state;
  state.Editable = Style() == csDropDown || Style() == csSimple;
  state.Text = Text();
  DWORD start = 0, end = 0;
  // A combo without an edit answers CB_ERR: no selection.
  if (SendMessageA(h, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)) == CB_ERR)
    start = end = 0;
  state.SelStart = int(start);
  state.SelEnd = int(end);
  state.ItemIndex = ItemIndex();
  state.Filter = FFilter;
  state.LastTick = FLastKey;
  std::vector<std::string> items;
  const int count = FStrings.Count();
  items.reserve(std::size_t(count));
  for (int i = 0; i < count; ++i) items.push_back(FStrings.Strings(i));

  const TAutoCompleteResult r = AutoCompleteKey(state, items, key, FTick ? FTick() : GetTickCount());
  FFilter = r.Filter;
  FLastKey = r.LastTick;
  if (r.Select != TAutoCompleteResult::NoChange) SetItemIndex(r.Select);
  if (r.SetText) SetText(r.Text);
  if (r.SetSelection) SendMessageA(h, CB_SETEDITSEL, 0, MAKELPARAM(r.SelStart, r.SelEnd));
  if (r.Consumed) key = 0;
  const std::shared_ptr<bool> alive = Alive();
  if (r.Clicked) {
    Click();
    if (!*alive) return;
    Select();
    if (!*alive) return;
  }
  if (r.Change) Change();
}

void TsCommonComboBox::Change() {
  if (IsSkinned() && HandleAllocated()) {
    const RECT inner{3, 3, Width() - 3, Height() - 3};
    InvalidateRect(Handle(), &inner, FALSE);
  }
  TsCommonCombo::Change();
}

int TsCommonComboBox::ButtonWidth() {
  if (IsSkinned()) {
    const RECT b = ButtonArea();
    if (b.right > b.left) return b.right - b.left;
  }
  return GetSystemMetrics(SM_CXVSCROLL);
}

void TsCommonComboBox::PaintFace(HDC dc) {
  // An edit child shows the text itself.
  if (EditHandle() != nullptr) return;
  const int section = SkinData().SkinIndex();
  if (!SectionIndexValid(section)) return;
  const TsSectionData& s = ActiveSkin().SkinSectionData[std::size_t(section)];
  const int buttonWidth = ButtonWidth();
  RECT r{3, 3, Width() - buttonWidth - 6, Height() - 3};
  if (r.right <= r.left) return;
  TCanvasDC bound(static_cast<TControlCanvas&>(*Canvas()), dc);
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Solid);
  // Focused with the list closed, the text is written plainly: on the highlight bar when the section
  // shows focus, else in the control's font colour.
  const bool focusedLook = (SkinData().FocusHot() || Focused()) && !DroppedDown();
  const bool bar = focusedLook && s.ShowFocus;
  if (bar) {
    canvas->Brush()->SetColor(clHighlight);
    canvas->Font()->SetColor(clHighlightText);
    canvas->FillRect(r);
    DrawFocusRect(dc, &r);
  }
  const int index = ItemIndex();
  if (index < 0) return;
  RECT box{r.left + 2, r.top, Width() - buttonWidth - 3, r.bottom};
  const int imageEnd = PaintFaceImage(canvas, index);
  if (imageEnd >= 0) box.left = imageEnd;
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  const std::string text = ComboSkin::ItemText(Handle(), index);
  if (focusedLook) {
    const int y = box.top + (box.bottom - box.top - canvas->TextHeight(text.empty() ? "0" : text)) / 2;
    canvas->TextRect(box, box.left, y, text);
  } else {
    DrawSkinTextByData(ActiveSkin(), canvas, text, Enabled(), box, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER,
                       &SkinData(), SkinData().IsHot());
  }
}
