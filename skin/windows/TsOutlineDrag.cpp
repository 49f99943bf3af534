#include "skin/windows/TsOutlineDrag.h"

#include <algorithm>
#include <optional>

#include "framework/win/TCustomForm.h"

namespace {

void DrawOutline(HDC dc, const TRect& r) {
  if (!dc) return;
  const POINT pts[5] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1},
                        {r.Left, r.Top}};
  const int old = SetROP2(dc, R2_NOT);
  Polyline(dc, pts, 5);
  SetROP2(dc, old);
}

}  // namespace

void TsOutlineDrag::Draw(HDC dc) {
  if (FModel.Active()) DrawOutline(dc, FModel.Frame());
}

void TsOutlineDrag::Start(int code, int screenX, int screenY) {
  HWND h = FForm->Handle();
  if (FModel.Active() || IsZoomed(h)) return;
  RECT w;
  GetWindowRect(h, &w);
  const TSizeConstraints& c = FForm->Constraints();
  const int minW = std::max(c.MinWidth, GetSystemMetrics(SM_CXMINTRACK));
  const int minH = std::max(c.MinHeight, GetSystemMetrics(SM_CYMINTRACK));
  if (!FModel.Start(code, TRect{w.left, w.top, w.right, w.bottom}, screenX, screenY, minW, minH)) return;
  SetCapture(h);
  FDC = GetWindowDC(GetDesktopWindow());
  FSaved = SaveDC(FDC);
  Draw(FDC);
}

void TsOutlineDrag::MoveTo(int screenX, int screenY) {
  if (!FModel.Active()) return;
  const TRect before = FModel.Frame();
  if (!FModel.MoveTo(screenX, screenY)) return;
  DrawOutline(FDC, before);  // drawn twice, the old outline is gone
  Draw(FDC);
}

void TsOutlineDrag::End(bool apply) {
  if (!FModel.Active()) return;
  Draw(FDC);  // erase
  std::optional<TRect> result;
  if (apply)
    result = FModel.Finish();
  else
    FModel.Cancel();
  if (FDC) {
    RestoreDC(FDC, FSaved);
    ReleaseDC(GetDesktopWindow(), FDC);
    FDC = nullptr;
  }
  HWND h = FForm->HandleAllocated() ? FForm->Handle() : nullptr;
  if (h && GetCapture() == h) ReleaseCapture();
  if (!h || !result) return;
  // The outline is on the screen; a child window (an MDI child) is placed in its parent's client.
  POINT origin{result->Left, result->Top};
  if (GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) ScreenToClient(GetParent(h), &origin);
  MoveWindow(h, origin.x, origin.y, result->Width(), result->Height(), TRUE);
}
