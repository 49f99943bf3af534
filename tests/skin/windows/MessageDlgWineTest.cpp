#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TImage.h"
#include "framework/win/TLabel.h"
#include "framework/win/TScreen.h"
#include "skin/controls/TsBitBtn.h"
#include "skin/controls/TsEdit.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsMessageDlg.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"

// The message boxes and the text prompt driven as a user drives them: keys posted to the focused
// window and buttons clicked while the modal loop runs.

namespace {

TsMessageForm* ShownDialog() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* form = dynamic_cast<TsMessageForm*>(Screen->Forms(i)); form != nullptr && form->IsModal())
      return form;
  return nullptr;
}

// Runs act on the dialog once its modal loop runs. A dialog that never shows ends the test through
// the watchdog rather than with a wrong answer.
void WhenShown(std::function<void(TsMessageForm*)> act, int tries = 100) {
  RunLater(5, [act = std::move(act), tries]() mutable {
    if (TsMessageForm* form = ShownDialog(); form != nullptr && IsWindowVisible(form->Handle())) {
      act(form);
    } else if (tries > 0) {
      WhenShown(std::move(act), tries - 1);
    }
  });
}

void PostKey(WORD key) {
  HWND target = GetFocus();
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void Press(WORD key) {
  WhenShown([key](TsMessageForm*) { PostKey(key); });
}

TWinControl* Button(TsMessageForm* form, const std::string& name) {
  return dynamic_cast<TWinControl*>(form->FindComponent(name));
}

void ClickButton(TsMessageForm* form, const std::string& name) {
  if (TWinControl* b = Button(form, name)) SendMessageA(b->Handle(), BM_CLICK, 0, 0);
}

std::vector<std::string> ButtonNames(TsMessageForm* form) {
  std::vector<std::string> names;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* b = dynamic_cast<TsBitBtn*>(form->Components(i))) names.push_back(b->Name());
  return names;
}

class MessageDlg : public ::testing::Test {
protected:
  void SetUp() override { Application->Initialize(); }
  void TearDown() override {
    if (Manager != nullptr) Manager->Free();
    InstallSkinTables({});
    SkinData().Active = false;
    Pump();
  }
  void LoadSkin() {
    Manager = NewComponent<TsSkinManager>(nullptr);
    Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    Manager->SetSkinName("Desert");
    ASSERT_GE(FindSectionIndex("BUTTON"), 0);
  }
  TsSkinManager* Manager = nullptr;
};

TEST_F(MessageDlg, EnterAndEscapeAnswerWithTheDefaultAndCancelButtons) {
  Press(VK_RETURN);
  EXPECT_EQ(SkinMessageDlg("Delete the file?", mtConfirmation, mbYes | mbNo, 0), mrYes);
  Press(VK_ESCAPE);
  EXPECT_EQ(SkinMessageDlg("Delete the file?", mtConfirmation, mbYes | mbNo, 0), mrNo);
  Press(VK_RETURN);
  EXPECT_EQ(SkinMessageDlg("Saved.", mtInformation, mbOK, 0), mrOk);
  Press(VK_ESCAPE);
  EXPECT_EQ(SkinMessageDlg("Saved.", mtInformation, mbOK, 0), mrOk) << "OK alone is the cancel button too";

  // Abort, Retry, Ignore has no cancel button: Escape leaves the box open.
  WhenShown([](TsMessageForm* form) {
    PostKey(VK_ESCAPE);
    RunLater(60, [form] { ClickButton(form, "Abort"); });
  });
  EXPECT_EQ(SkinMessageDlg("Read error.", mtError, mbAbortRetryIgnore, 0), mrAbort);
  Press(VK_RETURN);
  EXPECT_EQ(SkinMessageDlg("Read error.", mtError, mbAbortRetryIgnore, 0), mrRetry);

  // Without buttons only the title bar closes the box.
  WhenShown([](TsMessageForm* form) {
    EXPECT_TRUE(ButtonNames(form).empty());
    PostKey(VK_RETURN);
    PostKey(VK_ESCAPE);
    RunLater(60, [form] { PostMessageA(form->Handle(), WM_CLOSE, 0, 0); });
  });
  EXPECT_EQ(SkinMessageDlg("Working.", mtWarning, 0, 0), mrCancel);
}

