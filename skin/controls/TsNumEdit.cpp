#include "skin/controls/TsNumEdit.h"

#include <algorithm>

#include "framework/base/Exception.h"
#include "framework/base/FloatFormat.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/LocaleFormat.h"
#include "framework/win/TFont.h"
#include "skin/controls/TsCalcForm.h"
#include "skin/controls/core/NumEditText.h"

namespace {

// Clears a flag on leaving the scope.
class TFlagScope {
public:
  explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TFlagScope() { FFlag = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& FFlag;
};

std::string WithoutLineBreaks(std::string text) {
  text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }), text.end());
  return text;
}

}  // namespace

TsCustomNumEdit::TsCustomNumEdit(TComponent* owner) : TsCustomComboEdit(owner) {
  LoadLocaleFormatSettings();
  SetControlStyle(ControlStyle() & ~csSetCaption);
  SetMaxLength(0);
  SetAlignment(taRightJustify);
  SetPopupWidth(213);
  SetDefaultGlyphKind("BTN_CALC");
  DataChanged();
}

double TsCustomNumEdit::Value() {
  UpdateData();
  return FValue;
}

void TsCustomNumEdit::SetValue(double value) {
  FValue = NumEditText::CheckValue(value, FMinValue, FMaxValue);
  DataChanged();
  SkinData().RequestRepaint();
}

void TsCustomNumEdit::SetMinValue(double value) {
  if (value == FMinValue) return;
  FMinValue = value;
  SetValue(FValue);
}

void TsCustomNumEdit::SetMaxValue(double value) {
  if (value == FMaxValue) return;
  FMaxValue = value;
  SetValue(FValue);
}

void TsCustomNumEdit::SetDecimalPlaces(unsigned value) {
  if (value == FDecimalPlaces) return;
  FDecimalPlaces = value;
  SetValue(FValue);
}

void TsCustomNumEdit::SetDisplayFormat(const std::string& value) {
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  SetValue(FValue);
}

std::string TsCustomNumEdit::DisplayText() const {
  if (FDisplayFormat.empty()) return FloatToStr(FValue);
  return FormatFloat(FDisplayFormat, FValue);
}

std::string TsCustomNumEdit::DisplayedText() { return FFocused ? Text() : DisplayText(); }

TsCalcForm* TsCustomNumEdit::Calculator() const { return dynamic_cast<TsCalcForm*>(Popup()); }

void TsCustomNumEdit::DataChanged() {
  if (!EditMask().empty()) return;
  const TFlagScope formatting(FFormatting);
  SetText(FormatFloat(NumEditText::EditFormat(FDecimalPlaces), FValue));
}

void TsCustomNumEdit::UpdateData() {
  const std::string text = NumEditText::TextToValText(WithoutLineBreaks(Text()), FormatSettings());
  FValue = NumEditText::CheckValue(StrToFloat(text), FMinValue, FMaxValue);
}

bool TsCustomNumEdit::IsValidChar(char key) {
  NumEditText::TKeyCheck check;
  check.Text = Text();
  check.SelStart = SelStart();
  check.SelLength = SelLength();
  check.DecimalPlaces = FDecimalPlaces;
  check.MinValue = FMinValue;
  check.MaxValue = FMaxValue;
  return NumEditText::IsValidChar(check, key, FormatSettings());
}

void TsCustomNumEdit::KeyPress(char& key) {
  const char typed = key;
  key = NumEditText::TranslateKey(key, FormatSettings());
  TsCustomComboEdit::KeyPress(key);
  if (static_cast<unsigned char>(key) > 31 && !IsValidChar(key)) {
    if (FBeepOnError) MessageBeep(0);
    key = 0;
  } else if (key != typed && key != 0) {
    // The native edit would get the key as typed: the separator goes in here.
    SetSelText(std::string(1, key));
    key = 0;
  } else if (key == 27) {
    DataChanged();
    if (DirectInput()) SelectAll();
    key = 0;
  }
}

void TsCustomNumEdit::Change() {
  if (!FFormatting && FFormatOnEditing && FFocused) ReformatEditText();
  TsCustomComboEdit::Change();
}

