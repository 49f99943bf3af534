#include "skin/controls/TsMemo.h"

#include <richedit.h>

#include "skin/engine/SkinMessage.h"
#include "skin/engine/core/SkinCommand.h"
#include "skin/engine/core/SkinTables.h"

TsMemo::TsMemo(TComponent* owner) : TsSkinnedMemo(owner) {}

void TsMemo::WndProc(TMessage& message) {
  TsSkinnedMemo::WndProc(message);
  if (message.Msg == WM_VSCROLL && FOnVScroll) FOnVScroll(this);
  if (message.Msg == EM_SETSEL && FOnScrollCaret) FOnScrollCaret(this);
}

TsRichEdit::TsRichEdit(TComponent* owner) : TsSkinnedMemo(owner) {}

bool TsRichEdit::SkinnedMessage(TMessage& message) {
  // No cache is offered to children.
  if (message.Msg == RE_ROVADUZI && SkinCommandOf(message.WParam) == SkinCommand::GetCache) return true;
  return TsSkinnedMemo::SkinnedMessage(message);
}

void TsRichEdit::DestroyWnd() {
  FColoredWindow = nullptr;
  TsSkinnedMemo::DestroyWnd();
}

void TsRichEdit::ApplyClientColors() {
  // The rich edit keeps its own colours until its window goes; a new one has the system's again.
  const TColor color = ClientColor(), fontColor = ClientFontColor();
  if (FColoredWindow && FColor == color && FFontColor == fontColor) return;
  FColoredWindow = Handle();
  FColor = color;
  FFontColor = fontColor;
  SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, ColorToRGB(color));
  CHARFORMAT2A format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  format.crTextColor = ColorToRGB(fontColor);
  SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}
