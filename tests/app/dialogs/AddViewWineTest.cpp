#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "app/ShellOpen.h"
#include "app/TfmAdd.h"
#include "app/TfmView.h"
#include "framework/base/TAtomicFileStream.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TLoadBudget.h"
#include "framework/win/TApplication.h"
#include "shx-generator.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "workbench/core/FileFilters.h"
#include "workbench/core/Messages.h"

// The add dialog and the external-viewer dialog on real messages: edits typed into, buttons
// clicked, message boxes answered while their loops run.

namespace {

const std::string kIncorrect = "Incorrect data!";

class AddDialog : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Form = Make<TfmAdd>(nullptr);
  }
  // Shows the dialog modally, runs steps on it while it is shown and gives its modal result.
  int Run(std::function<void(TfmAdd*)> steps) {
    WhenShown<TfmAdd>(std::move(steps));
    return Form->ShowModal();
  }
  static void Fill(TfmAdd* f, const std::string& name, const std::string& cg, const std::string& address) {
    f->sFilenameEdit1->SetText(name);
    f->sEdit1->SetText(cg);
    f->sEdit2->SetText(address);
  }
  TOwned<TfmAdd> Form;
};

TEST_F(AddDialog, OkClosesOnlyOnRowsTheGridAndTheCombineCanHold) {
  TScratchFolder dir;
  WriteBytes(dir / "a256.smg", std::vector<unsigned char>(256, 1));
  WriteBytes(dir / "a257.smg", std::vector<unsigned char>(257, 1));
  struct TCase {
    const char* File;
    const char* CG;
    const char* Address;
  };
  const TCase refused[] = {
      {"a256.smg", "", "3fx0000"},    // not hex
      {"a256.smg", "", ""},           // no address
      {"a256.smg", "21", "1000"},     // past the last code group
      {"a256.smg", "-3", "1000"},     // before the RAM downloader
      {"a256.smg", "123", "1000"},    // what "Detect file" finds in a name ending in CG123.smg
      {"a256.smg", "4a", "1000"},     // not decimal
      {"a256.smg", "4", "123456789"}, // nine digits would wrap
      {"a257.smg", "20", "FFFFFF00"}, // the image ends past FFFFFFFF
  };
  std::vector<TBoxSeen> boxes;
  bool stayedOpen = true;
  const int result = Run([&](TfmAdd* f) {
    for (const TCase& c : refused) {
      Fill(f, dir / c.File, c.CG, c.Address);
      TBoxSeen seen;
      AnswerBox("Cancel", seen);
      Click(f->sButton1);
      boxes.push_back(seen);
      stayedOpen = stayedOpen && ShownModal<TfmAdd>() == f && f->ModalResult() == mrNone;
    }
    Fill(f, dir / "a256.smg", "20", "FFFFFF00");  // ends at FFFFFFFF exactly
    Click(f->sButton1);
  });
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(boxes.size(), std::size(refused));
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    EXPECT_EQ(boxes[i].Count, 1) << i;
    EXPECT_EQ(boxes[i].Text, kIncorrect) << i;
    EXPECT_EQ(boxes[i].Buttons, std::vector<std::string>{"Cancel"}) << i;
    EXPECT_EQ(boxes[i].Caption, "Error") << i;
  }

  // The Part's examples: a lower-case address of seven digits, and an empty code group.
  EXPECT_EQ(Run([&](TfmAdd* f) {
              Fill(f, dir / "a256.smg", "", "3fd0000");
              Click(f->sButton1);
            }),
            mrOk);
  EXPECT_EQ(Run([&](TfmAdd* f) {
              Fill(f, dir / "a256.smg", "-2", "03FD0000");
              PostMessageA(f->sEdit2->Handle(), WM_KEYDOWN, VK_RETURN, 1);  // Enter: the default button
            }),
            mrOk);
  EXPECT_EQ(Form->sEdit2->Text(), "03FD0000") << "the main window reads the edits after the dialog closed";
  EXPECT_EQ(Run([&](TfmAdd* f) { PostMessageA(f->sEdit1->Handle(), WM_KEYDOWN, VK_ESCAPE, 1); }), mrCancel);
}

