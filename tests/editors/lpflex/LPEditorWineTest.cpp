#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "EditorWindowTestSupport.h"
#include "editors/TEditorWindowHost.h"
#include "editors/TfmLPEditor.h"
#include "editors/core/TLPEditorModel.h"
#include "editors/core/TLanguagePack.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TFont.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "tests/editors/generators/LangPackGenerator.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/support/TTempFolder.h"
#include "workbench/core/Messages.h"

// The language-pack editor driven as a user drives it: keys and clicks, its dialogs and boxes
// answered while their modal loops run, over a generated pack named by a scripted main grid.

namespace {

std::u16string Wide(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

class LPEditorWindow : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    TGenPackPlan plan = SmallLangPackPlan(7, 3);
    // A CJK language whose strings fill whole groups: an edited string moves the last group's
    // offset, which a group table of a count not a multiple of 4 cannot hold.
    plan.Languages[2].Strings = 24;
    Gen = GenerateLangPack(plan);
    PackName = Folder / "phone_{@0x10A40000}CG4.smg";
    WriteBytes(PackName, Gen.Image);
    World.Main.Grid[4] = TGridRow{PackName, int32_t(Gen.Base), ""};
    Form = NewComponent<TfmLPEditor>(Application);
  }
  void TearDown() override {
    Form->Free();
    Pump();
  }

  void ShowAndParse(int slot) {
    Form->Show();
    Pump();
    Form->cds1->SetRecNo(slot + 1);
    ClickButton(Form->sButton4);
    Pump();
  }
  std::u16string Text(int recNo) { return StringText(Form, recNo); }

  TTempFolder Folder{"lpeditor"};
  TGenPack Gen;
  std::string PackName;
  TScriptedEditorWorld World;
  TfmLPEditor* Form = nullptr;
};

TEST_F(LPEditorWindow, ShownFromTheGridItOpensTheImageAndParsesWithStatusAndGauge) {
  Form->Show();
  Pump();
  EXPECT_EQ(Form->sFilenameEdit1->Text(), PackName);
  ASSERT_EQ(Form->cds1->RecordCount(), 3);
  EXPECT_EQ(Form->cds1->FieldByName("Name")->AsString(), "US English");
  EXPECT_EQ(Form->DBGrid1->CellText(1, 3), L"Chinese Simple");
  EXPECT_FALSE(Form->cdsStr->Active());

  // The last row by keyboard in the languages grid, then "Parse language".
  Form->DBGrid1->SetFocus();
  PostKey(Form->DBGrid1->Handle(), VK_END);
  Pump();
  ASSERT_EQ(Form->cds1->RecNo(), 3);
  ClickButton(Form->sButton4);
  Pump();
  const auto& cjk = Gen.Languages[2].Strings;
  ASSERT_EQ(Form->cdsStr->RecordCount(), int(cjk.size()));
  EXPECT_EQ(Text(2), cjk[1]);
  EXPECT_EQ(Form->DBGrid2->CellText(1, 2), std::wstring(cjk[1].begin(), cjk[1].end()));
  EXPECT_EQ(World.Main.Statuses, (std::vector<std::string>{Msgs[TMsgId::ExtractingStrings],
                                                           Msgs[TMsgId::StringsExtracted]}));
  ASSERT_FALSE(World.Main.Progress.empty());
  const int n = int(cjk.size());
  EXPECT_EQ(World.Main.Progress.back(), std::make_pair(n, n)) << "the gauge ends full";
  EXPECT_LT(World.Main.Progress.size(), cjk.size()) << "the gauge is not repainted for every string";

  // Hiding lets the image go and closes both tables.
  Form->Hide();
  EXPECT_FALSE(Form->Model().Loaded());
  EXPECT_FALSE(Form->cds1->Active());
  EXPECT_FALSE(Form->cdsStr->Active());
}

// Text drawn in font as the grid draws its cells, into a bitmap of our own: its pixels.
std::vector<std::uint32_t> DrawnText(TFont* font, const std::wstring& text, SIZE size) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(size.cx, size.cy);
  TCanvas* canvas = bmp.Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(RECT{0, 0, size.cx, size.cy});
  canvas->SetFont(font);
  HDC dc = canvas->Handle();
  SelectObject(dc, font->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  TextOutW(dc, 0, 0, text.c_str(), int(text.size()));
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < size.cy; ++y) {
    const std::uint8_t* row = bmp.ScanLine(y);
    for (int x = 0; x < size.cx; ++x) pixels.push_back(row[3 * x] | (row[3 * x + 1] << 8) | (std::uint32_t(row[3 * x + 2]) << 16));
  }
  return pixels;
}

