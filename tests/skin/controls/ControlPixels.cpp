#include "ControlPixels.h"

#include <windows.h>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

TPixels PixelsOf(TBitmap& bmp) {
  TPixels pixels;
  for (int y = 0; y < bmp.Height(); ++y) {
    const std::uint8_t* row = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x)
      pixels.push_back(row[3 * x] | (row[3 * x + 1] << 8) | (std::uint32_t(row[3 * x + 2]) << 16));
  }
  return pixels;
}

namespace {

// Pixels outside the window's region show what lies below it: they read as 0.
TPixels InRegion(TWinControl* control, TPixels pixels) {
  if (!control || !control->HandleAllocated()) return pixels;
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(control->Handle(), rgn) != ERROR) {
    const int w = control->Width();
    for (std::size_t i = 0; i < pixels.size(); ++i)
      if (!PtInRegion(rgn, int(i % std::size_t(w)), int(i / std::size_t(w)))) pixels[i] = 0;
  }
  DeleteObject(rgn);
  return pixels;
}

}  // namespace

TPixels Captured(TWinControl* control, bool wholeWindow) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(control->Width(), control->Height());
  const TWindowDC dc(control->Handle(), wholeWindow ? TWindowDC::Whole : TWindowDC::Client);
  BitBlt(bmp.Canvas()->Handle(), 0, 0, control->Width(), control->Height(), dc.Handle(), 0, 0, SRCCOPY);
  return InRegion(control, PixelsOf(bmp));
}

TPixels CacheOf(TsSkinnedControl* control) {
  TBitmap* cache = control->SkinData().CacheBitmap();
  return cache ? InRegion(dynamic_cast<TWinControl*>(control), PixelsOf(*cache)) : TPixels{};
}

void TSkinnedFormTest::SetUp() {
  Application->Initialize();
  Form = NewComponent<TForm>(Application);
  Form->SetBounds(40, 40, 420, 260);
  Form->Show();
  Pump();
}

void TSkinnedFormTest::TearDown() {
  Form->Free();
  InstallSkinTables({});
  SkinData().Active = false;
  Pump();
}

void TSkinnedFormTest::LoadSkin(const std::string& name) {
  Manager = NewComponent<TsSkinManager>(Form);
  Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
  Manager->SetSkinName(name);
  ASSERT_GE(FindSectionIndex("BUTTON"), 0);
}

void TSkinnedFormTest::Pump() { Application->ProcessMessages(); }