TEST_F(MessageDlg, EachButtonClosesWithItsResultAndHelpAsksForTheContext) {
  const TMsgDlgButtons all = (1 << kMsgDlgButtonKinds) - 1;
  for (int kind = 0; kind < kMsgDlgButtonKinds - 1; ++kind) {
    const TMsgDlgButtonInfo info = MsgDlgButtonInfo(kind);
    std::vector<std::string> names;
    WhenShown([&](TsMessageForm* form) {
      names = ButtonNames(form);
      ClickButton(form, info.Name);
    });
    EXPECT_EQ(SkinMessageDlg("Which one?", mtConfirmation, all, 0), info.ModalResult) << info.Name;
    EXPECT_EQ(names, (std::vector<std::string>{"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All",
                                               "NoToAll", "YesToAll", "Help"}));
  }

  struct THelpSeen {
    std::vector<ULONG_PTR> Contexts;
    bool Help(UINT command, ULONG_PTR data, bool& callHelp) {
      if (command == HELP_CONTEXT) Contexts.push_back(data);
      callHelp = false;
      return true;
    }
  } seen;
  const THelpEvent previous = Application->OnHelp();
  Application->SetOnHelp(THelpEvent(&seen, &THelpSeen::Help));
  bool stillOpen = false;
  WhenShown([&](TsMessageForm* form) {
    ClickButton(form, "Help");
    RunLater(30, [&, form] {
      stillOpen = ShownDialog() == form;
      ClickButton(form, "Cancel");
    });
  });
  EXPECT_EQ(SkinMessageDlg("Overwrite?", mtWarning, mbYesNoCancel | mbHelp, 11), mrCancel);
  Application->SetOnHelp(previous);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(seen.Contexts, std::vector<ULONG_PTR>{11});
}

TEST_F(MessageDlg, TitleIconFontAndPlace) {
  const std::string title = Application->Title();
  Application->SetTitle("Tarvex test");
  struct TSeen {
    std::string Caption;
    bool Icon = false;
    std::vector<std::string> Buttons;
    RECT Bounds{};
    std::string Font;
  } custom, error;
  auto look = [](TSeen& seen) {
    return [&seen](TsMessageForm* form) {
      seen.Caption = form->Caption();
      auto* image = dynamic_cast<TImage*>(form->FindComponent("Image"));
      seen.Icon = image != nullptr && !image->Picture()->Graphic()->Empty();
      seen.Buttons = ButtonNames(form);
      GetWindowRect(form->Handle(), &seen.Bounds);
      seen.Font = form->Font()->Name();
      PostKey(VK_RETURN);
    };
  };
  WhenShown(look(custom));
  SkinShowMessage("Project saved.");
  WhenShown(look(error));
  EXPECT_EQ(SkinMessageDlgPos("Cannot open the file.", mtError, mbOK, 0, 100, -1), mrOk);
  Application->SetTitle(title);

  EXPECT_EQ(custom.Caption, "Tarvex test");
  EXPECT_FALSE(custom.Icon);
  EXPECT_EQ(custom.Buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(error.Caption, "Error");
  EXPECT_TRUE(error.Icon);
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0));
  EXPECT_EQ(error.Font, metrics.lfMessageFont.lfFaceName);
  // X = 100 places the box; Y = -1 keeps it centred vertically.
  EXPECT_EQ(error.Bounds.left, 100);
  const int height = error.Bounds.bottom - error.Bounds.top;
  EXPECT_EQ(error.Bounds.top, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2);
}

