// The program's help as a user meets it: F1 typed in the main window starts the platform's help
// viewer on the help file beside the program, and the viewer's text pane shows the page asked for.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/ProgramStart.h"
#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmMain.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/win/TApplication.h"
#include "phone/TfmFlash.h"
#include "skin/controls/TsButton.h"
#include "skin/windows/TsFileNameEdit.h"
#include "tests/framework/win/TestSupport.h"

namespace {

HWND Viewer() { return FindWindowA("MS_WINHELP", nullptr); }

// The text of the viewer's rich text pane (read across the process boundary, as the user reads it).
std::string ViewerText() {
  std::string text;
  EnumChildWindows(
      Viewer(),
      [](HWND child, LPARAM found) -> BOOL {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        std::string kind(name);
        for (char& c : kind) c = char(toupper(static_cast<unsigned char>(c)));
        if (kind.find("RICHEDIT") == std::string::npos) return TRUE;
        const LRESULT length = SendMessageA(child, WM_GETTEXTLENGTH, 0, 0);
        std::string read(std::size_t(length) + 1, '\0');
        read.resize(std::size_t(SendMessageA(child, WM_GETTEXT, WPARAM(read.size()), LPARAM(read.data()))));
        // Lines as "\n", whichever end the pane gives them.
        std::string& out = *reinterpret_cast<std::string*>(found);
        for (std::size_t i = 0; i < read.size(); ++i) {
          if (read[i] == '\r' && i + 1 < read.size() && read[i + 1] == '\n') continue;
          out += read[i] == '\r' ? '\n' : read[i];
        }
        return FALSE;
      },
      LPARAM(&text));
  return text;
}

// The first line of the pane: the heading of the topic shown.
std::string Heading(const std::string& text) { return text.substr(0, text.find('\n')); }

class HelpViewer : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    std::ofstream(IniName(), std::ios::binary) << "[Environment]\r\nSkined=0\r\nSkinName=Desert\r\n";
    StartProgram();
    fmMain->Show();
    Pump();
  }
  static void TearDownTestSuite() {
    QuitViewer();
    std::remove(IniName().c_str());
  }

  // Puts the focus on control as a user does, types F1 and waits for the viewer's pane to show a
  // topic other than previous.
  std::string F1On(TWinControl* control, const std::string& previous = "") {
    if (GetForegroundWindow() == fmMain->Handle()) control->SetFocus();
    else ClickControl(control);
    PumpUntil([&] { return GetFocus() == control->Handle(); });
    EXPECT_EQ(GetFocus(), control->Handle());
    PressKey(VK_F1);
    std::string text;
    PumpUntil([&] {
      text = Viewer() != nullptr ? ViewerText() : "";
      return !text.empty() && text != previous;
    }, 30000);
    return text;
  }

  // The viewer closed by the program, as it closes it when it ends.
  static void QuitViewer() {
    Application->HelpCommand(HELP_QUIT, 0);
    PumpUntil([] { return Viewer() == nullptr; });
  }
};

}  // namespace

// The program finds its help file beside itself; F1 where no help context applies opens the
// contents, which list a topic per window; F1 on the source edit opens the topic of context 11.
TEST_F(HelpViewer, F1OpensTheContentsAndTheSourceEditsTopic) {
  EXPECT_EQ(Application->HelpFile(), ExeDir() + "Tarvex.hlp");
  ASSERT_NE(GetFileAttributesA(Application->HelpFile().c_str()), INVALID_FILE_ATTRIBUTES);

  ASSERT_EQ(fmMain->sButton3->HelpContext(), 0);
  const std::string contents = F1On(fmMain->sButton3);
  ASSERT_NE(Viewer(), nullptr) << "the help viewer did not start";
  EXPECT_TRUE(IsWindowVisible(Viewer()));
  EXPECT_EQ(Heading(contents), "Tarvex Help Contents");
  std::vector<std::string> windows = {"Main window", "Source SHX file", "External view", "RAW picture bounds",
                                      "About", "Messages"};
  for (TForm* form : std::initializer_list<TForm*>{fmAdd, fmLPEditor, fmDRMEditor, fmFlexEditor, fmFlash, fmEnvOpt}) {
    std::string caption = form->Caption();
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    windows.push_back(caption);
  }
  for (const std::string& window : windows)
    EXPECT_NE(contents.find("\n" + window + ":"), std::string::npos) << window << " is not listed:\n" << contents;

  // Back in the main window (the viewer has the foreground while it is open) on the source edit.
  QuitViewer();
  EXPECT_EQ(Viewer(), nullptr);
  ASSERT_EQ(fmMain->sFilenameEdit1->HelpContext(), 11);
  const std::string topic = F1On(fmMain->sFilenameEdit1);
  EXPECT_EQ(Heading(topic), "Source SHX file");
  EXPECT_NE(topic.find("Source SHX File"), std::string::npos) << topic;
}
