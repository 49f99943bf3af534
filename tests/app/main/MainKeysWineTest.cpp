// The program's keys as a user types them: keys posted to the focused window and taken through the
// message loop, in the three looks (no skin, Desert, Nocturne).
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmMain.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/win/TApplication.h"
#include "framework/win/TDBGrid.h"
#include "phone/TfmFlash.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsComboBox.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsFileNameEdit.h"
#include "tests/app/main/ProgramForms.h"
#include "tests/framework/win/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string ExePath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Down and up of one key to the window with the focus, handled by the message loop.
void Type(WORD key) {
  HWND target = GetFocus();
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
  Pump();
}

std::string FocusedName() {
  TWinControl* c = FindControl(GetFocus());
  return c != nullptr ? c->Name() : "?";
}

struct TLook {
  const char* Name;
  const char* Ini;
};
const TLook Looks[] = {{"no skin", "[Environment]\r\nSkined=0\r\nSkinName=Desert\r\n"},
                       {"Desert", "[Environment]\r\nSkined=1\r\nSkinName=Desert\r\n"},
                       {"Nocturne", "[Environment]\r\nSkined=1\r\nSkinName=Nocturne\r\n"}};

class MainKeys : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    const fs::path skins = fs::path(ExePath()).parent_path() / "Skins";
    std::error_code ignored;
    fs::remove_all(skins, ignored);
    fs::create_directories(skins);
    for (const char* skin : {"Desert", "Nocturne"})
      fs::copy(fs::path(TARVEX_BUNDLED_SKINS) / skin, skins / skin, fs::copy_options::recursive);
    CreateProgramForms();
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(fs::path(ExePath()).parent_path() / "Skins", ignored);
  }
  void TearDown() override {
    Close();
    fs::remove(IniName());
  }

  static std::string IniName() { return fs::path(ExePath()).replace_extension(".ini").string(); }

  void Open(const TLook& look) {
    std::ofstream(IniName(), std::ios::binary) << look.Ini;
    Main.reset(NewComponent<TfmMain>(Application));
    fmMain = Main.get();
    Main->Show();
    Pump();
  }
  void Close() {
    Main.reset();
    fmMain = nullptr;
    Pump();
  }

  TOwned<TfmMain> Main;
};

TEST_F(MainKeys, FunctionKeysOpenTheirWindowsFromAnyFocusedControl) {
  for (const TLook& look : Looks) {
    SCOPED_TRACE(look.Name);
    Open(look);
    EXPECT_EQ(Main->SkinManager->Active(), std::string(look.Name) != "no skin");
    const struct {
      const char* Name;
      TWinControl* Control;
    } targets[] = {
        {"source edit", Main->sFilenameEdit1}, {"grid", Main->DBGrid1}, {"button", Main->sButton3}};
    const struct {
      WORD Key;
      TForm* Window;
    } keys[] = {{VK_F4, fmLPEditor}, {VK_F5, fmDRMEditor}, {VK_F6, fmFlexEditor}, {VK_F9, fmFlash}};
    for (const auto& target : targets) {
      for (const auto& key : keys) {
        SCOPED_TRACE(std::string(target.Name) + ", F" + std::to_string(key.Key - VK_F1 + 1));
        target.Control->SetFocus();
        Pump();
        ASSERT_EQ(GetFocus(), target.Control->Handle());
        ASSERT_FALSE(key.Window->Visible());
        Type(key.Key);
        EXPECT_TRUE(key.Window->Visible());
        EXPECT_TRUE(IsWindowVisible(key.Window->Handle()));
        key.Window->Hide();
        Pump();
      }
    }
    Close();
  }
}

TEST_F(MainKeys, TabGoesThroughTheSmallDialogsAsTheyAreDrawn) {
  for (const TLook& look : Looks) {
    SCOPED_TRACE(look.Name);
    Open(look);
    const auto tabs = [](TWinControl* first, int count) {
      first->SetFocus();
      Pump();
      std::vector<std::string> names{FocusedName()};
      for (int i = 0; i < count; ++i) {
        Type(VK_TAB);
        names.push_back(FocusedName());
      }
      return names;
    };
    fmEnvOpt->Show();
    Pump();
    // The skin's combo is enabled, and a Tab stop, only while "Skin" is checked.
    if (Main->SkinManager->Active()) {
      EXPECT_EQ(tabs(fmEnvOpt->Skin, 5),
                (std::vector<std::string>{"Skin", "SkinName", "ShowHints", "Ok", "Cancel", "Skin"}));
    } else {
      EXPECT_EQ(tabs(fmEnvOpt->Skin, 4),
                (std::vector<std::string>{"Skin", "ShowHints", "Ok", "Cancel", "Skin"}));
    }
    fmEnvOpt->Hide();
    fmAdd->Show();
    Pump();
    EXPECT_EQ(tabs(fmAdd->sFilenameEdit1, 6),
              (std::vector<std::string>{"sFilenameEdit1", "sEdit1", "sEdit2", "sButton3", "sButton1",
                                        "sButton2", "sFilenameEdit1"}));
    fmAdd->Hide();
    Pump();
    Close();
  }
}

}  // namespace