TEST_F(AddDialog, ShowEmptiesTheEditsAndTheBrowseButtonOffersImageFiles) {
  Fill(Form.get(), "C:\\old.smg", "4", "11200000");
  std::string name = "?", cg = "?", address = "?", filter;
  Run([&](TfmAdd* f) {
    name = f->sFilenameEdit1->Text();
    cg = f->sEdit1->Text();
    address = f->sEdit2->Text();
    // The edit's own dialog opens on its button; cancel it as soon as it shows.
    f->sFilenameEdit1->Dialog()->SetOnShow(TNotifyEvent([](TObject* sender) {
      PostMessageA(static_cast<TOpenDialog*>(sender)->Handle(), WM_COMMAND, IDCANCEL, 0);
    }));
    f->sFilenameEdit1->Dialog()->SetFilter("");
    f->sFilenameEdit1->DoButtonClick();
    filter = f->sFilenameEdit1->Filter();
    Click(f->sButton2);
  });
  EXPECT_EQ(name, "");
  EXPECT_EQ(cg, "");
  EXPECT_EQ(address, "");
  EXPECT_EQ(filter, GetFilter(3));
}

std::uint32_t BigEndianAt(const std::vector<std::uint8_t>& image, std::size_t at) {
  return std::uint32_t(image[at]) << 24 | std::uint32_t(image[at + 1]) << 16 | std::uint32_t(image[at + 2]) << 8 |
         image[at + 3];
}

std::string Hex8(std::uint32_t v) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", unsigned(v));
  return text;
}

TEST_F(AddDialog, DetectFileAsksAndTakesTheCodeGroupAndAddressFromTheImage) {
  TScratchFolder dir;
  std::vector<std::uint8_t> drm, lang, map, ramdld;
  for (const TShxGroup& g : RealisticFirmware(4096, 7)) {
    if (g.CG == 15) drm = g.Data;
    if (g.CG == 4) lang = g.Data;
    if (g.CG == 0) map = g.Data;
    if (g.CG == -2) ramdld = g.Data;
  }
  WriteFileBytes(dir / "fw_CG15.smg", drm);
  WriteFileBytes(dir / "fw_CG4.smg", lang);
  WriteFileBytes(dir / "fw_CG0.smg", map);
  WriteFileBytes(dir / "fw_RAMDLD.smg", ramdld);
  WriteFileBytes(dir / "short_CG15.smg", SmallFirmware(3).back().Data);  // one byte: no word at 8
  WriteFileBytes(dir / "fw{@0x11C00000}_CG7.smg", {1});
  WriteFileBytes(dir / "fw_CG123.smg", {1});

  struct TStep {
    std::string File;
    std::string Answer;  // "Yes" or "No"
    std::string Question;
    std::string CG, Address;  // the edits afterwards; they start as "x" and "y"
  };
  const std::string cgQuestion = "Was detect CG";
  const TStep steps[] = {
      {"fw_CG15.smg", "Yes", cgQuestion + "15\rit is coorrect?", "15", Hex8(BigEndianAt(drm, 8) & 0xFFFFFF00u)},
      {"fw_CG4.smg", "Yes", cgQuestion + "4\rit is coorrect?", "4", "11200000"},
      {"fw_CG0.smg", "Yes", cgQuestion + "0\rit is coorrect?", "0", Hex8(BigEndianAt(map, 32) & 0xFFFFFF00u)},
      {"fw_CG4.smg", "No", cgQuestion + "4\rit is coorrect?", "x", "y"},
      {"fw_RAMDLD.smg", "Yes", "This file is a RAM Downloader?", "x", "03FD0000"},
      {"fw_RAMDLD.smg", "No", "This file is a RAM Downloader?", "x", "y"},
      {"short_CG15.smg", "Yes", cgQuestion + "15\rit is coorrect?", "15", "y"},
      {"fw{@0x11C00000}_CG7.smg", "Yes", cgQuestion + "7\rit is coorrect?", "7", "11C00000"},
      {"fw_CG123.smg", "Yes", cgQuestion + "123\rit is coorrect?", "123", "y"},
  };
  std::vector<TBoxSeen> asked;
  std::vector<std::pair<std::string, std::string>> edits;
  TBoxSeen refused, none;
  Run([&](TfmAdd* f) {
    for (const TStep& s : steps) {
      Fill(f, dir / s.File, "x", "y");
      TBoxSeen seen;
      AnswerBox(s.Answer, seen);
      Click(f->sButton3);
      asked.push_back(seen);
      edits.emplace_back(f->sEdit1->Text(), f->sEdit2->Text());
    }
    // The code group found in CG123 is refused by Ok.
    f->sEdit2->SetText("1000");
    AnswerBox("Cancel", refused);
    Click(f->sButton1);
    // An empty name asks nothing.
    Fill(f, "", "x", "y");
    AnswerBox("No", none, 10);
    Click(f->sButton3);
    WaitDone(none);
    Click(f->sButton2);
  });
  ASSERT_EQ(asked.size(), std::size(steps));
  for (std::size_t i = 0; i < asked.size(); ++i) {
    EXPECT_EQ(asked[i].Text, steps[i].Question) << steps[i].File;
    EXPECT_EQ(asked[i].Buttons, (std::vector<std::string>{"Yes", "No"})) << steps[i].File;
    EXPECT_EQ(edits[i].first, steps[i].CG) << steps[i].File;
    EXPECT_EQ(edits[i].second, steps[i].Address) << steps[i].File;
  }
  EXPECT_EQ(refused.Text, kIncorrect);
  EXPECT_EQ(none.Count, 0);
}

