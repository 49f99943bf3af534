// The program's windows opened and closed as a user does it, in each look: which window is in front
// and active, and which control has the focus, afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmMain.h"
#include "app/TfmRAWBounds.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TScreen.h"
#include "phone/TfmFlash.h"
#include "shx-generator.h"
#include "skin/controls/TsButton.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsMessageDlg.h"
#include "tests/app/main/ProgramForms.h"
#include "tests/framework/win/TestSupport.h"

namespace fs = std::filesystem;

namespace {

TsMessageForm* ShownBox() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* box = dynamic_cast<TsMessageForm*>(Screen->Forms(i)); box != nullptr && box->IsModal())
      return box;
  return nullptr;
}

// Closes every message box no step of a test waits for, after a while, and keeps its text: a box
// that comes unasked fails the test instead of hanging it.
class TStrayBoxes {
public:
  TStrayBoxes() {
    Current = this;
    FTimer = SetTimer(nullptr, 0, 500, &TStrayBoxes::Tick);
  }
  ~TStrayBoxes() {
    KillTimer(nullptr, FTimer);
    Current = nullptr;
  }
  bool Expected = false;
  std::vector<std::string> Texts;

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TsMessageForm* box = ShownBox();
    if (Current == nullptr || Current->Expected || box == nullptr || box->ModalResult() != mrNone) return;
    auto* label = dynamic_cast<TControl*>(box->FindComponent("Message"));
    Current->Texts.push_back(label != nullptr ? label->Caption() : box->Caption());
    box->SetModalResult(mrAbort);
  }
  static inline TStrayBoxes* Current = nullptr;
  UINT_PTR FTimer;
};

// The look is the skin's name; empty for none.
class MainActivation : public ::testing::TestWithParam<std::string> {
protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    PlaceBundledSkins({"Desert", "Nocturne"});
    // The program's other windows, once, as at its start (another suite may have made some).
    if (fmAdd == nullptr) Application->CreateForm(fmAdd);
    if (fmDRMEditor == nullptr) Application->CreateForm(fmDRMEditor);
    if (fmLPEditor == nullptr) Application->CreateForm(fmLPEditor);
    if (fmFlash == nullptr) Application->CreateForm(fmFlash);
    if (fmRAWBounds == nullptr) Application->CreateForm(fmRAWBounds);
    if (fmFlexEditor == nullptr) Application->CreateForm(fmFlexEditor);
    if (fmEnvOpt == nullptr) Application->CreateForm(fmEnvOpt);
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(ExeDir() + "Skins", ignored);
  }

  void SetUp() override {
    const std::string& look = GetParam();
    std::ofstream(IniName(), std::ios::binary)
        << "[Environment]\r\nSkined=" << (look.empty() ? "0" : "1")
        << "\r\nSkinName=" << (look.empty() ? "Desert" : look) << "\r\n";
    Dir = fs::temp_directory_path() / ("tarvex-activation-" + (look.empty() ? std::string("none") : look));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    // The split writes its images to the current folder.
    char old[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, old);
    OldDir = old;
    SetCurrentDirectoryA(Dir.string().c_str());
    Main = NewComponent<TfmMain>(Application);
    fmMain = Main;
    Main->Show();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == Main->Handle(); }));
    ASSERT_EQ(SkinData().Active, !look.empty());
    // A split superfile in the grid.
    const std::string shx = (Dir / "fw.shx").string();
    WriteFileBytes(shx, BuildSuperfile(RealisticFirmware(4000, 7)));
    Main->sFilenameEdit1->SetText(shx);
    Main->sButton11Click(Main->sButton11);
    ASSERT_TRUE(Main->CDS->Active());
  }
  void TearDown() override {
    EXPECT_TRUE(Strays.Texts.empty()) << Strays.Texts.front();
    for (TCustomForm* f : {static_cast<TCustomForm*>(fmFlash), static_cast<TCustomForm*>(fmEnvOpt),
                           static_cast<TCustomForm*>(fmFlexEditor), static_cast<TCustomForm*>(fmLPEditor),
                           static_cast<TCustomForm*>(fmDRMEditor)})
      f->Hide();
    Main->Free();
    fmMain = nullptr;
    Pump();
    fs::remove(IniName());
    SetCurrentDirectoryA(OldDir.c_str());
    std::error_code ignored;
    fs::remove_all(Dir, ignored);
  }

  // Clicks a control of the active window and waits for the click to focus it.
  void ClickInto(TWinControl* control) {
    ClickControl(control);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == control->Handle(); }));
  }

  // The screen point of the grid row whose CG is cg.
  POINT RowOf(int cg) {
    TClientDataSet* cds = Main->CDS;
    EXPECT_TRUE(cds->Locate("cg", TVariant(cg)));
    const RECT cell = Main->DBGrid1->CellRect(1, cds->RecNo());
    EXPECT_FALSE(IsRectEmpty(&cell));
    return CentreOf(Main->DBGrid1->Handle(), cell);
  }

  // What the user sees: form in front and active, with focused holding the focus.
  static void ExpectActive(TCustomForm* form, HWND focused) {
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == form->Handle() && GetFocus() == focused; }))
        << form->Caption() << ": active " << GetActiveWindow() << ", focus " << GetFocus();
    EXPECT_EQ(GetForegroundWindow(), form->Handle()) << form->Caption();
    EXPECT_EQ(GetFocus(), focused) << form->Caption();
  }
  static void ExpectInFront(TCustomForm* form) {
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form->Handle()) && GetActiveWindow() == form->Handle(); }))
        << form->Caption() << " is not active: " << GetActiveWindow();
    EXPECT_EQ(GetForegroundWindow(), form->Handle());
    EXPECT_TRUE(IsAbove(form->Handle(), Main->Handle()));
    EXPECT_TRUE(IsChild(form->Handle(), GetFocus())) << form->Caption() << ": focus " << GetFocus();
  }

  static inline TfmMain* Main = nullptr;
  fs::path Dir;
  std::string OldDir;
  TStrayBoxes Strays;
};

