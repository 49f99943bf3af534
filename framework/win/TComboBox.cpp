#include "framework/win/TComboBox.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TCustomForm.h"

TComboBox::TComboBox(TComponent* owner)
    : TWinControl(owner), FEditHook(TWndMethod(this, &TComboBox::EditWndProc), this), FCanvas(this) {
  SetControlStyle(csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight);
  SetTabStop(true);
  SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() = default;

void TComboBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, "COMBOBOX");
  params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
  switch (FStyle) {
    case csDropDown: params.Style |= CBS_DROPDOWN; break;
    case csSimple: params.Style |= CBS_SIMPLE; break;
    case csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; break;
    case csOwnerDrawVariable: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS; break;
  }
  if (FItems.Sorted()) params.Style |= CBS_SORT;
  // The drop-down list takes its height from the window height.
  if (FStyle != csSimple) params.Height = FItemHeight * (FDropDownCount + 2);
}

void TComboBox::CreateWnd() {
  std::string text = FText;
  TWinControl::CreateWnd();
  HWND h = Handle();
  for (int i = 0; i < FItems.Count(); ++i)
    SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FItems[i].c_str()));
  SendMessageA(h, CB_LIMITTEXT, WPARAM(FMaxLength), 0);
  if (FStyle == csOwnerDrawFixed) SendMessageA(h, CB_SETITEMHEIGHT, 0, FItemHeight);
  if (FItemIndex >= 0) SendMessageA(h, CB_SETCURSEL, WPARAM(FItemIndex), 0);
  else if (FStyle == csDropDown || FStyle == csSimple) SetWindowTextA(h, text.c_str());
  // Keys typed into the edit child reach the combo box's key events.
  if (FStyle == csDropDown || FStyle == csSimple) FEditHook.Hook(FindWindowExA(h, nullptr, "Edit", nullptr));
}

void TComboBox::DestroyWnd() {
  FItemIndex = ItemIndex();
  FEditHook.Unhook();
  TWinControl::DestroyWnd();
}

void TComboBox::EditWndProc(TMessage& message) {
  // The key handlers may change the key that the edit then gets.
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (DoKeyDown(message)) return;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(message)) return;
      break;
    case WM_CHAR:
      if (DoKeyPress(message)) return;
      // The dialog keys were handled on key down; the edit would beep at them.
      if ((message.WParam == VK_RETURN || message.WParam == VK_ESCAPE) && !DroppedDown()) return;
      break;
    default:
      break;
  }
  FEditHook.CallDefault(message);
}

bool TComboBox::DialogKey(WORD key, LPARAM keyData) {
  if ((key == VK_RETURN || key == VK_ESCAPE) && DroppedDown()) return false;
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
  TCustomForm* form = GetParentForm(this);
  return form != nullptr && form->Perform(CM_DIALOGKEY, key, keyData) != 0;
}

void TComboBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      // A simple combo's list keeps whole items: the strip below it is the control's colour.
      if (FStyle == csSimple && message.WParam != 0) {
        RECT r;
        GetClientRect(Handle(), &r);
        ::FillRect(reinterpret_cast<HDC>(message.WParam), &r, Brush()->Handle());
        message.Result = 1;
        return;
      }
      break;
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      // With an edit child the key events run in the edit's subclass; here only the menu
      // shortcuts and the dialog keys.
      if (EditHandle() != nullptr) {
        const bool used =
            message.Msg == CN_KEYDOWN && (IsMenuKey(message) || DialogKey(WORD(message.WParam), message.LParam));
        message.Result = used ? 1 : 0;
        return;
      }
      break;
    case CN_COMMAND:
      switch (HIWORD(message.WParam)) {
        case CBN_SELCHANGE:
          FItemIndex = int(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
          Select();
          break;
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN:
          DropDownNotified();
          break;
        case CBN_SETFOCUS:
        case CBN_KILLFOCUS:
          FFocusChanged = true;
          // The focus may be in the edit child, which the form does not see.
          if (TCustomForm* form = GetParentForm(this); form != nullptr && HIWORD(message.WParam) == CBN_SETFOCUS)
            form->SetFocusedControl(this);
          break;
        case CBN_CLOSEUP:
          if (FOnCloseUp) FOnCloseUp(this);
          break;
        default: break;
      }
      return;
    case CM_CANCELMODE:
      // A press on another control closes the list.
      if (reinterpret_cast<TControl*>(message.LParam) != this && DroppedDown()) SetDroppedDown(false);
      return;
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
      if (dis == nullptr) return;
      TOwnerDrawState state = 0;
      if (dis->itemState & ODS_SELECTED) state |= odSelected;
      if (dis->itemState & ODS_FOCUS) state |= odFocused;
      if (dis->itemState & ODS_DISABLED) state |= odDisabled;
      if (dis->itemState & ODS_COMBOBOXEDIT) state |= odComboBoxEdit;
      TCanvasDC bound(FCanvas, dis->hDC);
      FCanvas.SetFont(Font());
      FCanvas.Brush()->SetColor((state & odSelected) ? clHighlight : Color());
      FCanvas.Font()->SetColor((state & odSelected) ? clHighlightText : Font()->Color());
      if (int(dis->itemID) >= 0) DrawItem(int(dis->itemID), dis->rcItem, state);
      else FCanvas.FillRect(dis->rcItem);
      if (state & odFocused) DrawFocusRect(dis->hDC, &dis->rcItem);
      message.Result = 1;
      return;
    }
    case CN_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
      if (mis == nullptr) return;
      int height = FItemHeight;
      if (FStyle == csOwnerDrawVariable && FOnMeasureItem && int(mis->itemID) >= 0)
        FOnMeasureItem(this, int(mis->itemID), height);
      mis->itemHeight = UINT(height > 0 ? height : 1);
      message.Result = 1;
      return;
    }
    default:
      break;
  }
  TWinControl::Dispatch(message);
}