void TsCustomNumEdit::ReformatEditText() {
  const std::string text = Text();
  if (text.empty() || text == "-") return;
  double value = 0;
  if (!TryStrToFloat(NumEditText::TextToValText(text, FormatSettings()), value)) return;
  const bool thousands = FDisplayFormat.find(',') != std::string::npos;
  std::string format = thousands ? "#,##0" : "0";
  if (const size_t point = text.find(FormatSettings().DecimalSeparator); point != std::string::npos) {
    format += "." + std::string(std::min<size_t>(text.size() - point - 1, FDecimalPlaces), '0');
    if (point + 1 == text.size()) return;  // a separator just typed stays as it is
  }
  const std::string formatted = FormatFloat(format, value);
  if (formatted == text) return;
  const int caret = SelStart();
  {
    const TFlagScope formatting(FFormatting);
    SetText(formatted);
  }
  if (Focused()) SetSelStart(NumEditText::ReformattedCaret(caret, int(text.size()), int(formatted.size())));
}

void TsCustomNumEdit::CalculatorClosed(TObject*, TCloseAction& action) {
  // Called from inside the calculator's own handlers: it is freed once they have returned.
  action = caFree;
  SetPopup(nullptr);
}

void TsCustomNumEdit::ShowPopup() {
  if (!Popup() && !IsReadOnly()) {
    auto* calc = NewComponent<TsCalcForm>(this);
    calc->SetPopupLook(true);
    calc->SetFormStyle(fsStayOnTop);
    calc->Engine().SetPrecision(16);
    auto& hooks = calc->Engine().Hooks();
    hooks.HasEdit = [] { return true; };
    hooks.EditValue = [this] {
      double value = FValue;
      try {
        value = Value();
      } catch (const EConvertError&) {
      }
      return value;
    };
    hooks.GiveToEdit = [this](double value) {
      SetValue(value);
      if (CanFocus()) SetFocus();
      if (DirectInput()) SelectAll();
      // Told while the calculator still shows, which holds back the edit's own change events.
      TsMaskEdit::Change();
    };
    hooks.Close = [this, calc] {
      if (CanFocus()) SetFocus();
      calc->Close();
    };
    calc->SetOnClose(TCloseEvent(this, &TsCustomNumEdit::CalculatorClosed));
    SetPopup(calc);
  }
  TsCustomComboEdit::ShowPopup();
}

void TsCustomNumEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_ENTER:
      FFocused = true;
      DataChanged();
      if (FFormatOnEditing) ReformatEditText();
      SkinData().RequestRepaint();
      break;
    case CM_EXIT: {
      FFocused = false;
      SkinData().RequestRepaint();
      try {
        UpdateData();
      } catch (const EConvertError&) {
        // The last good value comes back; with CheckOnExit the user is told.
        DataChanged();
        if (FCheckOnExit) throw;
      }
      DataChanged();
      SetSelStart(0);
      break;
    }
    case WM_PASTE: {
      // Pasted text that is no number is undone.
      const std::string before = Text();
      const int start = SelStart(), length = SelLength();
      TsCustomComboEdit::Dispatch(message);
      double value = 0;
      if (!TryStrToFloat(NumEditText::TextToValText(WithoutLineBreaks(Text()), FormatSettings()), value)) {
        {
          const TFlagScope formatting(FFormatting);
          SetText(before);
        }
        SetSelStart(start);
        SetSelLength(length);
        if (FBeepOnError) MessageBeep(0);
        return;
      }
      UpdateData();
      return;
    }
    default:
      break;
  }
  TsCustomComboEdit::Dispatch(message);
}

void TsCustomNumEdit::PaintWindow(HDC dc) {
  TsCustomComboEdit::PaintWindow(dc);
  if (FFocused || Focused()) return;
  // The display form over the native client, left of the button.
  RECT r = ClientRect();
  r.right -= ButtonSpace();
  TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color())));
  FillRect(dc, &r, brush.Handle());
  InflateRect(&r, -2, -1);
  const TSelectObject font(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
  const std::string text = DisplayText();
  const UINT align = Alignment() == taRightJustify ? DT_RIGHT : Alignment() == taCenter ? DT_CENTER : DT_LEFT;
  DrawTextA(dc, text.c_str(), int(text.size()), &r, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

TsCurrencyEdit::TsCurrencyEdit(TComponent* owner) : TsCustomNumEdit(owner) {
  SkinData().SetControlKind(TsControlKind::CurrencyEdit);
  SetWidth(80);
  SetShowButton(false);
  GlyphChanged();
}
