// The main window's jobs as a user starts them, in each look: the focus after a split or a combine
// started from the keys, also one an editor asks for, and what a job that is refused says.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/TfmMain.h"
#include "editors/TfmFlexEditor.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TScreen.h"
#include "shx-generator.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsSpinEdit.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsGridAdapter.h"
#include "skin/windows/TsOpenDialogForm.h"
#include "tests/app/main/ProgramForms.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/controls/ControlPixels.h"
#include "tests/skin/windows/TBoxAnswerer.h"
#include "workbench/core/Messages.h"

namespace fs = std::filesystem;

namespace {

TsOpenDialogForm* ShownDialogForm() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* form = dynamic_cast<TsOpenDialogForm*>(Screen->Forms(i));
        form != nullptr && form->IsModal() && form->HandleAllocated() && IsWindowVisible(form->Handle()))
      return form;
  return nullptr;
}

// The skinned dialog window, once shown, takes fileName and OK.
void AcceptSkinnedDialog(const std::string& fileName, int tries = 1000) {
  RunLater(5, [fileName, tries] {
    if (TsOpenDialogForm* form = ShownDialogForm()) {
      form->FileNameEdit()->SetText(fileName);
      SendMessageA(form->OkButton()->Handle(), BM_CLICK, 0, 0);
    } else if (tries > 0) {
      AcceptSkinnedDialog(fileName, tries - 1);
    }
  });
}

// The file dialog's next run answers with fileName: the skinned dialog window while a skin is
// active, the platform's otherwise.
void AnswerFileDialog(TOpenDialog* dialog, const std::string& fileName) {
  if (SkinData().Active) return AcceptSkinnedDialog(fileName);
  dialog->SetOnShow(TNotifyEvent::FromFunctor([dialog, fileName](TObject*) {
    SendMessageA(dialog->Handle(), CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(fileName.c_str()));
    PostMessageA(dialog->Handle(), WM_COMMAND, IDOK, 0);
  }));
}

std::string FocusedName() {
  TWinControl* c = FindControl(GetFocus());
  return c != nullptr ? c->Name() : "none";
}

// The look is the skin's name; empty for none.
class MainJobs : public ::testing::TestWithParam<std::string> {
protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    PlaceBundledSkins({"Desert", "Nocturne"});
    CreateProgramForms();
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(ExeDir() + "Skins", ignored);
  }

  void SetUp() override {
    const std::string& look = GetParam();
    WriteLookIni(look);
    Dir = std::make_unique<TCurrentFolder>("tarvex-jobs-" + (look.empty() ? std::string("none") : look));
    Main = NewComponent<TfmMain>(Application);
    fmMain = Main;
    Main->Show();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == Main->Handle(); }));
    ASSERT_EQ(SkinData().Active, !look.empty());
    WriteFileBytes(Path("fw.shx"), BuildSuperfile(RealisticFirmware(4000, 7)));
    Main->sFilenameEdit1->SetText(Path("fw.shx"));
  }
  void TearDown() override {
    fmFlexEditor->Hide();
    Main->Free();
    fmMain = nullptr;
    Pump();
    fs::remove(IniName());
    Dir.reset();
  }

  std::string Path(const std::string& name) const { return (Dir->Path() / name).string(); }

  // Tab from `from` to `to`, then Space on it; `done` holds once its job has ended.
  void StartFromKeys(TWinControl* from, TWinControl* to, const std::function<bool()>& done) {
    from->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == from->Handle(); }));
    PressKey(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == to->Handle(); })) << FocusedName();
    PressKey(VK_SPACE);
    ASSERT_TRUE(PumpUntil(done));
  }

  // After a job: `control` has the focus, and Tab moves it on to `next`.
  static void ExpectFocusThenTab(TWinControl* control, TWinControl* next) {
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == control->Handle(); }))
        << control->ClassName() << " " << control->Name() << " lacks the focus, " << FocusedName()
        << " has it";
    PressKey(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == next->Handle(); }))
        << "Tab from " << control->Caption() << " went to " << FocusedName();
  }

  static inline TfmMain* Main = nullptr;
  std::unique_ptr<TCurrentFolder> Dir;
};

