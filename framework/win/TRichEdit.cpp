#include "framework/win/TRichEdit.h"

#include <richedit.h>

namespace {

// The rich edit classes exist once their library is loaded; it stays loaded for the process.
void LoadRichEditLibrary() {
  static HMODULE library = LoadLibraryA("riched20.dll");
  if (library == nullptr) throw EOutOfResources("Cannot load the rich edit library");
}

}  // namespace

TRichEdit::TRichEdit(TComponent* owner) : TMemo(owner) {}

void TRichEdit::CreateParams(TCreateParams& params) {
  LoadRichEditLibrary();
  TMemo::CreateParams(params);
  CreateSubClass(params, RICHEDIT_CLASSA);
  params.WinClassName = "TRichEdit";
  if (!FHideScrollBars) params.Style |= ES_DISABLENOSCROLL;
}

void TRichEdit::SetHideScrollBars(bool value) {
  if (value == FHideScrollBars) return;
  FHideScrollBars = value;
  RecreateWnd();
}

void TRichEdit::CreateWnd() {
  std::string text = FText;
  TMemo::CreateWnd();
  // The rich edit ignores the text given when its window is made.
  if (!text.empty() && Text() != text) SetWindowTextA(Handle(), text.c_str());
  // EN_CHANGE comes only when asked for.
  SendMessageA(Handle(), EM_SETEVENTMASK, 0, ENM_CHANGE);
  if (MaxLength() == 0) SendMessageA(Handle(), EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
}

void TRichEdit::Dispatch(TMessage& message) {
  // The rich edit paints only with its own BeginPaint: a device context handed to it is ignored.
  if (message.Msg == WM_PAINT) {
    DefaultHandler(message);
    return;
  }
  TMemo::Dispatch(message);
}
