#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomControl.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TGraphicControl.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/framework/win/TGuiCensus.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255), Mark = RGB(1, 2, 3);

// A skinned button that counts its loading and cache builds, and marks its text pixel.
class TProbeButton : public TsSkinned<TCustomControl> {
public:
  explicit TProbeButton(TComponent* owner) : TsSkinned(TsControlKind::Button, TsCacheBitmap::Own, owner) {}
  void Loaded() override {
    ++LoadedCount;
    TsSkinned::Loaded();
  }
  int LoadedCount = 0;
  int Builds = 0;

protected:
  void PaintSkin() override {
    ++Builds;
    TsSkinned::PaintSkin();
  }
  void PaintText() override { SetPixel(SkinData().CacheBitmap()->Canvas()->Handle(), 1, 1, Mark); }
};

class TProbePanel : public TsSkinned<TCustomControl> {
public:
  explicit TProbePanel(TComponent* owner) : TsSkinned(TsControlKind::Panel, TsCacheBitmap::Own, owner) {}
};

class TProbeSpeedButton : public TsSkinned<TGraphicControl> {
public:
  explicit TProbeSpeedButton(TComponent* owner)
      : TsSkinned(TsControlKind::SpeedButton, TsCacheBitmap::None, owner) {}
};

// A skinned control whose WM_PAINT paints nothing but its client from the skin, logging each painting.
class TWholePainter : public TsSkinned<TCustomControl> {
public:
  TWholePainter(TComponent* owner, TsControlKind kind, std::vector<TControl*>& log)
      : TsSkinned(kind, TsCacheBitmap::Own, owner), Log(log) {}
  std::vector<TControl*>& Log;

  bool Fails = false;

protected:
  bool PaintsWholeClient() const override { return true; }
  void PaintClient(HDC dc) override {
    if (Fails) throw std::runtime_error("paint failed");
    Log.push_back(this);
    TsSkinned::PaintClient(dc);
  }
};

// An opaque skinned graphic control, logging each painting.
class TOpaqueGraphic : public TsSkinned<TGraphicControl> {
public:
  TOpaqueGraphic(TComponent* owner, std::vector<TControl*>& log)
      : TsSkinned(TsControlKind::SpeedButton, TsCacheBitmap::Own, owner), Log(log) {
    SetControlStyle(ControlStyle() | csOpaque);
  }
  std::vector<TControl*>& Log;

protected:
  void PaintClient(HDC dc) override {
    Log.push_back(this);
    TsSkinned::PaintClient(dc);
  }
};

// A transparent graphic child whose painting fails.
class TFailingChild : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;

protected:
  void Paint() override { throw std::runtime_error("paint failed"); }
};

// A form that makes skinned controls in its constructor, while it loads, in both ways it can.
class TButtonsForm : public TForm {
public:
  explicit TButtonsForm(TComponent* owner) : TForm(owner) {
    Made = NewComponent<TProbeButton>(this);
    Made->SetParent(this);
    Plain = new TProbeButton(this);
    Plain->SetParent(this);
    LoadingInConstructor = Made->IsLoading() && Plain->IsLoading();
  }
  TProbeButton* Made;
  TProbeButton* Plain;
  bool LoadingInConstructor = false;
};

std::string SkinFolder() {
  char path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, path);
  const std::string folder = std::string(path) + "tarvex-skinned-wine\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "Plain").c_str(), nullptr);
  // Opaque sections without images or gradients: each paints as its colour exactly.
  std::ofstream(folder + "Plain\\Options.dat", std::ios::binary)
      << "[GLOBALINFO]\r\nVERSION=6\r\n"
         "[BUTTON]\r\nCOLOR=255\r\nHOTCOLOR=65280\r\nTRANSPARENCY=0\r\nHOTTRANSPARENCY=0\r\n"
         "GRADIENTPERCENT=0\r\nHOTGRADIENTPERCENT=0\r\nIMAGEPERCENT=0\r\nHOTIMAGEPERCENT=0\r\n"
         "[SPEEDBUTTON]\r\nPARENTCLASS=BUTTON\r\nCOLOR=16711680\r\n"
         "[PANEL]\r\nCOLOR=16711680\r\nTRANSPARENCY=0\r\nGRADIENTPERCENT=0\r\nIMAGEPERCENT=0\r\n";
  return folder;
}

