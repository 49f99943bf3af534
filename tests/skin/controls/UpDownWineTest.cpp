#include <gtest/gtest.h>

#include <windows.h>

#include "ControlPixels.h"

#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsUpDown.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

class UpDown : public TSkinnedFormTest {
protected:
  // The screen over the control's upper (or lower) half.
  static std::vector<COLORREF> Half(TWinControl* c, bool upper) {
    std::vector<COLORREF> pixels;
    const TWindowDC dc(c->Handle(), TWindowDC::Client);
    const int h = c->Height() / 2, top = upper ? 0 : c->Height() - h;
    for (int y = top; y < top + h; ++y)
      for (int x = 0; x < c->Width(); ++x) pixels.push_back(GetPixel(dc.Handle(), x, y));
    return pixels;
  }
  // A hit test at a point of the control, in screen coordinates as the platform sends it.
  static void HitAt(TWinControl* c, int x, int y) {
    POINT p{x, y};
    ClientToScreen(c->Handle(), &p);
    SendMessageA(c->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  }
};

TEST_F(UpDown, WithoutASkinItIsTheStandardUpDown) {
  auto* standard = NewControl<TUpDown>(Form, Form, RECT{10, 10, 27, 50});
  standard->SetPosition(100);
  Pump();
  const auto upper = Half(standard, true), lower = Half(standard, false);
  standard->Free();
  auto* skinned = NewControl<TsUpDown>(Form, Form, RECT{10, 10, 27, 50});
  skinned->SetPosition(100);
  Pump();
  EXPECT_EQ(Half(skinned, true), upper);
  EXPECT_EQ(Half(skinned, false), lower);

  // Skinned, then the skin released: the standard look again, the arrows' model still followed.
  LoadSkin();
  Pump();
  EXPECT_NE(Half(skinned, true), upper);
  Manager->SetActive(false);
  Pump();
  EXPECT_EQ(Half(skinned, true), upper);
  EXPECT_EQ(Half(skinned, false), lower);
  HitAt(skinned, 5, 35);
  EXPECT_EQ(skinned->ArrowState(), 2);
}

TEST_F(UpDown, SkinnedAnArrowAtItsBoundLooksDisabledAndDoesNotLight) {
  LoadSkin();
  auto* updown = NewControl<TsUpDown>(Form, Form, RECT{10, 10, 27, 50});
  updown->SetPosition(50);
  Pump();
  const auto upperFree = Half(updown, true);
  updown->SetPosition(100);
  Pump();
  const auto upperAtMax = Half(updown, true);
  EXPECT_NE(upperAtMax, upperFree);
  updown->SetShowInaccessibility(false);
  Pump();
  EXPECT_EQ(Half(updown, true), upperFree);

  updown->SetShowInaccessibility(true);
  HitAt(updown, 5, 3);  // over the up arrow, at its bound
  EXPECT_EQ(updown->ArrowState(), 0);
  HitAt(updown, 5, 35);  // over the down arrow
  EXPECT_EQ(updown->ArrowState(), 2);
  Pump();
  const auto lowerHot = Half(updown, false);
  updown->Perform(CM_MOUSELEAVE);
  Pump();
  EXPECT_EQ(updown->ArrowState(), 0);
  EXPECT_NE(Half(updown, false), lowerHot);

  // A double click on the frame presses as a double click inside does.
  HitAt(updown, 5, 35);
  SendMessageA(updown->Handle(), WM_NCLBUTTONDBLCLK, HTBORDER, 0);
  EXPECT_EQ(updown->ArrowState(), 4);
}

}  // namespace