TEST_P(MainJobs, TheFocusComesBackAfterASplitAndACombineStartedFromTheKeys) {
  TBoxAnswerer boxes;
  ASSERT_NO_FATAL_FAILURE(
      StartFromKeys(Main->sButton2, Main->sButton11, [&] { return Main->CDS->Active() && !Main->Busy(); }));
  ASSERT_GT(Main->CDS->RecordCount(), 2);
  ExpectFocusThenTab(Main->sButton11, Main->sButton10);
  AnswerFileDialog(Main->sSaveDialog1, Path("new.shx"));
  ASSERT_NO_FATAL_FAILURE(StartFromKeys(Main->sButton11, Main->sButton10,
                                        [&] { return fs::exists(Path("new.shx")) && !Main->Busy(); }));
  ExpectFocusThenTab(Main->sButton10, Main->sButton3);
  EXPECT_TRUE(boxes.Boxes.empty()) << boxes.Boxes.front().Text;
}

TEST_P(MainJobs, AnEditorsCombineGivesTheFocusBackToTheEditorAlsoWhenRefused) {
  Main->sButton11Click(Main->sButton11);
  ASSERT_TRUE(Main->CDS->Locate("cg", TVariant(2)));
  fmFlexEditor->Show();
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == fmFlexEditor->Handle(); }));
  TsButton* makeShx = fmFlexEditor->sButton4;
  TWinControl* next = fmFlexEditor->FindNextControl(makeShx, true, true, false);
  TBoxAnswerer boxes;
  // Without the RAM downloader's row the main window comes forward with message 60.
  Main->sButton9Click(Main->sButton9);
  ASSERT_NO_FATAL_FAILURE(StartFromKeys(fmFlexEditor->sButton3, makeShx,
                                        [&] { return boxes.Boxes.size() == 1 && !Main->Busy(); }));
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, Msgs[TMsgId::RamDownloaderNotFound]);
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == fmFlexEditor->Handle(); }));
  ExpectFocusThenTab(makeShx, next);
  // With it, through the save dialog.
  Main->sButton11Click(Main->sButton11);
  AnswerFileDialog(Main->sSaveDialog1, Path("flex.shx"));
  ASSERT_NO_FATAL_FAILURE(StartFromKeys(fmFlexEditor->sButton3, makeShx,
                                        [&] { return fs::exists(Path("flex.shx")) && !Main->Busy(); }));
  EXPECT_EQ(GetActiveWindow(), fmFlexEditor->Handle());
  ExpectFocusThenTab(makeShx, next);
  EXPECT_EQ(boxes.Boxes.size(), 1u);
}

TEST_P(MainJobs, ACombineRefusedForAMissingImageSaysItInTheErrorBoxAndEmptiesTheGauge) {
  Main->sButton11Click(Main->sButton11);
  AnswerFileDialog(Main->sSaveDialog1, Path("first.shx"));
  Main->sButton10Click(Main->sButton10);
  ASSERT_TRUE(fs::exists(Path("first.shx")));
  ASSERT_GT(Main->sGauge1->Progress(), 0);
  ASSERT_TRUE(Main->CDS->Locate("cg", TVariant(4)));
  const std::string gone = Main->CDS->FieldByName("Name")->AsString();
  fs::remove(gone);
  TBoxAnswerer boxes;
  Main->sButton10Click(Main->sButton10);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_NE(boxes.Boxes[0].Text.find(gone), std::string::npos) << boxes.Boxes[0].Text;
  EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"Cancel"});
  EXPECT_EQ(Main->sStatusBar1->SimpleText(), boxes.Boxes[0].Text);
  EXPECT_EQ(Main->sGauge1->Progress(), 0);
  EXPECT_FALSE(ShownDialogForm());
}