class Skinned : public ::testing::Test {
protected:
  void SetUp() override {
    Form = NewComponent<TForm>(Application);
    Form->SetBounds(0, 0, 300, 200);
    Form->SetColor(0xFFFFFF);
    Manager = NewComponent<TsSkinManager>(Form);
    Manager->SetSkinDirectory(SkinFolder());
    Manager->SetSkinName("Plain");
    ASSERT_GE(FindSectionIndex("BUTTON"), 0);
    Button = NewComponent<TProbeButton>(Form);
    Button->SetParent(Form);
    Button->SetBounds(10, 10, 40, 20);
    Form->HandleNeeded();
    Target.SetPixelFormat(TPixelFormat::Bit24);
    Target.SetSize(100, 60);
  }
  void TearDown() override {
    Form->Free();
    InstallSkinTables({});
    SkinData().Active = false;
  }
  // The control's client painting into our own bitmap; the colour at (x, y).
  COLORREF PaintedAt(TControl* control, int x, int y) {
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Target.Canvas()->Handle()), 0);
    return GetPixel(Target.Canvas()->Handle(), x, y);
  }

  TForm* Form = nullptr;
  TsSkinManager* Manager = nullptr;
  TProbeButton* Button = nullptr;
  TBitmap Target;
};

TEST_F(Skinned, AControlMadeInAFormsConstructorIsSkinnedOnceTheFormExists) {
  auto* form = NewComponent<TButtonsForm>(Form);
  EXPECT_TRUE(form->LoadingInConstructor);
  for (TProbeButton* b : {form->Made, form->Plain}) {
    EXPECT_EQ(b->LoadedCount, 1);
    EXPECT_EQ(b->SkinData().SkinIndex(), FindSectionIndex("BUTTON"));
    EXPECT_TRUE(b->IsSkinned());
  }
  // One made later is skinned at once.
  EXPECT_EQ(Button->LoadedCount, 1);
  EXPECT_TRUE(Button->IsSkinned());
}

TEST_F(Skinned, OnlyASkinnedControlAnswersBeyondTheStandingCommands) {
  Button->SkinData().SetChildrenDirty(true);
  EXPECT_TRUE(AskChildrenDirty(Button));
  EXPECT_TRUE(AskCache(Button).Valid);
  Button->SkinData().SetSkinSection("NOSUCHSECTION");
  EXPECT_FALSE(Button->IsSkinned());
  // Left to the framework control, which does not know them; IsSkinned is answered whatever the state.
  EXPECT_FALSE(AskChildrenDirty(Button));
  EXPECT_FALSE(AskCache(Button).Valid);
  EXPECT_TRUE(IsSkinnedControl(Button));

  auto* orphan = NewComponent<TProbeButton>(Form);  // no parent: not usable
  orphan->SkinData().SetChildrenDirty(true);
  EXPECT_TRUE(orphan->SkinData().HasSkin());
  EXPECT_FALSE(orphan->IsSkinned());
  EXPECT_FALSE(AskChildrenDirty(orphan));
  EXPECT_TRUE(IsSkinnedControl(orphan));
}

TEST_F(Skinned, AWindowedControlPaintsItsCacheAndRebuildsItOnlyWhenDue) {
  EXPECT_EQ(PaintedAt(Button, 20, 10), Red);
  EXPECT_EQ(GetPixel(Target.Canvas()->Handle(), 1, 1), Mark);  // the text goes over the section
  EXPECT_EQ(Button->Builds, 1);
  PaintedAt(Button, 20, 10);
  EXPECT_EQ(Button->Builds, 1);  // a plain copy

  // The mouse over it makes it hot: the cache is rebuilt in the hot state.
  Button->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(Button->SkinData().IsHot());
  EXPECT_EQ(PaintedAt(Button, 20, 10), Green);
  Button->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(PaintedAt(Button, 20, 10), Red);

  // Disabled, greyed: (B + G + R) div 3 of red.
  Button->SetDisabledKind({false, true});
  Button->SetEnabled(false);
  EXPECT_EQ(PaintedAt(Button, 20, 10), RGB(85, 85, 85));
}

