#include "framework/win/TCustomEdit.h"

#include <algorithm>

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight);
  SetTabStop(true);
  SetBounds(0, 0, 121, 21);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, "EDIT");
  params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_BORDER;
  params.ExStyle |= WS_EX_CLIENTEDGE;
  params.Style &= ~DWORD(WS_BORDER);
  if (FCharCase == ecUpperCase) params.Style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) params.Style |= ES_LOWERCASE;
  if (FReadOnly) params.Style |= ES_READONLY;
  if (FOEMConvert) params.Style |= ES_OEMCONVERT;
  if (!FHideSelection) params.Style |= ES_NOHIDESEL;
}

void TCustomEdit::CreateWnd() {
  FCreating = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  HWND h = Handle();
  SendMessageA(h, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
  if (FPasswordChar != 0) SendMessageA(h, EM_SETPASSWORDCHAR, WPARAM(uint8_t(FPasswordChar)), 0);
  SendMessageA(h, EM_SETMODIFY, FModified, 0);
}

void TCustomEdit::DestroyWnd() {
  FModified = Modified();
  TWinControl::DestroyWnd();
}

void TCustomEdit::SaveNativeState() {
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&FSavedSelStart), reinterpret_cast<LPARAM>(&FSavedSelEnd));
}

void TCustomEdit::RestoreNativeState() { SendMessageA(Handle(), EM_SETSEL, FSavedSelStart, LPARAM(FSavedSelEnd)); }

void TCustomEdit::SetMaxLength(int value) {
  if (value < 0 || value == FMaxLength) return;
  FMaxLength = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_LIMITTEXT, WPARAM(value), 0);
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == FCharCase) return;
  FCharCase = value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  if (HandleAllocated()) {
    SendMessageA(Handle(), EM_SETPASSWORDCHAR, WPARAM(uint8_t(value)), 0);
    Invalidate();
  }
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetOEMConvert(bool value) {
  if (value == FOEMConvert) return;
  FOEMConvert = value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == FHideSelection) return;
  FHideSelection = value;
  RecreateWnd();
}

bool TCustomEdit::Modified() {
  if (HandleAllocated()) return SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
  return FModified;
}

void TCustomEdit::SetModified(bool value) {
  FModified = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETMODIFY, value, 0);
}

int TCustomEdit::SelStart() {
  DWORD start = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return int(start);
}

void TCustomEdit::SetSelStart(int value) { SendMessageA(Handle(), EM_SETSEL, WPARAM(value), LPARAM(value)); }

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return int(end - start);
}

void TCustomEdit::SetSelLength(int value) {
  DWORD start = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SendMessageA(Handle(), EM_SETSEL, start, LPARAM(int(start) + value));
}

std::string TCustomEdit::SelText() {
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  std::string text = Text();
  if (start > text.size()) return "";
  return text.substr(start, std::min<size_t>(end, text.size()) - start);
}

void TCustomEdit::SetSelText(const std::string& text) {
  SendMessageA(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessageA(Handle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessageA(Handle(), WM_PASTE, 0, 0); }

void TCustomEdit::Change() {
  if (FOnChange) FOnChange(this);
}

void TCustomEdit::DoEnter() {
  // Tabbing into the edit selects its text; a click places the caret instead.
  if (FAutoSelect && (GetKeyState(VK_LBUTTON) & 0x8000) == 0) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == EN_CHANGE && !FCreating) Change();
      return;
    case CM_TEXTCHANGED:
      // Text set without a window reaches the window when it is made; with one, EN_CHANGE fires.
      if (!HandleAllocated()) Change();
      return;
    default:
      break;
  }
  TWinControl::Dispatch(message);
}
