#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "DialogTestSupport.h"
#include "app/ShellOpen.h"
#include "app/TfmAbout.h"
#include "app/TfmAdd.h"
#include "app/TfmEnvOpt.h"
#include "app/TfmRAWBounds.h"
#include "app/TfmView.h"
#include "framework/win/TApplication.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsComboBox.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsSpinEdit.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsMessageDlg.h"
#include "tests/framework/win/TGuiCensus.h"

// The environment options on a real skin manager, the RAW bounds and About boxes driven by keys
// and clicks, and the handles of all five dialogs over many show and close cycles.

namespace {

// The program's settings as the options see them, with the hint changes in the order made.
class TFakeEnvironment : public TEnvironmentLink {
public:
  TsSkinManager* Manager = nullptr;
  std::string Dir;
  std::string Lang = "English";
  bool Hints = true;
  std::vector<bool> HintChanges;

  TsSkinManager* SkinManager() override { return Manager; }
  std::string LangDir() override { return Dir; }
  std::string Language() override { return Lang; }
  bool ShowHints() override { return Hints; }
  void SetShowHints(bool value) override {
    Hints = value;
    HintChanges.push_back(value);
  }
};

class SkinnedDialogs : public ::testing::Test {
protected:
  void SetUp() override { Application->Initialize(); }
  void TearDown() override {
    if (Manager != nullptr) Manager->Free();
    InstallSkinTables({});
    SkinData().Active = false;
    SetShellOpen(nullptr);
    Pump();
  }
  TsSkinManager* StartSkin(const std::string& name) {
    Manager = NewComponent<TsSkinManager>(nullptr);
    Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    Manager->SetSkinName(name);
    Manager->SetActive(true);
    return Manager;
  }
  static std::vector<std::string> Items(TsComboBox* combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo->Items().Count(); ++i) items.push_back(combo->Items()[i]);
    return items;
  }
  TsSkinManager* Manager = nullptr;
};

TEST_F(SkinnedDialogs, EnvironmentOptionsShowTheProgramsSettings) {
  TScratchFolder langs;
  WriteBytes(langs / "English.dat", {});
  WriteBytes(langs / "Deutsch.v2.dat", {});
  WriteBytes(langs / "notes.txt", {});
  CreateDirectoryA((langs / "folder.dat").c_str(), nullptr);
  TFakeEnvironment env;
  env.Manager = StartSkin("Desert");
  env.Dir = langs.Path();
  env.Lang = "Deutsch";
  env.Hints = false;
  auto form = Make<TfmEnvOpt>(nullptr);
  form->SetEnvironmentLink(&env);
  form->Show();

  const std::vector<std::string> langItems = Items(form->Langs);
  EXPECT_EQ(std::set<std::string>(langItems.begin(), langItems.end()), (std::set<std::string>{"English", "Deutsch"}));
  ASSERT_EQ(langItems.size(), 2u);
  EXPECT_EQ(form->Langs->Text(), "Deutsch");
  EXPECT_FALSE(form->Langs->Enabled());
  EXPECT_TRUE(form->Skin->Checked());
  std::vector<std::string> folders;
  std::string first;
  Manager->ListSkinFolders(folders, first);
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(Items(form->SkinName), folders);
  EXPECT_EQ(form->SkinName->Text(), "Desert");
  EXPECT_TRUE(form->SkinName->Enabled());
  EXPECT_FALSE(form->ShowHints->Checked());
  EXPECT_TRUE(env.HintChanges.empty()) << "showing changes nothing";
  form->Close();

  // No language files: an empty list; no skin: the box unchecked and the skins' combo disabled.
  TScratchFolder empty;
  env.Dir = empty.Path();
  Manager->SetActive(false);
  form->Show();
  EXPECT_TRUE(Items(form->Langs).empty());
  EXPECT_EQ(form->Langs->ItemIndex(), -1);
  EXPECT_FALSE(form->Skin->Checked());
  EXPECT_FALSE(form->SkinName->Enabled());
}

