#pragma once

#include <functional>
#include <string>

#include "framework/base/FloatFormat.h"

// The pocket calculator's key processor: a display text, a pending operator and operand, and one
// memory value. Everything outside it (sound, clipboard, the edit that opened it, closing) is
// reached through the hooks, any of which may be left empty.
class TCalcEngine {
public:
  enum class TStatus { Result, Typing, Error };

  struct THooks {
    std::function<void()> Beep;
    std::function<bool(std::string& text)> ClipboardText;  // false when the clipboard holds no text
    std::function<void(const std::string& text)> SetClipboardText;
    // The edit that opened the calculator: asked for its value, given the result.
    std::function<bool()> HasEdit;
    std::function<double()> EditValue;
    std::function<void(double value)> GiveToEdit;  // sets it, focuses and selects it, tells it changed
    std::function<void()> Close;                   // focuses the edit and hides the calculator
    std::function<void(char& key)> OnKey;          // may change the key
    std::function<void()> OnResult, OnDisplayChange, OnOk, OnCancel, OnError;
  };

  static constexpr char KeyBack = 8, KeyEnter = 13, KeyEscape = 27, KeyCopy = 3, KeyPaste = 22;

  explicit TCalcEngine(THooks hooks = {}, TFormatSettings settings = FormatSettings());

  const std::string& Display() const { return FDisplay; }
  TStatus Status() const { return FStatus; }
  char PendingOperator() const { return FOperator; }
  double Memory() const { return FMemory; }
  // The display as a number; 0 in the error status.
  double DisplayValue() const;
  // The display from a number with Precision significant digits; a number beyond the range of a
  // double is an error.
  void SetDisplayValue(double value);

  int Precision() const { return FPrecision; }
  void SetPrecision(int value) { FPrecision = value < 1 ? 1 : value > 17 ? 17 : value; }
  bool BeepOn() const { return FBeepOn; }
  void SetBeepOn(bool value) { FBeepOn = value; }
  THooks& Hooks() { return FHooks; }

  // One key: digits, "." and ",", "C", Backspace, "Q" (square root), "R" (reciprocal), "_" (sign),
  // Escape, Ctrl+C, Ctrl+V, Enter and the operators + - * / % =. Case does not matter.
  void ProcessKey(char key);
  void MemoryStore();
  void MemoryAdd();
  void MemoryRecall();
  void MemoryClear();
  void Copy();
  // Clipboard text without thousand separators, as a number; a beep when it is none.
  void Paste();
  void Ok();
  void Cancel();
  // Shown on the calculator's appearance: the edit's value.
  void Show();

private:
  void SetDisplay(const std::string& text);
  void Clear();
  void StartNumber();
  void Error();
  void BeepIfOn();
  void Operate(char key);
  bool Attached() const { return FHooks.HasEdit && FHooks.HasEdit(); }
  void GiveResult();

  THooks FHooks;
  TFormatSettings FSettings;
  std::string FDisplay = "0";
  TStatus FStatus = TStatus::Result;
  char FOperator = '=';
  double FOperand = 0;
  double FMemory = 0;
  int FPrecision = 16;
  bool FBeepOn = false;
};
