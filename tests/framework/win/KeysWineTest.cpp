// Keys typed into a form as the user types them: posted to the focused window and taken through
// the application's message loop, with the form's key preview off.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/win/TButton.h"
#include "framework/win/TComboBox.h"
#include "framework/win/TCustomEdit.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TPanel.h"
#include "framework/win/TPopupMenu.h"

namespace {

// Down and up of one key to the window with the focus, handled by the message loop.
void Type(WORD key) {
  HWND target = GetFocus();
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
  Pump();
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const char* caption, TShortCut shortCut,
                   std::vector<std::string>& log) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->SetShortCut(shortCut);
  item->SetOnClick(TNotifyEvent::FromFunctor([&log, caption](TObject*) { log.push_back(caption); }));
  parent->Add(item);
  return item;
}

// A main menu (F4, F5, F6 and Ctrl+F9), a popup menu on the panel that holds the controls (F9) and
// one on the edit (F5, which the edit's menu takes before the main menu's).
class TKeysForm : public TTestForm {
public:
  TKeysForm() {
    auto* menu = new TMainMenu(this);
    auto* tools = AddItem(this, menu->Items(), "Tools", scNone, Clicks);
    AddItem(this, tools, "Main F4", ShortCut(VK_F4, 0), Clicks);
    AddItem(this, tools, "Main F5", ShortCut(VK_F5, 0), Clicks);
    Disabled = AddItem(this, tools, "Main F6", ShortCut(VK_F6, 0), Clicks);
    Disabled->SetEnabled(false);
    AddItem(this, tools, "Main Ctrl+F9", ShortCut(VK_F9, ssCtrl), Clicks);
    AddItem(this, tools, "Main F1", ShortCut(VK_F1, 0), Clicks);
    SetMenu(menu);

    Panel = NewControl<TPanel>(this, this, RECT{0, 0, 380, 240});
    auto* panelMenu = new TPopupMenu(this);
    AddItem(this, panelMenu->Items(), "Panel F9", ShortCut(VK_F9, 0), Clicks);
    Panel->SetPopupMenu(panelMenu);

    Edit = NewControl<TEdit>(this, Panel, RECT{10, 10, 200, 34});
    auto* editMenu = new TPopupMenu(this);
    AddItem(this, editMenu->Items(), "Edit F5", ShortCut(VK_F5, 0), Clicks);
    Edit->SetPopupMenu(editMenu);
    Grid = NewControl<TDBGrid>(this, Panel, RECT{10, 40, 300, 160});
    Button = NewControl<TButton>(this, Panel, RECT{10, 170, 100, 200});
    Combo = NewControl<TComboBox>(this, Panel, RECT{210, 10, 370, 34});  // keys go to its edit
    for (TWinControl* c : {static_cast<TWinControl*>(Edit), static_cast<TWinControl*>(Grid),
                           static_cast<TWinControl*>(Button), static_cast<TWinControl*>(Combo)}) {
      c->SetOnKeyDown(TKeyEvent::FromFunctor([this](TObject*, WORD& key, TShiftState) {
        Clicks.push_back("control key " + std::to_string(key));
      }));
    }
  }
  std::vector<std::string> Clicks;
  TMenuItem* Disabled;
  TPanel* Panel;
  TEdit* Edit;
  TDBGrid* Grid;
  TButton* Button;
  TComboBox* Combo;
};

class Keys : public ::testing::Test {
protected:
  void SetUp() override { Application->Initialize(); }
};

TEST_F(Keys, MenuShortcutsWorkWhateverControlHasTheFocus) {
  auto form = Make<TKeysForm>();
  ASSERT_FALSE(form->KeyPreview());
  form->Show();
  Pump();
  for (TWinControl* focused :
       {static_cast<TWinControl*>(form->Edit), static_cast<TWinControl*>(form->Grid),
        static_cast<TWinControl*>(form->Button), static_cast<TWinControl*>(form->Combo)}) {
    SCOPED_TRACE(focused == form->Edit     ? "edit"
                 : focused == form->Grid   ? "grid"
                 : focused == form->Button ? "button"
                                           : "combo");
    focused->SetFocus();
    Pump();
    const HWND focus = focused == form->Combo ? form->Combo->EditHandle() : focused->Handle();
    ASSERT_NE(focus, nullptr);
    ASSERT_EQ(GetFocus(), focus);
    form->Clicks.clear();
    Type(VK_F4);  // the main menu
    Type(VK_F9);  // the parent's popup menu
    Type(VK_F5);  // the edit's own menu first, the main menu elsewhere
    Type(VK_F6);  // a disabled item: the control gets the key
    Type(VK_F7);  // no shortcut: the control gets the key
    const std::string f5 = focused == form->Edit ? "Edit F5" : "Main F5";
    EXPECT_EQ(form->Clicks,
              (std::vector<std::string>{"Main F4", "Panel F9", f5, "control key 117", "control key 118"}));
    EXPECT_EQ(GetFocus(), focus) << "a shortcut leaves the focus where it was";
  }
}

