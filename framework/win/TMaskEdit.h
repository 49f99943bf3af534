#pragma once

#include <string>

#include "framework/win/TCustomEdit.h"

// An edit that keeps an input mask. The mask is only stored: no window of the program sets one,
// so input is not checked against it.
class TMaskEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;

  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& value) { FEditMask = value; }

private:
  std::string FEditMask;
};