// The list is about to show. A handler that moved the focus meanwhile leaves the native combo
// dropping a list that nothing would close: it is cancelled once the drop-down is done.
void TComboBox::DropDownNotified() {
  FFocusChanged = false;
  DropDown();
  if (!HandleAllocated()) return;
  AdjustDropDown();
  if (!FFocusChanged) return;
  const HWND h = Handle();
  PostMessageA(h, WM_CANCELMODE, 0, 0);
  const HWND focus = GetFocus();
  if (focus != h && !IsChild(h, focus)) PostMessageA(h, CB_SHOWDROPDOWN, FALSE, 0);
}

void TComboBox::DropDown() {
  if (FOnDropDown) FOnDropDown(this);
}

void TComboBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
  if (FOnDrawItem) {
    FOnDrawItem(this, index, rect, state);
    return;
  }
  FCanvas.FillRect(rect);
  if (index < FItems.Count()) FCanvas.TextOut(rect.left + 2, rect.top, FItems[index]);
}

void TComboBox::Change() {
  if (FOnChange) FOnChange(this);
}

void TComboBox::Select() {
  if (FOnSelect) FOnSelect(this);
  else Change();
}

void TComboBox::SetStyle(TComboBoxStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  RecreateWnd();
}

void TComboBox::SetItems(const TStringList& items) {
  FItems.Clear();
  for (int i = 0; i < items.Count(); ++i) FItems.Add(items[i]);
  if (HandleAllocated()) {
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < FItems.Count(); ++i)
      SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FItems[i].c_str()));
  }
  FItemIndex = -1;
}

int TComboBox::AddItem(const std::string& item) {
  int index = FItems.Add(item);
  if (HandleAllocated()) SendMessageA(Handle(), CB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(item.c_str()));
  return index;
}

int TComboBox::InsertItem(int index, const std::string& item) {
  if (FItems.Sorted()) return AddItem(item);
  index = std::clamp(index, 0, FItems.Count());
  FItems.Insert(index, item);
  if (HandleAllocated()) SendMessageA(Handle(), CB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(item.c_str()));
  if (FItemIndex >= index) ++FItemIndex;
  return index;
}

void TComboBox::DeleteItem(int index) {
  if (index < 0 || index >= FItems.Count()) return;
  FItems.Delete(index);
  if (HandleAllocated()) SendMessageA(Handle(), CB_DELETESTRING, WPARAM(index), 0);
  if (FItemIndex == index) FItemIndex = -1;
  else if (FItemIndex > index) --FItemIndex;
}

void TComboBox::ClearItems() {
  FItems.Clear();
  FItemIndex = -1;
  if (HandleAllocated()) SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
}

int TComboBox::ItemIndex() {
  if (HandleAllocated()) return int(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
  return FItemIndex;
}

void TComboBox::SetItemIndex(int value) {
  if (value < -1 || value >= FItems.Count()) value = -1;
  FItemIndex = value;
  if (HandleAllocated() && ItemIndex() != value) SendMessageA(Handle(), CB_SETCURSEL, WPARAM(value), 0);
}

void TComboBox::SetDropDownCount(int value) {
  if (value < 1 || value == FDropDownCount) return;
  FDropDownCount = value;
  RecreateWnd();
}

void TComboBox::SetItemHeight(int value) {
  if (value < 1 || value == FItemHeight) return;
  FItemHeight = value;
  RecreateWnd();
}

void TComboBox::SetMaxLength(int value) {
  if (value < 0 || value == FMaxLength) return;
  FMaxLength = value;
  if (HandleAllocated()) SendMessageA(Handle(), CB_LIMITTEXT, WPARAM(value), 0);
}

void TComboBox::SetSorted(bool value) {
  if (value == FItems.Sorted()) return;
  FItems.SetSorted(value);
  RecreateWnd();
}

bool TComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::SetDroppedDown(bool value) {
  SendMessageA(Handle(), CB_SHOWDROPDOWN, value, 0);
}

void TComboBox::SelectAll() {
  if (HandleAllocated()) SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
}
