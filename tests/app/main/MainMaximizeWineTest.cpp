// The main window maximized and restored in each look, with the caption button clicked as a user
// clicks it and by the system command; and the skin providers' settings of the program's windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/TfmAbout.h"
#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmMain.h"
#include "app/TfmRAWBounds.h"
#include "app/TfmView.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/win/TApplication.h"
#include "phone/TfmFlash.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsSkinProvider.h"
#include "tests/app/main/ProgramForms.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/windows/MaximizeSupport.h"

namespace fs = std::filesystem;

namespace {

TsSkinProvider* ProviderOf(TComponent* form) {
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* p = dynamic_cast<TsSkinProvider*>(form->Components(i))) return p;
  return nullptr;
}

// The program's main window started with the ini of one look: no skin, Desert or Nocturne.
class MainMaximize : public ::testing::TestWithParam<const char*> {
protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    PlaceBundledSkins({"Desert", "Nocturne"});
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(ExeDir() + "Skins", ignored);
  }
  void SetUp() override {
    const std::string look = GetParam();
    std::ofstream(IniName(), std::ios::binary)
        << "[Environment]\r\nSkined=" << (look == "none" ? "0" : "1") << "\r\nSkinName="
        << (look == "none" ? "Desert" : look) << "\r\n";
    Main = NewComponent<TfmMain>(Application);
    fmMain = Main;
    Main->Show();
    Pump();
    Provider = ProviderOf(Main);
    ASSERT_NE(Provider, nullptr);
    ASSERT_EQ(Provider->Skinned(), look != "none");
    Main->sGauge1->SetProgress(100);
    Main->sStatusBar1->SetSimpleText("Extracting done");
    SetForegroundWindow(H());
    Pump();
  }
  void TearDown() override {
    Main->Free();
    fmMain = nullptr;
    Pump();
    fs::remove(IniName());
  }
  HWND H() { return Main->Handle(); }
  RECT Window() {
    RECT r;
    GetWindowRect(H(), &r);
    return r;
  }
  // Everything a user reads lies on the screen, and what is aligned spans the client area.
  void ExpectMaximized() {
    const RECT work = WorkArea();
    const RECT w = Window();
    if (Provider->Skinned()) {
      EXPECT_TRUE(SameRect(w, work)) << w.left << "," << w.top << " " << w.right << "," << w.bottom;
      EXPECT_TRUE(CaptionButtonsInside(Main, Provider, work));
    }
    RECT c;
    GetClientRect(H(), &c);
    RECT onScreen = c;
    MapWindowPoints(H(), HWND_DESKTOP, reinterpret_cast<POINT*>(&onScreen), 2);
    EXPECT_TRUE(RectInside(onScreen, work));
    for (int i = 0; i < Main->ControlCount(); ++i) {
      const TControl* k = Main->Controls(i);
      EXPECT_TRUE(RectInside(RECT{k->Left(), k->Top(), k->Left() + k->Width(), k->Top() + k->Height()}, c))
          << "child " << k->Name() << " " << k->Left() << "," << k->Top() << " " << k->Width() << "x" << k->Height();
    }
    EXPECT_EQ(Main->sGauge1->Width(), c.right);
    EXPECT_EQ(Main->sGauge1->Top() + Main->sGauge1->Height(), c.bottom);
    EXPECT_EQ(Main->sStatusBar1->Width(), c.right);
    EXPECT_EQ(Main->sPanel1->Width(), c.right);
    RECT bar;
    GetWindowRect(Main->sStatusBar1->Handle(), &bar);
    EXPECT_EQ(bar.left, onScreen.left);
    EXPECT_EQ(bar.right, onScreen.right);
  }

  TfmMain* Main = nullptr;
  TsSkinProvider* Provider = nullptr;
};

TEST_P(MainMaximize, TheCaptionButtonAndTheSystemCommandMaximizeOnTheWorkAreaAndRestoreExactly) {
  const RECT before = Window();
  const int gaugeWidth = Main->sGauge1->Width();

  ClickAt(MaximizeButtonPoint(Main, Provider));
  ASSERT_TRUE(PumpUntil([&] { return IsZoomed(H()) != FALSE; }));
  Pump();
  ExpectMaximized();
  ClickAt(MaximizeButtonPoint(Main, Provider));
  ASSERT_TRUE(PumpUntil([&] { return IsZoomed(H()) == FALSE; }));
  Pump();
  EXPECT_TRUE(SameRect(Window(), before));
  EXPECT_EQ(Main->sGauge1->Width(), gaugeWidth);

  SendMessageA(H(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  Pump();
  ASSERT_TRUE(IsZoomed(H()));
  ExpectMaximized();
  SendMessageA(H(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  EXPECT_TRUE(SameRect(Window(), before));
  EXPECT_EQ(Main->sGauge1->Width(), gaugeWidth);
}

INSTANTIATE_TEST_SUITE_P(Looks, MainMaximize, ::testing::Values("none", "Desert", "Nocturne"),
                         [](const auto& info) { return std::string(info.param); });

// Each program window's provider, as that window sets it up: every one drags and sizes with the
// outline; the main window centres its caption and snaps at one pixel; the environment options
// centre theirs; the viewer list shows neither the skins submenu nor the icon.
TEST(ProgramWindows, SkinProviderSettings) {
  Application->Initialize();
  struct TExpected {
    TAlignment Alignment = taLeftJustify;
    bool ScreenSnap = false;
    int SnapBuffer = 10;
    bool MakeSkinMenu = true;
    bool ShowAppIcon = true;
  };
  auto check = [](TComponent* form, const TExpected& want) {
    SCOPED_TRACE(form->Name());
    TsSkinProvider* p = ProviderOf(form);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Name(), "sSkinProvider1");
    EXPECT_EQ(p->ResizeMode(), TsResizeMode::rmBorder);
    EXPECT_EQ(p->CaptionAlignment(), want.Alignment);
    EXPECT_EQ(p->ScreenSnap(), want.ScreenSnap);
    EXPECT_EQ(p->SnapBuffer(), want.SnapBuffer);
    EXPECT_EQ(p->MakeSkinMenu(), want.MakeSkinMenu);
    EXPECT_EQ(p->ShowAppIcon(), want.ShowAppIcon);
    form->Free();
  };
  // Unskinned, so that no skin folder is needed.
  std::ofstream(IniName(), std::ios::binary) << "[Environment]\r\nSkined=0\r\n";
  check(NewComponent<TfmMain>(Application), {taCenter, true, 1, true, true});
  fs::remove(IniName());
  check(NewComponent<TfmAbout>(Application), {});
  check(NewComponent<TfmAdd>(Application), {});
  check(NewComponent<TfmView>(Application), {taLeftJustify, false, 10, false, false});
  check(NewComponent<TfmDRMEditor>(Application), {});
  check(NewComponent<TfmLPEditor>(Application), {});
  check(NewComponent<TfmFlash>(Application), {});
  check(NewComponent<TfmRAWBounds>(Application), {});
  check(NewComponent<TfmFlexEditor>(Application), {});
  check(NewComponent<TfmEnvOpt>(Application), {taCenter, false, 10, true, true});
  Pump();
}

}  // namespace
