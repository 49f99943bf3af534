#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMenuItem.h"
#include "skin/controls/TsPanel.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsSkinProvider.h"
#include "skin/windows/TsSystemMenu.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/controls/ControlPixels.h"
#include "tests/skin/windows/TBoxAnswerer.h"

namespace {

namespace fs = std::filesystem;

// A form with a skinned panel, over a skins folder of its own: the bundled skins and "Blank",
// whose description is empty.
class SystemMenuSkins : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    InstallSkinMessageBoxHandler();  // as the program starts
    Folder = TempFileName("") + "\\";
    fs::remove_all(Folder);  // left by a run that was stopped
    fs::create_directories(Folder + "Blank");
    for (const char* skin : {"Desert", "Nocturne"})
      fs::copy(fs::path(TARVEX_BUNDLED_SKINS) / skin, Folder + skin, fs::copy_options::recursive);
    std::ofstream(Folder + "Blank\\Options.dat", std::ios::binary);
    Form = NewComponent<TForm>(Application);
    Form->SetBounds(60, 60, 420, 300);
    Form->SetCaption("System menu");
    Provider = NewComponent<TsSkinProvider>(Form);
    Panel = NewComponent<TsPanel>(Form);
    Panel->SetParent(Form);
    Panel->SetAlign(alClient);
    Manager = NewComponent<TsSkinManager>(Application);
    Manager->SetSkinDirectory(Folder);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    if (Form) Form->Free();
    if (Manager) Manager->Free();
    InstallSkinTables({});
    SkinData().Active = false;
    Pump();
    std::error_code ignored;
    fs::remove_all(Folder, ignored);
  }
  // A right click on the caption opens the system menu; keys, from inside its loop, walk into
  // the skins submenu and choose the skin named. Returns once the menu is gone.
  void ChooseFromSystemMenu(const std::string& skin) {
    Chosen = -1;
    const int round = ++Round;
    Choose = [this, skin, round](int tries) {
      RunLater(10, [this, skin, round, tries] {
        if (!MenuShown()) {
          if (tries > 0) Choose(tries - 1);
          return;
        }
        TMenuItem* skins = Provider->SystemMenu()->Items()->Items(0);
        for (int i = 0; i < skins->Count(); ++i)
          if (skins->Items(i)->Caption() == skin) Chosen = i;
        if (Chosen < 0) {
          EndMenu();
          return;
        }
        PressKey(VK_DOWN);
        PressKey(VK_RIGHT);
        for (int i = 0; i < Chosen; ++i) PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        RunLater(2000, [this, round] {  // never left open, whatever happens to the keys
          if (round == Round) EndMenu();
        });
      });
    };
    Choose(300);
    RECT w;
    GetWindowRect(Form->Handle(), &w);
    const POINT caption{w.left + (w.right - w.left) / 3,
                        w.top + Provider->FrameBorderHeight() + Provider->TitleBarHeight() / 2};
    ASSERT_EQ(SendMessageA(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
    MouseAt(caption, MOUSEEVENTF_RIGHTDOWN);
    MouseAt(caption, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([this] { return Chosen >= 0 && !MenuShown(); })) << skin << " in the system menu";
  }
  static bool MenuShown() {
    HWND popup = FindWindowExA(nullptr, nullptr, "#32768", nullptr);
    return popup != nullptr && IsWindowVisible(popup);
  }

  std::string Folder;
  TForm* Form = nullptr;
  TsSkinProvider* Provider = nullptr;
  TsPanel* Panel = nullptr;
  TsSkinManager* Manager = nullptr;
  std::function<void(int)> Choose;
  int Chosen = -1, Round = 0;
};

// A skin refused when chosen from the system menu leaves the skin loaded before, painted as
// before, and the box says which file was refused and why; nothing reaches the application's
// error handling.
TEST_F(SystemMenuSkins, ARefusedSkinLeavesTheOneBeforeAndIsSaidNamingItsFile) {
  for (const char* skin : {"Desert", "Nocturne"}) {
    SCOPED_TRACE(skin);
    Manager->SetSkinName(skin);
    Pump();
    ASSERT_TRUE(Provider->Skinned());
    const TPixels panel = Captured(Panel), window = Captured(Form, true);

    TExceptionSink errors;
    TBoxAnswerer boxes;
    ChooseFromSystemMenu("Blank");
    Pump();

    EXPECT_EQ(errors.Messages, std::vector<std::string>{});
    EXPECT_EQ(Manager->SkinName(), skin);
    EXPECT_TRUE(Manager->Active());
    EXPECT_TRUE(SkinData().Active);
    EXPECT_GE(FindSectionIndex("PANEL"), 0);
    EXPECT_TRUE(Provider->Skinned());
    // The screen shows the panel and the frame painted from the skin as before.
    EXPECT_TRUE(Captured(Panel) == panel);
    EXPECT_TRUE(Captured(Form, true) == window);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    const std::string& text = boxes.Boxes[0].Text;
    EXPECT_NE(text.find("The skin \"Blank\" cannot be loaded: "), std::string::npos) << text;
    EXPECT_NE(text.find(Folder + "Blank\\Options.dat holds no section"), std::string::npos) << text;
    EXPECT_EQ(boxes.Boxes[0].Buttons, std::vector<std::string>{"OK"});
  }
}

// The skin loaded before was spoiled on disk meanwhile: both refused, the windows go unskinned
// (not skinned over empty tables), and the box names the skin chosen.
TEST_F(SystemMenuSkins, WhenTheSkinBeforeIsRefusedTooTheWindowsGoUnskinned) {
  Manager->SetSkinName("Desert");
  Pump();
  ASSERT_TRUE(Provider->Skinned());
  std::ofstream(Folder + "Desert\\Options.dat", std::ios::binary | std::ios::trunc);

  TExceptionSink errors;
  TBoxAnswerer boxes;
  ChooseFromSystemMenu("Blank");
  Pump();

  EXPECT_EQ(errors.Messages, std::vector<std::string>{});
  EXPECT_FALSE(Manager->Active());
  EXPECT_FALSE(SkinData().Active);
  EXPECT_FALSE(Provider->Skinned());
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_NE(boxes.Boxes[0].Text.find(Folder + "Blank\\Options.dat holds no section"), std::string::npos)
      << boxes.Boxes[0].Text;
}

}  // namespace