TEST_F(SkinnedDialogs, HintsApplyAtOnceAndOkAppliesTheSkinAfterClosing) {
  TFakeEnvironment env;
  env.Manager = StartSkin("Desert");
  auto form = Make<TfmEnvOpt>(nullptr);
  form->SetEnvironmentLink(&env);
  bool shownAtChange = true;
  int changes = 0;
  Manager->SetOnBeforeChange(TsNotifyEvent::FromFunctor([&](TObject*) {
    ++changes;
    shownAtChange = form->Visible();
  }));

  // Cancel keeps a hint change made before, and nothing else.
  form->Show();
  Click(form->ShowHints);
  EXPECT_EQ(env.HintChanges, std::vector<bool>{false});
  form->SkinName->SetItemIndex(form->SkinName->Items().IndexOf("Nocturne"));
  Click(form->Cancel);
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(env.Hints);
  EXPECT_EQ(Manager->SkinName(), "Desert");
  EXPECT_EQ(changes, 0);

  // Ok: the chosen skin, loaded once the window is closed.
  form->Show();
  EXPECT_FALSE(form->ShowHints->Checked());
  form->SkinName->SetItemIndex(form->SkinName->Items().IndexOf("Nocturne"));
  Click(form->Ok);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(Manager->SkinName(), "Nocturne");
  EXPECT_TRUE(Manager->Active());
  EXPECT_TRUE(SkinData().Active);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(shownAtChange);

  // Ok again with nothing changed reads the skin again, once.
  form->Show();
  Click(form->Ok);
  EXPECT_EQ(changes, 2);

  // The skin switched off: its combo disabled at once, the manager inactive after Ok.
  form->Show();
  Click(form->Skin);
  EXPECT_FALSE(form->Skin->Checked());
  EXPECT_FALSE(form->SkinName->Enabled());
  Click(form->Ok);
  EXPECT_FALSE(Manager->Active());
  EXPECT_FALSE(SkinData().Active);
  EXPECT_LT(FindSectionIndex("BUTTON"), 0);

  // And on again, with the name the options showed.
  form->Show();
  EXPECT_EQ(form->SkinName->Text(), "Nocturne");
  Click(form->Skin);
  EXPECT_TRUE(form->SkinName->Enabled());
  Click(form->ShowHints);
  Click(form->Ok);
  EXPECT_TRUE(Manager->Active());
  EXPECT_EQ(Manager->SkinName(), "Nocturne");
  EXPECT_GE(FindSectionIndex("BUTTON"), 0);
  // Each Ok applies the box; only the clicks change it.
  EXPECT_EQ(env.HintChanges, (std::vector<bool>{false, false, false, false, true, true}));
}

