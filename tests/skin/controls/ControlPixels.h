#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class TBitmap;
class TForm;
class TsSkinManager;
class TWinControl;
class TsSkinnedControl;

// Pixels read into our own bitmaps, for exact comparisons.
using TPixels = std::vector<std::uint32_t>;

TPixels PixelsOf(TBitmap& bmp);
// What the screen shows of the control's window (from its client's corner, or its frame's);
// 0 outside its window region.
TPixels Captured(TWinControl* control, bool wholeWindow = false);
// The control's skin cache; empty without one, 0 outside the window region.
TPixels CacheOf(TsSkinnedControl* control);

// Create-and-destroy cycles of a handle census: a leak shows as one object per cycle, so a few
// hundred catch it; window creation under Wine costs milliseconds each.
constexpr int kCensusCycles = 200;

// A shown form of the application per test (so skin changes reach it), with a bundled skin when
// asked; the skin tables are emptied afterwards.
class TSkinnedFormTest : public ::testing::Test {
public:
  // Handles the messages waiting now.
  static void Pump();

protected:
  void SetUp() override;
  void TearDown() override;
  void LoadSkin(const std::string& name = "Desert");

  TForm* Form = nullptr;
  TsSkinManager* Manager = nullptr;
};