TEST_F(LPEditorWindow, CjkStringsOfTheGridDrawAsGlyphsNotAsMissingGlyphBoxes) {
  ShowAndParse(2);
  const std::wstring cell = Form->DBGrid2->CellText(1, 2);
  std::wstring cjk;
  for (wchar_t c : cell)
    if (c >= 0x4E00 && c <= 0x9FFF && cjk.find(c) == std::wstring::npos && cjk.size() < 2) cjk.push_back(c);
  ASSERT_EQ(cjk.size(), 2u) << "the pack's CJK language has CJK strings";
  TFont* font = Form->DBGrid2->Font();
  // Room for one character of any font: the font's own height, twice over.
  TBitmap scratch;
  scratch.Canvas()->SetFont(font);
  const int side = 2 * scratch.Canvas()->TextHeight("W");
  const SIZE size{side, side};
  // U+0378 is unassigned: every font draws its missing-glyph box for it.
  const auto box = DrawnText(font, L"\x0378", size);
  const auto first = DrawnText(font, cjk.substr(0, 1), size);
  const auto second = DrawnText(font, cjk.substr(1, 1), size);
  EXPECT_TRUE(first != box) << "the first character is a box";
  EXPECT_TRUE(second != box) << "the second character is a box";
  EXPECT_TRUE(first != second) << "two characters drawn alike are two boxes";
  // The window font itself stays: only missing characters come from the CJK font.
  HDC dc = scratch.Canvas()->Handle();
  SelectObject(dc, font->Handle());
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  EXPECT_EQ(std::string(face).find("WenQuanYi"), std::string::npos) << face;
}

TEST_F(LPEditorWindow, TheGaugeMovesAtMostEvery30MsAndAlwaysAtTheEndsOfARun) {
  TEditorWindowHost& host = Form->Host();
  const DWORD start = GetTickCount();
  for (int k = 1; k <= 6000; ++k) host.SetProgress(k, 6000);
  const DWORD elapsed = GetTickCount() - start;
  const auto& shown = World.Main.Progress;
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown.front(), std::make_pair(1, 6000));
  EXPECT_EQ(shown.back(), std::make_pair(6000, 6000));
  EXPECT_LE(shown.size(), 2 + elapsed / 30 + 1);
  // A run of another length starts at once.
  host.SetProgress(1, 40);
  EXPECT_EQ(shown.back(), std::make_pair(1, 40));
}

TEST_F(LPEditorWindow, ACjkStringTypedInTheGridIsPackedAndSavedWithEveryOtherString) {
  ShowAndParse(2);
  const auto& units = Gen.Languages[2].TreeUnits;
  // CJK characters of the language's own code.
  std::wstring typed;
  for (char16_t u : units)
    if (u >= 0x4E00 && typed.size() < 4) typed.push_back(wchar_t(u));
  ASSERT_EQ(typed.size(), 4u);

  Form->DBGrid2->SetFocus();
  PostKey(Form->DBGrid2->Handle(), VK_DOWN);
  PostKey(Form->DBGrid2->Handle(), VK_DOWN);
  Pump();
  ASSERT_EQ(Form->cdsStr->RecNo(), 3);
  // F2 opens the cell's editor with its text selected; the typed text replaces it.
  PostKey(Form->DBGrid2->Handle(), VK_F2);
  Pump();
  ASSERT_TRUE(Form->DBGrid2->EditorMode());
  ASSERT_EQ(GetFocus(), Form->DBGrid2->EditorHandle());
  TypeKeys(typed);
  Pump();
  PostKey(Form->DBGrid2->EditorHandle(), VK_RETURN);
  Pump();
  EXPECT_EQ(Text(3), Wide(typed));

  ClickButton(Form->sButton10);
  Pump();
  EXPECT_EQ(World.Main.Statuses.back(), Msgs[TMsgId::StringsPacked]);

  const std::string saved = Folder / "saved.smg";
  AnswerDialog(Form->sSaveDialog1, saved);
  std::string info;
  CloseNextBox(info, "OK");
  ClickButton(Form->sButton1);
  Pump();
  EXPECT_EQ(info, Msgs[TMsgId::DataSaved] + ":\r" + saved);
  EXPECT_EQ(Form->sFilenameEdit1->Text(), saved);
  EXPECT_EQ(Form->cds1->RecNo(), 3) << "the saved file is opened again on the same language";

  const TLanguagePack pack(ReadBytes(saved));
  std::vector<std::u16string> expected = Gen.Languages[2].Strings;
  expected[2] = Wide(typed);
  EXPECT_EQ(pack.Decode(2), expected);
  EXPECT_EQ(pack.Decode(0), Gen.Languages[0].Strings);
  EXPECT_EQ(pack.Decode(1), Gen.Languages[1].Strings);
}