// The viewer dialog on a list in a folder of the test's own.
class ViewerDialog : public ::testing::Test {
protected:
  void SetUp() override { Application->Initialize(); }
  void TearDown() override {
    SetShellOpen(nullptr);
    TAtomicFileStream::SimulateFault(TWriteFault::None, 0);
  }
  TOwned<TfmView> Create() {
    auto view = Make<TfmView>(nullptr, Dir.Path());
    view->SetCurrentNameSource([this] { return CurrentName; });
    return view;
  }
  std::string List() const { return Dir / "Tarvex.cds"; }
  static std::vector<std::pair<std::string, std::string>> Rows(TfmView* view) {
    std::vector<std::pair<std::string, std::string>> rows;
    TClientDataSet& t = *view->CDS1;
    for (t.First(); !t.Eof(); t.Next())
      rows.emplace_back(t.FieldByName("Program")->AsString(), t.FieldByName("Parameters")->AsString());
    return rows;
  }
  TScratchFolder Dir;
  std::string CurrentName;
};

TEST_F(ViewerDialog, TheListIsReadAtCreationAndWrittenAtDestruction) {
  EXPECT_FALSE(FileExists(List()));
  {
    auto view = Create();
    EXPECT_EQ(view->ListFileName(), List());
    EXPECT_TRUE(view->CDS1->Active());
    EXPECT_TRUE(view->CDS1->IsEmpty());
    view->CDS1->AppendRecord({"C:\\tools\\hexview.exe", "-x"});
    view->CDS1->AppendRecord({"C:\\Program Files\\View\\v.exe", ""});
    // A value typed into the grid and not yet posted is kept too.
    view->CDS1->Edit();
    view->CDS1->FieldByName("Parameters")->SetAsString("/r");
  }
  ASSERT_TRUE(FileExists(List()));
  auto again = Create();
  EXPECT_EQ(Rows(again.get()), (std::vector<std::pair<std::string, std::string>>{
                                   {"C:\\tools\\hexview.exe", "-x"}, {"C:\\Program Files\\View\\v.exe", "/r"}}));
}

