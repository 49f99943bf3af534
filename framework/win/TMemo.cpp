#include "framework/win/TMemo.h"

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {
  SetControlStyle(ControlStyle() & ~csFixedHeight);
  SetBounds(0, 0, 185, 89);
  SetAutoSelect(false);
}

void TMemo::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style |= ES_MULTILINE;
  params.Style &= ~DWORD(ES_AUTOHSCROLL);
  if (!FWordWrap) params.Style |= ES_AUTOHSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) params.Style |= WS_VSCROLL;
  // Word wrap has no use for a horizontal scroll bar.
  if ((FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap) params.Style |= WS_HSCROLL;
  if (FAlignment == taRightJustify) params.Style |= ES_RIGHT;
  if (FAlignment == taCenter) params.Style |= ES_CENTER;
}

TStringList TMemo::Lines() {
  TStringList lines;
  lines.SetText(Text());
  return lines;
}

void TMemo::SetLines(const TStringList& lines) {
  std::string text;
  for (int i = 0; i < lines.Count(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  SetText(text);
}

int TMemo::LineCount() { return Lines().Count(); }

std::string TMemo::Line(int index) { return Lines().Strings(index); }

void TMemo::AddLine(const std::string& line) {
  TStringList lines = Lines();
  lines.Add(line);
  SetLines(lines);
}

void TMemo::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  RecreateWnd();
}

void TMemo::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  RecreateWnd();
}

void TMemo::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  RecreateWnd();
}

void TMemo::Dispatch(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(message);
    if (!FWantTabs) message.Result &= ~LRESULT(DLGC_WANTTAB);
    if (!FWantReturns) message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
    return;
  }
  TCustomEdit::Dispatch(message);
}