TEST_P(MainActivation, ADoubleClickOnARowOpensItsEditorInFrontAndClosingItGivesTheGridBack) {
  // The Flex editor's row (CG 2) and the DRM editor's (CG 15).
  for (auto [cg, editor] : {std::pair<int, TCustomForm*>{2, fmFlexEditor}, {15, fmDRMEditor}}) {
    SCOPED_TRACE(cg);
    ClickAt(RowOf(cg), 2);
    ExpectInFront(editor);
    EXPECT_EQ(Main->CDS->FieldByName("CG")->AsInteger(), cg);
    // Alt+F4 closes it; the main window is back with the grid focused, and keys reach it.
    PressKey(VK_F4, false, true);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(editor->Handle()); }));
    ExpectActive(Main, Main->DBGrid1->Handle());
    const int row = Main->CDS->RecNo();
    PressKey(VK_UP);
    EXPECT_TRUE(PumpUntil([&] { return Main->CDS->RecNo() == row - 1; }));
  }
}

TEST_P(MainActivation, ClosingAnyOtherWindowGivesTheMainWindowBackWithItsFocusedControl) {
  // Environment options, closed with Escape and with a click on Ok.
  ClickInto(Main->DBGrid1);
  for (bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "Escape" : "Ok");
    Main->Environment1->Click();
    ExpectInFront(fmEnvOpt);
    if (byKey)
      PressKey(VK_ESCAPE);
    else
      ClickControl(fmEnvOpt->Ok);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(fmEnvOpt->Handle()); }));
    ExpectActive(Main, Main->DBGrid1->Handle());
  }
  // The flasher, opened by "Flash" and closed by its "Close"; the button clicked keeps the focus.
  ClickControl(Main->sButton8);
  ExpectInFront(fmFlash);
  ClickControl(fmFlash->sButton6);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(fmFlash->Handle()); }));
  ExpectActive(Main, Main->sButton8->Handle());
  // An editor opened by "Edit" and closed with Alt+F4.
  Main->CDS->Locate("cg", TVariant(2));
  ClickControl(Main->sButton6);
  ExpectInFront(fmFlexEditor);
  PressKey(VK_F4, false, true);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(fmFlexEditor->Handle()); }));
  ExpectActive(Main, Main->sButton6->Handle());
  // A message box ("Edit" on the loader row), closed with Escape.
  Main->CDS->First();
  bool boxShown = false;
  Strays.Expected = true;
  RunLater(10, [&] {
    boxShown = PumpUntil([] { return ShownBox() != nullptr && GetActiveWindow() == ShownBox()->Handle(); });
    if (boxShown) PressKey(VK_ESCAPE);
    // A box the key did not close ends anyway, so the test fails instead of hanging.
    RunLater(3000, [] {
      if (TsMessageForm* box = ShownBox()) box->SetModalResult(mrAbort);
    });
  });
  ClickControl(Main->sButton6);
  ASSERT_TRUE(PumpUntil([&] { return boxShown && ShownBox() == nullptr; }));
  ExpectActive(Main, Main->sButton6->Handle());
  // Tab goes on from there.
  PressKey(VK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() != Main->sButton6->Handle() && IsChild(Main->Handle(), GetFocus()); }));
}