TEST_F(ViewerDialog, ADamagedOrForeignListIsReportedOnceAndKeptAside) {
  TClientDataSet foreign;
  foreign.AddIntegerField("CG");
  foreign.AddStringField("Name", 255);
  foreign.CreateDataSet();
  foreign.AppendRecord({4, "C:\\fw\\CG4.smg"});
  const std::string foreignFile = Dir / "foreign.cds";
  foreign.SaveToFile(foreignFile);
  const std::vector<std::vector<unsigned char>> contents = {
      {'n', 'o', 't', ' ', 'a', ' ', 't', 'a', 'b', 'l', 'e'}, ReadBytes(foreignFile)};
  for (const auto& bytes : contents) {
    WriteBytes(List(), bytes);
    TBoxSeen seen;
    AnswerBox("Cancel", seen);
    {
      auto view = Create();
      EXPECT_EQ(seen.Count, 1);
      EXPECT_EQ(seen.Buttons, std::vector<std::string>{"Cancel"});
      EXPECT_NE(seen.Text.find("Tarvex.cds.damaged"), std::string::npos) << seen.Text;
      EXPECT_TRUE(view->CDS1->Active());
      EXPECT_TRUE(view->CDS1->IsEmpty());
      EXPECT_EQ(ReadBytes(Dir / "Tarvex.cds.damaged"), bytes) << "moved aside whole";
      view->CDS1->AppendRecord({"C:\\v.exe", ""});
    }
    // The new list is written in the old one's place; the damaged file stays aside.
    auto again = Create();
    EXPECT_EQ(Rows(again.get()).size(), 1u);
    again.reset();
    ASSERT_TRUE(DeleteFileA((Dir / "Tarvex.cds.damaged").c_str()));
  }
}

// A list larger than any table may be is refused unread, and kept under a name that says so.
TEST_F(ViewerDialog, AListRefusedForItsSizeIsKeptAsTooLarge) {
  {
    const HANDLE file = CreateFileA(List().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(TLoadBudget::kMaxLoadBudget) + 1;  // sparse: nothing written
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
  }
  TBoxSeen seen;
  AnswerBox("Cancel", seen);
  auto view = Create();
  EXPECT_EQ(seen.Count, 1);
  EXPECT_NE(seen.Text.find("too large"), std::string::npos) << seen.Text;
  EXPECT_NE(seen.Text.find("Tarvex.cds.too-large"), std::string::npos) << seen.Text;
  EXPECT_TRUE(FileExists(Dir / "Tarvex.cds.too-large"));
  EXPECT_FALSE(FileExists(Dir / "Tarvex.cds.damaged"));
  EXPECT_TRUE(view->CDS1->IsEmpty());
  view.reset();
  EXPECT_TRUE(DeleteFileA((Dir / "Tarvex.cds.too-large").c_str()));
}

TEST_F(ViewerDialog, AFailedWriteIsReportedAndKeepsTheOldList) {
  {
    auto view = Create();
    view->CDS1->AppendRecord({"C:\\old.exe", ""});
  }
  const std::vector<unsigned char> old = ReadBytes(List());
  TBoxSeen seen;
  {
    auto view = Create();
    view->CDS1->AppendRecord({"C:\\new.exe", "-n"});
    TAtomicFileStream::SimulateFault(TWriteFault::DiskFull, 10);
    AnswerBox("Cancel", seen);
  }
  EXPECT_EQ(seen.Count, 1);
  EXPECT_EQ(seen.Buttons, std::vector<std::string>{"Cancel"});
  EXPECT_NE(seen.Text.find("cannot be saved"), std::string::npos) << seen.Text;
  EXPECT_EQ(ReadBytes(List()), old);
  EXPECT_TRUE(TAtomicFileStream::TemporariesOf(List()).empty());
}

TEST_F(ViewerDialog, OkOpensTheCurrentViewerWithTheImageAndReportsTheShellsFailure) {
  struct TCall {
    std::string File, Parameters;
  };
  std::vector<TCall> calls;
  std::intptr_t answer = 42;
  SetShellOpen([&](const std::string& file, const std::string& parameters) {
    calls.push_back({file, parameters});
    return answer;
  });
  auto view = Create();
  CurrentName = "C:\\a.smg";
  view->Show();
  EXPECT_EQ(view->Caption(), "Open - C:\\a.smg");

  Click(view->sButton1);  // no viewer yet: everything empty
  view->CDS1->AppendRecord({"C:\\tools\\hexview.exe", "-x"});
  Click(view->sButton1);
  view->CDS1->AppendRecord({"C:\\tools\\plain.exe", ""});
  Click(view->sButton1);
  CurrentName = "C:\\my fw\\a.smg";
  Click(view->sButton1);
  CurrentName = "";
  Click(view->sButton1);
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].File, "");
  EXPECT_EQ(calls[0].Parameters, "");
  EXPECT_EQ(calls[1].File, "C:\\tools\\hexview.exe");
  EXPECT_EQ(calls[1].Parameters, " -x C:\\a.smg");
  EXPECT_EQ(calls[2].File, "C:\\tools\\plain.exe");
  EXPECT_EQ(calls[2].Parameters, "C:\\a.smg");
  EXPECT_EQ(calls[3].Parameters, "\"C:\\my fw\\a.smg\"");
  EXPECT_EQ(calls[4].Parameters, "");
  EXPECT_TRUE(view->Visible()) << "the dialog stays open";

  // Failures: each mapped result in an error box with only Cancel; others say nothing.
  const std::pair<std::intptr_t, int> mapped[] = {{0, 1},  {2, 2},  {3, 3},  {5, 5},  {8, 12}, {11, 4}, {26, 13},
                                                  {27, 6}, {28, 9}, {29, 8}, {30, 7}, {31, 11}, {32, 10}};
  for (const auto& [result, message] : mapped) {
    answer = result;
    TBoxSeen seen;
    AnswerBox("Cancel", seen);
    Click(view->sButton1);
    EXPECT_EQ(seen.Text, Msgs[message]) << result;
    EXPECT_EQ(seen.Buttons, std::vector<std::string>{"Cancel"}) << result;
  }
  for (const std::intptr_t silent : {std::intptr_t(4), std::intptr_t(33)}) {
    answer = silent;
    TBoxSeen seen;
    AnswerBox("Cancel", seen, 10);
    Click(view->sButton1);
    WaitDone(seen);
    EXPECT_EQ(seen.Count, 0) << silent;
  }

  Click(view->sButton2);
  EXPECT_FALSE(view->Visible());
  view->Show();
  EXPECT_EQ(view->Caption(), "Open");
}