TEST_F(LPEditorWindow, TheCellEditorTakesNoMoreCharactersThanTheFieldHolds) {
  ShowAndParse(0);
  Form->DBGrid2->SetFocus();
  TypeText(Form->DBGrid2->Handle(), L"a");
  Pump();
  ASSERT_TRUE(Form->DBGrid2->EditorMode());
  TypeText(Form->DBGrid2->EditorHandle(), std::wstring(300, L'b'));
  Pump();
  EXPECT_EQ(GetWindowTextLengthW(Form->DBGrid2->EditorHandle()), int(TLanguagePack::MaxStringUnits));
  PostKey(Form->DBGrid2->EditorHandle(), VK_RETURN);
  Pump();
  EXPECT_EQ(Text(1), u"a" + std::u16string(TLanguagePack::MaxStringUnits - 1, u'b'));
}

TEST_F(LPEditorWindow, DeleteThenAddFromFileRestoresTheImageAndAFullPackRefusesMore) {
  Form->Show();
  Pump();
  Form->cds1->Last();
  std::string question;
  CloseNextBox(question, "Yes");
  ClickButton(Form->sButton6);
  Pump();
  EXPECT_EQ(question, Msgs[TMsgId::DeleteLanguage]);
  EXPECT_EQ(Form->cds1->RecordCount(), 2);

  const std::string lng = Folder / "chinese.lng";
  WriteBytes(lng, Gen.Languages[2].Lng);
  AnswerDialog(Form->sOpenDialog1, lng);
  std::string info;
  CloseNextBox(info, "OK");
  ClickButton(Form->sButton7);
  Pump();
  EXPECT_EQ(info, Msgs[TMsgId::LanguageAdded] + ": \r" + lng);
  EXPECT_EQ(Form->cds1->RecordCount(), 3);
  EXPECT_EQ(Form->Model().Pack()->Image(), Gen.Image);

  // A pack of ten languages: the eleventh is refused and the image stays.
  const TGenPack full = GenerateLangPack(SmallLangPackPlan(3, 10));
  WriteBytes(PackName, full.Image);
  ClickButton(Form->sButton11);
  Pump();
  ASSERT_EQ(Form->cds1->RecordCount(), 10);
  AnswerDialog(Form->sOpenDialog1, lng);
  std::string error;
  CloseNextBox(error, "Cancel");
  ClickButton(Form->sButton7);
  Pump();
  EXPECT_EQ(error, Msgs[TMsgId::TooManyLanguages]);
  EXPECT_EQ(Form->Model().Pack()->Image(), full.Image);
}

TEST_F(LPEditorWindow, StringsSaveAndLoadInTheFormTheirExtensionNames) {
  ShowAndParse(1);
  const auto& strings = Gen.Languages[1].Strings;
  const auto save = [&](const std::string& name) {
    AnswerDialog(Form->sSaveDialog1, Folder / name);
    ClickButton(Form->sButton8);
    Pump();
    return ReadBytes(Folder / name);
  };
  const std::vector<uint8_t> xml = save("s.xml"), cds = save("s.cds"), upper = save("upper.XML"), txt = save("s.txt");
  EXPECT_EQ(std::string(xml.begin(), xml.begin() + 5), "<?xml");
  EXPECT_NE(cds, xml);
  EXPECT_EQ(std::string(upper.begin(), upper.begin() + 7), "0001 | ") << "an upper-case .XML is the text form";
  EXPECT_EQ(upper, txt);

  const auto load = [&](const std::string& name) {
    Form->cdsStr->Close();
    AnswerDialog(Form->sOpenDialog1, Folder / name);
    ClickButton(Form->sButton9);
    Pump();
    ASSERT_TRUE(Form->cdsStr->Active()) << name;
    ASSERT_EQ(Form->cdsStr->RecordCount(), int(strings.size())) << name;
    EXPECT_EQ(Text(int(strings.size())), strings.back()) << name;
  };
  load("s.cds");
  load("s.xml");
  // The text form holds what the system's code page holds: these Cyrillic strings come back as
  // they were only on a Cyrillic code page, so the IDs are checked, and a string of ASCII.
  load("s.txt");
  Form->cdsStr->Last();
  EXPECT_EQ(Form->cdsStr->FieldByName("ID")->AsInteger(), int(strings.size()));
}