// The left button pressed at one point, the mouse moved to another and let go there, as a user drags.
void DragAt(POINT from, POINT to) {
  MouseAt(from, MOUSEEVENTF_LEFTDOWN);
  MouseAt(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
  MouseAt(to);
  MouseAt(to, MOUSEEVENTF_LEFTUP);
}

RECT WindowRectOf(TCustomForm* form) {
  RECT r;
  GetWindowRect(form->Handle(), &r);
  return r;
}

// With an editor in front and moved aside, a press on the caption or an edge of the window behind
// makes that window the active one, and a press on the editor's makes the editor active again.
TEST_P(MainActivation, APressOnTheCaptionOrEdgeOfAnInactiveWindowActivatesIt) {
  Main->SetBounds(20, 20, 620, 460);
  ClickAt(RowOf(15), 2);
  ExpectInFront(fmDRMEditor);
  TCustomForm* editor = fmDRMEditor;
  const RECT m = WindowRectOf(Main);
  editor->SetBounds(m.left + 300, m.top + 240, editor->Width(), editor->Height());
  Pump();
  const RECT e = WindowRectOf(editor);
  ASSERT_GT(e.right, m.right + 80);
  ASSERT_GT(e.bottom, m.bottom + 20);
  const int frame = GetSystemMetrics(SM_CYFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
  // Points in the windows' captions (left of any button), on their left and bottom edges.
  const POINT mainCaption{m.left + 120, m.top + frame + caption / 2};
  const POINT editorCaption{m.right + 40, e.top + frame + caption / 2};
  const POINT mainEdge{m.left + 1, (m.top + e.top) / 2 + caption};
  const POINT editorEdge{(m.right + e.right) / 2, e.bottom - 2};
  auto expectActive = [&](TCustomForm* form, const char* what) {
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == form->Handle() && IsChild(form->Handle(), GetFocus()); }))
        << what << ": active " << GetActiveWindow() << ", main " << Main->Handle() << ", editor " << editor->Handle()
        << ", focus " << GetFocus();
  };
  for (auto [mainPoint, editorPoint, what] :
       {std::tuple{mainCaption, editorCaption, "caption"}, std::tuple{mainEdge, editorEdge, "edge"}}) {
    SCOPED_TRACE(what);
    ClickAt(mainPoint);
    expectActive(Main, "main");
    EXPECT_TRUE(IsAbove(Main->Handle(), editor->Handle()));
    ClickAt(editorPoint);
    expectActive(editor, "editor");
    EXPECT_TRUE(IsAbove(editor->Handle(), Main->Handle()));
  }
  // A drag that starts on the inactive window's caption activates it and moves it.
  DragAt(mainCaption, POINT{mainCaption.x + 30, mainCaption.y + 20});
  expectActive(Main, "main dragged");
  EXPECT_TRUE(PumpUntil([&] { return WindowRectOf(Main).left == m.left + 30 && WindowRectOf(Main).top == m.top + 20; }))
      << WindowRectOf(Main).left << "," << WindowRectOf(Main).top;
  editor->Hide();
}

INSTANTIATE_TEST_SUITE_P(Looks, MainActivation, ::testing::Values("", "Desert", "Nocturne"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param.empty() ? std::string("NoSkin") : info.param;
                         });

}  // namespace
