#pragma once

#include <windows.h>

#include <string>

#include "skin/windows/core/TsHtmlLayout.h"

class TBitmap;

// Draws hint markup on a bitmap's canvas in the canvas's current font and returns the rectangle it
// took. Measuring is drawing on a scratch bitmap.
class TsHtml {
public:
  // Starts the pen at r's top-left corner. The bitmap stays the caller's.
  void Init(TBitmap* bitmap, const std::string& text, const RECT& r);
  // (0, 0, widest line, bottom of the last line); the canvas's font is left as the text ends.
  RECT Execute();

private:
  TBitmap* FBitmap = nullptr;
  std::string FText;
  RECT FOrigin{};
};
