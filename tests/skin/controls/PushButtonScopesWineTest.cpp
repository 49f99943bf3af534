#include <gtest/gtest.h>

#include "ControlPixels.h"
#include "framework/base/Exception.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "tests/framework/win/TGuiCensus.h"

// A skinned button's painting leaves no handle behind when its content raises.

namespace {

class TFailingButton : public TsButton {
public:
  using TsButton::TsButton;
  bool Fail = false;
  // Rebuilds the cache as a paint message would.
  void Build() { BuildCache(); }

protected:
  void PaintContent() override {
    if (Fail) throw Exception("content failed");
    TsButton::PaintContent();
  }
};

class PushButtonScopes : public TSkinnedFormTest {};

}  // namespace

TEST_F(PushButtonScopes, AContentThatRaisesLeavesNoWindowRegionHandle) {
  LoadSkin();
  auto* button = NewControl<TFailingButton>(Form, Form, RECT{20, 20, 160, 48});
  button->SetCaption("Fails");
  Pump();
  button->Build();
  button->Fail = true;
  const auto failingPaint = [&] { EXPECT_THROW(button->Build(), Exception); };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, failingPaint), TGuiCensus());
  // Painting as before once the content paints again: the window is cut to the border mask.
  button->Fail = false;
  button->Repaint();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(button->Handle(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, button->Width() / 2, button->Height() / 2));
  DeleteObject(region);
}
