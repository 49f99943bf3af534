#include <gtest/gtest.h>

#include <string>

#include "skin/controls/core/CalcEngine.h"

namespace {

using TStatus = TCalcEngine::TStatus;

// A calculator with recording hooks and an optional attached edit.
struct TCalc {
  explicit TCalc(bool withEdit = false, TFormatSettings fs = {'.', ','}) : Engine({}, fs) {
    auto& h = Engine.Hooks();
    h.Beep = [this] { ++Beeps; };
    h.ClipboardText = [this](std::string& text) {
      text = Clipboard;
      return !Clipboard.empty();
    };
    h.SetClipboardText = [this](const std::string& text) { Clipboard = text; };
    h.HasEdit = [withEdit] { return withEdit; };
    h.EditValue = [this] { return EditValue; };
    h.GiveToEdit = [this](double v) { EditValue = v, ++Given; };
    h.Close = [this] { ++Closes; };
    h.OnError = [this] { ++Errors; };
    h.OnResult = [this] { ++Results; };
    Engine.SetBeepOn(true);
  }
  TCalc& Keys(const std::string& keys) {
    for (char k : keys) Engine.ProcessKey(k);
    return *this;
  }
  const std::string& Display() const { return Engine.Display(); }

  TCalcEngine Engine;
  std::string Clipboard;
  double EditValue = 0;
  int Beeps = 0, Given = 0, Closes = 0, Errors = 0, Results = 0;
};

TEST(CalcEngine, OperatorsApplyInTheOrderTyped) {
  EXPECT_EQ(TCalc().Keys("2+3*4=").Display(), "20");
  EXPECT_EQ(TCalc().Keys("200+10%").Display(), "220");  // the percent of the operand
  EXPECT_EQ(TCalc().Keys("50*10%").Display(), "5");
  EXPECT_EQ(TCalc().Keys("1.5-4=").Display(), "-2.5");
  EXPECT_EQ(TCalc().Keys("9q").Display(), "3");
  EXPECT_EQ(TCalc().Keys("4R").Display(), "0.25");
  EXPECT_EQ(TCalc().Keys("12_").Display(), "-12");
  EXPECT_EQ(TCalc().Keys("12__").Display(), "12");
  EXPECT_EQ(TCalc().Keys("1+2\r").Display(), "3");  // Enter while typing is "="
  TCalc c;
  c.Keys("3*=");
  EXPECT_EQ(c.Display(), "3");  // a repeated operator does not use the operand twice
  EXPECT_EQ(c.Results, 1);
}

TEST(CalcEngine, TypingEditingAndTheLocaleSeparator) {
  TCalc c;
  c.Keys("0012");
  EXPECT_EQ(c.Display(), "12");
  c.Keys("..5");
  EXPECT_EQ(c.Display(), "12.5");
  c.Keys("\b\b");
  EXPECT_EQ(c.Display(), "12");
  c.Keys("_\b\b");
  EXPECT_EQ(c.Display(), "0");  // "-1" backspaced is "0"
  TCalc comma(false, {',', '.'});
  comma.Keys("1.5*2=");
  EXPECT_EQ(comma.Display(), "3");
  comma.Keys("C7,25+0,5=");
  EXPECT_EQ(comma.Display(), "7,75");
}

TEST(CalcEngine, DigitsBeyondThePrecisionAreRefused) {
  TCalc c;
  c.Engine.SetPrecision(4);
  c.Keys("123456");
  EXPECT_EQ(c.Display(), "1234");
  EXPECT_EQ(c.Beeps, 2);
  c.Keys("_5");
  EXPECT_EQ(c.Display(), "-1234");  // the sign does not take a place
}

TEST(CalcEngine, ErrorsWaitForClear) {
  TCalc c;
  c.Keys("7/0=");
  EXPECT_EQ(c.Display(), "Error");
  EXPECT_EQ(c.Engine.Status(), TStatus::Error);
  EXPECT_EQ(c.Errors, 1);
  c.Keys("5+q\b.");
  EXPECT_EQ(c.Display(), "Error");
  EXPECT_EQ(c.Engine.DisplayValue(), 0);
  c.Engine.MemoryStore();
  EXPECT_EQ(c.Engine.Memory(), 0);
  c.Keys("c");
  EXPECT_EQ(c.Display(), "0");
  c.Keys("2_q");
  EXPECT_EQ(c.Display(), "Error");  // root of a negative number
  c.Keys("C0R");
  EXPECT_EQ(c.Display(), "Error");
}

TEST(CalcEngine, AnOverflowingResultIsAnErrorNotAnUnreadableDisplay) {
  TCalc c;
  c.Engine.SetPrecision(16);
  c.Clipboard = "1E300";
  c.Engine.Paste();
  c.Keys("*");
  c.Engine.Paste();
  c.Keys("=");
  EXPECT_EQ(c.Display(), "Error");
  EXPECT_EQ(c.Errors, 1);
  c.Keys("C3+4=");
  EXPECT_EQ(c.Display(), "7");  // the next keys work again
  c.Clipboard = "1E-310";
  c.Keys("C");
  c.Engine.Paste();
  c.Keys("R");
  EXPECT_EQ(c.Display(), "Error");
  c.Keys("C");
  c.Clipboard = "1E308";
  c.Engine.Paste();
  c.Engine.MemoryStore();
  c.Engine.MemoryAdd();
  EXPECT_EQ(c.Display(), "Error");
  EXPECT_EQ(c.Engine.Memory(), 1e308);
}

TEST(CalcEngine, MemoryStoresAddsRecallsAndClears) {
  TCalc c;
  c.Keys("5");
  c.Engine.MemoryStore();
  EXPECT_EQ(c.Engine.Status(), TStatus::Result);
  c.Keys("3");
  c.Engine.MemoryAdd();
  EXPECT_EQ(c.Engine.Memory(), 8);
  c.Keys("2+");
  c.Engine.MemoryRecall();
  EXPECT_EQ(c.Display(), "8");
  c.Keys("=");
  EXPECT_EQ(c.Display(), "10");  // the recalled value is the second operand
  c.Engine.MemoryClear();
  EXPECT_EQ(c.Engine.Memory(), 0);
}

TEST(CalcEngine, ClipboardCopyAndPaste) {
  TCalc c;
  c.Keys("12.5");
  c.Keys(std::string(1, TCalcEngine::KeyCopy));
  EXPECT_EQ(c.Clipboard, "12.5");
  c.Clipboard = "1,234.5";
  c.Keys("C");
  c.Keys(std::string(1, TCalcEngine::KeyPaste));
  EXPECT_EQ(c.Display(), "1234.5");
  c.Clipboard = "twelve";
  c.Engine.Paste();
  EXPECT_EQ(c.Display(), "1234.5");
  EXPECT_EQ(c.Beeps, 1);
}

TEST(CalcEngine, TheAttachedEditGetsTheResult) {
  TCalc c(true);
  c.EditValue = 42;
  c.Engine.Show();
  EXPECT_EQ(c.Display(), "42");
  c.Keys("+8=");
  EXPECT_EQ(c.Given, 1);
  EXPECT_EQ(c.EditValue, 50);
  EXPECT_EQ(c.Closes, 1);
  c.Keys("\r");  // Enter on a result gives it again
  EXPECT_EQ(c.Given, 2);
  // Escape clears a display that is not 0, and closes on 0.
  c.Keys("9\x1b");
  EXPECT_EQ(c.Display(), "0");
  EXPECT_EQ(c.Closes, 2);
  c.Keys("\x1b");
  EXPECT_EQ(c.Closes, 3);
  TCalc alone;
  alone.Keys("2+2=");
  EXPECT_EQ(alone.Given, 0);
  EXPECT_EQ(alone.Closes, 0);
}

TEST(CalcEngine, OkAndCancel) {
  TCalc c;
  int oks = 0, cancels = 0;
  c.Engine.Hooks().OnOk = [&] { ++oks; };
  c.Engine.Hooks().OnCancel = [&] { ++cancels; };
  c.Keys("1.50");
  c.Engine.Ok();
  EXPECT_EQ(c.Display(), "1.5");
  EXPECT_EQ(oks, 1);
  c.Keys("1/0=");
  c.Engine.Ok();
  EXPECT_EQ(oks, 1);
  EXPECT_EQ(c.Beeps, 2);  // the error and the refused OK
  c.Engine.Cancel();
  EXPECT_EQ(cancels, 1);
}

}  // namespace
