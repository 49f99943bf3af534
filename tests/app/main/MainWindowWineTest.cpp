// The main window driven as a user drives it: the ini file at start and end, the skin at start,
// split and combine through the window, the row buttons, projects, the editor dispatch and the
// hand-off to the flasher. Message boxes are answered from timers.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/TfmAdd.h"
#include "app/TfmMain.h"
#include "app/TfmRAWBounds.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/base/TIniFile.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TScreen.h"
#include "phone/TfmFlash.h"
#include "shx-generator.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsGroupBox.h"
#include "skin/controls/TsSpinEdit.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/engine/core/TsSkinLoader.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsSkinProvider.h"
#include "tests/app/main/ProgramForms.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/windows/TBoxAnswerer.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/Messages.h"
#include "workbench/core/TCodeGroupTable.h"

namespace fs = std::filesystem;

namespace {

using TBox = TBoxAnswerer::TBox;

// The file dialog's next run answers with fileName (empty: cancelled).
void AnswerFileDialog(TOpenDialog* dialog, const std::string& fileName) {
  dialog->SetOnShow(TNotifyEvent::FromFunctor([dialog, fileName](TObject*) {
    if (fileName.empty()) {
      PostMessageA(dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
    } else {
      SendMessageA(dialog->Handle(), CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(fileName.c_str()));
      PostMessageA(dialog->Handle(), WM_COMMAND, IDOK, 0);
    }
  }));
}

std::string Backslashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// A fresh folder that is also the current folder (the split writes there) for one test.
class TWorkFolder {
public:
  explicit TWorkFolder(const std::string& name) {
    FPath = Backslashes((fs::temp_directory_path() / ("tarvex-main-" + name)).string());
    fs::remove_all(FPath);
    fs::create_directories(FPath);
    char old[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, old);
    FOld = old;
    SetCurrentDirectoryA(FPath.c_str());
  }
  ~TWorkFolder() {
    SetCurrentDirectoryA(FOld.c_str());
    std::error_code ignored;
    fs::remove_all(FPath, ignored);
  }
  std::string operator/(const std::string& name) const { return FPath + "\\" + name; }
  const std::string& Path() const { return FPath; }

private:
  std::string FPath, FOld;
};

// The main window with the status texts recorded and the date of the generated superfiles.
class TTestMain : public TfmMain {
public:
  using TfmMain::TfmMain;
  std::vector<std::string> Statuses;
  void SetStatus(const std::string& text) override {
    Statuses.push_back(text);
    TfmMain::SetStatus(text);
  }
  // When set, the job's clock moves by ClockStep ms at each reading.
  std::optional<uint64_t> ClockStep;
  uint64_t Now = 0;
  uint64_t JobClock() override {
    if (!ClockStep) return TfmMain::JobClock();
    return Now += *ClockStep;
  }
  std::tm LocalTime() override {
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 5, t.tm_wday = 6, t.tm_hour = 20, t.tm_min = 3, t.tm_sec = 13;
    return t;
  }
};

// Counts the WM_PAINTs a control takes while the counter lives.
class TPaintCounter {
public:
  explicit TPaintCounter(TControl* control)
      : FControl(control), FOld(control->WindowProc()), FSkinned(dynamic_cast<TsSkinnedControl*>(control)),
        FInPlaceBefore(FSkinned ? FSkinned->PaintsInPlace() : 0) {
    control->SetWindowProc(TWndMethod(this, &TPaintCounter::Proc));
  }
  ~TPaintCounter() { FControl->SetWindowProc(FOld); }
  TPaintCounter(const TPaintCounter&) = delete;
  TPaintCounter& operator=(const TPaintCounter&) = delete;
  // By WM_PAINT or in place.
  uint64_t Paints() const { return FPaints + (FSkinned ? FSkinned->PaintsInPlace() - FInPlaceBefore : 0); }

private:
  void Proc(TMessage& message) {
    if (message.Msg == WM_PAINT) ++FPaints;
    FOld(message);
  }
  TControl* FControl;
  TWndMethod FOld;
  TsSkinnedControl* FSkinned;
  int FInPlaceBefore;
  uint64_t FPaints = 0;
};

// The pixels of a skinned control's cache, the image its last painting showed.
std::vector<COLORREF> CachePixels(TsCommonData& skinData) {
  std::vector<COLORREF> pixels;
  TBitmap* cache = skinData.CacheBitmap();
  if (cache == nullptr) return pixels;
  const HDC dc = cache->Canvas()->Handle();
  for (int y = 0; y < cache->Height(); ++y)
    for (int x = 0; x < cache->Width(); ++x) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

// The skinned controls of tree, parents before their children.
void SkinnedTree(TControl* tree, std::vector<TsSkinnedControl*>& out) {
  if (auto* skinned = dynamic_cast<TsSkinnedControl*>(tree)) out.push_back(skinned);
  if (auto* parent = dynamic_cast<TWinControl*>(tree))
    for (int i = 0; i < parent->ControlCount(); ++i) SkinnedTree(parent->Controls(i), out);
}

// The controls among these whose last painting differs from what a full repaint in their present
// state paints (parents first, so that children stand on their parents' new images).
std::vector<std::string> StalePaintings(const std::vector<TsSkinnedControl*>& controls) {
  std::vector<std::vector<COLORREF>> shown;
  for (TsSkinnedControl* c : controls) shown.push_back(CachePixels(c->SkinData()));
  for (TsSkinnedControl* c : controls) c->SkinData().SetRepaintNeeded(true);
  std::vector<std::string> stale;
  for (size_t i = 0; i < controls.size(); ++i) {
    auto* control = dynamic_cast<TControl*>(controls[i]);
    control->Repaint();
    if (CachePixels(controls[i]->SkinData()) != shown[i]) stale.push_back(control->ClassName() + " " + control->Name());
  }
  return stale;
}

void WriteText(const std::string& fileName, const std::string& text) {
  std::ofstream(fileName, std::ios::binary) << text;
}

std::string ReadText(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A bitmap header that claims 60000 x 60000 pixels and holds none of them.
std::string HugeBitmap() {
  std::string bmp(54, '\0');
  auto put32 = [&bmp](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i));
  };
  bmp[0] = 'B', bmp[1] = 'M';
  put32(2, 54);
  put32(10, 54);
  put32(14, 40);
  put32(18, 60000);
  put32(22, 60000);
  bmp[26] = 1;
  bmp[28] = 24;
  return bmp;
}

class MainWindow : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    PlaceBundledSkins({"Desert"});
    CreateProgramForms();
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(ExeDir() + "Skins", ignored);
  }

  void SetUp() override { fs::remove(IniName()); }
  void TearDown() override {
    Close();
    fs::remove(IniName());
  }

  // An ini that keeps the window unskinned, so that no skin is needed.
  static void UnskinnedIni() { WriteText(IniName(), "[Environment]\r\nSkined=0\r\nSkinName=Desert\r\n"); }

