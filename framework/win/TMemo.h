#pragma once

#include "framework/base/TStringList.h"
#include "framework/win/TCustomEdit.h"

// A multi-line edit. Lines reads and replaces the text line by line.
class TMemo : public TCustomEdit {
public:
  explicit TMemo(TComponent* owner);

  TStringList Lines();
  void SetLines(const TStringList& lines);
  int LineCount();
  std::string Line(int index);
  void AddLine(const std::string& line);

  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { FWantReturns = value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { FWantTabs = value; }

  void Dispatch(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  TAlignment FAlignment = taLeftJustify;
  bool FWantReturns = true;
  bool FWantTabs = false;
};