TEST_F(MessageDlg, LongWordsStayOnTheScreenAndEmptyTextTakesNoRoom) {
  const int screen = GetSystemMetrics(SM_CXSCREEN);
  struct TSeen {
    int Width = 0;
    RECT Text{};
    std::string Caption;
  } path, empty;
  auto look = [](TSeen& seen) {
    return [&seen](TsMessageForm* form) {
      seen.Width = form->Width();
      auto* label = dynamic_cast<TLabel*>(form->FindComponent("Message"));
      seen.Text = label->BoundsRect();
      seen.Caption = label->Caption();
      PostKey(VK_RETURN);
    };
  };
  // A file name without blanks wider than the screen is broken, not run off the screen.
  const std::string longPath = "C:\\" + std::string(600, 'x') + "\\R&D.smg";
  WhenShown(look(path));
  SkinMessageDlg("Cannot create " + longPath, mtError, mbOK, 0);
  EXPECT_LE(path.Text.right - path.Text.left, screen / 2);
  EXPECT_LT(path.Width, screen);
  std::string shown;
  for (char c : path.Caption)
    if (c != '\n') shown += c;
  EXPECT_EQ(shown, "Cannot create " + longPath);

  WhenShown(look(empty));
  EXPECT_EQ(SkinMessageDlg("", mtInformation, mbOK, 0), mrOk);
  EXPECT_EQ(empty.Text.right - empty.Text.left, 0);
  EXPECT_LT(empty.Width, screen / 2) << "no text is measured as no text, not as the whole wrap width";
}

TEST_F(MessageDlg, ShortcutBoxesAreTheSkinnedBoxes) {
  InstallSkinMessageBoxHandler();
  struct TSeen {
    std::string Caption;
    std::vector<std::string> Buttons;
  } confirm, warning, error;
  auto answer = [](TSeen& seen, const char* button) {
    return [&seen, button](TsMessageForm* form) {
      seen.Caption = form->Caption();
      seen.Buttons = ButtonNames(form);
      ClickButton(form, button);
    };
  };
  WhenShown(answer(confirm, "Yes"));
  EXPECT_TRUE(ConfirmYesNo("Replace the skin?"));
  WhenShown(answer(confirm, "No"));
  EXPECT_FALSE(ConfirmYesNo("Replace the skin?"));
  EXPECT_EQ(confirm.Caption, "Confirm");
  EXPECT_EQ(confirm.Buttons, (std::vector<std::string>{"Yes", "No"}));
  WhenShown(answer(warning, "OK"));
  ShowWarningBox("Skin not found.");
  EXPECT_EQ(warning.Caption, "Warning");
  EXPECT_EQ(warning.Buttons, std::vector<std::string>{"OK"});
  WhenShown(answer(error, "OK"));
  ShowErrorBox("Skin is damaged.");
  EXPECT_EQ(error.Caption, "Error");
  EXPECT_EQ(error.Buttons, std::vector<std::string>{"OK"});
}

TEST_F(MessageDlg, SkinnedButtonsAnswerToo) {
  LoadSkin();
  Press(VK_ESCAPE);
  EXPECT_EQ(SkinMessageDlg("Delete the file?", mtConfirmation, mbYesNoCancel, 0), mrCancel);
  WhenShown([](TsMessageForm* form) { ClickButton(form, "No"); });
  EXPECT_EQ(SkinMessageDlg("Delete the file?", mtConfirmation, mbYesNoCancel, 0), mrNo);
}

TEST_F(MessageDlg, ReturnAndSpacePressTheFocusedButton) {
  // Focus moved to a button, then the key: the focused button answers, whichever is the default.
  // A box the key left open is ended with a result no button has (the timer comes after the key).
  constexpr int kPressed = 1, kUnanswered = 100;
  const auto pressOn = [](const char* name, WORD key) {
    WhenShown([name, key](TsMessageForm* form) {
      if (TWinControl* b = Button(form, name)) b->SetFocus();
      form->SetTag(kPressed);
      PostKey(key);
      RunLater(1, [] {
        if (TsMessageForm* left = ShownDialog(); left != nullptr && left->Tag() == kPressed)
          left->SetModalResult(kUnanswered);
      });
    });
  };
  pressOn("Cancel", VK_RETURN);
  EXPECT_EQ(SkinMessageDlg("Incorrect data!", mtError, mbCancel, 0), mrCancel) << "a lone Cancel";
  pressOn("No", VK_RETURN);
  EXPECT_EQ(SkinMessageDlg("Delete the file?", mtConfirmation, mbYes | mbNo, 0), mrNo);
  pressOn("Cancel", VK_RETURN);
  EXPECT_EQ(SkinMessageDlg("Delete record?", mtConfirmation, mbOKCancel, 0), mrCancel);
  pressOn("Ignore", VK_SPACE);
  EXPECT_EQ(SkinMessageDlg("Read error.", mtError, mbAbortRetryIgnore, 0), mrIgnore);
  pressOn("Cancel", VK_SPACE);
  EXPECT_EQ(SkinMessageDlg("Incorrect data!", mtError, mbCancel, 0), mrCancel);
  // Tab moves the focus on, and Return follows it.
  WhenShown([](TsMessageForm*) {
    PostKey(VK_TAB);
    RunLater(30, [] { PostKey(VK_RETURN); });
  });
  EXPECT_EQ(SkinMessageDlg("Save changes?", mtConfirmation, mbYesNoCancel, 0), mrNo);
  LoadSkin();
  pressOn("Cancel", VK_RETURN);
  EXPECT_EQ(SkinMessageDlg("Incorrect data!", mtError, mbCancel, 0), mrCancel) << "a lone skinned Cancel";
}