  TTestMain* Open() {
    Main = NewComponent<TTestMain>(Application);
    fmMain = Main;
    Main->Show();
    Pump();
    return Main;
  }
  void Close() {
    if (Main == nullptr) return;
    Main->Free();
    Main = nullptr;
    fmMain = nullptr;
    Pump();
  }

  // The window in the Desert look, its source a generated superfile in dir that a job splits with
  // many small reads and no frame painted within it.
  void OpenSkinnedForAJob(const TWorkFolder& dir) {
    WriteText(IniName(), "[Environment]\r\nSkined=1\r\nSkinName=Desert\r\nShowHints=0\r\n");
    Open();
    WriteFileBytes(dir / "fw.shx", BuildSuperfile(RealisticFirmware(200000, 3)));
    Main->sSpinEdit1->SetValue(1);
    Main->sFilenameEdit1->SetText(dir / "fw.shx");
    Main->ClockStep = 0;
    Pump();
  }

  // Splits a generated superfile through "Split file" and returns its groups.
  std::vector<TShxGroup> SplitGenerated(const TWorkFolder& dir, uint32_t seed = 7) {
    std::vector<TShxGroup> groups = RealisticFirmware(4000, seed);
    WriteFileBytes(dir / "fw.shx", BuildSuperfile(groups));
    Main->sFilenameEdit1->SetText(dir / "fw.shx");
    Main->sButton11Click(Main->sButton11);
    return groups;
  }

  std::vector<std::string> Column(const std::string& field) {
    std::vector<std::string> values;
    TClientDataSet* cds = Main->CDS;
    if (!cds->Active()) return values;
    for (cds->First(); !cds->Eof(); cds->Next()) values.push_back(cds->FieldByName(field)->AsString());
    return values;
  }

  TTestMain* Main = nullptr;
};

TEST_F(MainWindow, FirstStartTakesTheDefaultsAndWritesTheFourKeysOnlyAtTheEnd) {
  Open();
  EXPECT_EQ(Main->Caption(), "Tarvex");
  EXPECT_EQ(Main->Constraints().MinWidth, 600);
  EXPECT_EQ(Main->Constraints().MinHeight, 445);
  EXPECT_TRUE(Main->SkinManager->Active());
  EXPECT_EQ(Main->SkinManager->SkinName(), "Desert");
  EXPECT_TRUE(SkinData().Active);
  EXPECT_TRUE(Main->ShowHints());
  EXPECT_EQ(Main->Language(), "English");
  EXPECT_EQ(Main->AppDir(), ExeDir());
  EXPECT_EQ(Main->LangDir(), ExeDir() + "Langs\\");
  EXPECT_FALSE(fs::exists(IniName()));  // nothing is written while the program runs
  // The edits' captions take the skin's panel text colour, and the standard one without a skin.
  const int32_t panel = FindSectionIndex("PANEL");
  ASSERT_TRUE(SectionIndexValid(panel));
  EXPECT_EQ(Main->sFilenameEdit1->BoundLabel()->Font()->Color(),
            ActiveSkin().SkinSectionData[size_t(panel)].FontColor[0]);
  Main->SkinManager->SetActive(false);
  EXPECT_EQ(Main->sSpinEdit1->BoundLabel()->Font()->Color(), clWindowText);
  Main->SkinManager->SetActive(true);
  EXPECT_EQ(Main->sSpinEdit1->BoundLabel()->Font()->Color(),
            ActiveSkin().SkinSectionData[size_t(panel)].FontColor[0]);
  Main->SetShowHints(false);
  Close();
  TIniFile ini(IniName());
  TStringList keys;
  ini.ReadSection("Environment", keys);
  ASSERT_EQ(keys.Count(), 4);
  EXPECT_EQ(keys[0], "Language");
  EXPECT_EQ(keys[3], "ShowHints");
  EXPECT_EQ(ini.ReadString("Environment", "Language", ""), "English");
  EXPECT_TRUE(ini.ReadBool("Environment", "Skined", false));
  EXPECT_EQ(ini.ReadString("Environment", "SkinName", ""), "Desert");
  EXPECT_FALSE(ini.ReadBool("Environment", "ShowHints", true));
}

TEST_F(MainWindow, AMissingSkinStartsUnskinnedSaidOnceADamagedOneStartsWithoutItsPictures) {
  // A damaged skin: the Desert skin with every bitmap claiming pixels it does not hold.
  const std::string broken = ExeDir() + "Skins\\Broken";
  fs::copy(ExeDir() + "Skins\\Desert", broken, fs::copy_options::recursive);
  for (const auto& entry : fs::recursive_directory_iterator(broken))
    if (entry.path().extension() == ".bmp" || entry.path().extension() == ".BMP") WriteText(entry.path().string(), HugeBitmap());
  // A skin beyond the loader's bounds: one section more than a skin may hold.
  const std::string huge = ExeDir() + "Skins\\Huge";
  fs::create_directories(huge);
  std::string sections = "[GLOBALINFO]\r\nVERSION=5\r\n";
  for (size_t i = 0; i < MaxSkinSections; ++i) sections += "[S" + std::to_string(i) + "]\r\n";
  WriteText(huge + "\\Options.dat", sections);
  for (const char* name : {"Missing", "Huge", "Broken"}) {
    SCOPED_TRACE(name);
    WriteText(IniName(), std::string("[Environment]\r\nLanguage=Deutsch\r\nSkinName=") + name + "\r\n");
    TBoxAnswerer boxes;
    Open();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"OK"});
    EXPECT_NE(boxes.Boxes[0].Text.find(name), std::string::npos) << boxes.Boxes[0].Text;
    if (std::string(name) != "Broken") {
      EXPECT_FALSE(SkinData().Active);
      EXPECT_FALSE(Main->SkinManager->Active());
      EXPECT_TRUE(ActiveSkin().SkinSectionData.empty());
    } else {
      // Damaged pictures read as missing ones, and the master bitmap is said: the skin loads
      // without what draws from it, so the frame keeps the standard caption buttons.
      EXPECT_NE(boxes.Boxes[0].Text.find("Master.bmp"), std::string::npos) << boxes.Boxes[0].Text;
      EXPECT_TRUE(SkinData().Active);
      EXPECT_FALSE(Main->sSkinProvider1->Skinned());
      EXPECT_NE(GetWindowLongA(Main->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
      EXPECT_NE(Main->BorderIcons() & biSystemMenu, 0);
    }
    if (std::string(name) == "Huge") {
      EXPECT_NE(boxes.Boxes[0].Text.find("Options.dat"), std::string::npos);
    }
    EXPECT_EQ(Main->SkinManager->SkinName(), name);
    EXPECT_EQ(Main->Language(), "Deutsch");
    Close();
    const TIniFile ini(IniName());
    EXPECT_EQ(ini.ReadString("Environment", "Language", ""), "Deutsch");
    EXPECT_EQ(ini.ReadString("Environment", "SkinName", ""), name);
    // "Skined" keeps the value it was read with: the next start tries the skin again.
    EXPECT_TRUE(ini.ReadBool("Environment", "Skined", false));
  }
  fs::remove_all(broken);
  fs::remove_all(huge);
}

