#pragma once

#include <string>

#include "framework/win/TCustomForm.h"
#include "skin/controls/TsComboEdit.h"

class TsCalcForm;

// A numeric combo edit: a floating value with bounds and decimal places, edited as plain digits
// and shown in DisplayFormat while the edit has no focus; its button opens the calculator.
class TsCustomNumEdit : public TsCustomComboEdit {
public:
  explicit TsCustomNumEdit(TComponent* owner);

  static constexpr const char* DefaultDisplayFormat = "### ##0.00;-### ##0.00;0";

  // The text is taken over first (parsed and clamped); text that is no number raises EConvertError.
  double Value();
  void SetValue(double value);
  double MinValue() const { return FMinValue; }
  void SetMinValue(double value);
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double value);
  unsigned DecimalPlaces() const { return FDecimalPlaces; }
  void SetDecimalPlaces(unsigned value);
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& value);
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool value) { FBeepOnError = value; }
  // Leaving the edit with text that is no number raises EConvertError (else the value stays).
  bool CheckOnExit() const { return FCheckOnExit; }
  void SetCheckOnExit(bool value) { FCheckOnExit = value; }
  // Thousand separators are put in while typing when DisplayFormat has them.
  bool FormatOnEditing() const { return FFormatOnEditing; }
  void SetFormatOnEditing(bool value) { FFormatOnEditing = value; }

  // The text shown while the edit has no focus.
  std::string DisplayText() const;
  // The calculator while it exists.
  TsCalcForm* Calculator() const;

  void ShowPopup() override;
  void Dispatch(TMessage& message) override;

protected:
  // Shows the value as edit text.
  virtual void DataChanged();
  // The key may be typed: the text it makes is a number within the edit's rules.
  virtual bool IsValidChar(char key);
  void KeyPress(char& key) override;
  void Change() override;
  std::string DisplayedText() override;
  void PaintWindow(HDC dc) override;

private:
  // Parses the text and clamps it into the value; raises on text that is no number.
  void UpdateData();
  void ReformatEditText();
  void CalculatorClosed(TObject* sender, TCloseAction& action);

  double FValue = 0;
  double FMinValue = 0, FMaxValue = 0;
  unsigned FDecimalPlaces = 2;
  std::string FDisplayFormat = DefaultDisplayFormat;
  bool FBeepOnError = true;
  bool FCheckOnExit = false;
  bool FFormatOnEditing = false;
  bool FFocused = false;
  bool FFormatting = false;
};

// The published numeric edit, without a button.
class TsCurrencyEdit : public TsCustomNumEdit {
public:
  explicit TsCurrencyEdit(TComponent* owner);
  bool WantsGlyph() const override { return false; }
};