// Buttons given captions of their own keep their results and keys, and are wide enough for the text.
TEST_F(MessageDlg, OwnCaptionsReadAsGivenFitTheirButtonsAndKeepTheKeys) {
  const TMsgDlgCaptions captions{{mbYes, "&Save"}, {mbNo, "&Don't save and let them go"}};
  const auto ask = [&] { return SkinMessageDlgCaptions("Save the changes?", mtConfirmation, mbYesNoCancel, captions); };
  int ownWidth = 0;
  for (const bool skinned : {false, true}) {
    if (skinned) LoadSkin();
    WhenShown([&ownWidth](TsMessageForm* form) {
      std::vector<std::string> shown;
      for (const char* name : {"Yes", "No", "Cancel"}) {
        auto* b = dynamic_cast<TsBitBtn*>(form->FindComponent(name));
        ASSERT_NE(b, nullptr) << name;
        shown.push_back(b->Caption());
        // The caption's text (without the accelerator mark) fits inside its button.
        std::string text = b->Caption();
        std::erase(text, '&');
        HDC dc = GetDC(b->Handle());
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(b->Handle(), WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &extent);
        SelectObject(dc, old);
        ReleaseDC(b->Handle(), dc);
        EXPECT_GE(b->Width(), extent.cx + 8) << name;
        ownWidth = b->Width();
      }
      EXPECT_EQ(shown, (std::vector<std::string>{"&Save", "&Don't save and let them go", "Cancel"}));
      PostKey(VK_RETURN);
    });
    EXPECT_EQ(ask(), mrYes) << "Return presses the focused default button, skinned " << skinned;
    Press(VK_ESCAPE);
    EXPECT_EQ(ask(), mrCancel);
    WhenShown([](TsMessageForm* form) { ClickButton(form, "No"); });
    EXPECT_EQ(ask(), mrNo);
  }
  // The box of its own leaves the standard captions and widths to the other boxes.
  WhenShown([ownWidth](TsMessageForm* form) {
    auto* yes = dynamic_cast<TsBitBtn*>(form->FindComponent("Yes"));
    ASSERT_NE(yes, nullptr);
    EXPECT_EQ(yes->Caption(), "&Yes");
    EXPECT_LT(yes->Width(), ownWidth);
    PostKey(VK_ESCAPE);
  });
  EXPECT_EQ(SkinMessageDlg("Save the changes?", mtConfirmation, mbYesNoCancel, 0), mrCancel);
}