TEST_F(MainWindow, AnIniThatCannotBeWrittenIsReportedAtTheEndWithoutACrash) {
  // A folder in the ini file's place: read as empty, and the write at the end fails.
  fs::create_directory(IniName());
  Open();
  EXPECT_TRUE(Main->SkinManager->Active());
  TBoxAnswerer boxes;
  Close();
  fs::remove(IniName());
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_NE(boxes.Boxes[0].Text.find("settings could not be saved"), std::string::npos);
  EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"OK"});
}

TEST_F(MainWindow, AddTakesTheDialogsRowAndRefusesWhatTheGridCannotHold) {
  ASSERT_TRUE(fmAdd->sEdit1 && fmAdd->sEdit2 && fmAdd->sFilenameEdit1) << "the add dialog lost an edit";
  UnskinnedIni();
  TWorkFolder dir("add");
  Open();
  WriteFileBytes(dir / "a.smg", std::vector<uint8_t>(0x100, 3));
  // Each add: the dialog's three edits filled once it shows, then closed with OK.
  auto add = [&](const std::string& file, const std::string& cg, const std::string& address) {
    RunLater(20, [=] {
      fmAdd->sFilenameEdit1->SetText(file);
      fmAdd->sEdit1->SetText(cg);
      fmAdd->sEdit2->SetText(address);
      fmAdd->SetModalResult(mrOk);
    });
    Main->sButton3Click(nullptr);
  };
  TBoxAnswerer boxes;
  add(dir / "a.smg", "", "3fd0000");
  ASSERT_EQ(Main->CDS->RecordCount(), 1);
  EXPECT_EQ(Main->CDS->FieldByName("Type")->AsString(), kRamDownloaderType);
  EXPECT_TRUE(Main->CDS->FieldByName("CG")->IsNull());
  EXPECT_EQ(Main->CDS->FieldByName("A2Str")->AsString(), "03FD00FF");
  add(dir / "a.smg", "5", "10000000");
  add(dir / "a.smg", "5", "20000000");
  EXPECT_EQ(Main->CDS->RecordCount(), 2);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, "\"CG5\" " + Msgs[TMsgId::AlreadyExists]);
  EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"OK"});
  // A missing file adds nothing and says nothing; a CG outside -2..20, more than 8 hex digits or
  // an end past FFFFFFFF are refused with message 14.
  add(dir / "none.smg", "6", "10000000");
  EXPECT_EQ(boxes.Boxes.size(), 1u);
  for (auto [cg, address] : {std::pair<std::string, std::string>{"21", "10000000"}, {"6", "110000000"},
                             {"6", "FFFFFF80"}}) {
    SCOPED_TRACE(cg + " " + address);
    const size_t before = boxes.Boxes.size();
    add(dir / "a.smg", cg, address);
    // The dialog itself may refuse first (and stay open until cancelled).
    if (fmAdd->IsModal()) fmAdd->SetModalResult(mrCancel);
    ASSERT_GT(boxes.Boxes.size(), before);
    EXPECT_EQ(boxes.Boxes.back().Text, Msgs[TMsgId::IncorrectData]);
  }
  EXPECT_EQ(Main->CDS->RecordCount(), 2);
}

TEST_F(MainWindow, SplitListsEveryGroupWritesTheImagesAndCombinesBack) {
  UnskinnedIni();
  TWorkFolder dir("split");
  Open();
  TBoxAnswerer boxes;
  const std::vector<TShxGroup> groups = SplitGenerated(dir);
  EXPECT_TRUE(boxes.Boxes.empty());
  ASSERT_EQ(Main->CDS->RecordCount(), static_cast<int>(groups.size() - 1));  // CG 0 joins CG 1
  ASSERT_GE(Main->Statuses.size(), 3u);
  EXPECT_EQ(Main->Statuses.front(), Msgs[TMsgId::ExtractingHeader]);
  EXPECT_EQ(Main->Statuses[1], Msgs[TMsgId::Extracting] + " RAM Downloader...");
  EXPECT_EQ(Main->Statuses.back(), Msgs[TMsgId::ExtractingDone]);
  EXPECT_EQ(Main->sStatusBar1->SimpleText(), Msgs[TMsgId::ExtractingDone]);
  EXPECT_TRUE(Main->sStatusBar1->SimplePanel());
  EXPECT_EQ(Main->sGauge1->Progress(), Main->sGauge1->MaxValue());
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_TRUE(fs::exists(dir / "fw.hdr"));
  // Images are the groups' bytes; the loader row shows an empty CG and comes first.
  const std::vector<std::string> names = Column("Name");
  EXPECT_EQ(Column("CG")[0], "");
  EXPECT_EQ(Column("Type")[0], kRamDownloaderType);
  EXPECT_EQ(names[0], dir / "fw{@0x03FD0000}RAMDLD.smg");  // a full path, whatever the current folder becomes
  EXPECT_EQ(ReadFileBytes(names[0]), groups[0].Data);
  EXPECT_EQ(Column("A1Str")[0], "03FD0000");
  // The last row is current after a split.
  EXPECT_EQ(Main->CDS->RecNo(), Main->CDS->RecordCount());

  // Combine: the save dialog gets the name; the file splits again into the same images.
  AnswerFileDialog(Main->sSaveDialog1, dir / "new.shx");
  Main->sRadioGroup1->SetItemIndex(1);
  Main->sRadioGroup1Click(Main->sRadioGroup1);
  Main->Statuses.clear();
  Main->sButton10Click(Main->sButton10);
  EXPECT_TRUE(boxes.Boxes.empty());
  EXPECT_EQ(Main->CDS->IndexName(), "by_a1");  // the order the user chose stays
  ASSERT_TRUE(fs::exists(dir / "new.shx"));
  EXPECT_EQ(Main->Statuses.back(), Msgs[TMsgId::FileDone] + ": " + dir / "new.shx");
  const std::vector<uint8_t> combined = ReadFileBytes(dir / "new.shx");
  EXPECT_EQ(std::string(combined.begin(), combined.begin() + 13), "P2K Superfile");
  const std::vector<std::string> blocks = SRecordBlocks(combined);
  // Every block but the loader's (its address table is patched) and the last (its closing sum)
  // is the source's.
  const std::vector<std::string> source = SRecordBlocks(BuildSuperfile(groups));
  ASSERT_EQ(blocks.size(), source.size());
  for (size_t i = 1; i + 1 < blocks.size(); ++i) EXPECT_EQ(blocks[i], source[i]) << i;
}

