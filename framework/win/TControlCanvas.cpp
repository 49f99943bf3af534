#include "framework/win/TControlCanvas.h"

#include <algorithm>
#include <vector>

#include "framework/win/TWinControl.h"

namespace {

std::vector<TControlCanvas*>& CanvasesHoldingDc() {
  static std::vector<TControlCanvas*> list;
  return list;
}

}  // namespace

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
  if (FControl == nullptr) return;
  auto* window = dynamic_cast<TWinControl*>(FControl);
  POINT offset{0, 0};
  if (window == nullptr) {
    window = FControl->Parent();
    offset = POINT{FControl->Left(), FControl->Top()};
  }
  if (window == nullptr) return;
  FWindow = window->Handle();
  FDc = GetDCEx(FWindow, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (FDc == nullptr) return;
  if (window != FControl) {
    SetViewportOrgEx(FDc, offset.x, offset.y, nullptr);
    IntersectClipRect(FDc, 0, 0, FControl->Width(), FControl->Height());
  }
  CanvasesHoldingDc().push_back(this);
  SetHandle(FDc);
}

void TControlCanvas::FreeHandle() {
  if (FDc == nullptr) return;
  SetHandle(nullptr);
  ReleaseDC(FWindow, FDc);
  FDc = nullptr;
  FWindow = nullptr;
  auto& list = CanvasesHoldingDc();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::FreeDeviceContexts() {
  auto& list = CanvasesHoldingDc();
  while (!list.empty()) list.back()->FreeHandle();
}
