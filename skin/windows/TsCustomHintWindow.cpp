#include "skin/windows/TsCustomHintWindow.h"

#include "framework/win/GdiScopes.h"
#include "framework/win/Messages.h"
#include "framework/win/TCanvas.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/core/PixelBlend.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/TsBitmap24.h"
#include "skin/windows/TsHintManager.h"
#include "skin/windows/TsHtml.h"
#include "skin/windows/core/TsHintComposer.h"
#include "skin/windows/core/TsHintShape.h"

namespace {

// Posted to the hint window: shows the GDI error box outside painting and showing.
constexpr UINT WM_HINTGDIERROR = WM_APP + 0x2A1;
const char* const GdiErrorText = "GDI error (out of resources)";

HDC DesktopDC() { return ::GetDC(nullptr); }
TsHintScreenDCSource ScreenDCSource = DesktopDC;
// One error box at a time, whatever its modal loop lets run.
bool ErrorBoxShowing = false;

// Lets this thread's windows repaint what a hidden hint uncovered, before the screen is copied.
// Only paints run here: no timer can show a hint inside a hint.
void RepaintUncovered() {
  MSG msg;
  ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM) -> BOOL {
        if (::IsWindowVisible(window)) ::UpdateWindow(window);
        return TRUE;
      },
      0);
}