TEST_F(MainWindow, ADamagedHeaderLeavesAnEmptyGridAndCombineWithoutALoaderIsRefused) {
  UnskinnedIni();
  TWorkFolder dir("bad");
  Open();
  // A damaged header: only Cancel in the box, the header's message stays in the status line.
  WriteFileBytes(dir / "bad.shx", std::vector<uint8_t>(9000, 'x'));
  TBoxAnswerer boxes;
  Main->sFilenameEdit1->SetText(dir / "bad.shx");
  Main->sButton11Click(nullptr);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, Msgs[TMsgId::CorruptHeader]);
  EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"Cancel"});
  EXPECT_EQ(Main->sStatusBar1->SimpleText(), Msgs[TMsgId::CorruptHeader]);
  EXPECT_TRUE(Main->CDS->Active());
  EXPECT_TRUE(Main->CDS->IsEmpty());
  // No source and a cancelled dialog: nothing happens.
  Main->sFilenameEdit1->SetText("");
  AnswerFileDialog(Main->sOpenDialog1, "");
  Main->Statuses.clear();
  Main->sButton11Click(nullptr);
  EXPECT_TRUE(Main->Statuses.empty());
  // Combine with no RAM downloader: message 60 with only Cancel, no file.
  Main->sButton10Click(nullptr);
  ASSERT_EQ(boxes.Boxes.size(), 2u);
  EXPECT_EQ(boxes.Boxes[1].Text, Msgs[TMsgId::RamDownloaderNotFound]);
  EXPECT_EQ(boxes.Boxes[1].Buttons, std::vector<std::string>{"Cancel"});
}

// A wrong checksum in the third block: the two rows before stay and the status keeps the error.
TEST_F(MainWindow, ASplitFailingInALaterGroupKeepsTheEarlierRowsAndEndsWithTheError) {
  UnskinnedIni();
  TWorkFolder dir("later");
  Open();
  std::vector<uint8_t> file = BuildSuperfile(RealisticFirmware(4000, 7));
  const std::string text(file.begin(), file.end());
  // The text after the header opens with the first block's S0 line; the third block's is the
  // second after it.
  size_t at = 8172;
  for (int block = 1; block < 3; ++block) at = text.find("\r\nS0", at + 1);
  at = text.find("\r\nS3", at);
  ASSERT_NE(at, std::string::npos);
  const size_t last = text.find('\r', at + 2) - 1;
  file[last] = file[last] == '0' ? '1' : '0';
  WriteFileBytes(dir / "fw.shx", file);
  TBoxAnswerer boxes;
  Main->sFilenameEdit1->SetText(dir / "fw.shx");
  Main->sButton11Click(Main->sButton11);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, Msgs[TMsgId::SRecordChecksum]);
  EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"Cancel"});
  ASSERT_FALSE(Main->Statuses.empty());
  EXPECT_EQ(Main->Statuses.back(), Msgs[TMsgId::SRecordChecksum]);
  EXPECT_EQ(Main->sStatusBar1->SimpleText(), Msgs[TMsgId::SRecordChecksum]);
  const std::vector<std::string> names = Column("Name");
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(Column("Type")[0], kRamDownloaderType);
  for (const std::string& name : names) EXPECT_TRUE(fs::exists(name)) << name;
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(MainWindow, DeleteReplaceClearAndEditFollowTheRowRules) {
  UnskinnedIni();
  TWorkFolder dir("rows");
  Open();
  {
    // Closed grid: Delete, Replace and Edit show nothing.
    TBoxAnswerer boxes;
    Main->sButton4Click(nullptr);
    Main->sButton7Click(nullptr);
    Main->sButton6Click(nullptr);
    EXPECT_TRUE(boxes.Boxes.empty());
  }
  SplitGenerated(dir);
  const int rows = Main->CDS->RecordCount();
  TClientDataSet* cds = Main->CDS;

  // The loader cannot be deleted, by the button or the grid's Ctrl+Delete.
  cds->First();
  {
    TBoxAnswerer boxes;
    Main->sButton4Click(nullptr);
    WORD key = VK_DELETE;
    Main->DBGrid1->SelectRow(cds->GetBookmark(), true);
    Main->DBGrid1->OnKeyDown()(Main->DBGrid1, key, ssCtrl);
    EXPECT_EQ(key, 0);
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    for (const TBox& box : boxes.Boxes) {
      EXPECT_EQ(box.Text, Msgs[TMsgId::CannotDeleteLoader]);
      EXPECT_EQ(box.Buttons, std::vector<std::string>{"Cancel"});
    }
    EXPECT_EQ(cds->RecordCount(), rows);
  }
  // Edit on the loader row (empty CG): message 61 in a warning with only Cancel.
  {
    TBoxAnswerer boxes;
    Main->sButton6Click(nullptr);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, Msgs[TMsgId::OnlyEditorsImplemented]);
    EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"Cancel"});
  }
  // Edit on CG 2, 4 and 15 shows their editors (whatever they report about the test's images is
  // answered).
  for (auto [cg, editor] : {std::pair<int, TForm*>{2, fmFlexEditor}, {4, fmLPEditor}, {15, fmDRMEditor}}) {
    SCOPED_TRACE(cg);
    TBoxAnswerer boxes;
    ASSERT_TRUE(cds->Locate("cg", TVariant(cg)));
    Main->sButton6Click(nullptr);
    EXPECT_TRUE(editor->Visible());
    editor->Hide();
  }
  // Delete asks; No keeps the row, Yes deletes it.
  ASSERT_TRUE(cds->Locate("cg", TVariant(4)));
  {
    TBoxAnswerer boxes({"No", "Yes"});
    Main->sButton4Click(nullptr);
    EXPECT_EQ(cds->RecordCount(), rows);
    Main->sButton4Click(nullptr);
    EXPECT_EQ(cds->RecordCount(), rows - 1);
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_EQ(boxes.Boxes[0].Text, Msgs[TMsgId::AreYouSure]);
    EXPECT_FALSE(cds->Locate("cg", TVariant(4)));
  }
  // Replace keeps CG, Type and A1 and takes the new file's size; a path too long for the field
  // or a file that vanished leaves the row as it was.
  ASSERT_TRUE(cds->Locate("cg", TVariant(15)));
  const int32_t a1 = cds->FieldByName("A1")->AsInteger();
  const std::string oldName = cds->FieldByName("Name")->AsString();
  WriteFileBytes(dir / "new.smg", std::vector<uint8_t>(300, 1));
  {
    TBoxAnswerer boxes({"Yes"});
    AnswerFileDialog(Main->sOpenDialog1, dir / "new.smg");
    Main->sButton7Click(nullptr);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, Msgs[TMsgId::ReplaceCG] + ": " + dir / "new.smg" + "\r" + Msgs[TMsgId::Continue]);
    EXPECT_EQ(cds->FieldByName("Name")->AsString(), dir / "new.smg");
    EXPECT_EQ(cds->FieldByName("size")->AsInteger(), 300);
    EXPECT_EQ(cds->FieldByName("A1")->AsInteger(), a1);
    EXPECT_EQ(cds->FieldByName("A2")->AsInteger(), a1 + 299);
    EXPECT_EQ(cds->FieldByName("Type")->AsString(), GetCGName(15));
  }
  for (const std::string& name : {dir / "gone.smg"}) {
    TBoxAnswerer boxes({"Yes"});
    AnswerFileDialog(Main->sOpenDialog1, name);
    Main->sButton7Click(nullptr);
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_EQ(boxes.Boxes[1].Buttons, std::vector<std::string>{"Cancel"});
    EXPECT_EQ(cds->FieldByName("Name")->AsString(), dir / "new.smg");
    EXPECT_EQ(cds->FieldByName("size")->AsInteger(), 300);
  }
  // Clear All closes the grid; Edit then does nothing.
  Main->sButton9Click(nullptr);
  EXPECT_FALSE(cds->Active());
  TBoxAnswerer boxes;
  Main->sButton6Click(nullptr);
  EXPECT_TRUE(boxes.Boxes.empty());
}

