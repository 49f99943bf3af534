#pragma once

#include <string>

#include "framework/win/TCustomForm.h"

class TsButton;
class TsLabel;
class TsSkinProvider;

// The About box: the program's name, description, version and date, and two links that open
// through the shell. Shown modally.
class TfmAbout : public TForm {
public:
  explicit TfmAbout(TComponent* owner);

  static const std::string& ContactAddress();
  static const std::string& SupportPage();

  TsLabel* sLabelContact = nullptr;  // the contact address, a link
  TsLabel* sLabelSupport = nullptr;  // the support page, a link
  TsButton* sButton1 = nullptr;      // "Ok"
  TsSkinProvider* sSkinProvider1 = nullptr;

  void LinkClick(TObject* sender);
};

extern TfmAbout* fmAbout;