TEST_F(Skinned, FocusMakesAFocusableControlHot) {
  Form->Show();
  Button->SetTabStop(true);
  EXPECT_EQ(PaintedAt(Button, 20, 10), Red);
  Button->Perform(WM_SETFOCUS);
  EXPECT_TRUE(Button->SkinData().IsHot());
  EXPECT_EQ(PaintedAt(Button, 20, 10), Green);
  Button->Perform(WM_KILLFOCUS);
  EXPECT_FALSE(Button->SkinData().IsHot());
  EXPECT_EQ(PaintedAt(Button, 20, 10), Red);
  Form->Hide();
}

TEST_F(Skinned, ATextChangeRebuildsTheCache) {
  PaintedAt(Button, 20, 10);
  ASSERT_EQ(Button->Builds, 1);
  Button->SetText("Changed");
  EXPECT_TRUE(Button->SkinData().RepaintNeeded());
  PaintedAt(Button, 20, 10);
  EXPECT_EQ(Button->Builds, 2);
}

// Setting the section a control already has neither repaints nor looks the section up again.
TEST_F(Skinned, SettingTheSameSectionDoesNothing) {
  PaintedAt(Button, 20, 10);
  ASSERT_EQ(Button->Builds, 1);
  const int index = Button->SkinData().SkinIndex();
  ASSERT_GE(index, 0);
  // A lookup now would find nothing, so a re-resolve would show.
  ActiveSkin().SkinSectionData[static_cast<std::size_t>(index)].SectionName = "RENAMED";
  Button->SkinData().SetSkinSection(Button->SkinData().SkinSection());
  EXPECT_EQ(Button->SkinData().SkinIndex(), index);
  EXPECT_FALSE(Button->SkinData().RepaintNeeded());
  PaintedAt(Button, 20, 10);
  EXPECT_EQ(Button->Builds, 1);
  // A different name is looked up.
  Button->SkinData().SetSkinSection("PANEL");
  EXPECT_EQ(Button->SkinData().SkinIndex(), FindSectionIndex("PANEL"));
  EXPECT_EQ(PaintedAt(Button, 20, 10), Blue);
  EXPECT_EQ(Button->Builds, 2);
}

TEST_F(Skinned, AGraphicControlPaintsOnTheDCItsParentHandsIt) {
  auto* speed = NewComponent<TProbeSpeedButton>(Form);
  speed->SetParent(Form);
  speed->SetBounds(60, 30, 20, 10);
  ASSERT_TRUE(speed->IsSkinned());
  Form->PaintControls(Target.Canvas()->Handle(), nullptr);
  EXPECT_EQ(GetPixel(Target.Canvas()->Handle(), 70, 35), Blue);
  EXPECT_EQ(GetPixel(Target.Canvas()->Handle(), 85, 35), RGB(0, 0, 0));  // outside it: untouched
}

TEST_F(Skinned, ASkinChangeReachesControlsInsideASkinnedContainer) {
  auto* panel = NewComponent<TProbePanel>(Form);
  panel->SetParent(Form);
  auto* inner = NewComponent<TProbeButton>(Form);
  inner->SetParent(panel);
  Manager->SetActive(false);
  EXPECT_EQ(inner->SkinData().SkinIndex(), -1);
  Manager->SetActive(true);
  EXPECT_EQ(inner->SkinData().SkinIndex(), FindSectionIndex("BUTTON"));
  EXPECT_EQ(panel->SkinData().SkinIndex(), FindSectionIndex("PANEL"));
}