TEST_F(MainWindow, FlashHandsTheLoaderAndTheSelectedRowsInSelectionOrder) {
  ASSERT_TRUE(fmFlash->sEdit1 && fmFlash->sFilenameEdit1) << "the flasher lost an edit";
  UnskinnedIni();
  TWorkFolder dir("flash");
  Open();
  SplitGenerated(dir);
  TClientDataSet* cds = Main->CDS;
  // Select CG 15, then CG 4; the current row is CG 2.
  ASSERT_TRUE(cds->Locate("cg", TVariant(15)));
  Main->DBGrid1->SelectRow(cds->GetBookmark(), true);
  ASSERT_TRUE(cds->Locate("cg", TVariant(4)));
  Main->DBGrid1->SelectRow(cds->GetBookmark(), true);
  ASSERT_TRUE(cds->Locate("cg", TVariant(2)));
  Main->Flash1Click(nullptr);
  EXPECT_EQ(cds->FieldByName("CG")->AsInteger(), 2);  // the current row is kept
  EXPECT_TRUE(fmFlash->Visible());
  cds->First();
  EXPECT_EQ(fmFlash->sEdit1->Text(), "03FD0000");
  EXPECT_EQ(fmFlash->sFilenameEdit1->Text(), cds->FieldByName("Name")->AsString());
  const bool listed = fmFlash->CDS->Active() && fmFlash->CDS->FindField("Name") != nullptr;
  if (!listed) fmFlash->Hide();
  ASSERT_TRUE(listed) << "the flasher's list has no rows";
  std::vector<std::string> types;
  for (fmFlash->CDS->First(); !fmFlash->CDS->Eof(); fmFlash->CDS->Next())
    types.push_back(fmFlash->CDS->FieldByName("Type")->AsString());
  EXPECT_EQ(types, (std::vector<std::string>{GetCGName(15), GetCGName(4)}));
  fmFlash->Hide();
}

TEST_F(MainWindow, TheEditorsFindRowsByCodeGroupWithoutMovingTheGrid) {
  UnskinnedIni();
  TWorkFolder dir("link");
  Open();
  EXPECT_FALSE(Main->GridRow(4).has_value());  // closed grid
  SplitGenerated(dir);
  TClientDataSet* cds = Main->CDS;
  ASSERT_TRUE(cds->Locate("cg", TVariant(15)));
  const std::optional<TGridRow> row = Main->GridRow(4);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->A1Str, "11200000");
  EXPECT_EQ(row->A1, 0x11200000);
  EXPECT_NE(row->Name.find("}CG4.smg"), std::string::npos);
  EXPECT_FALSE(Main->GridRow(3).has_value());
  EXPECT_EQ(cds->FieldByName("CG")->AsInteger(), 15);
  EXPECT_EQ(Main->CurrentRowName(), cds->FieldByName("Name")->AsString());
  Main->sButton9Click(nullptr);
  EXPECT_EQ(Main->CurrentRowName(), "");

  // Large progress ranges are scaled into the gauge.
  Main->SetGaugeRange(int64_t(6) << 32, int64_t(3) << 32);
  EXPECT_EQ(Main->sGauge1->PercentDone(), 50);
  Main->SetGaugeProgress(int64_t(6) << 32);
  EXPECT_EQ(Main->sGauge1->PercentDone(), 100);

  ASSERT_TRUE(fmRAWBounds->sSpinEdit1 && fmRAWBounds->sSpinEdit2) << "the bounds dialog lost a spin edit";
  int shownWidth = 0, shownHeight = 0;
  RunLater(20, [&] {
    shownWidth = fmRAWBounds->sSpinEdit1->Value();
    shownHeight = fmRAWBounds->sSpinEdit2->Value();
    fmRAWBounds->sSpinEdit1->SetValue(96);
    fmRAWBounds->sSpinEdit2->SetValue(64);
    fmRAWBounds->SetModalResult(mrOk);
  });
  EXPECT_EQ(Main->AskRawBounds(176, 220), (std::pair<int, int>{96, 64}));
  EXPECT_EQ(shownWidth, 176);
  EXPECT_EQ(shownHeight, 220);
}

TEST_F(MainWindow, AProjectRoundTripsRowsAndOptions) {
  UnskinnedIni();
  TWorkFolder dir("project");
  Open();
  SplitGenerated(dir);
  const std::vector<std::string> names = Column("Name");
  Main->sSpinEdit1->SetValue(64);
  Main->sCheckBox1->SetChecked(true);
  Main->sRadioGroup1->SetItemIndex(1);
  {
    TBoxAnswerer boxes;
    AnswerFileDialog(Main->sSaveDialog1, dir / "proj");
    Main->sButton2Click(nullptr);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, Msgs[TMsgId::ProjectSaved] + ": \r" + dir / "proj.scp" + "\r(+ *.cfg)");
    EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"OK"});
  }
  ASSERT_TRUE(fs::exists(dir / "proj.cfg"));
  Main->sButton9Click(nullptr);
  Main->sFilenameEdit1->SetText("");
  Main->sSpinEdit1->SetValue(512);
  Main->sCheckBox1->SetChecked(false);
  Main->sRadioGroup1->SetItemIndex(0);
  Main->Rows().SetOrder(0);

  AnswerFileDialog(Main->sOpenDialog1, dir / "proj.scp");
  Main->sButton1Click(nullptr);
  ASSERT_TRUE(Main->CDS->Active());
  EXPECT_EQ(Main->sFilenameEdit1->Text(), dir / "fw.shx");
  EXPECT_EQ(Main->sSpinEdit1->Value(), 64);
  EXPECT_TRUE(Main->sCheckBox1->Checked());
  EXPECT_EQ(Main->sRadioGroup1->ItemIndex(), 1);
  EXPECT_EQ(Main->CDS->IndexName(), "by_a1");
  Main->Rows().SetOrder(0);
  EXPECT_EQ(Column("Name"), names);
  EXPECT_EQ(Column("CG")[0], "");  // the loader's empty CG stays empty

  // A damaged project is refused whole: the grid stays as it was.
  WriteText(dir / "bad.scp", "not a table");
  TExceptionSink errors;
  AnswerFileDialog(Main->sOpenDialog1, dir / "bad.scp");
  try {
    Main->sButton1Click(nullptr);
    ADD_FAILURE() << "a damaged project was opened";
  } catch (const std::exception&) {
  }
  EXPECT_EQ(Column("Name"), names);
}