// The open dialog of "Add external viewer", answered by typing a name into it.
void ChooseOnShow(TOpenDialog* dialog, const std::string& file) {
  dialog->SetOnShow(TNotifyEvent::FromFunctor([file](TObject* sender) {
    HWND window = static_cast<TOpenDialog*>(sender)->Handle();
    RunLater(10, [window, file] {
      HWND edit = GetDlgItem(window, 0x47C);  // the file-name combo (cmb13)
      if (edit == nullptr) edit = GetDlgItem(window, 0x480);
      SetWindowTextA(edit, file.c_str());
      PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
  }));
}

TEST_F(ViewerDialog, AddExternalViewerAppendsTheChosenProgramAndRefusesOverlongPaths) {
  auto view = Create();
  const std::string viewer = Dir / "viewer.exe";
  WriteBytes(viewer, {'M', 'Z'});
  ChooseOnShow(view->OpenDialog1, viewer);
  Click(view->sButton3);
  EXPECT_EQ(Rows(view.get()), (std::vector<std::pair<std::string, std::string>>{{viewer, ""}}));

  std::string longName = Dir.Path();
  while (longName.size() < 140) longName += "long_folder_name\\";
  for (std::size_t at = Dir.Path().size(); at < longName.size(); at = longName.find('\\', at) + 1)
    CreateDirectoryA(longName.substr(0, longName.find('\\', at)).c_str(), nullptr);
  const std::string tooLong = longName + "v.exe";
  WriteBytes(tooLong, {'M', 'Z'});
  ASSERT_TRUE(FileExists(tooLong));
  ChooseOnShow(view->OpenDialog1, tooLong);
  TBoxSeen seen;
  AnswerBox("Cancel", seen);
  Click(view->sButton3);
  EXPECT_EQ(seen.Buttons, std::vector<std::string>{"Cancel"});
  EXPECT_NE(seen.Text.find("128"), std::string::npos) << seen.Text;
  EXPECT_EQ(Rows(view.get()).size(), 1u) << "nothing cut to a name that is not the program";
}

}  // namespace
