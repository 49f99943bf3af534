#include "skin/controls/core/CalcEngine.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

TCalcEngine::TCalcEngine(THooks hooks, TFormatSettings settings) : FHooks(std::move(hooks)), FSettings(settings) {}

double TCalcEngine::DisplayValue() const {
  if (FStatus == TStatus::Error) return 0;
  double value = 0;
  return TryStrToFloat(FDisplay, value, FSettings) ? value : 0;
}

void TCalcEngine::SetDisplay(const std::string& text) {
  if (text == FDisplay) return;
  FDisplay = text;
  if (FHooks.OnDisplayChange) FHooks.OnDisplayChange();
}

void TCalcEngine::SetDisplayValue(double value) {
  // An overflowing result would leave a display no key can read back.
  if (!std::isfinite(value)) {
    Error();
    return;
  }
  SetDisplay(FloatToStrF(value, TFloatFormat::ffGeneral, FPrecision, 0, FSettings));
}

void TCalcEngine::BeepIfOn() {
  if (FBeepOn && FHooks.Beep) FHooks.Beep();
}

void TCalcEngine::Error() {
  FStatus = TStatus::Error;
  SetDisplay("Error");
  BeepIfOn();
  if (FHooks.OnError) FHooks.OnError();
}

void TCalcEngine::Clear() {
  FStatus = TStatus::Result;
  SetDisplayValue(0);
  FOperator = '=';
  FOperand = 0;
}

void TCalcEngine::StartNumber() {
  if (FStatus != TStatus::Result) return;
  FStatus = TStatus::Typing;
  SetDisplay("0");
}

void TCalcEngine::GiveResult() {
  const double value = DisplayValue();
  if (FHooks.GiveToEdit) FHooks.GiveToEdit(value);
  if (FHooks.Close) FHooks.Close();
}

void TCalcEngine::Operate(char key) {
  if (FStatus == TStatus::Typing) {
    FStatus = TStatus::Result;
    double v = DisplayValue();
    if (key == '%') {
      if (FOperator == '*' || FOperator == '/') v /= 100;
      else if (FOperator == '+' || FOperator == '-') v = FOperand * v / 100;
    }
    double result = v;
    switch (FOperator) {
      case '*': result = FOperand * v; break;
      case '+': result = FOperand + v; break;
      case '-': result = FOperand - v; break;
      case '/':
        if (v == 0) {
          Error();
          return;
        }
        result = FOperand / v;
        break;
      default: break;
    }
    SetDisplayValue(result);
    if (FStatus == TStatus::Error) return;
  }
  FOperator = key == KeyEnter ? '=' : key;
  FOperand = DisplayValue();
  if (key == KeyEnter || key == '%' || key == '=') {
    if (FHooks.OnResult) FHooks.OnResult();
  }
  if (key == '=' && Attached()) GiveResult();
}

void TCalcEngine::ProcessKey(char key) {
  key = char(std::toupper(static_cast<unsigned char>(key)));
  if (FHooks.OnKey) FHooks.OnKey(key);
  // An error waits for "C"; Escape clears it too, so the keyboard alone can always go on.
  if (FStatus == TStatus::Error && key != 'C' && key != KeyEscape) return;
  if (key >= '0' && key <= '9') {
    StartNumber();
    const bool negative = FDisplay.find('-') != std::string::npos;
    if (FDisplay == "0" || FDisplay == "-0") {
      SetDisplay(FDisplay.substr(0, FDisplay.size() - 1) + key);
    } else if (FDisplay.find('E') == std::string::npos &&
               int(FDisplay.size()) < std::max(2, FPrecision) + (negative ? 1 : 0)) {
      SetDisplay(FDisplay + key);
    } else {
      BeepIfOn();
    }
    return;
  }
  switch (key) {
    case '.':
    case ',':
      StartNumber();
      if (FDisplay.find(FSettings.DecimalSeparator) == std::string::npos) SetDisplay(FDisplay + FSettings.DecimalSeparator);
      return;
    case 'C': Clear(); return;
    case KeyBack:
      StartNumber();
      if (FDisplay.size() == 1 || (FDisplay.size() == 2 && FDisplay[0] == '-')) SetDisplay("0");
      else SetDisplay(FDisplay.substr(0, FDisplay.size() - 1));
      return;
    case 'Q':
    case 'R': {
      FStatus = TStatus::Result;
      const double v = DisplayValue();
      if (key == 'Q' && v >= 0) SetDisplayValue(std::sqrt(v));
      else if (key == 'R' && v != 0) SetDisplayValue(1 / v);
      else Error();
      return;
    }
    case '_':
      if (FDisplay == "0") return;
      SetDisplay(FDisplay[0] == '-' ? FDisplay.substr(1) : "-" + FDisplay);
      return;
    case KeyEscape:
      if (FDisplay != "0") Clear();
      else if (FHooks.Close) FHooks.Close();
      return;
    case KeyCopy: Copy(); return;
    case KeyPaste: Paste(); return;
    case KeyEnter:
      if (FStatus == TStatus::Result && Attached()) {
        GiveResult();
        return;
      }
      Operate(key);
      return;
    case '+':
    case '-':
    case '*':
    case '/':
    case '%':
    case '=': Operate(key); return;
    default: return;
  }
}

void TCalcEngine::MemoryStore() {
  if (FStatus == TStatus::Error) return;
  FMemory = DisplayValue();
  FStatus = TStatus::Result;
}

void TCalcEngine::MemoryAdd() {
  if (FStatus == TStatus::Error) return;
  const double sum = FMemory + DisplayValue();
  FStatus = TStatus::Result;
  if (std::isfinite(sum)) FMemory = sum;
  else Error();
}

// The recalled number is an operand being entered: a pending operator applies to it.
void TCalcEngine::MemoryRecall() {
  if (FStatus == TStatus::Error) return;
  StartNumber();
  SetDisplayValue(FMemory);
}

void TCalcEngine::MemoryClear() {
  if (FStatus == TStatus::Error) return;
  FMemory = 0;
  FStatus = TStatus::Result;
}

void TCalcEngine::Copy() {
  if (FHooks.SetClipboardText) FHooks.SetClipboardText(FDisplay);
}

void TCalcEngine::Paste() {
  std::string text;
  if (FStatus == TStatus::Error || !FHooks.ClipboardText || !FHooks.ClipboardText(text)) return;
  if (FSettings.ThousandSeparator != FSettings.DecimalSeparator)
    text.erase(std::remove(text.begin(), text.end(), FSettings.ThousandSeparator), text.end());
  double value = 0;
  if (!TryStrToFloat(text, value, FSettings)) {
    BeepIfOn();
    return;
  }
  StartNumber();
  SetDisplayValue(value);
}

void TCalcEngine::Ok() {
  if (FStatus == TStatus::Error) {
    BeepIfOn();
    return;
  }
  SetDisplayValue(DisplayValue());
  if (FHooks.OnOk) FHooks.OnOk();
}

void TCalcEngine::Cancel() {
  if (FHooks.OnCancel) FHooks.OnCancel();
}

void TCalcEngine::Show() {
  if (!Attached() || !FHooks.EditValue) return;
  FStatus = TStatus::Result;
  SetDisplayValue(FHooks.EditValue());
}
