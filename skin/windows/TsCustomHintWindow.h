#pragma once

#include <windows.h>

#include <string>

#include "framework/win/THintWindow.h"
#include "skin/windows/core/TsHintLook.h"

class TsHintManager;

// A painted hint window in the active manager's look: the screen under it captured when it is shown,
// then composed with shadow, body, text and border on every paint from that capture, so repainting
// never darkens it further. Without an active manager it behaves as the framework's hint window.
class TsCustomHintWindow : public THintWindow {
public:
  TsCustomHintWindow(TComponent* owner, TsHintStyle shape);

  void ActivateHintData(const RECT& r, const std::string& hint, void* data) override;
  RECT CalcHintRect(int maxWidth, const std::string& hint, void* data) override;

  TsHintStyle Shape() const { return FShape; }
  // Below-right 0, above-right 1, below-left 2, above-left 3.
  int Flip() const { return FFlip; }
  // Builds the hint's picture in the manager's work bitmap from the capture; false when there is no
  // active manager or no capture of this hint's size.
  bool Compose();

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void Dispatch(TMessage& message) override;

private:
  TsHintManager* Manager() const;
  TsHintLook ShapeLook(TsHintManager* manager) const;
  // Screen copy under bounds into the manager's capture; false without a desktop DC.
  bool CaptureScreen(TsHintManager* manager, const RECT& bounds);
  void PostGdiErrorReport();
  void ShowGdiErrorReport();
  void DrawText(TsHintManager* manager, TBitmap* body, const RECT& r);

  TsHintStyle FShape;
  int FStoredWidth = 0;
  int FStoredHeight = 0;
  int FExtraWidth = 0;
  int FExtraHeight = 0;
  int FFlip = 0;
  bool FActivating = false;
  // The hint whose showing failed last: reported once.
  std::string FFailedHint;
};

class TsSimplyHintWindow : public TsCustomHintWindow {
public:
  explicit TsSimplyHintWindow(TComponent* owner) : TsCustomHintWindow(owner, TsHintStyle::hsSimply) {}
};
class TsComicsHintWindow : public TsCustomHintWindow {
public:
  explicit TsComicsHintWindow(TComponent* owner) : TsCustomHintWindow(owner, TsHintStyle::hsComics) {}
};
class TsEllipseHintWindow : public TsCustomHintWindow {
public:
  explicit TsEllipseHintWindow(TComponent* owner) : TsCustomHintWindow(owner, TsHintStyle::hsEllipse) {}
};
class TsBalloonHintWindow : public TsCustomHintWindow {
public:
  explicit TsBalloonHintWindow(TComponent* owner) : TsCustomHintWindow(owner, TsHintStyle::hsBalloon) {}
};

THintWindow* NewSimplyHintWindow(TComponent* owner);
THintWindow* NewComicsHintWindow(TComponent* owner);
THintWindow* NewEllipseHintWindow(TComponent* owner);
THintWindow* NewBalloonHintWindow(TComponent* owner);

// Where the hints take the desktop's device context from (released with ReleaseDC on the desktop);
// replaceable so that a failing one can be tried. nullptr restores GetDC of the desktop.
using TsHintScreenDCSource = HDC (*)();
void SetHintScreenDCSource(TsHintScreenDCSource source);
