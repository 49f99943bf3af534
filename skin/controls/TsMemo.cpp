#include "skin/controls/TsMemo.h"

#include <richedit.h>

#include "skin/engine/SkinMessage.h"
#include "skin/engine/core/SkinCommand.h"
#include "skin/engine/core/SkinTables.h"

TColor EditSkin::SectionColor(const TsCommonData& skin, bool hot) {
  const int section = skin.SkinIndex();
  if (!SectionIndexValid(section)) return clWindow;
  const TsSectionData& s = SkinSectionData[static_cast<std::size_t>(section)];
  return hot ? s.HotColor : s.Color;
}

TsMemo::TsMemo(TComponent* owner) : TsSkinnedMemo(owner) { FClientBrush.SetColor(clNone); }

void TsMemo::WndProc(TMessage& message) {
  TsSkinnedMemo::WndProc(message);
  if (message.Msg == WM_VSCROLL && FOnVScroll) FOnVScroll(this);
  if (message.Msg == EM_SETSEL && FOnScrollCaret) FOnScrollCaret(this);
}

bool TsMemo::SkinnedMessage(TMessage& message) {
  // The client area's colour comes with the colour messages of the native edit.
  if ((message.Msg == CN_CTLCOLOREDIT || message.Msg == CN_CTLCOLORSTATIC) && !SkinData().CustomColor()) {
    ApplyClientColor(ClientColor());
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(FClientBrush.Color()));
    message.Result = reinterpret_cast<LRESULT>(FClientBrush.Handle());
    return true;
  }
  return TsSkinnedMemo::SkinnedMessage(message);
}

void TsMemo::ApplyClientColor(TColor color) {
  if (color != FClientBrush.Color()) FClientBrush.SetColor(color);
}

TsRichEdit::TsRichEdit(TComponent* owner) : TsSkinnedMemo(owner) {}

bool TsRichEdit::SkinnedMessage(TMessage& message) {
  // No cache is offered to children.
  if (message.Msg == RE_ROVADUZI && SkinCommandOf(message.WParam) == SkinCommand::GetCache) return true;
  return TsSkinnedMemo::SkinnedMessage(message);
}

void TsRichEdit::ApplyClientColor(TColor color) {
  // The rich edit keeps its own background colour; a new window starts with the system's again.
  if (FColoredWindow == Handle() && FColor == color) return;
  FColoredWindow = Handle();
  FColor = color;
  SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, ColorToRGB(color));
}