TEST_F(MainWindow, SingleGroupCombineLeavesTheGridAsItWasAndNoTempFileBehind) {
  UnskinnedIni();
  TWorkFolder dir("single");
  Open();
  SplitGenerated(dir);
  TClientDataSet* cds = Main->CDS;
  ASSERT_TRUE(cds->Locate("cg", TVariant(4)));
  const std::vector<std::string> before = Column("Name");
  ASSERT_TRUE(cds->Locate("cg", TVariant(4)));
  WriteText(dir / "Tarvex.tmp", "the user's file");
  WriteFileBytes(dir / "lp.smg", std::vector<uint8_t>(1000, 7));
  AnswerFileDialog(Main->sSaveDialog1, dir / "lp.shx");
  TBoxAnswerer boxes;
  Main->CombineSingleCG(4, dir / "lp.smg", 0x10000000, 1000);
  EXPECT_TRUE(boxes.Boxes.empty());
  EXPECT_TRUE(fs::exists(dir / "lp.shx"));
  EXPECT_EQ(SRecordBlocks(ReadFileBytes(dir / "lp.shx")).size(), 2u);
  EXPECT_EQ(ReadText(dir / "Tarvex.tmp"), "the user's file");
  EXPECT_EQ(cds->FieldByName("CG")->AsInteger(), 4);
  EXPECT_EQ(Column("Name"), before);
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  for (const auto& entry : fs::directory_iterator(temp))
    EXPECT_NE(entry.path().filename().string().rfind("tvx", 0), 0u) << entry.path();
}

TEST_F(MainWindow, TheEditorsMessageBoxLeavesNoHandlesBehind) {
  UnskinnedIni();
  Open();
  TWorkFolder dir("census");
  SplitGenerated(dir);
  Main->CDS->First();
  TBoxAnswerer boxes;
  EXPECT_EQ(TGuiCensus::ChangeOver(200, [&] { Main->sButton6Click(nullptr); }), TGuiCensus());
  EXPECT_EQ(boxes.Boxes.size(), 201u);
}

TEST_F(MainWindow, MenuAndHelpFollowTheStoredLayout) {
  UnskinnedIni();
  Open();
  TMenuItem* root = Main->MainMenu1->Items();
  std::vector<std::string> captions;
  for (int i = 0; i < root->Count(); ++i) {
    captions.push_back(root->Items(i)->Caption());
    for (int j = 0; j < root->Items(i)->Count(); ++j) captions.push_back(" " + root->Items(i)->Items(j)->Caption());
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"File", " Open and split...", " -", " E&xit", "&Utilites",
                                                " Langpack editor", " DRM editor", " Flex editor", " -", " Flasher",
                                                "Options", " Environment", "?", " Help", " -", " About"}));
  EXPECT_EQ(Main->OpenAndSplit1->ShortCut(), ShortCut(VK_F3, 0));
  EXPECT_FALSE(Main->OpenAndSplit1->OnClick());
  EXPECT_EQ(Main->Flasher1->ShortCut(), ShortCut(VK_F9, 0));
  EXPECT_EQ(Main->Help1->ShortCut(), ShortCut(VK_F1, 0));

  // F1: topic 11 on the source edit, the contents elsewhere.
  std::vector<std::pair<UINT, ULONG_PTR>> calls;
  Application->SetOnHelp(THelpEvent::FromFunctor([&](UINT command, ULONG_PTR data, bool& callHelp) {
    calls.push_back({command, data});
    callHelp = false;
    return true;
  }));
  Main->SetActiveControl(Main->sFilenameEdit1);
  Main->Help1Click(nullptr);
  Main->SetActiveControl(Main->sSpinEdit1);
  Main->Help1Click(nullptr);
  Application->SetOnHelp(THelpEvent());
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0], (std::pair<UINT, ULONG_PTR>{HELP_CONTEXT, 11}));
  EXPECT_EQ(calls[1], (std::pair<UINT, ULONG_PTR>{HELP_FINDER, 0}));

  // Hints: the control's own when it shows hints, none when hints are off.
  std::string hint;
  bool canShow = false;
  THintInfo info;
  info.HintControl = Main->sButton3;
  Main->HintManagerShowHint(hint, canShow, info);
  EXPECT_TRUE(canShow);
  EXPECT_EQ(hint, "Add code group to project");
  info.HintControl = Main->DBGrid1;
  Main->HintManagerShowHint(hint, canShow, info);
  EXPECT_EQ(hint, "");
  Main->SetShowHints(false);
  Main->HintManagerShowHint(hint, canShow, info);
  EXPECT_FALSE(canShow);
}

TEST_F(MainWindow, ACloseDuringASplitWaitsForItsEnd) {
  UnskinnedIni();
  TWorkFolder dir("close");
  Open();
  bool closedDuring = false, enabledDuring = true;
  // The menu the window shows grays the jobs' items while one runs.
  const auto flasherShown = [&] {
    return (GetMenuState(GetMenu(Main->Handle()), Main->Flasher1->Command(), MF_BYCOMMAND) & MF_GRAYED) == 0;
  };
  bool flasherDuring = true;
  // At the split's first pumping of messages, a close and a second split are asked for.
  RunLater(1, [&] {
    enabledDuring = Main->sButton11->Enabled();
    flasherDuring = flasherShown();
    bool canClose = true;
    Main->FormCloseQuery(Main, canClose);
    closedDuring = canClose;
  });
  std::vector<TShxGroup> groups = RealisticFirmware(200000, 3);
  WriteFileBytes(dir / "fw.shx", BuildSuperfile(groups));
  Main->sSpinEdit1->SetValue(1);
  Main->sFilenameEdit1->SetText(dir / "fw.shx");
  Main->ClockStep = TfmMain::kJobFrameMs;  // every step a frame
  Main->sButton11Click(nullptr);
  EXPECT_FALSE(closedDuring);
  EXPECT_FALSE(enabledDuring);
  EXPECT_FALSE(flasherDuring);
  EXPECT_TRUE(Main->sButton11->Enabled());
  EXPECT_TRUE(flasherShown());
  EXPECT_EQ(Main->CDS->RecordCount(), static_cast<int>(groups.size() - 1));
}

