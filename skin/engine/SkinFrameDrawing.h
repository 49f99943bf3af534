#pragma once

#include <windows.h>

#include "framework/win/TCanvas.h"

// `count` nested one-pixel frames: top and left lines in color1, bottom and right in color2. r and
// count come back shrunk by count and 0.
void DrawBevelFrame(HDC dc, RECT& r, TColor color1, TColor color2, int& count);

// Black grip dots every third pixel along r's four sides, each with a white one up and to the left.
void DrawGripDots(TCanvas* canvas, const RECT& r);

// A check mark filling r; disabled: a light copy one pixel down-right under a shadow one.
void DrawCheckMark(TCanvas* canvas, const RECT& r, TColor color, bool enabled);
