#include "framework/win/TBitBtn.h"

#include "framework/win/GdiScopes.h"
#include "framework/win/TCustomForm.h"

namespace {

struct TKindInfo {
  const char* Caption;
  TModalResult Result;
  const char* Glyph;  // bitmap resource: frame 0 normal, frame 1 disabled
};

TKindInfo KindInfo(TBitBtnKind kind) {
  switch (kind) {
    case bkOK: return {"OK", mrOk, "BBOK"};
    case bkCancel: return {"Cancel", mrCancel, "BBCANCEL"};
    case bkHelp: return {"&Help", mrNone, "BBHELP"};
    case bkYes: return {"&Yes", mrYes, "BBYES"};
    case bkNo: return {"&No", mrNo, "BBNO"};
    case bkClose: return {"&Close", mrNone, "BBCLOSE"};
    case bkAbort: return {"Abort", mrAbort, "BBABORT"};
    case bkRetry: return {"&Retry", mrRetry, "BBRETRY"};
    case bkIgnore: return {"&Ignore", mrIgnore, "BBIGNORE"};
    case bkAll: return {"&All", mrAll, "BBALL"};
    default: return {"", mrNone, nullptr};
  }
}

}  // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), TGlyphButton(this) {}

void TBitBtn::CreateParams(TCreateParams& params) {
  TButton::CreateParams(params);
  params.Style = (params.Style & ~DWORD(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetKind(TBitBtnKind value) {
  if (value == FKind) return;
  FKind = value;
  if (value == bkCustom) return;
  TKindInfo info = KindInfo(value);
  SetCaption(info.Caption);
  SetModalResult(info.Result);
  if (value == bkOK || value == bkYes) SetDefault(true);
  if (value == bkCancel || value == bkNo) SetCancel(true);
  // A program built without the glyph resources shows the caption alone.
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (FindResourceA(module, info.Glyph, MAKEINTRESOURCEA(2) /* RT_BITMAP */)) {
    TBitmap glyph;
    glyph.LoadFromResourceName(module, info.Glyph);
    SetGlyph(&glyph);
    SetNumGlyphs(2);
  }
}

void TBitBtn::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_DRAWITEM:
      if (message.LParam != 0) DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam));
      message.Result = 1;
      return;
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED && FKind == bkClose) {
        if (TCustomForm* form = GetParentForm(this)) {
          TButton::Dispatch(message);
          form->Close();
          return;
        }
      }
      break;
    case WM_LBUTTONDBLCLK:
      // A double click is two presses.
      message.Msg = WM_LBUTTONDOWN;
      break;
    default:
      break;
  }
  TButton::Dispatch(message);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
  bool down = (item.itemState & ODS_SELECTED) != 0;
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  RECT r = item.rcItem;
  HDC dc = item.hDC;
  TCanvasDC bound(FCanvas, dc);
  FCanvas.SetFont(Font());
  if (PressedByReturn() || focused) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
  InflateRect(&r, -2, -2);
  TButtonState state = !Enabled() ? bsDisabled : down ? bsDown : bsUp;
  POINT offset = down ? POINT{1, 1} : POINT{0, 0};
  RECT text = DrawGlyphAndCaption(&FCanvas, r, offset, Caption(), state);
  if (focused) {
    InflateRect(&text, 2, 1);
    DrawFocusRect(dc, &text);
  }
}