void PostChars(HWND window, const std::string& text) {
  for (char c : text) PostMessageA(window, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
}

TEST_F(SkinnedDialogs, RawBoundsAlwaysClosesWithOkAndGivesTheTypedValues) {
  StartSkin("Desert");
  auto form = Make<TfmRAWBounds>(nullptr);
  int first[2] = {-1, -1};
  WhenShown<TfmRAWBounds>([&](TfmRAWBounds* f) {
    first[0] = f->sSpinEdit1->Value();
    first[1] = f->sSpinEdit2->Value();
    f->sSpinEdit1->SelectAll();
    PostChars(f->sSpinEdit1->Handle(), "176");
    f->sSpinEdit2->SelectAll();
    PostChars(f->sSpinEdit2->Handle(), "100000");  // no upper limit
    RunLater(20, [f] { Click(f->sButton1); });
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(first[0], 0);
  EXPECT_EQ(first[1], 0);
  EXPECT_EQ(form->sSpinEdit1->Value(), 176);
  EXPECT_EQ(form->sSpinEdit2->Value(), 100000);

  // Escape is Ok too, and the values stay for the caller.
  WhenShown<TfmRAWBounds>([](TfmRAWBounds* f) { PostMessageA(f->sSpinEdit1->Handle(), WM_KEYDOWN, VK_ESCAPE, 1); });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(form->sSpinEdit1->Value(), 176);
}

TEST_F(SkinnedDialogs, AboutLinksShowAHandAndOpenThroughTheShell) {
  StartSkin("Nocturne");
  std::vector<std::string> opened;
  SetShellOpen([&](const std::string& file, const std::string& parameters) {
    opened.push_back(file + "|" + parameters);
    return std::intptr_t(42);
  });
  auto form = Make<TfmAbout>(nullptr);
  HCURSOR overLink = nullptr;
  WhenShown<TfmAbout>([&](TfmAbout* f) {
    for (TsLabel* link : {f->sLabelContact, f->sLabelSupport}) {
      const POINT centre{link->Left() + link->Width() / 2, link->Top() + link->Height() / 2};
      const LPARAM at = MAKELPARAM(centre.x, centre.y);
      PostMessageA(f->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
      PostMessageA(f->Handle(), WM_LBUTTONUP, 0, at);
      if (link == f->sLabelSupport) {
        const POINT screen = f->ClientToScreen(centre);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(f->Handle(), WM_SETCURSOR, WPARAM(f->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        overLink = GetCursor();
      }
    }
    RunLater(30, [f] { PostMessageA(f->sButton1->Handle(), WM_KEYDOWN, VK_ESCAPE, 1); });
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(opened, (std::vector<std::string>{"mailto:" + TfmAbout::ContactAddress() + "|", TfmAbout::SupportPage() + "|"}));
  EXPECT_EQ(overLink, LoadCursor(nullptr, IDC_HAND));
}

// Show and close cycles of each dialog with a skin: every window, DC, bitmap and font made for
// a showing is gone again afterwards. A few showings first let the controls make what they keep
// from then on (the grid's skinned scroll bars, cached fonts).
TEST_F(SkinnedDialogs, HandlesStayFlatOverShowAndCloseCycles) {
  StartSkin("Desert");
  TScratchFolder dir;
  auto add = Make<TfmAdd>(nullptr);
  auto bounds = Make<TfmRAWBounds>(nullptr);
  auto about = Make<TfmAbout>(nullptr);
  auto view = Make<TfmView>(nullptr, dir.Path());
  view->SetCurrentNameSource([] { return std::string("C:\\fw\\CG4.smg"); });
  auto options = Make<TfmEnvOpt>(nullptr);
  TFakeEnvironment env;
  env.Manager = Manager;
  options->SetEnvironmentLink(&env);

  // A modal dialog is closed as soon as its loop is idle, that is once it is painted: no timer.
  struct TCloseWhenIdle {
    TWinControl* Close = nullptr;
    void Idle(TObject*, bool& done) {
      if (Close == nullptr || ShownModal<TCustomForm>() == nullptr) return;
      Click(std::exchange(Close, nullptr));
      done = false;  // no waiting for a message: the loop ends on the modal result
    }
  } closer;
  Application->SetOnIdle(TIdleEvent(&closer, &TCloseWhenIdle::Idle));
  const auto modal = [&closer](TCustomForm* form, TWinControl* close) {
    closer.Close = close;
    form->ShowModal();
  };
  const auto census = [](const std::function<void()>& cycle) {
    for (int i = 0; i < 3; ++i) cycle();
    return TGuiCensus::ChangeOver(200, cycle);
  };
  EXPECT_EQ(census([&] { modal(add.get(), add->sButton2); }), TGuiCensus()) << "add";
  EXPECT_EQ(census([&] { modal(bounds.get(), bounds->sButton1); }), TGuiCensus()) << "bounds";
  EXPECT_EQ(census([&] { modal(about.get(), about->sButton1); }), TGuiCensus()) << "about";
  const auto modeless = [](TCustomForm* form, TWinControl* close) {
    form->Show();
    Pump();
    Click(close);
  };
  EXPECT_EQ(census([&] { modeless(view.get(), view->sButton2); }), TGuiCensus()) << "viewer";
  EXPECT_EQ(census([&] { modeless(options.get(), options->Cancel); }), TGuiCensus()) << "options";
  Application->SetOnIdle(nullptr);
}

}  // namespace