TEST_F(MainWindow, ARunningSplitGraysTheJobsMenuItemsAndEnvironmentAndGivesThemBackAtItsEnd) {
  UnskinnedIni();
  TWorkFolder dir("jobmenu");
  Open();
  const auto shown = [&](TMenuItem* item) {
    return (GetMenuState(GetMenu(Main->Handle()), item->Command(), MF_BYCOMMAND) & MF_GRAYED) == 0;
  };
  const std::vector<std::pair<std::string, TMenuItem*>> items{
      {"Open and split", Main->OpenAndSplit1}, {"Flasher", Main->Flasher1},
      {"Langpack editor", Main->LangpackEditor1}, {"DRM editor", Main->DRMEditor1},
      {"Flex editor", Main->FlexEditor1}, {"Environment", Main->Environment1}};
  for (const auto& [name, item] : items) EXPECT_TRUE(shown(item)) << name << " before the split";
  std::vector<std::string> shownDuring;
  bool ran = false;
  RunLater(1, [&] {
    ran = true;
    for (const auto& [name, item] : items)
      if (shown(item)) shownDuring.push_back(name);
  });
  WriteFileBytes(dir / "fw.shx", BuildSuperfile(RealisticFirmware(200000, 3)));
  Main->sSpinEdit1->SetValue(1);
  Main->sFilenameEdit1->SetText(dir / "fw.shx");
  Main->ClockStep = TfmMain::kJobFrameMs;  // every step a frame
  Main->sButton11Click(nullptr);
  ASSERT_TRUE(ran);
  EXPECT_EQ(shownDuring, std::vector<std::string>{});
  for (const auto& [name, item] : items) EXPECT_TRUE(shown(item)) << name << " after the split";
}

// However fast the job's clock runs, the gauge and the status are painted once per frame at most,
// and when the job returns their last painting shows their last values.
TEST_F(MainWindow, AJobPaintsTheGaugeAndStatusOncePerFrameAndEndsShowingItsLastValues) {
  WriteText(IniName(), "[Environment]\r\nSkined=1\r\nSkinName=Desert\r\nShowHints=0\r\n");
  TWorkFolder dir("frames");
  Open();
  ASSERT_TRUE(Main->SkinManager->Active());
  WriteFileBytes(dir / "fw.shx", BuildSuperfile(RealisticFirmware(200000, 3)));
  Main->sSpinEdit1->SetValue(1);
  Main->sFilenameEdit1->SetText(dir / "fw.shx");
  for (const uint64_t step : {uint64_t(0), uint64_t(1), TfmMain::kJobFrameMs}) {
    SCOPED_TRACE("clock step " + std::to_string(step) + " ms");
    Main->ClockStep = step;
    Pump();
    const uint64_t start = Main->Now;
    std::vector<COLORREF> gaugeShown, statusShown;
    {
      TPaintCounter gauge(Main->sGauge1), status(Main->sStatusBar1);
      Main->sButton11Click(nullptr);
      const uint64_t frames = (Main->Now - start) / TfmMain::kJobFrameMs;
      EXPECT_GE(gauge.Paints(), 1u);
      EXPECT_LE(gauge.Paints(), frames + 1);
      EXPECT_GE(status.Paints(), 1u);
      EXPECT_LE(status.Paints(), frames + 1);
      gaugeShown = CachePixels(Main->sGauge1->SkinData());
      statusShown = CachePixels(Main->sStatusBar1->SkinData());
    }
    EXPECT_EQ(Main->sGauge1->PercentDone(), 100);
    ASSERT_FALSE(Main->Statuses.empty());
    EXPECT_EQ(Main->sStatusBar1->SimpleText(), Main->Statuses.back());
    // What a full repaint of the final values paints.
    for (TsCommonData* data : {&Main->sGauge1->SkinData(), &Main->sStatusBar1->SkinData()}) data->SetRepaintNeeded(true);
    Main->sGauge1->Repaint();
    Main->sStatusBar1->Repaint();
    EXPECT_FALSE(gaugeShown.empty());
    EXPECT_TRUE(gaugeShown == CachePixels(Main->sGauge1->SkinData())) << "the gauge shows an earlier value";
    EXPECT_TRUE(statusShown == CachePixels(Main->sStatusBar1->SkinData())) << "the status shows an earlier text";
  }
}

// What the main window and its controls are told to show, and whether the skin was in place then:
// the window's showing, its frame and background, and every paint, sent or taken from the queue.
class TFirstLook {
public:
  TFirstLook() {
    Current = this;
    FSent = SetWindowsHookExA(WH_CALLWNDPROC, &Sent, nullptr, GetCurrentThreadId());
    FQueued = SetWindowsHookExA(WH_GETMESSAGE, &Queued, nullptr, GetCurrentThreadId());
  }
  ~TFirstLook() {
    UnhookWindowsHookEx(FSent);
    UnhookWindowsHookEx(FQueued);
    Current = nullptr;
  }
  TFirstLook(const TFirstLook&) = delete;
  TFirstLook& operator=(const TFirstLook&) = delete;

