// What the main window saves and says it could not: the settings at the program's end, and the
// code groups a combine leaves out. Boxes are answered from timers.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/TfmMain.h"
#include "app/TfmView.h"
#include "framework/win/TApplication.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/windows/TsFileDialogs.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/windows/TBoxAnswerer.h"
#include "workbench/core/Messages.h"
#include "workbench/core/TCodeGroupTable.h"

namespace fs = std::filesystem;

namespace {

// Set in the process that plays the program's end: the file it reports its boxes to.
constexpr const char* kProgramEndReport = "TARVEX_PROGRAM_END_REPORT";

std::string ExePath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string Backslashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ReadText(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The program's end as Tarvex.exe goes through it: the main window shown by Run, closed as the
// user closes it, and freed after Run has returned. Each box shown is reported, one per line.
void PlayProgramEnd(const std::string& report) {
  Application->Initialize();
  TBoxAnswerer boxes;
  Application->CreateForm(fmMain);
  Application->CreateForm(fmView);
  PostMessageA(fmMain->Handle(), WM_CLOSE, 0, 0);
  Application->Run();
  Application->DestroyComponents();
  std::ofstream out(report, std::ios::binary);
  for (const TBoxAnswerer::TBox& box : boxes.Boxes) {
    std::string text = box.Text;
    for (char& c : text)
      if (c == '\r' || c == '\n') c = ' ';
    out << box.Caption << '|' << text << '|' << box.Buttons.size() << '\n';
  }
}

// Answers the file dialog's next run with fileName.
void AnswerFileDialog(TOpenDialog* dialog, const std::string& fileName) {
  dialog->SetOnShow(TNotifyEvent::FromFunctor([dialog, fileName](TObject*) {
    SendMessageA(dialog->Handle(), CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(fileName.c_str()));
    PostMessageA(dialog->Handle(), WM_COMMAND, IDOK, 0);
  }));
}

}  // namespace

// With folders in the places of the ini file and the viewer list neither can be written. The boxes
// that say so are shown once the application has been told to end; each must still wait for its
// answer, and the program ends after them. Played in a process of its own, since the application
// ends with it.
TEST(MainSaves, SettingsThatCannotBeWrittenAtTheEndAreSaidInTheSkinnedBoxBeforeTheProgramEnds) {
  if (const char* report = std::getenv(kProgramEndReport)) {
    PlayProgramEnd(report);
    return;
  }
  const std::string ini = IniName();
  fs::remove(ini);
  ASSERT_TRUE(fs::create_directory(ini));
  const std::string list = fs::path(ExePath()).parent_path().string() + "\\" + TfmView::ListName;
  fs::remove(list);
  ASSERT_TRUE(fs::create_directory(list));
  // The program's skin beside it, so that the box is the skinned one the user sees.
  const std::string skins = fs::path(ExePath()).parent_path().string() + "\\Skins";
  std::error_code ignored;
  fs::remove_all(skins, ignored);
  fs::create_directories(skins);
  fs::copy(std::string(TARVEX_BUNDLED_SKINS) + "\\Desert", skins + "\\Desert", fs::copy_options::recursive);
  const std::string report = Backslashes((fs::temp_directory_path() / "tarvex-program-end.txt").string());
  fs::remove(report);

  std::string command = "\"" + ExePath() + "\" --gtest_filter=" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "." +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name();
  SetEnvironmentVariableA(kProgramEndReport, report.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                      &startup, &process);
  SetEnvironmentVariableA(kProgramEndReport, nullptr);
  ASSERT_TRUE(started);
  WaitForSingleObject(process.hProcess, INFINITE);  // the child's own watchdog ends a hang
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const bool stillFolder = fs::is_directory(ini) && fs::is_directory(list);
  fs::remove(ini);
  fs::remove(list);
  fs::remove_all(skins, ignored);

  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(stillFolder);
  const std::string boxes = ReadText(report);
  fs::remove(report);
  // Two boxes, each answered by its one button: the viewer list's (freed first), the settings'.
  ASSERT_EQ(std::count(boxes.begin(), boxes.end(), '\n'), 2) << boxes;
  const std::string first = boxes.substr(0, boxes.find('\n'));
  EXPECT_EQ(first.rfind("Error|The viewer list cannot be saved", 0), 0u) << first;
  EXPECT_NE(first.find(list), std::string::npos) << first;
  const std::string last = boxes.substr(first.size() + 1, boxes.size() - first.size() - 2);
  EXPECT_EQ(last.rfind("Warning|", 0), 0u) << last;
  EXPECT_EQ(last.substr(last.size() - 2), "|1") << last;
  EXPECT_NE(last.find("settings could not be saved"), std::string::npos) << last;
  EXPECT_NE(last.find(ini), std::string::npos) << "the box names the file: " << last;
  EXPECT_NE(last.find("a folder"), std::string::npos) << "and the reason: " << last;
}

// The combine keeps leaving out a row whose image is empty, and says which: on the status line
// after "File done" and in a warning box whose only button is Cancel.
TEST(MainSaves, ACombineNamesTheRowItLeavesOutForItsEmptyImage) {
  Application->Initialize();
  const std::string dir = Backslashes((fs::temp_directory_path() / "tarvex-main-saves").string());
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(IniName(), std::ios::binary) << "[Environment]\r\nSkined=0\r\nSkinName=Desert\r\n";
  const std::string loader = dir + "\\fw{@0x03FD0000}RAMDLD.smg", dsp = dir + "\\fw{@0x10000000}CG3.smg",
                    lang = dir + "\\fw{@0x11200000}CG4.smg", out = dir + "\\out.shx";
  std::ofstream(loader, std::ios::binary) << std::string(600, '\x11');
  std::ofstream(dsp, std::ios::binary) << std::string(64, '\x22');
  std::ofstream(lang, std::ios::binary).close();

  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);  // the save dialog moves it
  TOwned<TfmMain> main(NewComponent<TfmMain>(Application));
  fmMain = main.get();
  main->Show();
  Pump();
  main->Rows().AddCGRecord(-2, 600, loader, 0x03FD0000, 0x03FD0257);
  main->Rows().AddCGRecord(3, 64, dsp, 0x10000000, 0x1000003F);
  main->Rows().AddCGRecord(4, 0, lang, 0x11200000, 0x111FFFFF);
  AnswerFileDialog(main->sSaveDialog1, out);
  {
    TBoxAnswerer boxes;
    main->sButton10Click(main->sButton10);
    Pump();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Caption, "Warning");
    EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"Cancel"});
    EXPECT_EQ(boxes.Boxes[0].Text.find(Msgs[TMsgId::EmptyImagesLeftOut]), 0u) << boxes.Boxes[0].Text;
    EXPECT_NE(boxes.Boxes[0].Text.find("\"LangPack\" " + lang), std::string::npos) << boxes.Boxes[0].Text;
    EXPECT_EQ(boxes.Boxes[0].Text.find("CG3"), std::string::npos) << "only the row left out is named";
  }
  EXPECT_EQ(main->sStatusBar1->SimpleText(), Msgs[TMsgId::FileDone] + ": " + out + ". " +
                                                 Msgs[TMsgId::EmptyImagesLeftOut] + " \"LangPack\" " + lang);
  EXPECT_GT(fs::file_size(out), 8172u);
  main.reset();
  fmMain = nullptr;
  Pump();
  fs::remove(IniName());
  SetCurrentDirectoryA(folder);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}