TsRect VirtualScreen() {
  const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

void SetHintScreenDCSource(TsHintScreenDCSource source) { ScreenDCSource = source != nullptr ? source : DesktopDC; }

THintWindow* NewSimplyHintWindow(TComponent* owner) { return NewComponent<TsSimplyHintWindow>(owner); }
THintWindow* NewComicsHintWindow(TComponent* owner) { return NewComponent<TsComicsHintWindow>(owner); }
THintWindow* NewEllipseHintWindow(TComponent* owner) { return NewComponent<TsEllipseHintWindow>(owner); }
THintWindow* NewBalloonHintWindow(TComponent* owner) { return NewComponent<TsBalloonHintWindow>(owner); }

TsCustomHintWindow::TsCustomHintWindow(TComponent* owner, TsHintStyle shape) : THintWindow(owner), FShape(shape) {}

TsHintManager* TsCustomHintWindow::Manager() const {
  TsHintManager* manager = ActiveHintManager();
  if (manager == nullptr || manager->HintKind()->Style() == TsHintStyle::hsNone) return nullptr;
  return manager;
}

TsHintLook TsCustomHintWindow::ShapeLook(TsHintManager* manager) const {
  TsHintLook look = manager->HintKind()->Look();
  look.Style = FShape;
  return look;
}

void TsCustomHintWindow::CreateParams(TCreateParams& params) {
  THintWindow::CreateParams(params);
  params.Style &= ~DWORD(WS_BORDER);
  params.Style |= 0x20;
  params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
  params.WindowClass.hbrBackground = nullptr;
}

RECT TsCustomHintWindow::CalcHintRect(int maxWidth, const std::string& hint, void* data) {
  TsHintManager* manager = Manager();
  if (manager == nullptr) return THintWindow::CalcHintRect(maxWidth, hint, data);
  const TsHintLook look = ShapeLook(manager);
  TBitmap* scratch = manager->WorkBitmap();
  if (scratch->Empty()) scratch->SetSize(1, 1);
  scratch->Canvas()->SetFont(manager->HintKind()->Font());
  RECT text{0, 0, look.MaxWidth, 0};
  if (manager->HTMLMode()) {
    TsHtml html;
    html.Init(scratch, hint, text);
    text = html.Execute();
  } else {
    HDC dc = scratch->Canvas()->Handle();
    scratch->Canvas()->TextExtent("");  // selects the font
    ::DrawTextA(dc, hint.c_str(), int(hint.size()), &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_CENTER);
  }
  const TsHintSize size = CalcHintSize(look, text.right - text.left, text.bottom - text.top);
  FStoredWidth = size.Width;
  FStoredHeight = size.Height;
  FExtraWidth = size.ExtraWidth;
  FExtraHeight = size.ExtraHeight;
  return RECT{0, 0, size.Width, size.Height};
}

void TsCustomHintWindow::ActivateHintData(const RECT& r, const std::string& hint, void* data) {
  TsHintManager* manager = Manager();
  if (manager == nullptr) {
    THintWindow::ActivateHintData(r, hint, data);
    return;
  }
  if (FActivating) return;
  FActivating = true;
  // The screen is copied below: this hint must not be in it, nor what it covered unpainted.
  if (HandleAllocated() && ::IsWindowVisible(Handle())) ::ShowWindow(Handle(), SW_HIDE);
  RepaintUncovered();
  if (Application != nullptr) Application->SetHintHidePause(manager->PauseHide());
  SetCaption(hint);
  const int w = FStoredWidth > 0 && FStoredHeight > 0 ? FStoredWidth : int(r.right - r.left);
  const int h = FStoredWidth > 0 && FStoredHeight > 0 ? FStoredHeight : int(r.bottom - r.top);
  POINT cursor{r.left, r.top};
  ::GetCursorPos(&cursor);
  const TsHintPlacement place = PlaceHint(HintOrigin(FShape, {cursor.x, cursor.y}), w, h, VirtualScreen());
  const RECT bounds{place.Bounds.Left, place.Bounds.Top, place.Bounds.Right, place.Bounds.Bottom};
  FFlip = place.Flip;
  if (!CaptureScreen(manager, bounds)) {
    // No picture of the screen: no hint this time, and one report for as long as this hint fails.
    if (hint != FFailedHint) PostGdiErrorReport();
    FFailedHint = hint;
    ReleaseHandle();
    FActivating = false;
    return;
  }
  FFailedHint.clear();
  SetBounds(bounds.left, bounds.top, w, h);
  ::SetWindowPos(Handle(), HWND_TOPMOST, bounds.left, bounds.top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  TControl::SetVisible(true);
  Invalidate();
  FActivating = false;
}

bool TsCustomHintWindow::CaptureScreen(TsHintManager* manager, const RECT& bounds) {
  HDC desktop = ScreenDCSource();
  if (desktop == nullptr) return false;
  const int w = std::max(int(bounds.right - bounds.left), 1), h = std::max(int(bounds.bottom - bounds.top), 1);
  TBitmap* screen = manager->ScreenCopy();
  screen->SetPixelFormat(TPixelFormat::Bit24);
  screen->SetSize(w, h);
  ::BitBlt(screen->Canvas()->Handle(), 0, 0, w, h, desktop, bounds.left, bounds.top, SRCCOPY);
  ::ReleaseDC(nullptr, desktop);
  return true;
}

void TsCustomHintWindow::PostGdiErrorReport() {
  // Never from inside painting or showing: the box's modal loop would run them again.
  if (ErrorBoxShowing) return;
  ::PostMessageA(Handle(), WM_HINTGDIERROR, 0, 0);
}

void TsCustomHintWindow::ShowGdiErrorReport() {
  if (ErrorBoxShowing) return;
  ErrorBoxShowing = true;
  try {
    ShowErrorBox(GdiErrorText);
  } catch (...) {
    ErrorBoxShowing = false;
    throw;
  }
  ErrorBoxShowing = false;
}

void TsCustomHintWindow::Dispatch(TMessage& message) {
  if (message.Msg == WM_HINTGDIERROR) {
    ShowGdiErrorReport();
    message.Result = 0;
    return;
  }
  THintWindow::Dispatch(message);
}

bool TsCustomHintWindow::Compose() {
  TsHintManager* manager = Manager();
  if (manager == nullptr) return false;
  TBitmap* screen = manager->ScreenCopy();
  const int w = Width(), h = Height();
  if (w <= 0 || h <= 0 || screen->Width() != w || screen->Height() != h) return false;
  const TsHintLook look = ShapeLook(manager);
  TsHintKind* kind = manager->HintKind();
  TBitmap* work = manager->WorkBitmap();
  work->SetPixelFormat(TPixelFormat::Bit24);
  work->SetSize(w, h);
  const TsBitmap24View screenRows = BitmapRows(screen);
  const TsBitmap24View workRows = BitmapRows(work);
  CopyPixels(workRows, {0, 0}, screenRows, screenRows.Bounds());

  const TsHintShape shape(look, w, h, FFlip);
  const TsHintComposer composer(look, shape, TColor(ColorToRGB(look.Color)));
  composer.PaintShadow(workRows);
  TBitmap body;
  body.SetPixelFormat(TPixelFormat::Bit24);
  body.SetSize(w, h);
  const TsBitmap24View bodyRows = BitmapRows(&body);
  CopyPixels(bodyRows, {0, 0}, workRows, workRows.Bounds());
  TBitmap* texture = kind->Texture();
  composer.PaintBackground(bodyRows, screenRows, texture->Empty() ? TsBitmap24View() : BitmapRows(texture));
  const TsRect t = composer.TextRect(FExtraWidth, FExtraHeight);
  DrawText(manager, &body, RECT{t.Left, t.Top, t.Right, t.Bottom});
  TsBitmap24 mask(w, h);
  composer.PaintMask(mask.View());
  composer.PaintBorder(BitmapRows(&body), mask.View());
  TsHintComposer::LayThroughMask(workRows, BitmapRows(&body), mask.View());
  return true;
}

void TsCustomHintWindow::DrawText(TsHintManager* manager, TBitmap* body, const RECT& r) {
  TCanvas* canvas = body->Canvas();
  canvas->SetFont(manager->HintKind()->Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  const std::string text = Caption();
  if (manager->HTMLMode()) {
    TsHtml html;
    html.Init(body, text, r);
    html.Execute();
    return;
  }
  canvas->DrawText(text, r, DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
}

void TsCustomHintWindow::Paint() {
  if (Manager() == nullptr) {
    THintWindow::Paint();
    return;
  }
  if (!Compose()) return;
  TBitmap* work = ActiveHintManager()->WorkBitmap();
  ::BitBlt(Canvas()->Handle(), 0, 0, work->Width(), work->Height(), work->Canvas()->Handle(), 0, 0, SRCCOPY);
}