  struct TSeen {
    UINT Msg;
    bool Skinned;
  };
  std::vector<TSeen> Seen;

private:
  static void Note(HWND window, UINT msg, WPARAM wParam) {
    const bool shown = msg == WM_SHOWWINDOW && wParam != 0;
    if (!shown && msg != WM_NCPAINT && msg != WM_ERASEBKGND && msg != WM_PAINT) return;
    TfmMain* main = fmMain;
    if (Current == nullptr || main == nullptr || !main->HandleAllocated()) return;
    if (window != main->Handle() && !IsChild(main->Handle(), window)) return;
    Current->Seen.push_back({msg, SkinData().Active && main->sSkinProvider1->Skinned()});
  }
  static LRESULT CALLBACK Sent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
      const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
      Note(m->hwnd, m->message, m->wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static LRESULT CALLBACK Queued(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
      const auto* m = reinterpret_cast<const MSG*>(lParam);
      Note(m->hwnd, m->message, m->wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline TFirstLook* Current = nullptr;
  HHOOK FSent, FQueued;
};

// At start the skin is in place before the main window shows anything: its first frame is skinned,
// never the standard look first and the skin after it.
TEST_F(MainWindow, AtStartTheWindowAndItsControlsAreFirstSeenSkinned) {
  TFirstLook look;
  Main = NewComponent<TTestMain>(Application);
  fmMain = Main;
  // As the program makes its main window: with a window, hidden, until the message loop shows it.
  Main->HandleNeeded();
  Main->Show();
  Pump();
  ASSERT_TRUE(IsWindowVisible(Main->Handle()));
  for (UINT msg : {UINT(WM_SHOWWINDOW), UINT(WM_NCPAINT), UINT(WM_PAINT)})
    EXPECT_TRUE(std::any_of(look.Seen.begin(), look.Seen.end(), [msg](const auto& s) { return s.Msg == msg; }))
        << "message " << msg << " never came";
  for (size_t i = 0; i < look.Seen.size(); ++i)
    EXPECT_TRUE(look.Seen[i].Skinned) << "message " << look.Seen[i].Msg << " (" << i << ") came unskinned";
}

// Turning the jobs' controls off and on for a job paints each of them, and the labels that follow
// them, once each way.
TEST_F(MainWindow, AJobPaintsEachOfItsControlsOnceOffAndOnceOn) {
  TWorkFolder dir("offon");
  OpenSkinnedForAJob(dir);
  const std::vector<std::pair<std::string, TControl*>> controls{
      {"Open project", Main->sButton1}, {"Save project", Main->sButton2}, {"Add", Main->sButton3},
      {"Delete", Main->sButton4}, {"Open by", Main->sButton5}, {"Edit", Main->sButton6},
      {"Replace", Main->sButton7}, {"Flash", Main->sButton8}, {"Clear All", Main->sButton9},
      {"Combine", Main->sButton10}, {"Split", Main->sButton11}, {"superfile name", Main->sFilenameEdit1},
      {"buffer size", Main->sSpinEdit1}, {"buffer size's arrows", Main->sSpinEdit1->Button()},
      {"memory map", Main->sCheckBox1}, {"ordered by", Main->sRadioGroup1},
      {"superfile name's label", Main->sFilenameEdit1->BoundLabel()->Label()->Control()},
      {"buffer size's label", Main->sSpinEdit1->BoundLabel()->Label()->Control()}};
  std::vector<std::unique_ptr<TPaintCounter>> counters;
  for (const auto& [name, control] : controls) counters.push_back(std::make_unique<TPaintCounter>(control));
  Main->sButton11Click(nullptr);
  Pump();
  ASSERT_GT(Main->CDS->RecordCount(), 0);
  for (size_t i = 0; i < controls.size(); ++i) EXPECT_EQ(counters[i]->Paints(), 2u) << controls[i].first;
}

// While a job runs its controls are off and show it, painted with nothing left waiting; when it ends
// they show what a full repaint shows (a radio button stood on its group's image of the job, the
// file edit's button kept the look it had before). The menu shown grays the jobs' items in place: it
// is not built again, nor the skinned frame.
TEST_F(MainWindow, AJobShowsItsControlsOffWhileItRunsAndAsAFullRepaintWouldAfter) {
  TWorkFolder dir("offlook");
  OpenSkinnedForAJob(dir);
  ASSERT_TRUE(Main->SkinManager->Active());
  const std::vector<TControl*> jobControls{
      Main->sButton1, Main->sButton2, Main->sButton3, Main->sButton4, Main->sButton5,
      Main->sButton6, Main->sButton7, Main->sButton8, Main->sButton9, Main->sButton10,
      Main->sButton11, Main->sFilenameEdit1, Main->sSpinEdit1, Main->sCheckBox1, Main->sRadioGroup1};
  std::vector<TsSkinnedControl*> skinned;
  for (TControl* control : jobControls) SkinnedTree(control, skinned);
  const HMENU menu = GetMenu(Main->Handle());
  const int frames = Main->sSkinProvider1->FramePaints();
  bool checked = false;
  std::vector<std::string> onDuring, waitingDuring, staleDuring;
  Main->sGauge1->SetOnChange(TNotifyEvent::FromFunctor([&](TObject*) {
    if (checked) return;
    checked = true;
    for (TControl* control : jobControls) {
      if (control->Enabled()) onDuring.push_back(control->Name());
      auto* window = dynamic_cast<TWinControl*>(control);
      if (window != nullptr && GetUpdateRect(window->Handle(), nullptr, FALSE)) waitingDuring.push_back(control->Name());
    }
    staleDuring = StalePaintings(skinned);
  }));
  Main->sButton11Click(nullptr);
  Main->sGauge1->SetOnChange(TNotifyEvent());
  ASSERT_TRUE(checked);
  EXPECT_EQ(onDuring, std::vector<std::string>{});
  EXPECT_EQ(waitingDuring, std::vector<std::string>{});
  EXPECT_EQ(staleDuring, std::vector<std::string>{});
  EXPECT_EQ(Main->sSkinProvider1->FramePaints(), frames);
  EXPECT_EQ(GetMenu(Main->Handle()), menu);
  for (TControl* control : jobControls) EXPECT_TRUE(control->Enabled()) << control->Name();
  EXPECT_EQ(StalePaintings(skinned), std::vector<std::string>{});
}

// A job after the first shows its controls off and on from the pictures the first one built,
// building none: what they show is what the first job showed, and then what a full repaint shows.
TEST_F(MainWindow, ALaterJobShowsItsControlsOffAndOnFromTheKeptPictures) {
  TWorkFolder dir("keptlook");
  OpenSkinnedForAJob(dir);
  ASSERT_TRUE(Main->SkinManager->Active());
  std::vector<TsSkinnedControl*> skinned;
  for (TControl* control : std::vector<TControl*>{Main->sButton1, Main->sButton2, Main->sButton3, Main->sButton4,
                                                   Main->sButton5, Main->sButton6, Main->sButton7, Main->sButton8,
                                                   Main->sButton9, Main->sButton10, Main->sButton11, Main->sCheckBox1})
    SkinnedTree(control, skinned);
  const auto pictures = [&] {
    std::vector<std::vector<COLORREF>> shown;
    for (TsSkinnedControl* c : skinned) shown.push_back(CachePixels(c->SkinData()));
    return shown;
  };
  const auto builds = [&] {
    int n = 0;
    for (TsSkinnedControl* c : skinned) n += c->CacheBuilds();
    return n;
  };
  std::vector<std::vector<COLORREF>> during;
  Main->sGauge1->SetOnChange(TNotifyEvent::FromFunctor([&](TObject*) {
    if (during.empty()) during = pictures();
  }));
  Main->sButton11Click(nullptr);
  Pump();
  const std::vector<std::vector<COLORREF>> firstDuring = during, firstAfter = pictures();
  const int built = builds();
  during.clear();
  Main->sButton11Click(nullptr);
  Pump();
  Main->sGauge1->SetOnChange(TNotifyEvent());
  EXPECT_EQ(builds(), built);
  EXPECT_TRUE(during == firstDuring) << "a control shows another picture off";
  EXPECT_TRUE(pictures() == firstAfter) << "a control shows another picture on";
  EXPECT_EQ(StalePaintings(skinned), std::vector<std::string>{});
}

}  // namespace
