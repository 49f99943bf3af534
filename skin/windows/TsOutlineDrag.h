#pragma once

#include <windows.h>

#include "skin/windows/core/TsFrameDrag.h"

class TCustomForm;

// The outline drag of a skinned form on the screen: the mouse is captured, the outline drawn on the
// desktop while it follows the mouse, and the form moved or sized once at the end.
class TsOutlineDrag {
public:
  explicit TsOutlineDrag(TCustomForm* form) : FForm(form) {}
  TsOutlineDrag(const TsOutlineDrag&) = delete;
  TsOutlineDrag& operator=(const TsOutlineDrag&) = delete;

  bool Active() const { return FModel.Active(); }
  // Starts with a press of hit code `code` at the screen point; a maximized form starts nothing.
  void Start(int code, int screenX, int screenY);
  void MoveTo(int screenX, int screenY);
  // Ends the drag; with apply the form takes the outline's place.
  void End(bool apply);
  // The outline of the running drag, drawn (or erased: R2_NOT) on dc.
  void Draw(HDC dc);

private:
  TCustomForm* FForm;
  TsFrameDragModel FModel;
  HDC FDC = nullptr;
  int FSaved = 0;
};
