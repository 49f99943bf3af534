#include "gif/TGIFPainter.h"

#include <mmsystem.h>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/WinRect.h"
#include "gif/TGIFImage.h"
#include "gif/core/TGIFAnimation.h"

namespace {
// A bitmap of the rectangle's size with a brush of the background colour, filled with a copy of
// the target under the rectangle when asked.
std::unique_ptr<TBitmap> CopyOf(HDC target, const RECT& rect, TColor background, bool fill) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::Bit24);
  bitmap->SetSize(rect.right - rect.left, rect.bottom - rect.top);
  bitmap->Canvas()->Brush()->SetColor(background);
  if (fill)
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, target,
           rect.left, rect.top, SRCCOPY);
  return bitmap;
}
}  // namespace

TGIFPainter::TGIFPainter(TGIFImage* image, TCanvas* target, const RECT& rect, TCanvas* source,
                         const RECT& sourceRect)
    : TThread(true),
      FImage(image),
      FTarget(target),
      FRect(rect),
      FSource(source),
      FSourceRect(sourceRect),
      FEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      FBackgroundColor(BackgroundOf(*image)),
      FOnStart(image->FOnStartPaint),
      FOnLoop(image->FOnLoop),
      FOnPaint(image->FOnPaint),
      FOnAfterPaint(image->FOnAfterPaint),
      FOnEnd(image->FOnEndPaint) {
  SetFreeOnTerminate(true);
  SetOnTerminate(TNotifyEvent(this, &TGIFPainter::Ending));
  SetPriority(tpNormal);
  const TGIFDocument& document = image->Document();
  HDC dc = target->Handle();
  if (TGIFAnimation::NeedsBuffer(document)) {
    FBuffer = CopyOf(dc, rect, FBackgroundColor, true);
    FCompose = CopyOf(dc, rect, FBackgroundColor, false);
  }
  if (TGIFAnimation::NeedsBackground(document)) FBackground = CopyOf(dc, rect, FBackgroundColor, true);
}

TColor TGIFPainter::BackgroundOf(const TGIFImage& image) {
  if (image.BackgroundColor() != clNone) return image.BackgroundColor();
  const TGIFHeader& header = image.Document().Header();
  const TGIFColorMap& table = header.ColorMap();
  if (table.Count() == 0 || header.BackgroundIndex() >= table.Count()) return ColorToRGB(clWindow);
  const TGIFColor c = table.Data()[header.BackgroundIndex()];
  return RGB(c.Red, c.Green, c.Blue);
}

TGIFPainter::~TGIFPainter() {
  if (FEvent) CloseHandle(FEvent);
}

void TGIFPainter::Stop() {
  Terminate();
  if (TGIFAnimation* animation = FAnimation) animation->Terminate();
  SetEvent(FEvent);
  SetPriority(tpNormal);
  if (Suspended()) Resume();
}

bool TGIFPainter::DrawsOn(TCanvas* canvas, const RECT& rect) const {
  return canvas == FSource && EqualRect(&rect, &FSourceRect);
}

void TGIFPainter::Execute() {
  // A failure is kept and reported when the painter ends, on the window thread.
  try {
    TGIFAnimation animation(FImage->Document(), *this, *this,
                            {FRect.left, FRect.top, FRect.right, FRect.bottom}, FBuffer != nullptr);
    animation.SetOnStart([this](TGIFAnimation&) { Notify(FOnStart); });
    animation.SetOnLoop([this](TGIFAnimation&) { Notify(FOnLoop); });
    animation.SetOnBeforeFrame([this](TGIFAnimation&) { Notify(FOnPaint); });
    animation.SetOnAfterFrame([this](TGIFAnimation&) {
      Synchronize(TThreadMethod::FromFunctor([this] {
        FFirstFrameDrawn = true;
        FImage->PainterFrameDrawn(this);
        if (FOnAfterPaint) FOnAfterPaint(this);
      }));
    });
    animation.SetOnEnd([this](TGIFAnimation&) { Notify(FOnEnd); });
    FAnimation = &animation;
    if (Terminated()) animation.Terminate();
    animation.Run();
    FAnimation = nullptr;
  } catch (const std::exception& e) {
    FAnimation = nullptr;
    FFailure = e.what();
  }
}

void TGIFPainter::Notify(const TNotifyEvent& handler) {
  if (handler) Synchronize(TThreadMethod::FromFunctor([this, handler] { handler(this); }));
}

void TGIFPainter::Ending(TObject*) {
  FEnded = true;
  FImage->PainterEnded(this, FFailure);
}

unsigned TGIFPainter::Now() {
  return timeGetTime();
}

bool TGIFPainter::Wait(unsigned milliseconds) {
  if (Terminated()) return true;
  return WaitForSingleObject(FEvent, milliseconds) == WAIT_OBJECT_0;
}

void TGIFPainter::YieldTurn() {
  Sleep(0);
}

HDC TGIFPainter::SurfaceDC(TGIFSurfaceKind kind) {
  switch (kind) {
    case TGIFSurfaceKind::Buffer:
      return FBuffer ? FBuffer->Canvas()->Handle() : nullptr;
    case TGIFSurfaceKind::Compose:
      return FCompose ? FCompose->Canvas()->Handle() : nullptr;
    case TGIFSurfaceKind::Background:
      return FBackground ? FBackground->Canvas()->Handle() : nullptr;
    case TGIFSurfaceKind::Target:
      break;
  }
  return FTarget->Handle();
}

void TGIFPainter::DrawFrame(TGIFSurfaceKind surface, int frame, const TRect& place) {
  Synchronize(
      TThreadMethod::FromFunctor([&] { FImage->DrawFrame(SurfaceDC(surface), frame, ToRECT(place)); }));
}

void TGIFPainter::Copy(TGIFSurfaceKind from, const TRect& source, TGIFSurfaceKind to, const TRect& target) {
  Synchronize(TThreadMethod::FromFunctor([&] {
    HDC src = SurfaceDC(from), dst = SurfaceDC(to);
    if (!src || !dst) return;
    SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, target.Left, target.Top, target.Width(), target.Height(), src, source.Left, source.Top,
               source.Width(), source.Height(), SRCCOPY);
  }));
}