TEST_F(LPEditorWindow, TheHexJumpLocatesAsItIsTypedInUpperCase) {
  ShowAndParse(0);
  Form->sEdit1->SetFocus();
  TypeText(Form->sEdit1->Handle(), L"1a");
  Pump();
  EXPECT_EQ(Form->sEdit1->Text(), "1A");
  EXPECT_EQ(Form->cdsStr->FieldByName("ID")->AsInteger(), 0x1A);
  Form->cdsStr->First();
  // Leaving the edit locates again.
  Form->DBGrid2->SetFocus();
  Pump();
  EXPECT_EQ(Form->cdsStr->FieldByName("ID")->AsInteger(), 0x1A);
}

TEST_F(LPEditorWindow, MakeShxAndFlashHandOnTheFileAndAreRefusedWhileAJobOrARunIsOn) {
  Form->Show();
  Pump();
  ClickButton(Form->sButton3);
  ASSERT_EQ(World.Main.Combines.size(), 1u);
  EXPECT_EQ(World.Main.Combines[0].CG, 4);
  EXPECT_EQ(World.Main.Combines[0].FileName, PackName);
  EXPECT_EQ(uint32_t(World.Main.Combines[0].Address), Gen.Base);
  EXPECT_EQ(World.Main.Combines[0].Size, int32_t(Gen.Image.size()));

  ClickButton(Form->sButton2);
  EXPECT_EQ(World.Main.LoaderFills, 1);
  EXPECT_EQ(World.Flasher.Shows, 1);
  ASSERT_EQ(World.Flasher.Rows.size(), 1u);
  const TFlasherRow& row = World.Flasher.Rows[0];
  EXPECT_EQ(row.CG, 4);
  EXPECT_EQ(row.Name, PackName);
  EXPECT_EQ(row.Type, "LangPack");
  const uint32_t word0 = uint32_t(Gen.Image[0]) << 24 | uint32_t(Gen.Image[1]) << 16 | uint32_t(Gen.Image[2]) << 8;
  EXPECT_EQ(uint32_t(row.A1), word0);
  EXPECT_EQ(row.Size, int32_t(Gen.Image.size()));

  // While the main window's job or a flash run pumps messages, both are refused with a box.
  for (bool job : {true, false}) {
    World.Main.Busy = job;
    World.Flasher.Run = !job;
    std::string shx, flash;
    CloseNextBox(shx, "Cancel");
    ClickButton(Form->sButton3);
    CloseNextBox(flash, "Cancel");
    ClickButton(Form->sButton2);
    EXPECT_EQ(shx, TEditorWindowHost::BusyText);
    EXPECT_EQ(flash, TEditorWindowHost::BusyText);
  }
  EXPECT_EQ(World.Main.Combines.size(), 1u);
  EXPECT_EQ(World.Flasher.Resets, 1);
  EXPECT_EQ(World.Flasher.Rows.size(), 1u);

  // A missing file: the list is emptied and the flasher still shown.
  World.Main.Busy = World.Flasher.Run = false;
  Form->sFilenameEdit1->SetText(Folder / "gone.smg");
  ClickButton(Form->sButton2);
  EXPECT_TRUE(World.Flasher.Rows.empty());
  EXPECT_EQ(World.Flasher.Shows, 2);
}

TEST_F(LPEditorWindow, AFileErrorReachesAnErrorBoxAndTheStringsStay) {
  ShowAndParse(0);
  const std::string locked = Folder / "locked.txt";
  WriteBytes(locked, {'0', '0', '0', '1', ' ', '|', ' ', 'x'});
  HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hold, INVALID_HANDLE_VALUE);
  AnswerDialog(Form->sOpenDialog1, locked);
  std::string error;
  CloseNextBox(error, "Cancel");
  TExceptionSink sink;
  ClickButton(Form->sButton9);
  Pump();
  CloseHandle(hold);
  EXPECT_NE(error.find("locked.txt"), std::string::npos) << error;
  EXPECT_TRUE(sink.Messages.empty());
  EXPECT_EQ(Form->cdsStr->RecordCount(), int(Gen.Languages[0].Strings.size()));
  EXPECT_EQ(Text(1), Gen.Languages[0].Strings[0]);
}

TEST_F(LPEditorWindow, ShowParseAndHideLeaveNoHandlesBehind) {
  const TGuiCensus change = TGuiCensus::ChangeOver(200, [&] {
    Form->Show();
    Form->cds1->Last();
    ClickButton(Form->sButton4);
    Pump();
    Form->Hide();
  });
  EXPECT_EQ(change, TGuiCensus());
}

}  // namespace