TEST_F(Keys, F1StaysTheHelpRequest) {
  auto form = Make<TKeysForm>();
  form->Edit->SetHelpContext(42);
  form->Show();
  Pump();
  form->Edit->SetFocus();
  Pump();
  std::vector<std::pair<UINT, ULONG_PTR>> calls;
  Application->SetOnHelp(THelpEvent::FromFunctor([&](UINT command, ULONG_PTR data, bool& callHelp) {
    calls.push_back({command, data});
    callHelp = false;
    return true;
  }));
  // From the keyboard: the system turns F1 into the help request.
  INPUT in[2]{};
  for (INPUT& i : in) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = VK_F1;
  }
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SetForegroundWindow(form->Handle());
  form->Edit->SetFocus();
  ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
  Pump();
  Application->SetOnHelp(THelpEvent());
  EXPECT_EQ(std::count(form->Clicks.begin(), form->Clicks.end(), "Main F1"), 0);
  EXPECT_EQ(calls, (std::vector<std::pair<UINT, ULONG_PTR>>{{HELP_CONTEXT, 42}}));
}

// A dialog's buttons: Ok (default), Other, Cancel (cancel), and an edit.
class TButtonsForm : public TTestForm {
public:
  TButtonsForm() {
    Edit = NewControl<TEdit>(this, this, RECT{10, 10, 200, 34});
    int left = 10;
    for (const char* name : {"Ok", "Other", "Cancel"}) {
      auto* b = NewControl<TButton>(this, this, RECT{left, 60, left + 80, 85});
      b->SetCaption(name);
      b->SetOnClick(TNotifyEvent::FromFunctor([this, name](TObject*) { Pressed.push_back(name); }));
      Buttons.push_back(b);
      left += 90;
    }
    Buttons[0]->SetDefault(true);
    Buttons[2]->SetCancel(true);
  }
  TEdit* Edit;
  std::vector<TButton*> Buttons;
  std::vector<std::string> Pressed;
};

TEST_F(Keys, ReturnPressesTheFocusedButtonElseTheDefaultOne) {
  auto form = Make<TButtonsForm>();
  form->Show();
  Pump();
  const auto press = [&](TWinControl* focused, WORD key) {
    focused->SetFocus();
    Pump();
    EXPECT_EQ(GetFocus(), focused->Handle());
    form->Pressed.clear();
    Type(key);
    return form->Pressed;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(press(form->Edit, VK_RETURN), Names{"Ok"});
  EXPECT_EQ(press(form->Buttons[0], VK_RETURN), Names{"Ok"});
  EXPECT_EQ(press(form->Buttons[1], VK_RETURN), Names{"Other"});
  EXPECT_EQ(press(form->Buttons[2], VK_RETURN), Names{"Cancel"});
  EXPECT_EQ(press(form->Buttons[1], VK_SPACE), Names{"Other"});
  EXPECT_EQ(press(form->Buttons[2], VK_SPACE), Names{"Cancel"});
  EXPECT_EQ(press(form->Buttons[1], VK_ESCAPE), Names{"Cancel"});
  EXPECT_EQ(press(form->Edit, VK_ESCAPE), Names{"Cancel"});

  // The default frame is on the button Return presses.
  const auto framed = [&] {
    Names names;
    for (TButton* b : form->Buttons)
      if ((GetWindowLongPtrA(b->Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        names.push_back(b->Caption());
    return names;
  };
  form->Buttons[1]->SetFocus();
  EXPECT_EQ(framed(), Names{"Other"});
  form->Edit->SetFocus();
  EXPECT_EQ(framed(), Names{"Ok"});

  // With no default button, Return on the edit presses nothing; a lone Cancel still takes it.
  form->Buttons[0]->SetDefault(false);
  EXPECT_EQ(press(form->Edit, VK_RETURN), Names{});
  form->Buttons[0]->Free();
  form->Buttons[1]->Free();
  EXPECT_EQ(press(form->Buttons[2], VK_RETURN), Names{"Cancel"});
}

}  // namespace