// A failing child's paint leaves the parent's DC as it was and takes its buffer with it.
TEST_F(Skinned, AnExceptionInAGraphicChildsPaintLeaksNothing) {
  auto* panel = NewComponent<TProbePanel>(Form);
  panel->SetParent(Form);
  panel->SetBounds(0, 0, 100, 60);
  panel->SkinData().PrepareCache();
  auto* child = NewComponent<TFailingChild>(Form);
  child->SetParent(panel);
  child->SetBounds(10, 10, 20, 20);
  panel->SetControlState(panel->ControlState() | csPaintCopy);
  HDC dc = Target.Canvas()->Handle();
  const int level = SaveDC(dc);
  RestoreDC(dc, level);
  auto paint = [&] { EXPECT_THROW(panel->PaintControls(dc, nullptr), std::runtime_error); };
  EXPECT_EQ(TGuiCensus::ChangeOver(20, paint), TGuiCensus());
  const int after = SaveDC(dc);
  RestoreDC(dc, after);
  EXPECT_EQ(after, level);
  POINT origin{-1, -1};
  GetViewportOrgEx(dc, &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  EXPECT_FALSE(child->ControlState() & csPaintCopy);
}

// Within a scope, controls that paint their whole client wait instead of invalidating their windows
// (a graphic child's parent waits for it); when the outermost scope ends each is painted once,
// parents first, and nothing is left for WM_PAINT. Other controls invalidate as ever.
TEST_F(Skinned, ControlsInvalidatedInAnInPlaceScopeArePaintedOnceEachParentsFirstWhenItEnds) {
  std::vector<TControl*> log;
  auto* panel = new TWholePainter(Form, TsControlKind::Panel, log);
  panel->SetParent(Form);
  panel->SetBounds(60, 0, 200, 100);
  TWholePainter* buttons[3];
  for (int i = 0; i < 3; ++i) {
    buttons[i] = new TWholePainter(Form, TsControlKind::Button, log);
    buttons[i]->SetParent(panel);
    buttons[i]->SetBounds(10 + 50 * i, 10, 40, 20);
  }
  auto* speed = NewComponent<TProbeSpeedButton>(Form);
  speed->SetParent(panel);
  speed->SetBounds(10, 50, 20, 10);
  // On the plain form: the opaque one is painted alone, the other by the form's WM_PAINT.
  auto* opaque = new TOpaqueGraphic(Form, log);
  opaque->SetParent(Form);
  opaque->SetBounds(10, 120, 30, 12);
  auto* clear = NewComponent<TProbeSpeedButton>(Form);
  clear->SetParent(Form);
  clear->SetBounds(10, 150, 30, 12);
  Form->Show();
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
  ASSERT_TRUE(panel->IsSkinned());
  log.clear();
  const auto waitsForPaint = [](TWinControl* c) {
    return GetUpdateRect(c->Handle(), nullptr, FALSE) != FALSE;
  };
  {
    const TsInPlacePaints outer;
    {
      const TsInPlacePaints inner;
      buttons[1]->Invalidate();
      buttons[0]->Repaint();
      buttons[1]->Invalidate();
      buttons[2]->Invalidate();
      speed->Invalidate();
      opaque->Invalidate();
      Button->Invalidate();  // paints by WM_PAINT
    }
    EXPECT_FALSE(GetUpdateRect(Form->Handle(), nullptr, FALSE));
    clear->Invalidate();
    EXPECT_TRUE(GetUpdateRect(Form->Handle(), nullptr, FALSE));
    EXPECT_TRUE(log.empty());
    for (TWinControl* c : {static_cast<TWinControl*>(panel), static_cast<TWinControl*>(buttons[0]),
                           static_cast<TWinControl*>(buttons[1])})
      EXPECT_FALSE(waitsForPaint(c));
    EXPECT_TRUE(waitsForPaint(Button));
    buttons[2]->Free();  // gone before the scope ends: never touched
  }
  EXPECT_EQ(log, (std::vector<TControl*>{panel, opaque, buttons[1], buttons[0]}));
  for (TWinControl* c : {static_cast<TWinControl*>(panel), static_cast<TWinControl*>(buttons[0]),
                         static_cast<TWinControl*>(buttons[1])})
    EXPECT_FALSE(waitsForPaint(c));
  log.clear();
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
  EXPECT_TRUE(log.empty());
  // Outside any scope a control invalidates its window.
  buttons[0]->Invalidate();
  EXPECT_TRUE(waitsForPaint(buttons[0]));
  // A painting that fails at the scope's end leaves the control to WM_PAINT, and the others painted.
  for (int i = 0; i < 5; ++i) Application->ProcessMessages();
  log.clear();
  buttons[0]->Fails = true;
  {
    const TsInPlacePaints scope;
    buttons[0]->Invalidate();
    buttons[1]->Invalidate();
  }
  EXPECT_EQ(log, (std::vector<TControl*>{buttons[1]}));
  EXPECT_TRUE(waitsForPaint(buttons[0]));
  buttons[0]->Fails = false;
  Form->Hide();
}

}  // namespace
