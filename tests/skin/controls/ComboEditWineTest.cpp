#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "ControlPixels.h"
#include "framework/base/FloatFormat.h"
#include "framework/win/Clipboard.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TButton.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsCalcForm.h"
#include "skin/controls/TsComboEdit.h"
#include "skin/controls/TsNumEdit.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsSpeedButton.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"

// The combo edits and the calculator driven by real messages: the button and its key, the numeric
// text rules as typed, the pop-up calculator opened and closed, and the skinned look from caches.

namespace {

// Characters as typed: posted, then handled by the message loop.
void Type(TWinControl* control, const std::string& keys) {
  for (char c : keys) PostMessageA(control->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
  TSkinnedFormTest::Pump();
}

void PressAltDown(TWinControl* control) {
  // Alt held: the context bit of a system key.
  PostMessageA(control->Handle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
  PostMessageA(control->Handle(), WM_SYSKEYUP, VK_DOWN, 0xE0000001);
  TSkinnedFormTest::Pump();
}

// A left click in the middle of the edit's button, as the mouse gives it to the edit's window.
void ClickButton(TsCustomComboEdit* edit) {
  TsEditButton* b = edit->Button();
  const LPARAM at = MAKELPARAM(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
  SendMessageA(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(edit->Handle(), WM_LBUTTONUP, 0, at);
  TSkinnedFormTest::Pump();
}

class ComboEdits : public TSkinnedFormTest {
protected:
  void SetUp() override {
    TSkinnedFormTest::SetUp();
    Edit = NewControl<TsCustomComboEdit>(Form, Form, RECT{10, 10, 170, 31});
    Edit->SetDefaultGlyphKind("BTN_ELLIPSIS");
    Edit->SetOnButtonClick(TNotifyEvent::FromFunctor([this](TObject*) { ++Clicks; }));
    Num = NewControl<TsCustomNumEdit>(Form, Form, RECT{10, 40, 170, 61});
    Other = NewControl<TButton>(Form, Form, RECT{200, 10, 280, 35});
    Pump();
  }

  TsCustomComboEdit* Edit = nullptr;
  TsCustomNumEdit* Num = nullptr;
  TButton* Other = nullptr;
  int Clicks = 0;
};

TEST_F(ComboEdits, TypedTextStaysClearOfTheButtonWhichTheMouseAndAltDownPress) {
  TsEditButton* button = Edit->Button();
  ASSERT_TRUE(button->Visible());
  EXPECT_EQ(button->Width(), TsCustomComboEdit::ButtonWidth);
  EXPECT_EQ(button->Left() + button->Width(), Edit->ClientRect().right);
  RECT format{};
  SendMessageA(Edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  EXPECT_LE(format.right, button->Left());
  ClickButton(Edit);
  EXPECT_EQ(Clicks, 1);
  Edit->SetFocus();
  PressAltDown(Edit);
  EXPECT_EQ(Clicks, 2);
  // Read-only: neither the button nor its key acts, and typing changes nothing.
  Edit->SetText("keep");
  Edit->SetReadOnly(true);
  ClickButton(Edit);
  PressAltDown(Edit);
  Type(Edit, "x");
  EXPECT_EQ(Clicks, 2);
  EXPECT_EQ(Edit->Text(), "keep");
  // Without direct input the button still acts, typing does not.
  Edit->SetReadOnly(false);
  Edit->SetDirectInput(false);
  Type(Edit, "x");
  EXPECT_EQ(Edit->Text(), "keep");
  ClickButton(Edit);
  EXPECT_EQ(Clicks, 3);
  // Hidden, the button takes no room.
  Edit->SetShowButton(false);
  SendMessageA(Edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  EXPECT_FALSE(button->Visible());
  EXPECT_GT(format.right, Edit->ClientRect().right - TsCustomComboEdit::ButtonWidth);
}

TEST_F(ComboEdits, WithoutASkinOrAGlyphTheComboEditIsTheStandardEdit) {
  const RECT at{10, 130, 170, 151};
  auto shot = [&](TCustomEdit* edit) {
    edit->SetText("Plain text");
    Other->SetFocus();
    edit->Repaint();
    Pump();
    TPixels pixels = Captured(edit);
    edit->Free();
    Pump();
    return pixels;
  };
  const TPixels standard = shot(NewControl<TMaskEdit>(Form, Form, at));
  auto* combo = NewControl<TsCustomComboEdit>(Form, Form, at);
  EXPECT_FALSE(combo->Button()->Visible());
  EXPECT_EQ(combo->ButtonSpace(), 0);
  EXPECT_EQ(shot(combo), standard);
}

TEST_F(ComboEdits, EnterReachesTheDefaultButtonAndLeavesNoCharacter) {
  auto* ok = NewControl<TButton>(Form, Form, RECT{200, 40, 280, 65});
  ok->SetDefault(true);
  int okClicks = 0;
  ok->SetOnClick(TNotifyEvent::FromFunctor([&](TObject*) { ++okClicks; }));
  Edit->SetText("abc");
  Edit->SetFocus();
  Edit->SetSelStart(3);
  Pump();
  // The key as pressed: the message loop makes its character.
  PostMessageA(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(Edit->Handle(), WM_KEYUP, VK_RETURN, 0xC0000001);
  Pump();
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(Edit->Text(), "abc");
}

TEST_F(ComboEdits, NumericTypingFollowsBoundsDecimalsAndTheLocale) {
  Num->SetMinValue(0);
  Num->SetMaxValue(100);
  Num->SetBeepOnError(false);
  Num->SetFocus();
  Pump();
  Num->SelectAll();
  Type(Num, "-");
  EXPECT_EQ(Num->Text(), "0");  // "-" alone is -0: below a bound of 0 by its sign
  Num->SelectAll();
  Type(Num, "150");
  EXPECT_EQ(Num->Text(), "150");
  EXPECT_EQ(Num->Value(), 100);  // clamped when read
  Num->SelectAll();
  Type(Num, "12.345");
  EXPECT_EQ(Num->Text(), "12.34");  // two decimal places
  Num->SetDecimalPlaces(0);
  Num->SetDisplayFormat("0");
  Num->SelectAll();
  Type(Num, "7.5");
  EXPECT_EQ(Num->Text(), "75");
  // Escape puts the value last taken over back.
  Type(Num, "\x1b");
  EXPECT_EQ(Num->Text(), "100");

  // Comma locales: with "." as thousand separator "," types the decimal one; with a blank as
  // thousand separator either key does.
  TFormatSettings saved = FormatSettings();
  FormatSettings() = TFormatSettings{',', '.'};
  Num->SetDecimalPlaces(2);
  Num->SelectAll();
  Type(Num, "2,5");
  EXPECT_EQ(Num->Text(), "2,5");
  EXPECT_EQ(Num->Value(), 2.5);
  FormatSettings() = TFormatSettings{',', ' '};
  Num->SelectAll();
  Type(Num, "3.5");
  EXPECT_EQ(Num->Text(), "3,5");
  EXPECT_EQ(Num->Value(), 3.5);
  FormatSettings() = saved;

  // No bounds: "-" alone reads as negative zero.
  Num->SetMinValue(0);
  Num->SetMaxValue(0);
  Num->SelectAll();
  Type(Num, "-");
  EXPECT_EQ(Num->Text(), "-");
  EXPECT_TRUE(std::signbit(Num->Value()));
  Num->SetText("");
  EXPECT_EQ(Num->Value(), 0);
}

TEST_F(ComboEdits, LeavingShowsTheDisplayFormatAndBadPasteIsUndone) {
  Num->SetValue(1234.5);
  EXPECT_EQ(Num->DisplayText(), "1 234.50");
  Num->SetFocus();
  Pump();
  EXPECT_EQ(Num->Text(), "1234.5");
  Num->SelectAll();
  Type(Num, "99");
  Other->SetFocus();
  Pump();
  EXPECT_EQ(Num->Value(), 99);
  EXPECT_EQ(Num->DisplayText(), "99.00");
  Num->SetFocus();
  Num->SelectAll();
  std::string clip;
  ASSERT_TRUE(Clipboard::SetText("not a number"));
  SendMessageA(Num->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(Num->Text(), "99");
  ASSERT_TRUE(Clipboard::SetText("42.5"));
  SendMessageA(Num->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(Num->Value(), 42.5);
}

TEST_F(ComboEdits, TheCurrencyEditHasNoButtonAndAltDownDoesNothing) {
  auto* money = NewControl<TsCurrencyEdit>(Form, Form, RECT{10, 70, 90, 91});
  Pump();
  EXPECT_FALSE(money->Button()->Visible());
  EXPECT_EQ(money->ButtonSpace(), 0);
  money->SetFocus();
  PressAltDown(money);
  Pump();
  EXPECT_EQ(money->Popup(), nullptr);
  money->SetValue(5);
  EXPECT_EQ(money->DisplayText(), "5.00");
}

TEST_F(ComboEdits, TheCalculatorOpensAndClosesFromATimerAndGivesItsResult) {
  Num->SetValue(2);
  ClickButton(Num);
  TsCalcForm* calc = Num->Calculator();
  ASSERT_NE(calc, nullptr);
  EXPECT_TRUE(calc->Visible());
  EXPECT_EQ(calc->Engine().Display(), "2");
  const HWND calcWindow = calc->Handle();
  RunLater(20, [&] {
    for (char c : std::string("+3*4=")) PostMessageA(calcWindow, WM_CHAR, static_cast<unsigned char>(c), 1);
  });
  for (int i = 0; i < 200 && IsWindow(calcWindow); ++i) {
    Application->ProcessMessages();
    Sleep(5);
  }
  // "=" gave 20 to the edit and closed the calculator, which was freed after its handlers returned.
  EXPECT_FALSE(IsWindow(calcWindow));
  EXPECT_EQ(Num->Popup(), nullptr);
  EXPECT_EQ(Num->Value(), 20);
  // The next click makes a new one; a second click hides it.
  ClickButton(Num);
  ASSERT_NE(Num->Calculator(), nullptr);
  EXPECT_TRUE(Num->Calculator()->Visible());
  ClickButton(Num);
  EXPECT_FALSE(Num->Calculator()->Visible());
}

TEST_F(ComboEdits, APressOnAnotherControlOfTheFormHidesThePopupAndOneOnThePopupDoesNot) {
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{200, 60, 300, 120});
  Pump();
  ClickButton(Num);
  ASSERT_NE(Num->Calculator(), nullptr);
  ASSERT_TRUE(Num->PopupVisible());
  // Pressed on the calculator itself, the pop-up stays.
  ClickControl(Num->Calculator());
  Pump();
  EXPECT_TRUE(Num->PopupVisible());
  // The panel takes no focus: only the press tells the edit.
  ClickControl(panel);
  ASSERT_TRUE(PumpUntil([&] { return !Num->PopupVisible(); }));
  EXPECT_TRUE(Num->Focused());
}

TEST_F(ComboEdits, AnOverflowOnTheCalculatorShowsAnErrorAndKeysGoOn) {
  auto* calc = NewComponent<TsCalcForm>(Form);
  calc->Show();
  Pump();
  ASSERT_TRUE(IsWindowVisible(calc->Handle()));
  // Each "*" multiplies by the number typed before it: 40 of them pass the range of a double.
  for (int i = 0; i < 40; ++i) Type(calc, "99999999*");
  EXPECT_EQ(calc->Engine().Display(), "Error");
  EXPECT_EQ(calc->DisplayPanel()->Caption(), "Error");
  Type(calc, "C7+1=");
  EXPECT_EQ(calc->Engine().Display(), "8");
  // The pad's buttons send the same keys.
  calc->PadButton("C")->Click();
  calc->PadButton("9")->Click();
  calc->PadButton("sqrt")->Click();
  EXPECT_EQ(calc->Engine().Display(), "3");
  calc->PadButton("MS")->Click();
  EXPECT_EQ(calc->MemoryPanel()->Caption(), "M");
  calc->Free();
}

class SkinnedComboEdits : public ComboEdits {
protected:
  void SetUp() override {
    ComboEdits::SetUp();
    LoadSkin("Desert");
    Pump();
  }
  // The button's cache rebuilt now.
  TPixels ButtonCache() {
    Edit->Button()->SkinData().SetRepaintNeeded(true);
    Edit->Repaint();
    Pump();
    return CacheOf(Edit->Button());
  }
};

TEST_F(SkinnedComboEdits, TheScreenShowsTheCachesOfEditAndButton) {
  Other->SetFocus();
  Edit->SetText("Skinned");
  Edit->Repaint();
  Pump();
  const TPixels screen = Captured(Edit);
  const TPixels cache = CacheOf(Edit);
  ASSERT_FALSE(cache.empty());
  const int w = Edit->ClientRect().right, h = Edit->ClientRect().bottom;
  const POINT origin = EditSkin::ClientOrigin(Edit->Handle());
  TsEditButton* b = Edit->Button();
  const TPixels button = CacheOf(b);
  ASSERT_EQ(button.size(), size_t(b->Width() * b->Height()));
  int textMismatch = 0, buttonMismatch = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t shown = screen[size_t(y * Edit->Width() + x)];
      if (x >= b->Left()) {
        buttonMismatch += shown != button[size_t((y - b->Top()) * b->Width() + (x - b->Left()))];
      } else {
        textMismatch += shown != cache[size_t((y + origin.y) * Edit->Width() + x + origin.x)];
      }
    }
  EXPECT_EQ(textMismatch, 0);
  EXPECT_EQ(buttonMismatch, 0);
}

// The native client draws the letters into our bitmap in the colours the edit answers it: the
// section's font colour, its hot one while focused.
TEST_F(SkinnedComboEdits, TheLettersTakeTheSectionsFontColourFocusedOrNot) {
  Edit->SetText("WWWWWW");
  const int section = Edit->SkinData().SkinIndex();
  ASSERT_TRUE(SectionIndexValid(section));
  const TsSectionData& s = ActiveSkin().SkinSectionData[size_t(section)];
  auto lettersIn = [this](TColor color) {
    TBitmap bmp;
    bmp.SetPixelFormat(TPixelFormat::Bit24);
    bmp.SetSize(Edit->ClientRect().right, Edit->ClientRect().bottom);
    SendMessageA(Edit->Handle(), WM_PRINTCLIENT, WPARAM(bmp.Canvas()->Handle()), PRF_CLIENT);
    const COLORREF rgb = ColorToRGB(color);
    const uint32_t pixel = uint32_t(GetRValue(rgb)) << 16 | uint32_t(GetGValue(rgb)) << 8 | GetBValue(rgb);
    const TPixels pixels = PixelsOf(bmp);
    const size_t n = size_t(std::count(pixels.begin(), pixels.end(), pixel));
    // Letters, not the background.
    return n > 0 && n < pixels.size() / 2;
  };
  Other->SetFocus();
  Pump();
  ASSERT_FALSE(Edit->SkinData().IsHot());
  EXPECT_TRUE(lettersIn(s.FontColor[0]));
  Edit->SetFocus();
  // The caret at the end: no selection colours the letters.
  SendMessageA(Edit->Handle(), EM_SETSEL, 6, 6);
  Pump();
  ASSERT_TRUE(Edit->SkinData().IsHot());
  EXPECT_TRUE(lettersIn(s.HotFontColor[0]));
}

// A glyph of the size of `like` in key colours only: it draws nothing over the bare button.
void PaintKeyColourGlyph(TBitmap& glyph, TBitmap& like) {
  glyph.SetPixelFormat(TPixelFormat::Bit24);
  glyph.SetSize(like.Width(), like.Height());
  glyph.Canvas()->Brush()->SetColor(TColor(0xFF00FF));
  glyph.Canvas()->FillRect(RECT{0, 0, glyph.Width(), glyph.Height() / 2});
  glyph.Canvas()->Brush()->SetColor(TColor(0xFFFFFF));
  glyph.Canvas()->FillRect(RECT{0, glyph.Height() / 2, glyph.Width(), glyph.Height()});
}

TEST_F(SkinnedComboEdits, FullBlendHidesTheGlyphUntilHot) {
  Other->SetFocus();
  TsGlyphMode* mode = Edit->GlyphMode();
  // A glyph of key colour only draws nothing: the bare button.
  TBitmap* builtIn = BuiltInEditGlyph("BTN_ELLIPSIS");
  ASSERT_NE(builtIn, nullptr);
  TBitmap empty;
  PaintKeyColourGlyph(empty, *builtIn);
  mode->SetGlyph(&empty);
  const TPixels bare = ButtonCache();
  mode->SetGlyph(builtIn);
  const TPixels shown = ButtonCache();
  EXPECT_NE(shown, bare);
  mode->SetBlend(100);
  EXPECT_EQ(ButtonCache(), bare);  // 100 % of the background: no trace of the glyph
  mode->SetBlend(50);
  const TPixels half = ButtonCache();
  EXPECT_NE(half, bare);
  EXPECT_NE(half, shown);
  // A focused edit shows the glyph plainly, whatever the blend.
  mode->SetBlend(100);
  Edit->SetFocus();
  Pump();
  mode->SetGlyph(&empty);
  const TPixels bareFocused = ButtonCache();
  mode->SetGlyph(builtIn);
  EXPECT_NE(ButtonCache(), bareFocused);
}

TEST_F(SkinnedComboEdits, AFocusedEditShowsItsButtonOnTheEditsSkinAsAnUnfocusedOneDoes) {
  // A glyph of key colour only: the bare button, which a shaded glyph would not cover.
  TBitmap* builtIn = BuiltInEditGlyph("BTN_ELLIPSIS");
  ASSERT_NE(builtIn, nullptr);
  TBitmap empty;
  PaintKeyColourGlyph(empty, *builtIn);
  Edit->GlyphMode()->SetGlyph(&empty);
  Other->SetFocus();
  Pump();
  const TPixels unfocused = ButtonCache();
  Edit->SetFocus();
  Pump();
  ASSERT_TRUE(Edit->EditHot());
  // The native edit paints the client now; the button keeps its look over the edit's skin.
  EXPECT_EQ(ButtonCache(), unfocused);
  Edit->GlyphMode()->SetGlyph(builtIn);
  Edit->Repaint();
  Pump();
  TsEditButton* b = Edit->Button();
  const TPixels screen = Captured(Edit), button = CacheOf(b);
  int mismatch = 0;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x)
      mismatch += screen[size_t((y + b->Top()) * Edit->Width() + x + b->Left())] != button[size_t(y * b->Width() + x)];
  EXPECT_EQ(mismatch, 0);
}

// Turned off and on, the edit shows its button greyed and back, as a button built anew would be.
TEST_F(SkinnedComboEdits, TheButtonFollowsTheEditOffAndOn) {
  Other->SetFocus();
  Pump();
  const TPixels on = CacheOf(Edit->Button());
  for (const bool enabled : {false, true}) {
    SCOPED_TRACE(enabled ? "on" : "off");
    Edit->SetEnabled(enabled);
    Pump();
    const TPixels shown = CacheOf(Edit->Button());
    EXPECT_EQ(shown, ButtonCache());
    EXPECT_EQ(shown == on, enabled);
  }
}

TEST_F(ComboEdits, SkinOffAndOnWithEditsAlive) {
  auto* money = NewControl<TsCurrencyEdit>(Form, Form, RECT{10, 70, 90, 91});
  Num->SetValue(3.25);
  LoadSkin("Desert");
  Pump();
  EXPECT_TRUE(Edit->IsSkinned());
  EXPECT_TRUE(Edit->Button()->IsSkinned());
  Manager->SetActive(false);
  Pump();
  EXPECT_FALSE(Edit->IsSkinned());
  EXPECT_FALSE(Num->Button()->IsSkinned());
  EXPECT_EQ(Num->Value(), 3.25);
  Manager->SetActive(true);
  Pump();
  EXPECT_TRUE(money->IsSkinned());
  EXPECT_TRUE(Num->Button()->IsSkinned());
  EXPECT_EQ(Num->Value(), 3.25);
  ClickButton(Num);
  ASSERT_NE(Num->Calculator(), nullptr);
  Num->Calculator()->Close();
  Pump();
  EXPECT_EQ(Num->Popup(), nullptr);
}

class ComboEditCensus : public ComboEdits, public ::testing::WithParamInterface<const char*> {};

TEST_P(ComboEditCensus, EditsAndTheCalculatorLeaveNoHandles) {
  if (std::string(GetParam()) != "none") LoadSkin(GetParam());
  const RECT at{10, 100, 170, 121};
  auto cycle = [this](TsCustomComboEdit* edit) {
    edit->SetText("1");
    edit->Repaint();
    edit->SetFocus();
    Other->SetFocus();
    edit->Free();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, [&] { cycle(NewControl<TsCustomComboEdit>(Form, Form, at)); }),
            TGuiCensus());
  // A numeric edit whose calculator opens and closes.
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles,
                                   [&] {
                                     auto* num = NewControl<TsCustomNumEdit>(Form, Form, at);
                                     num->Handle();
                                     num->ShowPopup();
                                     num->Calculator()->Close();
                                     Pump();
                                     cycle(num);
                                   }),
            TGuiCensus());
}

INSTANTIATE_TEST_SUITE_P(Skinned, ComboEditCensus, ::testing::Values("Desert"));

}  // namespace
