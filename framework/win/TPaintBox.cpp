#include "framework/win/TPaintBox.h"

#include "framework/win/TCanvas.h"

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
  Canvas()->SetFont(Font());
  Canvas()->Brush()->SetColor(Color());
  if (FOnPaint) FOnPaint(this);
}