TEST_P(MainJobs, AProjectWhoseOptionsFileCannotBeReadOpensWithTheDefaultsAndOneWarningNamingIt) {
  Main->sButton11Click(Main->sButton11);
  const int rows = Main->CDS->RecordCount();
  Main->sSpinEdit1->SetValue(64);
  TBoxAnswerer boxes;
  Main->SaveProject(Path("p.scp"));
  ASSERT_EQ(boxes.Boxes.size(), 1u);  // saved
  const std::string cfg = Path("p.cfg");
  // A folder in its place, a file another program holds, and none: only the first two are said.
  const auto reopen = [&] {
    boxes.Boxes.clear();
    Main->sSpinEdit1->SetValue(64);
    Main->sButton9Click(Main->sButton9);
    Main->OpenProject(Path("p.scp"));
    EXPECT_EQ(Main->CDS->RecordCount(), rows);
    EXPECT_EQ(Main->sSpinEdit1->Value(), 128);
  };
  fs::rename(cfg, Path("p.cfg.old"));
  fs::create_directory(cfg);
  reopen();
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_NE(boxes.Boxes[0].Text.find(cfg), std::string::npos) << boxes.Boxes[0].Text;
  fs::remove(cfg);
  fs::rename(Path("p.cfg.old"), cfg);
  {
    const HANDLE held =
        CreateFileA(cfg.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    reopen();
    CloseHandle(held);
  }
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_NE(boxes.Boxes[0].Text.find(cfg), std::string::npos) << boxes.Boxes[0].Text;
  fs::remove(cfg);
  reopen();
  EXPECT_TRUE(boxes.Boxes.empty());
}

// The pixels of two shots of one size that differ.
int Differing(const TPixels& a, const TPixels& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

TEST_P(MainJobs, AfterAResizeTheGridOnTheScreenIsWhatAFullRepaintPaints) {
  Main->sButton11Click(Main->sButton11);
  Pump();
  TDBGrid* grid = Main->DBGrid1;
  TsGridItem* item =
      Main->sGridAdapter1->Controls()->Count() > 0 ? Main->sGridAdapter1->Controls()->Items(0) : nullptr;
  const auto check = [&](const char* step) {
    SCOPED_TRACE(step);
    Pump();
    const TPixels shown = Captured(grid, true);
    if (item != nullptr) item->SetFrameDirty();
    RedrawWindow(Main->Handle(), nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    const TPixels repainted = Captured(grid, true);
    EXPECT_EQ(Differing(shown, repainted), 0);
  };
  check("start");
  // As the caption's buttons do it.
  SendMessageA(Main->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(IsZoomed(Main->Handle()));
  check("maximized");
  SendMessageA(Main->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_FALSE(IsZoomed(Main->Handle()));
  check("restored");
  Main->SetBounds(Main->Left(), Main->Top(), Main->Width() + 120, Main->Height() + 90);
  check("enlarged");
}

// An editor's combine keeps the grid in a temporary file, whose folder comes from TMP and TEMP.
TEST_P(MainJobs, ATemporaryFolderWhosePathIsTooLongIsSaidAsSuch) {
  Main->sButton11Click(Main->sButton11);
  ASSERT_TRUE(Main->CDS->Locate("cg", TVariant(2)));
  const std::string image = Main->CDS->FieldByName("Name")->AsString();
  char tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
  GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
  GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
  // Within MAX_PATH but too long for a file name in it, and beyond MAX_PATH.
  for (size_t length : {size_t(250), size_t(400)}) {
    SCOPED_TRACE(length);
    const std::string base = Dir->Path().string();
    const std::string folder = base + "\\" + std::string(length - base.size() - 1, 't');
    SetEnvironmentVariableA("TMP", folder.c_str());
    SetEnvironmentVariableA("TEMP", folder.c_str());
    std::string error;
    try {
      Main->CombineSingleCG(2, image, 0x10000000, static_cast<int32_t>(fs::file_size(image)));
    } catch (const std::exception& e) {
      error = e.what();
    }
    SetEnvironmentVariableA("TMP", tmp);
    SetEnvironmentVariableA("TEMP", temp);
    EXPECT_NE(error.find("path of the temporary folder"), std::string::npos) << error;
    EXPECT_NE(error.find("is too long"), std::string::npos) << error;
    EXPECT_FALSE(Main->Busy());
  }
}

INSTANTIATE_TEST_SUITE_P(Looks, MainJobs, ::testing::Values("", "Desert", "Nocturne"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param.empty() ? std::string("NoSkin") : info.param;
                         });

}  // namespace
