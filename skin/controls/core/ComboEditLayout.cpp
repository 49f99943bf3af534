#include "skin/controls/core/ComboEditLayout.h"

#include <algorithm>

namespace ComboEditLayout {

TsPoint PopupPosition(const TPopupPlace& p) {
  const int editWidth = int(RectWidth(p.Edit));
  const int editHeight = int(RectHeight(p.Edit));
  const int screenRight = p.Screen.Left + int(RectWidth(p.Screen));
  const int screenBottom = p.Screen.Top + int(RectHeight(p.Screen));
  int y = p.Edit.Top + editHeight;
  if (y + p.PopupHeight > screenBottom) y = p.Edit.Top - p.PopupHeight;
  int x;
  if (p.Align == TPopupAlign::RightEdges) {
    x = p.Edit.Left + editWidth - p.PopupWidth;
    if (x < p.Screen.Left) x = p.Edit.Left;
  } else {
    x = p.Edit.Left;
    if (x + p.PopupWidth > screenRight) x = p.Edit.Left + editWidth - p.PopupWidth;
  }
  x = std::max(std::min(x, screenRight - p.PopupWidth), p.Screen.Left);
  return TsPoint{x, y};
}

int GlyphFrame(bool pressed, bool mouseOver) { return pressed ? 2 : mouseOver ? 1 : 0; }

TGlyphCut CutGlyphFrame(int frame, int w, int h, int buttonWidth, int buttonHeight) {
  TGlyphCut cut;
  cut.Source = TsRect{frame * w, 0, (frame + 1) * w, h};
  cut.At = TsPoint{(buttonWidth - w) / 2, (buttonHeight - h) / 2};
  return cut;
}

int BlendLevel(int blend) {
  const int b = std::clamp(blend, 0, 100);
  return std::min((b * 256 + 50) / 100, 255);
}

}  // namespace ComboEditLayout