TEST_F(MessageDlg, AHugeMessageIsCutToTheWorkArea) {
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  // A skin name of thousands of characters, with and without blanks.
  std::string words;
  for (int i = 0; i < 4000; ++i) words += "Desert ";
  const std::string texts[] = {words, std::string(20000, 'x'), words};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.size());
    if (&text == &texts[2]) LoadSkin();  // the last one in a skinned box
    RECT box{}, ok{};
    std::string caption;
    WhenShown([&](TsMessageForm* form) {
      GetWindowRect(form->Handle(), &box);
      if (TWinControl* b = Button(form, "OK")) GetWindowRect(b->Handle(), &ok);
      if (auto* label = dynamic_cast<TLabel*>(form->FindComponent("Message"))) caption = label->Caption();
      PostKey(VK_RETURN);
    });
    EXPECT_EQ(SkinMessageDlg("Skin " + text + " not found.", mtWarning, mbOK, 0), mrOk);
    EXPECT_LE(box.bottom - box.top, work.bottom - work.top);
    EXPECT_LE(box.right - box.left, work.right - work.left);
    EXPECT_GE(ok.top, 0);
    EXPECT_GE(ok.left, 0);
    EXPECT_LE(ok.bottom, screenHeight);
    EXPECT_LE(ok.right, screenWidth);
    EXPECT_GT(ok.bottom, ok.top) << "the OK button is shown";
    ASSERT_GE(caption.size(), 3u);
    EXPECT_EQ(caption.substr(caption.size() - 3), "...");
    EXPECT_EQ(caption.substr(0, 10), ("Skin " + text).substr(0, 10));
  }
  // A message that fits is shown whole.
  std::string shown;
  WhenShown([&](TsMessageForm* form) {
    if (auto* label = dynamic_cast<TLabel*>(form->FindComponent("Message"))) shown = label->Caption();
    PostKey(VK_RETURN);
  });
  SkinMessageDlg("Skin Desert not found.", mtWarning, mbOK, 0);
  EXPECT_EQ(shown, "Skin Desert not found.");
}

TsEdit* PromptEdit() {
  TsMessageForm* form = ShownDialog();
  for (int i = 0; form != nullptr && i < form->ComponentCount(); ++i)
    if (auto* edit = dynamic_cast<TsEdit*>(form->Components(i))) return edit;
  return nullptr;
}

TEST_F(MessageDlg, InputQueryOKTakesTheTextCancelKeepsTheValue) {
  std::string value = "New Folder";
  int limit = 0;
  std::string selected;
  WhenShown([&](TsMessageForm*) {
    TsEdit* edit = PromptEdit();
    limit = int(SendMessageA(edit->Handle(), EM_GETLIMITTEXT, 0, 0));
    // The old value is selected: typing replaces it.
    HWND focus = GetFocus();
    EXPECT_EQ(focus, edit->Handle());
    for (char c : std::string("Pictures")) PostMessageA(focus, WM_CHAR, WPARAM(c), 1);
    PostKey(VK_RETURN);
  });
  EXPECT_TRUE(SkinInputQuery("New folder", "Folder name:", value));
  EXPECT_EQ(value, "Pictures");
  EXPECT_EQ(limit, 255);

  WhenShown([](TsMessageForm*) {
    SetWindowTextA(PromptEdit()->Handle(), "Changed");
    PostKey(VK_ESCAPE);
  });
  EXPECT_FALSE(SkinInputQuery("New folder", "Folder name:", value));
  EXPECT_EQ(value, "Pictures");

  WhenShown([](TsMessageForm* form) {
    SetWindowTextA(PromptEdit()->Handle(), "Changed");
    ClickButton(form, "Cancel");
  });
  EXPECT_FALSE(SkinInputQuery("New folder", "Folder name:", value));
  EXPECT_EQ(value, "Pictures");
  WhenShown([](TsMessageForm* form) { PostMessageA(form->Handle(), WM_CLOSE, 0, 0); });
  EXPECT_FALSE(SkinInputQuery("New folder", "Folder name:", value));
  EXPECT_EQ(value, "Pictures");
}

// Census cycles: each a box or prompt built, shown, answered and freed.
TEST_F(MessageDlg, HandlesStayFlatOverBoxesAndPrompts) {
  const TGuiCensus box = TGuiCensus::ChangeOver(200, [] {
    Press(VK_RETURN);
    SkinMessageDlg("Cannot open the file.", mtError, mbOK | mbHelp, 0);
  });
  EXPECT_EQ(box, TGuiCensus());
  const TGuiCensus prompt = TGuiCensus::ChangeOver(200, [] {
    std::string value = "x";
    Press(VK_RETURN);
    SkinInputQuery("New folder", "Folder name:", value);
  });
  EXPECT_EQ(prompt, TGuiCensus());
}

}  // namespace
